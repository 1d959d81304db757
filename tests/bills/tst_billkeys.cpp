// The bill windows at keyboard speed, under the program's own application
// object (Enter acts as Tab): the Enter walk, what Alt+S saves, and what a
// line or header box refuses where it is typed.
#include "BillWindows.h"
#include "TestSupport.h"
#include "WindowDriver.h"

#include "app/Application.h"
#include "bills/BillLineEntry.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "db/Dataset.h"
#include "reports/ReportLayouts.h"
#include "shop/BillStore.h"
#include "ui/DbComboBox.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"
#include "ui/MemberChoiceDialog.h"
#include "ui/TFrmGoodsFind.h"

#include <QAbstractItemView>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

class TestBillKeys : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void enterWalksFromTheDateToTheSecondLine_data();
    void enterWalksFromTheDateToTheSecondLine();
    void lineKeysFindTheirColumnsByField();
    void tenLinePurchaseTypedAndSavedWithAltS();
    void enterAfterTheLastLineNeverReachesAnEarlierOne();
    void altSTakesTheOpenEditor();
    void typedValuesAreRefusedWhereTyped();
    void pickerOpensOnTheTypedCode();
    void bindingsFollowTheModeAndTheMakerIsTheUser();
    void editingKeepsWhatAReceiptPaidMeanwhile();
    void saleMemberBoxFindsTheMemberAndPricesNewLines();
    void aMemberChosenAfterTheLinesRepricesThoseTheRulesPriced();

private:
    std::unique_ptr<TestApp> m_app;
    std::unique_ptr<QObject> m_reports;
};

namespace {

using WindowDriver::showWindow;

QWidget* focused()
{
    return QApplication::focusWidget();
}

// Counts the presses that are neither the typed code nor the typed quantity.
int presses = 0;

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    ++presses;
    QTest::keyClick(focused(), key, modifiers);
    QCoreApplication::processEvents();
    // A button's Alt key clicks it after a short animation.
    if (modifiers & Qt::AltModifier)
        QTest::qWait(200);
}

// Each key goes to whatever has the focus then: the first one opens a cell's editor.
void type(const QString& text)
{
    for (const QChar c : text)
        WindowDriver::typeText(focused(), QString(c));
}

// Where the grid's focus is: (row, column), or (-1, -1) when the focus is elsewhere.
QPair<int, int> cell(BillWindow& w)
{
    QWidget* f = focused();
    if (f != w.linesGrid && !(f && f->parentWidget() == w.linesGrid->viewport()))
        return {-1, -1};
    return {w.linesGrid->currentIndex().row(), w.linesGrid->currentIndex().column()};
}

void openForTyping(BillWindow& w)
{
    showWindow(w);
    QApplication::setActiveWindow(&w);
    w.cmd_addClick();
}

// Types one line from its goods code cell: code, Enter, Enter past the price, quantity, Enter.
void typeLine(const QString& code, const QString& quantity)
{
    type(code);
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    type(quantity);
    press(Qt::Key_Return);
}

// The same with the price typed over the proposed one.
void typeLineAtPrice(const QString& code, const QString& price, const QString& quantity)
{
    type(code);
    press(Qt::Key_Return);
    type(price);
    press(Qt::Key_Return);
    type(quantity);
    press(Qt::Key_Return);
}

} // namespace

void TestBillKeys::init()
{
    Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(10, 15)));
    m_app = std::make_unique<TestApp>();
    m_reports = std::make_unique<QObject>();
    ReportLayouts::createAll(m_reports.get());
    for (int i = 1; i <= 10; ++i)
        m_app->exec("insert into goods(gods_code,gods_name,valu_in,valu_out) values(:p1,:p2,:p3,:p4)",
                    {QStringLiteral("T%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("货品%1").arg(i), 10 + i, 20 + i});
    m_app->exec("insert into company(comp_code,comp_name) values('C1','华联商厦')");
    presses = 0;
}

void TestBillKeys::cleanup()
{
    m_reports.reset();
    m_app.reset();
    Clock::setFixed({});
}

void TestBillKeys::enterWalksFromTheDateToTheSecondLine_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("header");   // boxes after the date, by object name
    QTest::newRow("purchase") << int(Kind::In) << QStringList{"DBComboBox8", "DBEdit2", "DBComboBox9"};
    // The sale's member box, left empty: a walk-in customer.
    QTest::newRow("sale") << int(Kind::Out) << QStringList{"DBComboBox8", "memberBox", "DBEdit3", "DBComboBox9"};
    // The returns put the currency first; any key in their settlement list goes on to the lines.
    QTest::newRow("customer return") << int(Kind::ReturnIn) << QStringList{"DBComboBox9", "memberBox", "DBEdit2", "DBComboBox8"};
    QTest::newRow("return to supplier") << int(Kind::ReturnOut) << QStringList{"DBComboBox9", "DBEdit2", "DBComboBox8"};
}

void TestBillKeys::enterWalksFromTheDateToTheSecondLine()
{
    QFETCH(int, kind);
    QFETCH(QStringList, header);
    std::unique_ptr<BillWindow> w = makeWindow(Kind(kind));
    openForTyping(*w);
    // 新增 leaves the focus on the first line's code, where a typed or scanned goods goes;
    // the header is walked from its first box.
    QCOMPARE(cell(*w), qMakePair(0, 0));
    w->voucherNoEdit->setFocus(Qt::MouseFocusReason);
    press(Qt::Key_Return);
    QCOMPARE(focused(), static_cast<QWidget*>(w->billDateEdit));
    for (const QString& box : std::as_const(header)) {
        press(Qt::Key_Return);
        QCOMPARE(focused()->objectName(), box);
        if (box.startsWith(QLatin1String("DBEdit")))
            type(QStringLiteral("C1"));
    }
    press(Qt::Key_Return);
    QCOMPARE(cell(*w), qMakePair(0, 0));
    type(QStringLiteral("T001"));
    press(Qt::Key_Return);
    QCOMPARE(cell(*w), qMakePair(0, 8));
    press(Qt::Key_Return);
    QCOMPARE(cell(*w), qMakePair(0, 9));
    type(QStringLiteral("2"));
    press(Qt::Key_Return);
    const bool stockRemarks = Kind(kind) == Kind::ReturnIn || Kind(kind) == Kind::ReturnOut;
    if (stockRemarks) {
        QCOMPARE(cell(*w), qMakePair(0, 11));
        type(QStringLiteral("不"));
        press(Qt::Key_Return);
        QCOMPARE(w->lines()->value(0, w->lines()->fieldIndex("remark")).toString(), QStringLiteral("不入库"));
    }
    QCOMPARE(cell(*w), qMakePair(1, 0));
    QCOMPARE(w->header()->text("comp_code"), QStringLiteral("C1"));
    QCOMPARE(w->lines()->value(0, w->lines()->fieldIndex("sub_amou")).toDouble(), 2.0);
    w->cmd_cancClick();
}

// A grid that shows the line's fields in another order walks them the same way:
// code, price, quantity, the stock remark, then the next line's code.
void TestBillKeys::lineKeysFindTheirColumnsByField()
{
    db::Dataset* lines = dataModule().InGoodsQ;
    lines->close();
    lines->setSql("select * from ingoods where bill_no=:bill_no order by in_id");
    lines->setParameter("bill_no", QString());
    lines->setLocking(db::Dataset::Locking::Batch);
    lines->open();
    QWidget window;
    auto* header = new QLineEdit(&window);
    auto* grid = new ui::DbGrid(&window);
    for (const char* field : {"remark", "sub_amou", "unit_pric", "gods_code"})
        grid->addColumn(QString::fromLatin1(field), QString::fromLatin1(field));
    grid->setDataset(lines);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(header);
    layout->addWidget(grid);
    auto* entry = new BillLineEntry(grid, lines, {QStringLiteral("valu_in"), true, true, {}}, &window);
    entry->setEditing(true);
    showWindow(window);
    QApplication::setActiveWindow(&window);
    lines->append();
    const auto at = [grid] { return qMakePair(grid->currentIndex().row(), grid->currentIndex().column()); };

    // Coming from the box above, the walk starts at the goods code.
    header->setFocus();
    press(Qt::Key_Return);
    QCOMPARE(at(), qMakePair(0, 3));
    type(QStringLiteral("T001"));
    press(Qt::Key_Return);
    QCOMPARE(at(), qMakePair(0, 2));
    QCOMPARE(lines->number("unit_pric"), 11.0);
    press(Qt::Key_Return);
    QCOMPARE(at(), qMakePair(0, 1));
    type(QStringLiteral("2"));
    press(Qt::Key_Return);
    QCOMPARE(at(), qMakePair(0, 0));
    type(QStringLiteral("不"));
    press(Qt::Key_Return);
    QCOMPARE(at(), qMakePair(1, 3));
    QCOMPARE(lines->value(0, lines->fieldIndex("sub_amou")).toDouble(), 2.0);
    QCOMPARE(lines->value(0, lines->fieldIndex("remark")).toString(), QStringLiteral("不入库"));
}

void TestBillKeys::tenLinePurchaseTypedAndSavedWithAltS()
{
    TFrmIn w;
    openForTyping(w);
    w.linesGrid->setFocus(Qt::TabFocusReason);
    presses = 0;
    for (int i = 1; i <= 10; ++i)
        typeLine(QStringLiteral("T%1").arg(i, 3, 10, QLatin1Char('0')), QString::number(i));
    const int perLine = presses / 10;
    qInfo("key presses per line besides code and quantity: %d", perLine);
    QVERIFY(perLine <= 4);
    QCOMPARE(w.totalQuantityEdit->text(), QStringLiteral("55"));
    press(Qt::Key_S, Qt::AltModifier);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(m_app->scalar("select count(*) from ingoods").toInt(), 10);
    // What the screen showed: sum of i x (10 + i) for i = 1..10.
    QCOMPARE(m_app->scalar("select shou_tota from inmain").toDouble(), 935.0);
    QCOMPARE(m_app->scalar("select gods_amou from storemain where gods_code='T007'").toDouble(), 7.0);
    QCOMPARE(m_app->scalar("select cost_pric from storemain where gods_code='T007'").toDouble(), 17.0);
}

void TestBillKeys::enterAfterTheLastLineNeverReachesAnEarlierOne()
{
    TFrmIn w;
    openForTyping(w);
    w.linesGrid->setFocus(Qt::TabFocusReason);
    typeLine(QStringLiteral("T001"), QStringLiteral("1"));
    typeLine(QStringLiteral("T002"), QStringLiteral("1"));
    // The walk is on a third, new line; Enter there on its empty code leaves for the remark box.
    QCOMPARE(cell(w), qMakePair(2, 0));
    typeLine(QStringLiteral("T005"), QStringLiteral("1"));
    press(Qt::Key_S, Qt::AltModifier);
    QCOMPARE(m_app->scalar("select count(*) from ingoods").toInt(), 3);
    QCOMPARE(m_app->scalar("select gods_code from ingoods order by in_id").toString(), QStringLiteral("T001"));
    QCOMPARE(m_app->scalar("select shou_tota from inmain").toDouble(), 11.0 + 12 + 15);

    // Enter on an empty code of the new line goes to the bill's remark, not round to line 1.
    w.cmd_addClick();
    w.linesGrid->setFocus(Qt::TabFocusReason);
    typeLine(QStringLiteral("T001"), QStringLiteral("1"));
    press(Qt::Key_Return);
    QCOMPARE(focused(), static_cast<QWidget*>(w.remarkEdit));
    w.cmd_cancClick();
}

void TestBillKeys::altSTakesTheOpenEditor()
{
    // A customer return: the "不入库" typed into the open remark editor is saved, so no stock moves.
    TFrmReturnIn returns;
    openForTyping(returns);
    returns.linesGrid->setFocus(Qt::TabFocusReason);
    typeLine(QStringLiteral("T005"), QStringLiteral("1"));
    QCOMPARE(cell(returns), qMakePair(0, 11));
    // The first letter takes the choice, and the editor is still open at Alt+S.
    type(QStringLiteral("不"));
    press(Qt::Key_S, Qt::AltModifier);
    QCOMPARE(m_app->scalar("select remark from ingoods").toString(), QStringLiteral("不入库"));
    QCOMPARE(m_app->scalar("select count(*) from storemain").toInt(), 0);
    returns.close();

    // A purchase: price and quantity still in their editors are what is saved and totalled.
    TFrmIn w;
    openForTyping(w);
    w.linesGrid->setFocus(Qt::TabFocusReason);
    type(QStringLiteral("T001"));
    press(Qt::Key_Return);
    type(QStringLiteral("4.5"));
    press(Qt::Key_Return);
    type(QStringLiteral("3"));
    press(Qt::Key_S, Qt::AltModifier);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(m_app->scalar("select sub_amou from ingoods where gods_code='T001'").toDouble(), 3.0);
    QCOMPARE(m_app->scalar("select unit_pric from ingoods where gods_code='T001'").toDouble(), 4.5);
    QCOMPARE(m_app->scalar("select shou_tota from inmain where bill_type='in'").toDouble(), 13.5);
    QCOMPARE(m_app->scalar("select gods_amou from storemain where gods_code='T001'").toDouble(), 3.0);
    QCOMPARE(w.totalAmountEdit->text(), QStringLiteral("13.5"));
}

void TestBillKeys::typedValuesAreRefusedWhereTyped()
{
    ScriptedDialogs& dialogs = m_app->dialogs();
    TFrmIn w;
    openForTyping(w);

    // A company code that names nobody: refused in its box, the picker offered.
    QStringList opened;
    dialogs.onExec = [&opened](QDialog* dialog) {
        opened << dialog->metaObject()->className();
        return int(QDialog::Rejected);
    };
    w.companyCode->setFocus();
    type(QStringLiteral("C99"));
    press(Qt::Key_Return);
    QCOMPARE(dialogs.lastMessage(), QStringLiteral("客户编码“C99”不存在"));
    QCOMPARE(opened, QStringList{"TFrmCompFind"});
    QCOMPARE(focused(), static_cast<QWidget*>(w.companyCode));

    // A goods code that names nothing: refused at the line, the picker offered on it.
    w.linesGrid->setFocus(Qt::TabFocusReason);
    type(QStringLiteral("XX99"));
    press(Qt::Key_Return);
    QCOMPARE(dialogs.lastMessage(), QStringLiteral("货品编码“XX99”不存在"));
    QCOMPARE(opened.last(), QStringLiteral("TFrmGoodsFind"));
    QCOMPARE(cell(w), qMakePair(0, 0));
    QVERIFY(w.lines()->text("gods_code").isEmpty());

    // A quantity of 0 or below: refused on the line, named by its number and value.
    auto* editor = qobject_cast<QLineEdit*>(focused());
    QVERIFY(editor);
    editor->clear();
    type(QStringLiteral("T001"));
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    type(QStringLiteral("-5"));
    press(Qt::Key_Return);
    QCOMPARE(dialogs.lastMessage(), QStringLiteral("第1行：数量“-5”必须大于0"));
    QCOMPARE(cell(w), qMakePair(0, 9));

    // Saving refuses it too, and stores nothing.
    w.companyCode->setFocus();
    WindowDriver::retype(w.companyCode, QStringLiteral("C1"));
    press(Qt::Key_S, Qt::AltModifier);
    QCOMPARE(dialogs.lastMessage(), QStringLiteral("第1行：数量“-5”必须大于0"));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(m_app->scalar("select count(*) from inmain").toInt(), 0);
    QCOMPARE(m_app->scalar("select count(*) from storemain").toInt(), 0);
    w.cmd_cancClick();
}

void TestBillKeys::pickerOpensOnTheTypedCode()
{
    TFrmOut w;
    openForTyping(w);
    w.linesGrid->setFocus(Qt::TabFocusReason);
    QString startedOn;
    m_app->dialogs().onExec = [&startedOn](QDialog* dialog) {
        auto* picker = qobject_cast<TFrmGoodsFind*>(dialog);
        if (!picker)
            return int(QDialog::Rejected);
        startedOn = picker->codeEdit->text();
        dataModule().GoodsFindQ->locate("gods_code", "T003");
        return int(QDialog::Accepted);
    };
    type(QStringLiteral("T00"));
    press(Qt::Key_F4);
    QCOMPARE(startedOn, QStringLiteral("T00"));
    // The chosen goods and its sale price; the walk goes on at the price.
    QCOMPARE(w.lines()->text("gods_code"), QStringLiteral("T003"));
    QCOMPARE(w.lines()->number("unit_pric"), 23.0);
    QCOMPARE(cell(w), qMakePair(0, 8));
    // The picker button is no stop of the walk.
    QCOMPARE(w.goodsButton->focusPolicy(), Qt::NoFocus);
    w.cmd_cancClick();
}

void TestBillKeys::bindingsFollowTheModeAndTheMakerIsTheUser()
{
    TFrmIn w;
    showWindow(w);
    QVERIFY(!w.paidEdit->isEnabled());
    QVERIFY(!w.people.first()->isEnabled());
    w.cmd_addClick();
    QVERIFY(w.paidEdit->isEnabled());
    QCOMPARE(w.header()->text("oper_code"), CurrentRights::current().userId);
    w.cmd_cancClick();
}

void TestBillKeys::editingKeepsWhatAReceiptPaidMeanwhile()
{
    TFrmIn w;
    openForTyping(w);
    w.linesGrid->setFocus(Qt::TabFocusReason);
    typeLine(QStringLiteral("T001"), QStringLiteral("2"));
    press(Qt::Key_S, Qt::AltModifier);
    w.cmd_editClick();
    // A payment saved on another PC while the bill is being edited.
    m_app->exec("update inmain set fact_tota=20");
    w.remarkEdit->setFocus();
    type(QStringLiteral("改"));
    press(Qt::Key_S, Qt::AltModifier);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(m_app->scalar("select fact_tota from inmain").toDouble(), 20.0);
    QCOMPARE(m_app->scalar("select remark from inmain").toString(), QStringLiteral("改"));
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    TestBillKeys test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_billkeys.moc"

// The sale's 会员 box: a phone typed and Enter; nobody found is told and the
// focus stays; several are chosen from; new lines are priced for the member.
void TestBillKeys::saleMemberBoxFindsTheMemberAndPricesNewLines()
{
    // 金卡: 90%, a point a yuan, as a new database has it.
    m_app->exec("insert into member(card_no,memb_name,mobile,level_name,points) values('M001','王芳','13812341234','金卡',200)");
    m_app->exec("insert into member(card_no,memb_name,mobile,level_name,points) values('M002','李强','13912345678','',0)");
    m_app->exec("update goods set styl_code='S2' where gods_code='T002'");
    m_app->exec("insert into markdown(mark_name,start_date,end_date,scope,scope_value,discount) "
                "values('清仓','2024-03-05 00:00:00','2024-03-05 00:00:00','款号','S2',50)");
    ScriptedDialogs& dialogs = m_app->dialogs();
    QStringList offered;
    dialogs.onExec = [&offered](QDialog* dialog) {
        auto* members = qobject_cast<MemberChoiceDialog*>(dialog);
        if (!members)
            return int(QDialog::Rejected);
        for (int i = 0; i < members->list()->count(); ++i)
            offered << members->list()->item(i)->text();
        QTest::keyClick(members->list(), Qt::Key_Return);
        return members->result();
    };
    TFrmOut w;
    openForTyping(w);
    QLineEdit* box = w.findChild<QLineEdit*>("memberBox");
    box->setFocus(Qt::MouseFocusReason);
    type(QStringLiteral("99999"));
    press(Qt::Key_Return);
    QCOMPARE(dialogs.lastMessage(), QStringLiteral("没有卡号或手机号为“99999”的会员"));
    QCOMPARE(focused(), static_cast<QWidget*>(box));
    WindowDriver::retype(box, QStringLiteral("1234"));
    press(Qt::Key_Return);
    QCOMPARE(offered, QStringList({"M001　王芳 金卡 积分 200　13812341234", "M002　李强  积分 0　13912345678"}));
    QCOMPARE(box->text(), QStringLiteral("M001"));
    QCOMPARE(w.findChild<QLabel*>("memberLabel")->text(), QStringLiteral("王芳 金卡 积分 200"));
    QCOMPARE(focused(), static_cast<QWidget*>(w.companyCode));
    type(QStringLiteral("C1"));
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    QCOMPARE(cell(w), qMakePair(0, 0));
    // The level's 90% of 21; the markdown's 50% of 22; the same goods priced by hand.
    typeLine(QStringLiteral("T001"), QStringLiteral("2"));
    typeLine(QStringLiteral("T002"), QStringLiteral("1"));
    typeLineAtPrice(QStringLiteral("T002"), QStringLiteral("20"), QStringLiteral("1"));
    press(Qt::Key_S, Qt::AltModifier);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(m_app->scalar("select card_no from outmain").toString(), QStringLiteral("M001"));
    QStringList lines;
    for (int row = 0; row < 3; ++row) {
        const auto column = [&](const QString& name) {
            return m_app->scalar("select " + name + " from outgoods order by in_id limit 1 offset :p1", {row});
        };
        lines << QStringLiteral("%1 %2 %3 %4").arg(column("gods_code").toString()).arg(column("unit_pric").toDouble())
                     .arg(column("list_pric").toDouble()).arg(column("coalesce(mark_name,'-')").toString());
    }
    QCOMPARE(lines, QStringList({"T001 18.9 21 -", "T002 11 22 清仓", "T002 20 22 -"}));
    // 2 × 18.90 + 11 + 20 = 68.80 earns 68 points.
    QCOMPARE(m_app->scalar("select points from member where card_no='M001'").toInt(), 268);
}

void TestBillKeys::aMemberChosenAfterTheLinesRepricesThoseTheRulesPriced()
{
    m_app->exec("insert into member(card_no,memb_name,mobile,level_name,points) values('M001','王芳','13812341234','金卡',0)");
    TFrmOut w;
    openForTyping(w);
    w.companyCode->setFocus(Qt::MouseFocusReason);
    type(QStringLiteral("C1"));
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    typeLine(QStringLiteral("T001"), QStringLiteral("2"));
    typeLineAtPrice(QStringLiteral("T002"), QStringLiteral("20"), QStringLiteral("1"));
    w.findChild<QLineEdit*>("memberBox")->setFocus(Qt::MouseFocusReason);
    type(QStringLiteral("M001"));
    press(Qt::Key_Return);
    press(Qt::Key_S, Qt::AltModifier);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    // The level's 90% of 21 on the line the rules priced; the 20 typed by hand stays.
    QList<double> prices;
    for (int row = 0; row < 2; ++row)
        prices << m_app->scalar("select unit_pric from outgoods order by in_id limit 1 offset :p1", {row}).toDouble();
    QCOMPARE(prices, QList<double>({18.9, 20}));
}
