// The sales ranking windows: sums, averages and order of 查询, bill types,
// companies without a record, printing (never before a query) and rights.
#include "StatisticsSamples.h"
#include "TestSupport.h"
#include "WindowDriver.h"

#include "db/Dataset.h"
#include "reports/ReportDocument.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportPreview.h"
#include "statistics/TFrmOutSortC.h"
#include "statistics/TFrmOutSortG.h"
#include "ui/DbGrid.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

using StatisticsSamples::addBill;
using StatisticsSamples::addCompany;
using StatisticsSamples::addGoods;
using WindowDriver::showWindow;

class TestRanking : public QObject {
    Q_OBJECT

private slots:
    void linesOfOneGoodsRankAsOneRow();
    void orderFollowsTheChosenSort_data();
    void orderFollowsTheChosenSort();
    void billTypeChoice_data();
    void billTypeChoice();
    void companyWithoutRecordStillRanks();
    void printingBeforeAnyQueryDoesNothing();
    void printShowsWhatWasRanked_data();
    void printShowsWhatWasRanked();
    void rightsGateEachRanking();
};

namespace {

std::unique_ptr<RankingWindow> makeWindow(bool byGoods)
{
    if (byGoods)
        return std::make_unique<TFrmOutSortG>();
    return std::make_unique<TFrmOutSortC>();
}

void setMarch(StatisticsWindow& w)
{
    w.fromDateEdit->setDate(QDate(2026, 3, 1));
    w.toDateEdit->setDate(QDate(2026, 3, 31));
}

QStringList column(const StatisticsWindow& w, const QString& field)
{
    QStringList texts;
    const QAbstractItemModel* model = w.resultGrid->model();
    const db::Dataset* d = w.dataset();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << d->displayText(row, d->fieldIndex(field));
    return texts;
}

// GA: 10 pieces for 10 in all, GB: 2 pieces for 100; one company each.
void addTwoGoods(TestApp& app)
{
    addGoods(app, "GA", "袜子");
    addGoods(app, "GB", "大衣");
    addCompany(app, "CA", "华美服饰", "张三");
    addCompany(app, "CB", "锦绣制衣", "李四");
    addBill(app, "out", "20260302080000", "2026-03-02 00:00:00", "CA", "out", {{"GA", 10, 1}});
    addBill(app, "out", "20260303080000", "2026-03-03 00:00:00", "CB", "out", {{"GB", 2, 50}});
}

} // namespace

void TestRanking::linesOfOneGoodsRankAsOneRow()
{
    TestApp app;
    addGoods(app, "G1", "衬衫");
    addBill(app, "out", "20260302080000", "2026-03-02 00:00:00", "C1", "out", {{"G1", 3, 10}});
    addBill(app, "out", "20260331080000", "2026-03-31 00:00:00", "C1", "out", {{"G1", 5, 20}});
    addBill(app, "out", "20260401080000", "2026-04-01 00:00:00", "C1", "out", {{"G1", 50, 20}});
    TFrmOutSortG w;
    showWindow(w);
    QCOMPARE(w.resultGrid->model()->rowCount(), 0);
    setMarch(w);
    WindowDriver::click(w, "cmd_find");
    QCOMPARE(column(w, "gods_code"), QStringList{"G1"});
    QCOMPARE(column(w, "gods_name"), QStringList{"衬衫"});
    QCOMPARE(column(w, "sub_amou"), QStringList{"8"});
    QCOMPARE(column(w, "unit_pric"), QStringList{"16.25"});   // 130 / 8
    QCOMPARE(column(w, "sub_tota"), QStringList{"130"});
    QCOMPARE(w.quantityTotalEdit->text(), QString("8"));
    QCOMPARE(w.amountTotalEdit->text(), QString("130"));

    TFrmOutSortC c;
    setMarch(c);
    c.cmd_findClick();
    QCOMPARE(column(c, "comp_code"), QStringList{"C1"});
    QCOMPARE(c.quantityTotalEdit->text(), QString("8"));
    QCOMPARE(c.amountTotalEdit->text(), QString("130"));
}

void TestRanking::orderFollowsTheChosenSort_data()
{
    QTest::addColumn<bool>("byGoods");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("byAmount");
    QTest::addColumn<QStringList>("byQuantity");
    QTest::newRow("按货品") << true << "gods_code" << QStringList{"GB", "GA"} << QStringList{"GA", "GB"};
    QTest::newRow("按客户") << false << "comp_code" << QStringList{"CB", "CA"} << QStringList{"CA", "CB"};
}

void TestRanking::orderFollowsTheChosenSort()
{
    QFETCH(bool, byGoods);
    QFETCH(QString, field);
    QFETCH(QStringList, byAmount);
    QFETCH(QStringList, byQuantity);
    TestApp app;
    addTwoGoods(app);
    auto w = makeWindow(byGoods);
    showWindow(*w);
    setMarch(*w);
    QVERIFY(w->byAmountRadio->isChecked());
    w->cmd_findClick();
    QCOMPARE(column(*w, field), byAmount);
    w->byQuantityRadio->click();
    w->cmd_findClick();
    QCOMPARE(column(*w, field), byQuantity);
    QCOMPARE(w->quantityTotalEdit->text(), QString("12"));
    QCOMPARE(w->amountTotalEdit->text(), QString("110"));
}

void TestRanking::billTypeChoice_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("amount");
    QTest::newRow("全部: returns add to sales") << "RadioButton3" << "7" << "70";
    QTest::newRow("销售") << "RadioButton4" << "3" << "30";
    QTest::newRow("退货厂商") << "RadioButton5" << "4" << "40";
}

void TestRanking::billTypeChoice()
{
    QFETCH(QString, button);
    QFETCH(QString, quantity);
    QFETCH(QString, amount);
    TestApp app;
    addBill(app, "out", "20260302080000", "2026-03-02 00:00:00", "C1", "out", {{"G1", 2, 10}});
    addBill(app, "out", "20260303080000", "2026-03-03 00:00:00", "C1", "Out", {{"G1", 1, 10}});
    addBill(app, "out", "20260304080000", "2026-03-04 00:00:00", "C2", "retu", {{"G1", 4, 10}});
    addBill(app, "in", "20260305080000", "2026-03-05 00:00:00", "C1", "in", {{"G1", 50, 10}});   // never ranks
    for (const bool byGoods : {true, false}) {
        auto w = makeWindow(byGoods);
        showWindow(*w);
        setMarch(*w);
        WindowDriver::child<QRadioButton>(*w, qPrintable(button))->click();
        w->cmd_findClick();
        QCOMPARE(w->quantityTotalEdit->text(), quantity);
        QCOMPARE(w->amountTotalEdit->text(), amount);
    }
}

void TestRanking::companyWithoutRecordStillRanks()
{
    TestApp app;
    addTwoGoods(app);
    addBill(app, "out", "20260304080000", "2026-03-04 00:00:00", "C9", "out", {{"GA", 1, 500}});
    TFrmOutSortC w;
    showWindow(w);
    setMarch(w);
    w.cmd_findClick();
    QCOMPARE(column(w, "comp_code"), QStringList({"C9", "CB", "CA"}));
    QCOMPARE(column(w, "comp_name"), QStringList({"", "锦绣制衣", "华美服饰"}));
    QCOMPARE(column(w, "head_name"), QStringList({"", "李四", "张三"}));
}

void TestRanking::printingBeforeAnyQueryDoesNothing()
{
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    addTwoGoods(app);
    int previews = 0;
    app.dialogs().onExec = [&](QDialog*) { return ++previews, int(QDialog::Rejected); };
    for (const bool byGoods : {true, false}) {
        auto w = makeWindow(byGoods);
        showWindow(*w);
        setMarch(*w);
        const int before = previews;
        WindowDriver::click(*w, "cmd_prin");
        QCOMPARE(previews, before);
        QVERIFY(app.dialogs().messages.isEmpty());
        // Once ranked, the same button prints.
        w->cmd_findClick();
        WindowDriver::click(*w, "cmd_prin");
        QCOMPARE(previews, before + 1);
    }
}

void TestRanking::printShowsWhatWasRanked_data()
{
    QTest::addColumn<bool>("byGoods");
    QTest::newRow("TQRoutSortG") << true;
    QTest::newRow("TQRoutSortC") << false;
}

void TestRanking::printShowsWhatWasRanked()
{
    QFETCH(bool, byGoods);
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    addTwoGoods(app);
    auto w = makeWindow(byGoods);
    showWindow(*w);
    setMarch(*w);
    w->byQuantityRadio->click();
    w->salesRadio->click();
    w->cmd_findClick();

    ReportLayout& layout = byGoods ? static_cast<ReportLayout&>(ReportLayouts::get<TQRoutSortG>())
                                   : static_cast<ReportLayout&>(ReportLayouts::get<TQRoutSortC>());
    QList<int> printedRows;
    app.dialogs().onExec = [&](QDialog* d) {
        if (qobject_cast<ReportPreview*>(d))
            for (const ReportPage& page : layout.prepare().pages())
                for (const ReportPage::PlacedBand& band : page.bands)
                    if (band.kind == ReportBand::Kind::Detail)
                        printedRows << band.row;
        return int(QDialog::Rejected);
    };
    w->cmd_prinClick();
    QCOMPARE(printedRows, QList<int>({0, 1}));
    QCOMPARE(layout.labelText("sort_type"), QString("按数量排序"));
    QCOMPARE(layout.labelText("out_type"), QString("出货"));
    QCOMPARE(layout.labelText("datea"), QString("2026-03-01"));
    QCOMPARE(layout.labelText("dateb"), QString("2026-03-31"));
    QCOMPARE(layout.labelText("hjsl"), QString("12"));
    QCOMPARE(layout.labelText("hjje"), QString("110"));
}

void TestRanking::rightsGateEachRanking()
{
    TestApp app;
    QString rights(25, '0');
    rights[13] = '1';   // 出货排行-按客户 only
    app.setRights(rights);
    TFrmOutSortG goods;
    TFrmOutSortC companies;
    QVERIFY(!goods.cmd_find->isEnabled());
    QVERIFY(!goods.cmd_prin->isEnabled());
    QVERIFY(companies.cmd_find->isEnabled());
    QVERIFY(companies.cmd_prin->isEnabled());
}

QTEST_MAIN(TestRanking)
#include "tst_ranking.moc"
