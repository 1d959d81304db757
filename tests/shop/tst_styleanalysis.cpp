// What sells without a window: sell-through per style with returns inside and
// outside the range, the size × colour cells, size shares, slow movers, stock
// age first in first out, and turnover, over bills, counts and adjustments
// saved through the shop rules.
#include "StyleSamples.h"

#include "core/Clock.h"
#include "db/Dataset.h"
#include "shop/BillStore.h"
#include "shop/StatisticsQuery.h"
#include "shop/StockMovement.h"
#include "shop/StockQuery.h"
#include "shop/StockSheet.h"
#include "shop/StyleAnalysis.h"

#include <QtTest>

using namespace StyleAnalysis;
using StockPosting::BillKind;
using StockPosting::BillLine;
using StyleSamples::addGoods;
using StyleSamples::save;

class TestStyleAnalysis : public QObject {
    Q_OBJECT

private slots:
    void sellThroughCountsReturnsInTheirRange();
    void seasonGroupsItsGoodsAndTheUnseasoned();
    void styleCellsAndANeverBoughtSize();
    void sizeSharesSumToAHundred_data();
    void sizeSharesSumToAHundred();
    void sizeCurveOfABrand();
    void ageBuckets_data();
    void ageBuckets();
    void stockAgeLaysStockOnTheNewestPurchases();
    void slowMoversHaveNoSaleInTheirDays();
    void turnoverAndDaysOfStock();
    void turnoverTakesBackACountAfterTheRange();
    void turnoverTakesBackAdjustmentsInAndAfterTheRange();
    void turnoverStockAgreesWithTheMonthMovement();
};

namespace {

const DateRange march{QDate(2026, 3, 1), QDate(2026, 3, 31)};

const StyleRow* row(const QList<StyleRow>& rows, const QString& key)
{
    for (const StyleRow& r : rows)
        if (r.key == key)
            return &r;
    return nullptr;
}

// Two sizes of style S1 bought at 40; sales and customer returns inside March and after it.
void sellThroughBills(TestApp& app)
{
    addGoods(app, "S1-R-M", "S1", "红", "M");
    addGoods(app, "S1-R-L", "S1", "红", "L");
    save(app, BillKind::Purchase, {2026, 3, 1}, {{"S1-R-M", 10, 40, {}}, {"S1-R-L", 10, 40, {}}});
    save(app, BillKind::SupplierReturn, {2026, 3, 5}, {{"S1-R-L", 2, 40, {}}});
    save(app, BillKind::Sale, {2026, 3, 10}, {{"S1-R-M", 6, 100, {}}, {"S1-R-L", 4, 100, {}}});
    save(app, BillKind::CustomerReturn, {2026, 3, 15}, {{"S1-R-M", 1, 100, QStringLiteral("入库")}});
    save(app, BillKind::CustomerReturn, {2026, 3, 31}, {{"S1-R-L", 1, 100, QStringLiteral("不入库")}});
    save(app, BillKind::Sale, {2026, 4, 2}, {{"S1-R-M", 2, 100, {}}});
    save(app, BillKind::CustomerReturn, {2026, 4, 20}, {{"S1-R-M", 1, 100, {}}});
}

using Quantities = QList<QPair<QString, double>>;

// The sheet lines that take each goods from its book quantity to the one given.
QList<StockSheet::Line> sheetLines(TestApp& app, const Quantities& quantities)
{
    QList<StockSheet::Line> lines;
    for (const auto& [code, quantity] : quantities)
        lines.append({code, app.scalar("select gods_amou from storemain where gods_code=:p1", {code}).toDouble(),
                      quantity});
    return lines;
}

// An adjustment saved at `moment`.
void adjust(TestApp& app, const QDateTime& moment, const Quantities& quantities)
{
    Clock::setFixed(moment);
    QCOMPARE(StockSheet::saveAdjustment(app.dataModule().AdoConn, sheetLines(app, quantities)).outcome,
             StockSheet::Outcome::Saved);
}

// A count dated `day`.
void count(TestApp& app, const QDate& day, const Quantities& quantities)
{
    QCOMPARE(StockSheet::saveCount(app.dataModule().AdoConn, day, sheetLines(app, quantities)).outcome,
             StockSheet::Outcome::Saved);
}

} // namespace

void TestStyleAnalysis::sellThroughCountsReturnsInTheirRange()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    sellThroughBills(app);
    // A goods without 款号 is a style of its own; a style only sold from opening stock is never bought.
    addGoods(app, "LOOSE", {}, "白", "F");
    addGoods(app, "OLD-1", "OLD", "黑", "M");
    save(app, BillKind::Purchase, {2026, 3, 2}, {{"LOOSE", 4, 10, {}}});
    save(app, BillKind::Sale, {2026, 3, 3}, {{"LOOSE", 4, 30, {}}});
    app.exec("insert into storemain(gods_code,gods_amou,cost_pric) values('OLD-1',5,8)");
    save(app, BillKind::Sale, {2026, 3, 4}, {{"OLD-1", 1, 20, {}}});

    const QList<StyleRow> rows = styles(c, Grouping::Style, march);
    QCOMPARE(rows.size(), 3);
    const StyleRow* s1 = row(rows, "S1");
    QVERIFY(s1);
    const Figures& f = s1->figures;
    QCOMPARE(f.received, 18.0);   // 20 bought, 2 back to the supplier
    QCOMPARE(f.sold, 10.0);       // April's sale is outside
    QCOMPARE(f.returned, 2.0);    // both March returns, "不入库" too; April's is outside
    QCOMPARE(f.sellThrough().value(), 8.0 / 18.0 * 100.0);
    QCOMPARE(f.amount, 800.0);
    // M re-averaged by the two stock-moving returns at 100: 4 at 40 + 1 → 52, 3 at 52 + 1 → 64.
    QCOMPARE(f.stock, 8.0);       // M 4, L 4: the "不入库" return never came back
    QCOMPARE(f.stockValue, 4 * 64.0 + 4 * 40.0);
    QCOMPARE(f.cost, 5 * 64.0 + 3 * 40.0);
    QCOMPARE(f.margin(), 800.0 - 440.0);
    QCOMPARE(s1->firstReceipt, QDate(2026, 3, 1));
    QCOMPARE(s1->weeksOnSale.value(), 4);

    // Sorted by sell-through: LOOSE sold all it got, S1 less, OLD was never bought and comes last.
    QCOMPARE(rows.at(0).key, QStringLiteral("LOOSE"));
    QCOMPARE(rows.at(0).figures.sellThrough().value(), 100.0);
    QCOMPARE(rows.at(2).key, QStringLiteral("OLD"));
    QVERIFY(!rows.at(2).figures.sellThrough());
    QVERIFY(!rows.at(2).weeksOnSale);

    // The figures agree with 出货统计 (sales of the range) and 库存查询.
    db::Dataset listing(c, QStringLiteral("listing"));
    statistics::listingQuery(statistics::outBills(), {march, statistics::BillType::Own}).applyTo(listing);
    listing.open();
    db::Dataset stock(c, QStringLiteral("stock"));
    StockQuery::prepareStock(stock, {});
    stock.open();
    double sold = 0, held = 0, value = 0;
    for (const StyleRow& r : rows) {
        sold += r.figures.sold;
        held += r.figures.stock;
        value += r.figures.stockValue;
    }
    QCOMPARE(sold, statistics::listingTotals(listing).quantity);
    QCOMPARE(held, StockQuery::sum(stock).quantity);
    QCOMPARE(value, StockQuery::sum(stock).cost);

    // By brand all of it is one group.
    const QList<StyleRow> brands = styles(c, Grouping::Brand, march);
    QCOMPARE(brands.size(), 1);
    QCOMPARE(brands.first().figures.sold, sold);
}

void TestStyleAnalysis::seasonGroupsItsGoodsAndTheUnseasoned()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    sellThroughBills(app);
    addGoods(app, "LOOSE", {}, "白", "F");
    addGoods(app, "OLD-1", "OLD", "黑", "M");
    addGoods(app, "AW-1", "AW", "黑", "M");
    save(app, BillKind::Purchase, {2026, 3, 2}, {{"LOOSE", 4, 10, {}}, {"AW-1", 5, 50, {}}});
    save(app, BillKind::Sale, {2026, 3, 3}, {{"LOOSE", 4, 30, {}}, {"OLD-1", 1, 20, {}}, {"AW-1", 1, 90, {}}});
    app.exec("update goods set season=:p1 where styl_code='S1'", {"2026春夏"});
    app.exec("update goods set season=:p1 where gods_code='AW-1'", {" 2026秋冬 "});
    app.exec("update goods set season='  ' where gods_code='OLD-1'");   // blank is no season

    const QList<StyleRow> seasons = styles(c, Grouping::Season, march);
    QCOMPARE(seasons.size(), 3);
    const StyleRow* spring = row(seasons, "2026春夏");
    const StyleRow* autumn = row(seasons, "2026秋冬");
    const StyleRow* none = row(seasons, noSeason);
    QVERIFY(spring && autumn && none);
    QCOMPARE(noSeason, QStringLiteral("未分季节"));
    // The season holds its styles' sums: S1 alone in spring, LOOSE and OLD without one.
    const StyleRow* s1 = row(styles(c, Grouping::Style, march), "S1");
    QCOMPARE(spring->figures.sold, s1->figures.sold);
    QCOMPARE(spring->figures.received, s1->figures.received);
    QCOMPARE(spring->figures.stock, s1->figures.stock);
    QCOMPARE(autumn->figures.sold, 1.0);
    QCOMPARE(autumn->figures.sellThrough().value(), 20.0);
    QCOMPARE(none->figures.sold, 5.0);
    QCOMPARE(none->figures.received, 4.0);
    QCOMPARE(none->firstReceipt, QDate(2026, 3, 2));
    QCOMPARE(groupingName(Grouping::Season), QStringLiteral("季节"));
}

void TestStyleAnalysis::styleCellsAndANeverBoughtSize()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    app.exec("insert into baseitem(gods_size_id,gods_size) values('1','S'),('2','M'),('3','L')");
    addGoods(app, "T-B-S", "T", "黑", "S");
    addGoods(app, "T-B-M", "T", "黑", "M");
    addGoods(app, "T-B-L", "T", "黑", "L");
    addGoods(app, "T-W-M", "T", "白", "M");   // white has no S or L
    save(app, BillKind::Purchase, {2026, 3, 2}, {{"T-B-S", 5, 30, {}}, {"T-B-M", 10, 30, {}}, {"T-W-M", 4, 30, {}}});
    // L was never bought: sold out of opening stock.
    app.exec("insert into storemain(gods_code,gods_amou,cost_pric) values('T-B-L',3,25)");
    save(app, BillKind::Sale, {2026, 3, 20}, {{"T-B-S", 5, 60, {}}, {"T-B-M", 4, 60, {}}, {"T-B-L", 2, 60, {}}});

    const StyleCells cells = styleCells(c, "T", march);
    QCOMPARE(cells.sizes, (QStringList{"S", "M", "L"}));
    QCOMPARE(cells.colors.size(), 2);
    const int black = int(cells.colors.indexOf("黑"));
    const int white = 1 - black;
    QCOMPARE(cells.cell(black, 0)->sellThrough().value(), 100.0);
    QCOMPARE(cells.cell(black, 1)->sellThrough().value(), 40.0);
    QCOMPARE(cells.cell(black, 2)->sold, 2.0);
    QCOMPARE(cells.cell(black, 2)->stock, 1.0);
    QVERIFY(!cells.cell(black, 2)->sellThrough());   // never bought: no share of nothing
    QVERIFY(!cells.cell(white, 0));                  // no such goods
    QCOMPARE(cells.cell(white, 1)->stock, 4.0);
    QCOMPARE(cells.sizeTotal(1).received, 14.0);
    QCOMPARE(cells.colorTotal(black).sold, 11.0);
    QCOMPARE(cells.total().stock, 11.0);

    // The size curve of the style's brand: L has a sold share and no bought share.
    const QList<SizeShare> shares = sizeShares(c, Grouping::Brand, "BX", march);
    QCOMPARE(shares.size(), 3);
    QCOMPARE(shares.at(2).size, QStringLiteral("L"));
    QCOMPARE(shares.at(2).boughtShare, 0.0);
    QCOMPARE(shares.at(2).soldShare, 18.2);   // 2 of 11

    // A goods without 款号 gives its own single cell.
    addGoods(app, "SOLO", {}, "灰", "XL");
    const StyleCells solo = styleCells(c, "SOLO", march);
    QCOMPARE(solo.colors, QStringList{"灰"});
    QCOMPARE(solo.sizes, QStringList{"XL"});
    QVERIFY(solo.cell(0, 0).has_value());
    QVERIFY(styleCells(c, "NOTHING", march).cells.isEmpty());
}

void TestStyleAnalysis::sizeSharesSumToAHundred_data()
{
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QList<double>>("shares");
    QTest::newRow("thirds: the largest remainder takes the last tenth")
        << QList<double>{1, 1, 1} << QList<double>{33.4, 33.3, 33.3};
    QTest::newRow("sevenths") << QList<double>{1, 1, 1, 1, 1, 1, 1}
                              << QList<double>{14.3, 14.3, 14.3, 14.3, 14.3, 14.3, 14.2};
    QTest::newRow("a negative size counts as none") << QList<double>{3, -1, 1} << QList<double>{75, 0, 25};
    QTest::newRow("nothing at all") << QList<double>{0, 0} << QList<double>{0, 0};
    QTest::newRow("uneven") << QList<double>{2, 5, 6} << QList<double>{15.4, 38.5, 46.1};
}

void TestStyleAnalysis::sizeSharesSumToAHundred()
{
    QFETCH(QList<double>, values);
    QFETCH(QList<double>, shares);
    const QList<double> got = percentShares(values);
    QCOMPARE(got, shares);
}

void TestStyleAnalysis::sizeCurveOfABrand()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    app.exec("insert into baseitem(gods_size_id,gods_size) values('1','S'),('2','M'),('3','L')");
    addGoods(app, "A-S", "A", "红", "S");
    addGoods(app, "A-M", "A", "红", "M");
    addGoods(app, "A-L", "A", "红", "L");
    addGoods(app, "Z-M", "Z", "红", "M", "OTHER");   // another brand stays out
    save(app, BillKind::Purchase, {2026, 3, 1},
         {{"A-S", 3, 10, {}}, {"A-M", 3, 10, {}}, {"A-L", 4, 10, {}}, {"Z-M", 50, 10, {}}});
    save(app, BillKind::Sale, {2026, 3, 9}, {{"A-S", 1, 20, {}}, {"A-M", 3, 20, {}}, {"A-L", 4, 20, {}}, {"Z-M", 9, 20, {}}});
    save(app, BillKind::CustomerReturn, {2026, 3, 10}, {{"A-L", 1, 20, QStringLiteral("不入库")}});

    const QList<SizeShare> shares = sizeShares(c, Grouping::Brand, "BX", march);
    QCOMPARE(shares.size(), 3);
    QCOMPARE(shares.at(1).size, QStringLiteral("M"));
    QCOMPARE(shares.at(1).bought, 3.0);
    QCOMPARE(shares.at(1).boughtShare, 30.0);
    QCOMPARE(shares.at(1).sold, 3.0);
    QCOMPARE(shares.at(1).soldShare, 42.9);   // 3 of the 7 kept: the returned L is not sold
    double bought = 0, sold = 0;
    for (const SizeShare& s : shares) {
        bought += s.boughtShare;
        sold += s.soldShare;
    }
    QCOMPARE(qRound(bought * 10), 1000);
    QCOMPARE(qRound(sold * 10), 1000);
    // Over every goods the other brand's M counts too.
    QCOMPARE(sizeShares(c, Grouping::Brand, {}, march).at(1).bought, 53.0);
}

void TestStyleAnalysis::ageBuckets_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<AgeBucket>("bucket");
    QTest::newRow("today") << 0 << AgeBucket::UpTo30;
    QTest::newRow("30") << 30 << AgeBucket::UpTo30;
    QTest::newRow("31") << 31 << AgeBucket::UpTo90;
    QTest::newRow("90") << 90 << AgeBucket::UpTo90;
    QTest::newRow("91") << 91 << AgeBucket::UpTo180;
    QTest::newRow("180") << 180 << AgeBucket::UpTo180;
    QTest::newRow("181") << 181 << AgeBucket::Over180;
}

void TestStyleAnalysis::ageBuckets()
{
    QFETCH(int, days);
    QFETCH(AgeBucket, bucket);
    QCOMPARE(ageBucket(days), bucket);
}

void TestStyleAnalysis::stockAgeLaysStockOnTheNewestPurchases()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    const QDate today(2026, 12, 1);
    addGoods(app, "A-1", "A", "红", "M");
    addGoods(app, "A-2", "A", "红", "L");
    addGoods(app, "B-1", "B", "黑", "M");
    // 10 at 10 long ago, 4 at 20 lately, 7 sold: the 4 new ones and 3 of the old purchase are left.
    save(app, BillKind::Purchase, today.addDays(-200), {{"A-1", 10, 10, {}}});
    save(app, BillKind::Purchase, today.addDays(-20), {{"A-1", 4, 20, {}}});
    save(app, BillKind::Sale, today.addDays(-10), {{"A-1", 7, 30, {}}});
    // Two purchases of A-2, the older one partly sold; a sold-out B-1 holds nothing.
    save(app, BillKind::Purchase, today.addDays(-95), {{"A-2", 5, 10, {}}});
    save(app, BillKind::Purchase, today.addDays(-60), {{"A-2", 5, 10, {}}});
    save(app, BillKind::Sale, today.addDays(-5), {{"A-2", 2, 30, {}}});
    save(app, BillKind::Purchase, today.addDays(-60), {{"B-1", 5, 10, {}}});
    save(app, BillKind::Sale, today.addDays(-5), {{"B-1", 5, 30, {}}});
    // Opening stock with no purchase behind it.
    addGoods(app, "C-1", {}, "白", "S");
    app.exec("insert into storemain(gods_code,gods_amou,cost_pric) values('C-1',6,5)");

    const QList<AgeRow> goods = stockAge(c, std::nullopt, today);
    QCOMPARE(goods.size(), 3);   // B-1 holds nothing
    const AgeRow& a1 = goods.at(0);
    QCOMPARE(a1.key, QStringLiteral("A-1"));
    const double cost = 180.0 / 14.0;
    QCOMPARE(a1.quantity[int(AgeBucket::UpTo30)], 4.0);
    QCOMPARE(a1.quantity[int(AgeBucket::Over180)], 3.0);
    QCOMPARE(a1.totalQuantity(), 7.0);
    QCOMPARE(a1.value[int(AgeBucket::Over180)], 3 * cost);
    const AgeRow& a2 = goods.at(1);
    QCOMPARE(a2.quantity[int(AgeBucket::UpTo90)], 5.0);
    QCOMPARE(a2.quantity[int(AgeBucket::UpTo180)], 3.0);
    QCOMPARE(goods.at(2).quantity[int(AgeBucket::Unknown)], 6.0);
    QCOMPARE(goods.at(2).value[int(AgeBucket::Unknown)], 30.0);

    const QList<AgeRow> styles = stockAge(c, Grouping::Style, today);
    QCOMPARE(styles.size(), 2);
    QCOMPARE(styles.at(0).key, QStringLiteral("A"));
    QCOMPARE(styles.at(0).totalQuantity(), 15.0);
    QCOMPARE(styles.at(1).key, QStringLiteral("C-1"));
    QCOMPARE(oldStockValue(c, today), 3 * cost);
}

void TestStyleAnalysis::slowMoversHaveNoSaleInTheirDays()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    const QDate today(2026, 6, 30);
    addGoods(app, "A-1", "A", "红", "M");
    addGoods(app, "A-2", "A", "红", "L");
    addGoods(app, "B-1", "B", "黑", "M");
    addGoods(app, "D-1", "D", "白", "M");
    save(app, BillKind::Purchase, {2026, 1, 5}, {{"A-1", 5, 10, {}}, {"A-2", 5, 10, {}}, {"B-1", 5, 10, {}},
                                                 {"D-1", 5, 10, {}}});
    save(app, BillKind::Sale, today.addDays(-29), {{"A-1", 1, 20, {}}});   // inside the 30 days
    save(app, BillKind::Sale, today.addDays(-30), {{"A-2", 1, 20, {}}});   // just outside
    save(app, BillKind::Sale, today.addDays(-40), {{"D-1", 5, 20, {}}});   // idle, but sold out

    const QList<SlowMover> goods = slowMovers(c, std::nullopt, defaultIdleDays, today);
    QCOMPARE(goods.size(), 2);
    QCOMPARE(goods.at(0).key, QStringLiteral("B-1"));   // never sold comes first
    QVERIFY(!goods.at(0).lastSale.isValid());
    QCOMPARE(goods.at(1).key, QStringLiteral("A-2"));
    QCOMPARE(goods.at(1).idleDays.value(), 30);
    QCOMPARE(goods.at(1).stockValue, 40.0);

    // Style A sold within the days through A-1: only B is slow.
    const QList<SlowMover> styles = slowMovers(c, Grouping::Style, defaultIdleDays, today);
    QCOMPARE(styles.size(), 1);
    QCOMPARE(styles.first().key, QStringLiteral("B"));
    // Over 29 days A-1's sale is outside too.
    QCOMPARE(slowMovers(c, Grouping::Style, 29, today).size(), 2);
}

void TestStyleAnalysis::turnoverAndDaysOfStock()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    addGoods(app, "A-1", "A", "红", "M");
    save(app, BillKind::Purchase, {2026, 2, 10}, {{"A-1", 10, 10, {}}});
    save(app, BillKind::Sale, {2026, 3, 5}, {{"A-1", 4, 25, {}}});
    save(app, BillKind::Purchase, {2026, 3, 20}, {{"A-1", 6, 10, {}}});
    save(app, BillKind::CustomerReturn, {2026, 3, 25}, {{"A-1", 1, 25, QStringLiteral("不入库")}});
    save(app, BillKind::Sale, {2026, 4, 3}, {{"A-1", 2, 25, {}}});

    const QList<TurnoverRow> rows = turnover(c, Grouping::Style, march);
    QCOMPARE(rows.size(), 1);
    const TurnoverRow& r = rows.first();
    QCOMPARE(r.stock, 10.0);
    QCOMPARE(r.closingValue, 120.0);   // 12 at the end of March: April's sale taken back
    QCOMPARE(r.openingValue, 100.0);   // 10 on 1 March
    QCOMPARE(r.kept, 3.0);
    QCOMPARE(r.costOfSales, 30.0);
    QCOMPARE(r.turnover.value(), 30.0 / 110.0);
    QCOMPARE(r.daysOfStock.value(), 10.0 / (3.0 / 31.0));

    // Nothing sold in a range: no days of stock to give.
    const QList<TurnoverRow> quiet = turnover(c, Grouping::Style, {QDate(2026, 5, 1), QDate(2026, 5, 31)});
    QVERIFY(!quiet.first().daysOfStock);
    QCOMPARE(quiet.first().openingValue, 100.0);
}

void TestStyleAnalysis::turnoverTakesBackACountAfterTheRange()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    addGoods(app, "A-1", "A", "红", "M");
    addGoods(app, "A-2", "A", "红", "L");
    save(app, BillKind::Purchase, {2026, 3, 1}, {{"A-1", 10, 10, {}}, {"A-2", 4, 10, {}}});
    save(app, BillKind::Sale, {2026, 3, 10}, {{"A-1", 4, 25, {}}});
    // Counted in April: one A-1 lost, A-2 as booked.
    count(app, {2026, 4, 15}, {{"A-1", 5}, {"A-2", 4}});

    const QList<TurnoverRow> rows = turnover(c, Grouping::Style, march);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().stock, 9.0);
    QCOMPARE(rows.first().closingValue, 100.0);   // 6 and 4 at the end of March: the loss came later
    QCOMPARE(rows.first().openingValue, 0.0);
    QCOMPARE(rows.first().turnover.value(), 40.0 / 50.0);

    // In April's range the count moved the stock from 10 to 9 with no bill.
    const QList<TurnoverRow> april = turnover(c, Grouping::Style, {QDate(2026, 4, 1), QDate(2026, 4, 30)});
    QCOMPARE(april.first().openingValue, 100.0);
    QCOMPARE(april.first().closingValue, 90.0);
}

void TestStyleAnalysis::turnoverTakesBackAdjustmentsInAndAfterTheRange()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    addGoods(app, "A-1", "A", "红", "M");
    addGoods(app, "B 1", {}, "白", "F");   // a code with a space, a group of its own
    save(app, BillKind::Purchase, {2026, 2, 10}, {{"A-1", 10, 10, {}}});
    app.exec("insert into storemain(gods_code,gods_amou,cost_pric) values('B 1',4,2)");
    adjust(app, QDateTime(QDate(2026, 3, 15), QTime(10, 0)), {{"A-1", 7}, {"B 1", 6.5}});
    save(app, BillKind::Sale, {2026, 3, 20}, {{"A-1", 2, 25, {}}});
    // The range's last second is in it, the next one is not.
    adjust(app, QDateTime(QDate(2026, 3, 31), QTime(23, 59, 59)), {{"B 1", 7}});
    adjust(app, QDateTime(QDate(2026, 4, 1), QTime(0, 0)), {{"A-1", 8}});

    const QList<TurnoverRow> rows = turnover(c, Grouping::Style, march);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).key, QStringLiteral("A"));
    QCOMPARE(rows.at(0).stock, 8.0);
    QCOMPARE(rows.at(0).openingValue, 100.0);   // 10 before the adjustment down to 7
    QCOMPARE(rows.at(0).closingValue, 50.0);    // 7 less the sale of 2; April's 3 taken back
    QCOMPARE(rows.at(1).key, QStringLiteral("B 1"));
    QCOMPARE(rows.at(1).openingValue, 4 * 2.0);
    QCOMPARE(rows.at(1).closingValue, 7 * 2.0);
}

void TestStyleAnalysis::turnoverStockAgreesWithTheMonthMovement()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    addGoods(app, "A-1", "A", "红", "M");
    save(app, BillKind::Purchase, {2026, 2, 10}, {{"A-1", 10, 10, {}}});
    save(app, BillKind::Sale, {2026, 2, 20}, {{"A-1", 3, 25, {}}});
    count(app, {2026, 2, 28}, {{"A-1", 6}});   // one lost in February
    save(app, BillKind::Purchase, {2026, 3, 5}, {{"A-1", 5, 10, {}}});
    save(app, BillKind::Sale, {2026, 3, 12}, {{"A-1", 4, 25, {}}});
    save(app, BillKind::CustomerReturn, {2026, 3, 20}, {{"A-1", 1, 10, {}}});
    save(app, BillKind::CustomerReturn, {2026, 3, 21}, {{"A-1", 1, 25, StockPosting::notIntoStock}});
    save(app, BillKind::SupplierReturn, {2026, 3, 25}, {{"A-1", 1, 10, {}}});
    // After March: a sale, an adjustment and a count.
    save(app, BillKind::Sale, {2026, 4, 3}, {{"A-1", 2, 25, {}}});
    adjust(app, QDateTime(QDate(2026, 4, 10), QTime(9, 0)), {{"A-1", 8}});
    count(app, {2026, 4, 30}, {{"A-1", 7}});

    StockMovement::compute(c, 2026, 3);
    const double opening = app.scalar("select last_amou from mios where gods_code='A-1'").toDouble();
    const double closing = app.scalar("select now_amou from mios where gods_code='A-1'").toDouble();
    QCOMPARE(opening, 6.0);
    QCOMPARE(closing, 7.0);
    const QList<TurnoverRow> rows = turnover(c, Grouping::Style, march);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().openingValue, opening * 10);   // every piece at a cost of 10
    QCOMPARE(rows.first().closingValue, closing * 10);
}

QTEST_MAIN(TestStyleAnalysis)
#include "tst_styleanalysis.moc"
