// The listing and ranking statements without a window: which bill lines count,
// the date ends, the filters, bound typed text, sums, averages and order.
#include "StatisticsSamples.h"
#include "TestSupport.h"

#include "db/Dataset.h"
#include "shop/StatisticsQuery.h"

#include <QtTest>

using namespace statistics;
using StatisticsSamples::addBill;

class TestStatisticsQuery : public QObject {
    Q_OBJECT

private slots:
    void twoEqualLinesBothCount_data();
    void twoEqualLinesBothCount();
    void rangesAreWholeDaysWithBothEnds_data();
    void rangesAreWholeDaysWithBothEnds();
    void listingFilters_data();
    void listingFilters();
    void typedCodesAreBoundNotSpliced();
    void rankingSumsAndAveragesPerKey();
    void rankingOrder_data();
    void rankingOrder();
};

namespace {

const DateRange march{QDate(2026, 3, 1), QDate(2026, 3, 31)};

db::Dataset& run(const Query& query, db::Dataset* dataset)
{
    query.applyTo(*dataset);
    dataset->open();
    return *dataset;
}

QStringList column(const db::Dataset& dataset, const QString& field)
{
    QStringList values;
    for (int row = 0; row < dataset.recordCount(); ++row)
        values << dataset.value(row, dataset.fieldIndex(field)).toString();
    return values;
}

} // namespace

void TestStatisticsQuery::twoEqualLinesBothCount_data()
{
    QTest::addColumn<QString>("side");
    QTest::newRow("purchase listing") << "in";
    QTest::newRow("sales listing") << "out";
}

void TestStatisticsQuery::twoEqualLinesBothCount()
{
    QFETCH(QString, side);
    TestApp app;
    addBill(app, side, "20260310090000", "2026-03-10 00:00:00", "C1", side,
            {{"G1", 3, 10}, {"G1", 3, 10}, {"G2", 1, 5}});
    db::Dataset* listing = side == "in" ? app.dataModule().InListQ : app.dataModule().OutListQ;
    const db::Dataset& rows = run(listingQuery(side == "in" ? inBills() : outBills(), {march}), listing);
    QCOMPARE(rows.recordCount(), 3);
    QCOMPARE(column(rows, "gods_code"), QStringList({"G1", "G1", "G2"}));
    const Totals totals = listingTotals(rows);
    QCOMPARE(totals.quantity, 7.0);
    QCOMPARE(totals.amount, 65.0);
}

void TestStatisticsQuery::rangesAreWholeDaysWithBothEnds_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<double>("quantity");   // bills of 1, 2, 4 and 8 pieces
    QTest::newRow("a month: its first day and its last day's afternoon") << march.from << march.to << 6.0;
    QTest::newRow("the first day alone") << march.from << march.from << 2.0;
    QTest::newRow("the last day alone, bill with a time of day") << march.to << march.to << 4.0;
    QTest::newRow("the day before") << QDate(2026, 2, 28) << QDate(2026, 2, 28) << 1.0;
    QTest::newRow("ends the wrong way round") << march.to << march.from << 0.0;
    QTest::newRow("around all four") << QDate(2026, 2, 1) << QDate(2026, 4, 30) << 15.0;
    QTest::newRow("no bills in range") << QDate(2025, 1, 1) << QDate(2025, 12, 31) << 0.0;
}

void TestStatisticsQuery::rangesAreWholeDaysWithBothEnds()
{
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(double, quantity);
    TestApp app;
    for (const QString side : {"in", "out"}) {
        addBill(app, side, "20260228100000", "2026-02-28 00:00:00", "C1", side, {{"G1", 1, 10}});
        addBill(app, side, "20260301100000", "2026-03-01 00:00:00", "C1", side, {{"G1", 2, 10}});
        addBill(app, side, "20260331100000", "2026-03-31 18:30:00", "C1", side, {{"G1", 4, 10}});
        addBill(app, side, "20260401100000", "2026-04-01 00:00:00", "C1", side, {{"G1", 8, 10}});
    }
    const DateRange range{from, to};
    QCOMPARE(listingTotals(run(listingQuery(inBills(), {range}), app.dataModule().InListQ)).quantity, quantity);
    QCOMPARE(listingTotals(run(listingQuery(outBills(), {range}), app.dataModule().OutListQ)).quantity, quantity);
    const Query byGoods = rankingQuery(RankingKey::Goods, RankingOrder::ByAmount, BillType::All, range);
    const Totals ranked = rankingTotals(run(byGoods, app.dataModule().OutSortQ));
    QCOMPARE(ranked.quantity, quantity);
    QCOMPARE(ranked.amount, quantity * 10);
    const Query byCompany = rankingQuery(RankingKey::Company, RankingOrder::ByQuantity, BillType::All, range);
    QCOMPARE(rankingTotals(run(byCompany, app.dataModule().OutSortCQ)).quantity, quantity);
}

void TestStatisticsQuery::listingFilters_data()
{
    QTest::addColumn<QString>("side");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("goods");     // empty: no goods filter
    QTest::addColumn<QString>("company");   // empty: no company filter
    QTest::addColumn<int>("rows");
    QTest::addColumn<double>("quantity");
    QTest::addColumn<double>("amount");
    const int all = int(BillType::All), own = int(BillType::Own), back = int(BillType::Return);
    // in:  P1 purchase C1 (G1 2@10), R1 customer return C2 (G1 1@10, G2 4@5)
    // out: S1 sale "out" C1 (G1 2@10), S2 sale "Out" C1 (G2 1@7), T1 return to supplier C2 (G1 3@10)
    QTest::newRow("in, all types add up") << "in" << all << "" << "" << 3 << 7.0 << 50.0;
    QTest::newRow("in, purchases") << "in" << own << "" << "" << 1 << 2.0 << 20.0;
    QTest::newRow("in, customer returns") << "in" << back << "" << "" << 2 << 5.0 << 30.0;
    QTest::newRow("in, one goods") << "in" << all << "G1" << "" << 2 << 3.0 << 30.0;
    QTest::newRow("in, one company") << "in" << all << "" << "C2" << 2 << 5.0 << 30.0;
    QTest::newRow("in, goods and type exclude each other") << "in" << own << "G2" << "" << 0 << 0.0 << 0.0;
    QTest::newRow("in, unknown goods code lists nothing") << "in" << all << "G9" << "" << 0 << 0.0 << 0.0;
    QTest::newRow("in, code case does not matter") << "in" << all << "g1" << "c1" << 1 << 2.0 << 20.0;
    QTest::newRow("out, sales whatever the case of their type") << "out" << own << "" << "" << 2 << 3.0 << 27.0;
    QTest::newRow("out, returns to suppliers") << "out" << back << "" << "" << 1 << 3.0 << 30.0;
    QTest::newRow("out, all") << "out" << all << "" << "" << 3 << 6.0 << 57.0;
    QTest::newRow("out, one company") << "out" << all << "" << "C1" << 2 << 3.0 << 27.0;
}

void TestStatisticsQuery::listingFilters()
{
    QFETCH(QString, side);
    QFETCH(int, type);
    QFETCH(QString, goods);
    QFETCH(QString, company);
    QFETCH(int, rows);
    QFETCH(double, quantity);
    QFETCH(double, amount);
    TestApp app;
    addBill(app, "in", "20260302080000", "2026-03-02 00:00:00", "C1", "in", {{"G1", 2, 10}});
    addBill(app, "in", "20260303080000", "2026-03-03 00:00:00", "C2", "retu", {{"G1", 1, 10}, {"G2", 4, 5}});
    addBill(app, "out", "20260302080000", "2026-03-02 00:00:00", "C1", "out", {{"G1", 2, 10}});
    addBill(app, "out", "20260304080000", "2026-03-04 00:00:00", "C1", "Out", {{"G2", 1, 7}});
    addBill(app, "out", "20260305080000", "2026-03-05 00:00:00", "C2", "retu", {{"G1", 3, 10}});

    ListingFilter filter{march, BillType(type), !goods.isEmpty(), goods, !company.isEmpty(), company};
    db::Dataset* listing = side == "in" ? app.dataModule().InListQ : app.dataModule().OutListQ;
    const db::Dataset& result = run(listingQuery(side == "in" ? inBills() : outBills(), filter), listing);
    QCOMPARE(result.recordCount(), rows);
    const Totals totals = listingTotals(result);
    QCOMPARE(totals.quantity, quantity);
    QCOMPARE(totals.amount, amount);
}

void TestStatisticsQuery::typedCodesAreBoundNotSpliced()
{
    TestApp app;
    addBill(app, "out", "20260302080000", "2026-03-02 00:00:00", "O'Hara", "out", {{"G'1", 2, 10}});
    addBill(app, "out", "20260303080000", "2026-03-03 00:00:00", "C2", "out", {{"G2", 1, 10}});
    db::Dataset* listing = app.dataModule().OutListQ;

    ListingFilter filter{march};
    filter.byGoods = true;
    filter.goodsCode = "G'1";
    QCOMPARE(run(listingQuery(outBills(), filter), listing).recordCount(), 1);

    filter = {march};
    filter.byCompany = true;
    filter.companyCode = "O'Hara";
    QCOMPARE(run(listingQuery(outBills(), filter), listing).recordCount(), 1);

    // Text that would widen a spliced statement matches no company.
    filter.companyCode = "x' or 'a'='a";
    QCOMPARE(run(listingQuery(outBills(), filter), listing).recordCount(), 0);
    QVERIFY(!listingQuery(outBills(), filter).sql.contains("'a'"));
}

void TestStatisticsQuery::rankingSumsAndAveragesPerKey()
{
    TestApp app;
    // 4 at 50 and 5 at 98: 690 for 9 pieces, 76.67 each (the mean of the two prices would be 74).
    addBill(app, "out", "20260302080000", "2026-03-02 00:00:00", "C1", "out", {{"G1", 4, 50}});
    addBill(app, "out", "20260303080000", "2026-03-03 00:00:00", "C1", "out", {{"G1", 5, 98}});
    // Sold and taken back: no quantity, so no average price.
    addBill(app, "out", "20260304080000", "2026-03-04 00:00:00", "C1", "out", {{"G0", 2, 10}, {"G0", -2, 10}});

    const db::Dataset& goods
        = run(rankingQuery(RankingKey::Goods, RankingOrder::ByAmount, BillType::All, march), app.dataModule().OutSortQ);
    QCOMPARE(goods.recordCount(), 2);
    QCOMPARE(goods.value(0, goods.fieldIndex("gods_code")).toString(), QString("G1"));
    QCOMPARE(goods.value(0, goods.fieldIndex("sub_amou")).toDouble(), 9.0);
    QCOMPARE(goods.value(0, goods.fieldIndex("sub_tota")).toDouble(), 690.0);
    QCOMPARE(goods.displayText(0, goods.fieldIndex("unit_pric")), QString("76.67"));
    QVERIFY(goods.value(1, goods.fieldIndex("unit_pric")).isNull());

    const db::Dataset& companies = run(
        rankingQuery(RankingKey::Company, RankingOrder::ByQuantity, BillType::All, march), app.dataModule().OutSortCQ);
    QCOMPARE(companies.recordCount(), 1);
    QCOMPARE(companies.value(0, companies.fieldIndex("comp_code")).toString(), QString("C1"));
    QCOMPARE(companies.value(0, companies.fieldIndex("sub_amou")).toDouble(), 9.0);
    QCOMPARE(companies.value(0, companies.fieldIndex("sub_tota")).toDouble(), 690.0);
    const Totals totals = rankingTotals(companies);
    QCOMPARE(totals.quantity, 9.0);
    QCOMPARE(totals.amount, 690.0);
}

void TestStatisticsQuery::rankingOrder_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("ranked");
    // A: 10 pieces for 10, B: 2 pieces for 100, C: 5 pieces for 50, D: 2 pieces for 100
    QTest::newRow("goods by amount") << int(RankingKey::Goods) << int(RankingOrder::ByAmount)
                                     << QStringList{"GB", "GD", "GC", "GA"};
    QTest::newRow("goods by quantity") << int(RankingKey::Goods) << int(RankingOrder::ByQuantity)
                                       << QStringList{"GA", "GC", "GB", "GD"};
    QTest::newRow("companies by amount") << int(RankingKey::Company) << int(RankingOrder::ByAmount)
                                         << QStringList{"CB", "CD", "CC", "CA"};
    QTest::newRow("companies by quantity") << int(RankingKey::Company) << int(RankingOrder::ByQuantity)
                                           << QStringList{"CA", "CC", "CB", "CD"};
}

void TestStatisticsQuery::rankingOrder()
{
    QFETCH(int, key);
    QFETCH(int, order);
    QFETCH(QStringList, ranked);
    TestApp app;
    // Inserted so that the database's own order is none of the expected ones.
    addBill(app, "out", "20260304080000", "2026-03-04 00:00:00", "CD", "out", {{"GD", 2, 50}});
    addBill(app, "out", "20260302080000", "2026-03-02 00:00:00", "CB", "out", {{"GB", 1, 50}, {"GB", 1, 50}});
    addBill(app, "out", "20260301080000", "2026-03-01 00:00:00", "CA", "out", {{"GA", 10, 1}});
    addBill(app, "out", "20260303080000", "2026-03-03 00:00:00", "CC", "out", {{"GC", 5, 10}});
    const bool goods = RankingKey(key) == RankingKey::Goods;
    db::Dataset* dataset = goods ? app.dataModule().OutSortQ : app.dataModule().OutSortCQ;
    const db::Dataset& result = run(rankingQuery(RankingKey(key), RankingOrder(order), BillType::All, march), dataset);
    QCOMPARE(column(result, goods ? "gods_code" : "comp_code"), ranked);
}

QTEST_GUILESS_MAIN(TestStatisticsQuery)
#include "tst_statisticsquery.moc"
