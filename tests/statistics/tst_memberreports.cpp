// The member ranking and markdown effect windows: what they read shows in
// their tables, and a member's phone reaches an export masked when the user
// lacks the members right.
#include "StyleSamples.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "statistics/TFrmMarkdownEffect.h"
#include "statistics/TFrmMemberRank.h"

#include <QDateEdit>
#include <QFile>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

using StockPosting::BillKind;

class TestMemberReports : public QObject {
    Q_OBJECT

private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2026, 3, 31), QTime(10, 0))); }
    void cleanup() { Clock::setFixed({}); }
    void rankingExportMasksThePhoneWithoutTheRight();
    void effectHidesTheMarginWithoutItsRight();
};

namespace {

template <typename Window>
void find(Window& window)
{
    QSignalSpy shown(&window, &AnalysisWindow::resultShown);
    window.cmd_find->click();
    QVERIFY(shown.count() == 1 || shown.wait(10000));
}

QStringList exported(TestApp& app, AnalysisWindow& window, const QString& name)
{
    const QString file = app.directory() + QLatin1Char('/') + name;
    app.dialogs().fileAnswers = {file};
    window.ResultGrid->setFocus();
    QTest::keyClick(window.ResultGrid, Qt::Key_E, Qt::ControlModifier);
    QFile written(file);
    if (!written.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(written.readAll()).remove(QChar(0xfeff)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

void memberSale(TestApp& app)
{
    StyleSamples::addGoods(app, "T-B-M", "T", "黑", "M");
    StyleSamples::save(app, BillKind::Purchase, {2026, 1, 5}, {{"T-B-M", 10, 40, {}}});
    app.exec("insert into member(card_no,memb_name,mobile,points) values('M001','张三','13812345678',0)");
    StyleSamples::save(app, BillKind::Sale, {2026, 3, 10}, {{"T-B-M", 2, 100, {}}},
                       {{QStringLiteral("card_no"), QStringLiteral("M001")}});
}

} // namespace

void TestMemberReports::rankingExportMasksThePhoneWithoutTheRight()
{
    TestApp app;
    memberSale(app);
    TFrmMemberRank window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.fromDateEdit->date(), QDate(2026, 1, 1));
    find(window);
    QCOMPARE(window.model()->rowCount(), 1);
    QCOMPARE(window.model()->index(0, 3).data().toString(), QStringLiteral("13812345678"));

    QString rights(Function::Count, QLatin1Char('1'));
    rights[Function::Members - 1] = QLatin1Char('0');
    app.setRights(rights);
    find(window);
    const QStringList lines = exported(app, window, QStringLiteral("rank.csv"));
    const int header = int(lines.indexOf(QRegularExpression(QStringLiteral("^名次,会员卡号,姓名,手机.*"))));
    QVERIFY2(header >= 0, qPrintable(lines.join('\n')));
    QVERIFY2(lines.value(header + 1).startsWith(QStringLiteral("1,M001,张三,138****5678,,200,1,2,2026-03-10,M")),
             qPrintable(lines.value(header + 1)));
    QVERIFY(!lines.join('\n').contains(QStringLiteral("13812345678")));
}

void TestMemberReports::effectHidesTheMarginWithoutItsRight()
{
    TestApp app;
    memberSale(app);
    app.exec("insert into markdown(mark_name,start_date,end_date,scope,scope_value,discount) "
             "values('夏清','2026-03-01 00:00:00','2026-03-14 00:00:00','款号','T',80)");
    app.exec("update outgoods set list_pric=125, mark_name='夏清'");
    TFrmMarkdownEffect window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    find(window);
    QCOMPARE(window.model()->rowCount(), 1);
    QCOMPARE(window.model()->headerData(8, Qt::Horizontal).toString(), QStringLiteral("毛利"));
    QCOMPARE(window.model()->index(0, 7).data().toString(), QStringLiteral("50"));

    QString rights(Function::Count, QLatin1Char('1'));
    rights[Function::GrossProfit - 1] = QLatin1Char('0');
    app.setRights(rights);
    find(window);
    QStringList captions;
    for (int c = 0; c < window.model()->columnCount(); ++c)
        captions << window.model()->headerData(c, Qt::Horizontal).toString();
    QVERIFY(!captions.contains(QStringLiteral("毛利")));
    QVERIFY(!captions.contains(QStringLiteral("之前毛利")));
}

QTEST_MAIN(TestMemberReports)
#include "tst_memberreports.moc"
