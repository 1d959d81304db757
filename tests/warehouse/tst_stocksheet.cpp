// The working sheet shared by the stock adjustment and the stock count: what a
// count and an adjustment store, the month lock and saves that fail halfway.
#include "TestSupport.h"
#include "WarehouseData.h"

#include "shop/StockPosting.h"
#include "shop/StockSheet.h"

#include <QtTest>

using namespace WarehouseData;

class TestStockSheet : public QObject {
    Q_OBJECT

private slots:
    void countSetsStockAndStoresHistory_data();
    void countSetsStockAndStoresHistory();
    void countedMonthIsLockedAndTheNextIsNot();
    void countOfEmptyStockLeavesTheMonthOpen();
    void countFailingHalfwayStoresNothingAndRetryStoresOnce();
    void emptyQuantityIsRefusedNamingTheGoods();
    void lookingUpShowsTheStoredCount();
    void loadingAMonthTakesItsOwnCountOnly_data();
    void loadingAMonthTakesItsOwnCountOnly();
    void adjustmentStoresExactlyAndKeepsCost();
    void adjustmentFailingHalfwayChangesNoStock();
};

void TestStockSheet::countSetsStockAndStoresHistory_data()
{
    QTest::addColumn<double>("book");
    QTest::addColumn<double>("counted");
    QTest::newRow("7 against 10") << 10.0 << 7.0;
    QTest::newRow("unchanged") << 10.0 << 10.0;
    QTest::newRow("more than booked") << 2.0 << 4.5;
}

void TestStockSheet::countSetsStockAndStoresHistory()
{
    QFETCH(double, book);
    QFETCH(double, counted);
    TestApp app;
    auto& c = app.dataModule().AdoConn;
    addStock(app, "A1", book, 3.5);
    addStock(app, "B2", 1.0, 2.0);
    const QDate day(2025, 3, 17);
    QVERIFY(StockSheet::startCount(c, day));
    QCOMPARE(app.scalar("select count(*) from chektemp where chek_amou=gods_amou").toInt(), 2);
    app.exec("update chektemp set chek_amou=:p1 where gods_code='A1'", {counted});

    const auto result = StockSheet::saveCount(c, day);
    QCOMPARE(result.outcome, StockSheet::Outcome::Saved);
    QCOMPARE(stock(app, "A1"), counted);
    QCOMPARE(stock(app, "B2"), 1.0);
    QCOMPARE(app.scalar("select cost_pric from storemain where gods_code='A1'").toDouble(), 3.5);
    QCOMPARE(app.scalar("select chek_amou-gods_amou from storchek where gods_code='A1'").toDouble(), counted - book);
    QCOMPARE(app.scalar("select chek_date from storchek where gods_code='A1'").toString(),
             QString("2025-03-17 00:00:00"));
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 2);
}

void TestStockSheet::countedMonthIsLockedAndTheNextIsNot()
{
    TestApp app;
    auto& c = app.dataModule().AdoConn;
    addStock(app, "A1", 10.0);
    QVERIFY(StockSheet::startCount(c, QDate(2025, 12, 31)));
    QCOMPARE(StockSheet::saveCount(c, QDate(2025, 12, 31)).outcome, StockSheet::Outcome::Saved);

    // Bill deletion asks this same lock: refused in December, allowed in January.
    QVERIFY(StockPosting::isMonthCounted(c, 2025, 12));
    QVERIFY(!StockPosting::isMonthCounted(c, 2026, 1));
    QVERIFY(!StockPosting::isMonthCounted(c, 2025, 11));

    // Another day of the counted month is refused and leaves the sheet as it was.
    app.exec("update chektemp set chek_amou=99");
    QVERIFY(!StockSheet::startCount(c, QDate(2025, 12, 1)));
    QCOMPARE(app.scalar("select chek_amou from chektemp").toDouble(), 99.0);
    // A save of that month (a second window, a retry after success) stores nothing twice.
    QCOMPARE(StockSheet::saveCount(c, QDate(2025, 12, 5)).outcome, StockSheet::Outcome::MonthCounted);
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 1);
    QCOMPARE(stock(app, "A1"), 10.0);

    QVERIFY(StockSheet::startCount(c, QDate(2026, 1, 1)));
}

void TestStockSheet::countOfEmptyStockLeavesTheMonthOpen()
{
    TestApp app;
    auto& c = app.dataModule().AdoConn;
    QVERIFY(StockSheet::startCount(c, QDate(2025, 4, 2)));
    QCOMPARE(StockSheet::saveCount(c, QDate(2025, 4, 2)).rows, 0);
    QVERIFY(!StockPosting::isMonthCounted(c, 2025, 4));
}

void TestStockSheet::countFailingHalfwayStoresNothingAndRetryStoresOnce()
{
    TestApp app;
    auto& c = app.dataModule().AdoConn;
    for (int i = 1; i <= 5; ++i)
        addStock(app, QString("G%1").arg(i), 10.0);
    const QDate day(2025, 6, 9);
    QVERIFY(StockSheet::startCount(c, day));
    app.exec("update chektemp set chek_amou=7");
    failStockUpdateAt(app, 3);

    QVERIFY_THROWS_EXCEPTION(std::exception, StockSheet::saveCount(c, day));
    QVERIFY(!StockPosting::isMonthCounted(c, day));
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 0);
    QCOMPARE(app.scalar("select count(*) from storemain where gods_amou=10").toInt(), 5);
    // The typed quantities are still on the sheet for the retry.
    QCOMPARE(app.scalar("select count(*) from chektemp where chek_amou=7").toInt(), 5);

    removeFailure(app);
    QCOMPARE(StockSheet::saveCount(c, day).outcome, StockSheet::Outcome::Saved);
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 5);
    QCOMPARE(app.scalar("select count(*) from storemain where gods_amou=7").toInt(), 5);
}

void TestStockSheet::emptyQuantityIsRefusedNamingTheGoods()
{
    TestApp app;
    auto& c = app.dataModule().AdoConn;
    addStock(app, "A1", 10.0);
    addStock(app, "B2", 4.0);
    QVERIFY(StockSheet::startCount(c, QDate(2025, 2, 2)));
    app.exec("update chektemp set chek_amou=null where gods_code='B2'");
    app.exec("update chektemp set chek_amou=1 where gods_code='A1'");

    const auto count = StockSheet::saveCount(c, QDate(2025, 2, 2));
    QCOMPARE(count.outcome, StockSheet::Outcome::EmptyQuantity);
    QCOMPARE(count.goods, QString("B2"));
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 0);
    QCOMPARE(stock(app, "A1"), 10.0);

    const auto adjustment = StockSheet::saveAdjustment(c);
    QCOMPARE(adjustment.outcome, StockSheet::Outcome::EmptyQuantity);
    QCOMPARE(adjustment.goods, QString("B2"));
    QCOMPARE(stock(app, "A1"), 10.0);
    QCOMPARE(app.scalar("select count(*) from storemain where gods_amou is null").toInt(), 0);
}

void TestStockSheet::lookingUpShowsTheStoredCount()
{
    TestApp app;
    auto& c = app.dataModule().AdoConn;
    addStock(app, "A1", 10.0);
    QVERIFY(StockSheet::startCount(c, QDate(2025, 5, 20)));
    app.exec("update chektemp set chek_amou=6");
    StockSheet::saveCount(c, QDate(2025, 5, 20));
    app.exec("update storemain set gods_amou=50");   // later bills move the stock on

    QCOMPARE(StockSheet::loadCount(c, QDate(2025, 5, 1)), 1);
    QCOMPARE(app.scalar("select gods_amou from chektemp").toDouble(), 10.0);
    QCOMPARE(app.scalar("select chek_amou from chektemp").toDouble(), 6.0);
    QCOMPARE(StockSheet::loadCount(c, QDate(2025, 6, 1)), 0);
    QCOMPARE(app.scalar("select count(*) from chektemp").toInt(), 0);
}

void TestStockSheet::loadingAMonthTakesItsOwnCountOnly_data()
{
    QTest::addColumn<QDate>("month");
    QTest::addColumn<QString>("goods");
    QTest::newRow("May") << QDate(2025, 5, 31) << "M1";
    QTest::newRow("June") << QDate(2025, 6, 1) << "J1";
}

// Counts on the first day of two months side by side: each month loads its own only.
void TestStockSheet::loadingAMonthTakesItsOwnCountOnly()
{
    QFETCH(QDate, month);
    QFETCH(QString, goods);
    TestApp app;
    addCount(app, "M1", 5, QDate(2025, 5, 1));
    addCount(app, "J1", 7, QDate(2025, 6, 1));
    QCOMPARE(StockSheet::loadCount(app.dataModule().AdoConn, month), 1);
    QCOMPARE(app.scalar("select gods_code from chektemp").toString(), goods);
}

void TestStockSheet::adjustmentStoresExactlyAndKeepsCost()
{
    TestApp app;
    auto& c = app.dataModule().AdoConn;
    addStock(app, "O'NEIL", 3.0, 8.25);
    addStock(app, "B2", 4.0, 1.0);
    addStock(app, "", 2.0, 1.0);   // blank codes are adjusted like any other
    QCOMPARE(StockSheet::fillFromStock(c), 3);
    QCOMPARE(app.scalar("select count(*) from chektemp where chek_amou is null").toInt(), 3);
    StockSheet::startAdjusting(c);
    app.exec("update chektemp set chek_amou=12.5 where gods_code=:p1", {QString("O'NEIL")});
    app.exec("update chektemp set chek_amou=0 where gods_code=''");

    QCOMPARE(StockSheet::saveAdjustment(c).outcome, StockSheet::Outcome::Saved);
    QCOMPARE(stock(app, "O'NEIL"), 12.5);
    QCOMPARE(app.scalar("select cost_pric from storemain where gods_code=:p1", {QString("O'NEIL")}).toDouble(), 8.25);
    QCOMPARE(stock(app, "B2"), 4.0);
    QCOMPARE(stock(app, ""), 0.0);
    QCOMPARE(app.scalar("select count(*) from storemain").toInt(), 3);
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 0);
}

void TestStockSheet::adjustmentFailingHalfwayChangesNoStock()
{
    TestApp app;
    auto& c = app.dataModule().AdoConn;
    addStock(app, "A1", 1.0);
    addStock(app, "B2", 2.0);
    StockSheet::fillFromStock(c);
    StockSheet::startAdjusting(c);
    app.exec("update chektemp set chek_amou=9");
    failStockUpdateAt(app, 2);
    QVERIFY_THROWS_EXCEPTION(std::exception, StockSheet::saveAdjustment(c));
    QCOMPARE(stock(app, "A1"), 1.0);
    QCOMPARE(stock(app, "B2"), 2.0);
}

QTEST_MAIN(TestStockSheet)
#include "tst_stocksheet.moc"
