// The goods and company pickers opened on typed text: only what matches is
// listed, Enter with nothing to choose says so and stays, and the code box
// jumps to the first code that starts with what is typed.
#include "TestSupport.h"
#include "WindowDriver.h"

#include "app/Application.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "ui/DbGrid.h"
#include "ui/TFrmCompFind.h"
#include "ui/TFrmGoodsFind.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <memory>

class TestPickers : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void goodsPickerListsWhatContainsTheTypedText_data();
    void goodsPickerListsWhatContainsTheTypedText();
    void enterWithNothingToChooseSaysSoAndStays();
    void codeBoxJumpsToTheFirstCodeStartingWithIt();
    void companyPickerListsWhatContainsTheTypedText();

private:
    std::unique_ptr<TestApp> m_app;
};

namespace {

QStringList listed(db::Dataset* d, const char* field)
{
    QStringList codes;
    for (int row = 0; row < d->recordCount(); ++row)
        codes << d->value(row, d->fieldIndex(QString::fromLatin1(field))).toString();
    return codes;
}

// Shows the picker as exec would and returns when it is closed or has taken the keys.
void open(QDialog& picker)
{
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QApplication::setActiveWindow(&picker);
}

} // namespace

void TestPickers::init()
{
    m_app = std::make_unique<TestApp>();
    const QList<std::pair<const char*, const char*>> goods = {
        {"A01", "白衬衫"}, {"A02", "黑衬衫"}, {"B10", "牛仔裤"}, {"b_1", "短袜"}, {"ZA9", "帽子"}};
    for (const auto& [code, name] : goods)
        m_app->exec("insert into goods(gods_code,gods_name) values(:p1,:p2)",
                    {QString::fromLatin1(code), QString::fromUtf8(name)});
    m_app->exec("insert into company(comp_code,comp_name) values('0','散客')");
    m_app->exec("insert into company(comp_code,comp_name) values('C1','华联商厦')");
    m_app->exec("insert into company(comp_code,comp_name) values('C2','东方布行')");
}

void TestPickers::cleanup()
{
    m_app.reset();
}

void TestPickers::goodsPickerListsWhatContainsTheTypedText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("part of a code, any case") << "a" << QStringList{"A01", "A02", "ZA9"};
    QTest::newRow("part of a name") << "衬衫" << QStringList{"A01", "A02"};
    QTest::newRow("a LIKE wildcard is a character") << "_" << QStringList{"b_1"};
    QTest::newRow("none") << "9999" << QStringList{};
}

void TestPickers::goodsPickerListsWhatContainsTheTypedText()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, codes);
    TFrmGoodsFind picker;
    picker.setStartText(typed);
    QCOMPARE(listed(dataModule().GoodsFindQ, "gods_code"), codes);
}

// Enter in a picker that lists nothing chooses nothing: it tells why in the
// picker itself (a message box would be closed by the next scan's Enter).
void TestPickers::enterWithNothingToChooseSaysSoAndStays()
{
    TFrmGoodsFind goods;
    goods.setStartText(QStringLiteral("9999"));
    open(goods);
    QTest::keyClick(goods.codeEdit, Qt::Key_Return);
    QVERIFY(goods.isVisible());
    QCOMPARE(goods.result(), int(QDialog::Rejected));
    auto* note = WindowDriver::child<QLabel>(goods, "FindNote");
    QCOMPARE(note->text(), QStringLiteral("没有编码或名称含“9999”的货品，按Esc返回修改"));
    QVERIFY(m_app->dialogs().messages.isEmpty());
    QTest::keyClick(goods.codeEdit, Qt::Key_Escape);
    QVERIFY(!goods.isVisible());

    TFrmCompFind companies;
    companies.setStartText(QStringLiteral("6901234567892"));
    open(companies);
    QTest::keyClick(companies.companyGrid, Qt::Key_Return);
    QVERIFY(companies.isVisible());
    QCOMPARE(WindowDriver::child<QLabel>(companies, "FindNote")->text(),
             QStringLiteral("没有编码或名称含“6901234567892”的公司，按Esc返回修改"));
    QTest::keyClick(companies.companyGrid, Qt::Key_Escape);
    QVERIFY(!companies.isVisible());
    QCOMPARE(companies.result(), int(QDialog::Rejected));
}

void TestPickers::codeBoxJumpsToTheFirstCodeStartingWithIt()
{
    TFrmGoodsFind picker;
    open(picker);
    db::Dataset* goods = dataModule().GoodsFindQ;
    WindowDriver::retype(picker.codeEdit, QStringLiteral("a0"));
    QCOMPARE(goods->text("gods_code"), QStringLiteral("A01"));
    WindowDriver::retype(picker.codeEdit, QStringLiteral("A02"));
    QCOMPARE(goods->text("gods_code"), QStringLiteral("A02"));
    // Nothing starts with it: the row stays.
    WindowDriver::retype(picker.codeEdit, QStringLiteral("Q"));
    QCOMPARE(goods->text("gods_code"), QStringLiteral("A02"));
    WindowDriver::retype(picker.codeEdit, QStringLiteral("b1"));
    QCOMPARE(goods->text("gods_code"), QStringLiteral("B10"));
    QTest::keyClick(picker.codeEdit, Qt::Key_Return);
    QCOMPARE(picker.result(), int(QDialog::Accepted));
}

void TestPickers::companyPickerListsWhatContainsTheTypedText()
{
    TFrmCompFind picker;
    picker.setStartText(QStringLiteral("c"));
    QCOMPARE(listed(dataModule().CompanyQ, "comp_code"), (QStringList{"C1", "C2"}));
    picker.setStartText(QStringLiteral("布行"));
    QCOMPARE(listed(dataModule().CompanyQ, "comp_code"), (QStringList{"C2"}));
    open(picker);
    QTest::keyClick(picker.companyGrid, Qt::Key_Return);
    QCOMPARE(picker.result(), int(QDialog::Accepted));
    QCOMPARE(dataModule().CompanyQ->text("comp_code"), QStringLiteral("C2"));
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    TestPickers test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pickers.moc"
