// The stock sheet shared by the stock adjustment and the stock count: what a
// count and an adjustment store, what they refuse, the month lock, saves that
// fail halfway, and other copies saving meanwhile.
#include "PgProxy.h"
#include "TestSupport.h"
#include "WarehouseData.h"

#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "shop/SaveIdentity.h"
#include "shop/StockInit.h"
#include "shop/StockPosting.h"
#include "shop/StockSheet.h"

#include <QtTest>

using namespace WarehouseData;
using StockRules::Sheet;
using StockSheet::Outcome;

namespace {

db::Dataset& sheetOf(TestApp& app)
{
    return *app.dataModule().ChektempQ;
}

// Types a quantity over the goods' row, as the windows post it.
void enter(db::Dataset& sheet, const QString& code, const QVariant& quantity)
{
    QVERIFY2(sheet.locate("gods_code", code), qPrintable(code));
    sheet.setValue("chek_amou", quantity);
    sheet.post();
}

StockSheet::SaveResult saveCount(TestApp& app, const QDate& day)
{
    return StockSheet::saveCount(app.dataModule().AdoConn, day, StockSheet::lines(sheetOf(app)));
}

StockSheet::SaveResult saveAdjustment(TestApp& app)
{
    return StockSheet::saveAdjustment(app.dataModule().AdoConn, StockSheet::lines(sheetOf(app)));
}

} // namespace

class TestStockSheet : public QObject {
    Q_OBJECT

private slots:
    void countSetsStockAndStoresHistory_data();
    void countSetsStockAndStoresHistory();
    void countedMonthIsLockedAndTheNextIsNot();
    void countFailingHalfwayStoresNothingAndRetryStoresOnce();
    void sheetRefusesWhatTheBooksMustNotHold_data();
    void sheetRefusesWhatTheBooksMustNotHold();
    void lookingUpShowsTheStoredCount();
    void loadingAMonthTakesItsOwnCountOnly_data();
    void loadingAMonthTakesItsOwnCountOnly();
    void adjustmentStoresExactlyAndKeepsCost();
    void adjustmentFailingHalfwayChangesNoStock();
    void countKeepsASaleSavedMeanwhile();
    void adjustmentKeepsASaleSavedMeanwhile();
    void nothingToSaveIsSaidAsSuch();
    void countSurvivesAReconnect();
    void countedGoodsWithoutStockGetsItsStock();
    void openingStockRefusesWhatTheBooksMustNotHold_data();
    void openingStockRefusesWhatTheBooksMustNotHold();
    void sameSaveIsAppliedOnce_data();
    void sameSaveIsAppliedOnce();
    void countWithItsAnswerLost_data();
    void countWithItsAnswerLost();
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
    addGoods(app, "A1");
    addStock(app, "A1", book, 3.5);
    addStock(app, "B2", 1.0, 2.0);
    const QDate day(2025, 3, 17);
    db::Dataset& sheet = sheetOf(app);
    QVERIFY(StockSheet::startCount(sheet, day));
    QCOMPARE(sheet.recordCount(), 2);
    QCOMPARE(sheet.value(1, sheet.fieldIndex("chek_amou")).toDouble(), 1.0);
    enter(sheet, "A1", counted);

    const auto result = saveCount(app, day);
    QCOMPARE(result.outcome, Outcome::Saved);
    QCOMPARE(result.rows, book == counted ? 0 : 1);
    QCOMPARE(stock(app, "A1"), counted);
    QCOMPARE(stock(app, "B2"), 1.0);
    QCOMPARE(app.scalar("select cost_pric from storemain where gods_code='A1'").toDouble(), 3.5);
    QCOMPARE(app.scalar("select chek_amou-gods_amou from storchek where gods_code='A1'").toDouble(), counted - book);
    QCOMPARE(app.scalar("select chek_date from storchek where gods_code='A1'").toString(),
             QString("2025-03-17 00:00:00"));
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 2);
    QCOMPARE(app.scalar("select summary from oper_log").toString(),
             QString("盘点 2 种货品，%1 种数量改变").arg(result.rows));
}

void TestStockSheet::countedMonthIsLockedAndTheNextIsNot()
{
    TestApp app;
    db::Dataset& sheet = sheetOf(app);
    addStock(app, "A1", 10.0);
    QVERIFY(StockSheet::startCount(sheet, QDate(2025, 12, 31)));
    QCOMPARE(saveCount(app, QDate(2025, 12, 31)).outcome, Outcome::Saved);

    // Bill deletion asks this same lock: refused in December, allowed in January.
    auto& c = app.dataModule().AdoConn;
    QVERIFY(StockPosting::isMonthCounted(c, 2025, 12));
    QVERIFY(!StockPosting::isMonthCounted(c, 2026, 1));
    QVERIFY(!StockPosting::isMonthCounted(c, 2025, 11));

    // Another day of the counted month is refused and leaves the sheet as it was.
    enter(sheet, "A1", 99);
    QVERIFY(!StockSheet::startCount(sheet, QDate(2025, 12, 1)));
    QCOMPARE(sheet.value(0, sheet.fieldIndex("chek_amou")).toDouble(), 99.0);
    // A save of that month (a second window, a retry after success) stores nothing twice.
    QCOMPARE(saveCount(app, QDate(2025, 12, 5)).outcome, Outcome::MonthCounted);
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 1);
    QCOMPARE(stock(app, "A1"), 10.0);

    QVERIFY(StockSheet::startCount(sheet, QDate(2026, 1, 1)));
}

void TestStockSheet::countFailingHalfwayStoresNothingAndRetryStoresOnce()
{
    TestApp app;
    db::Dataset& sheet = sheetOf(app);
    for (int i = 1; i <= 5; ++i) {
        addGoods(app, QString("G%1").arg(i));
        addStock(app, QString("G%1").arg(i), 10.0);
    }
    const QDate day(2025, 6, 9);
    QVERIFY(StockSheet::startCount(sheet, day));
    for (int i = 1; i <= 5; ++i)
        enter(sheet, QString("G%1").arg(i), 7);
    failStockUpdateAt(app, 3);

    QVERIFY_THROWS_EXCEPTION(std::exception, saveCount(app, day));
    QVERIFY(!StockPosting::isMonthCounted(app.dataModule().AdoConn, day));
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 0);
    QCOMPARE(app.scalar("select count(*) from storemain where gods_amou=10").toInt(), 5);

    // The typed quantities are still on the sheet for the retry.
    removeFailure(app);
    QCOMPARE(saveCount(app, day).outcome, Outcome::Saved);
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 5);
    QCOMPARE(app.scalar("select count(*) from storemain where gods_amou=7").toInt(), 5);
}

void TestStockSheet::sheetRefusesWhatTheBooksMustNotHold_data()
{
    QTest::addColumn<bool>("count");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QVariant>("entered");
    QTest::addColumn<QString>("refusal");
    const QString none;
    QTest::newRow("count: empty") << true << "B2" << QVariant() << "货品“B2”的实盘数量为空，请输入后再保存";
    QTest::newRow("count: negative") << true << "B2" << QVariant(-5.0) << "货品“B2”的实盘数量“-5”不能为负数";
    QTest::newRow("count: too many digits") << true << "B2" << QVariant(1e9)
                                            << "货品“B2”的实盘数量“1000000000”超出范围：最多 9 位整数、2 位小数";
    QTest::newRow("count: three decimals") << true << "B2" << QVariant(1.234)
                                           << "货品“B2”的实盘数量“1.234”超出范围：最多 9 位整数、2 位小数";
    QTest::newRow("count: unknown goods") << true << "ZZ" << QVariant(1.0) << "货品编码“ZZ”不存在";
    QTest::newRow("adjustment: empty") << false << "B2" << QVariant() << "货品“B2”的调整数量为空，请输入后再保存";
    QTest::newRow("adjustment: 1e15") << false << "B2" << QVariant(1e15)
                                      << "货品“B2”的调整数量“1e+15”超出范围：最多 9 位整数、2 位小数";
    QTest::newRow("adjustment: unknown goods") << false << "ZZ" << QVariant(2.0) << "货品编码“ZZ”不存在";
    QTest::newRow("adjustment: below zero is a stock") << false << "B2" << QVariant(-5.0) << none;
}

// Every line is checked before anything is written: A1's typed quantity is not stored either.
void TestStockSheet::sheetRefusesWhatTheBooksMustNotHold()
{
    QFETCH(bool, count);
    QFETCH(QString, code);
    QFETCH(QVariant, entered);
    QFETCH(QString, refusal);
    TestApp app;
    addGoods(app, "A1");
    addGoods(app, "B2");
    addStock(app, "A1", 10.0);
    addStock(app, "B2", 4.0);
    const QList<StockSheet::Line> lines = {{"A1", 10, 1.0}, {code, 4, entered}};
    const QDate day(2025, 2, 2);
    const auto result = count ? StockSheet::saveCount(app.dataModule().AdoConn, day, lines)
                              : StockSheet::saveAdjustment(app.dataModule().AdoConn, lines);
    QCOMPARE(result.message, refusal);
    if (refusal.isEmpty()) {
        QCOMPARE(result.outcome, Outcome::Saved);
        QCOMPARE(stock(app, "B2"), -5.0);
        return;
    }
    QCOMPARE(result.outcome, Outcome::Refused);
    QCOMPARE(result.goods, code);
    QCOMPARE(StockSheet::lineRefusal(count ? Sheet::Count : Sheet::Adjustment, lines[1]).isEmpty(),
             code == "ZZ");   // the windows ask the same of a typed row
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 0);
    QCOMPARE(stock(app, "A1"), 10.0);
    QCOMPARE(stock(app, "B2"), 4.0);
    QCOMPARE(app.scalar("select count(*) from oper_log").toInt(), 0);
}

void TestStockSheet::lookingUpShowsTheStoredCount()
{
    TestApp app;
    db::Dataset& sheet = sheetOf(app);
    addGoods(app, "A1");
    addStock(app, "A1", 10.0);
    QVERIFY(StockSheet::startCount(sheet, QDate(2025, 5, 20)));
    enter(sheet, "A1", 6);
    saveCount(app, QDate(2025, 5, 20));
    app.exec("update storemain set gods_amou=50");   // later bills move the stock on

    QCOMPARE(StockSheet::openStoredCount(sheet, QDate(2025, 5, 1)), 1);
    QCOMPARE(sheet.value(0, sheet.fieldIndex("gods_amou")).toDouble(), 10.0);
    QCOMPARE(sheet.value(0, sheet.fieldIndex("chek_amou")).toDouble(), 6.0);
    QCOMPARE(StockSheet::openStoredCount(sheet, QDate(2025, 6, 1)), 0);
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
    db::Dataset& sheet = sheetOf(app);
    QCOMPARE(StockSheet::openStoredCount(sheet, month), 1);
    QCOMPARE(sheet.value(0, sheet.fieldIndex("gods_code")).toString(), goods);
}

void TestStockSheet::adjustmentStoresExactlyAndKeepsCost()
{
    TestApp app;
    db::Dataset& sheet = sheetOf(app);
    addGoods(app, "O'NEIL");
    addStock(app, "O'NEIL", 3.0, 8.25);
    addStock(app, "B2", 4.0, 1.0);
    addStock(app, "", 2.0, 1.0);   // blank codes are adjusted like any other
    StockSheet::openBook(sheet, false);
    QCOMPARE(sheet.recordCount(), 3);
    QVERIFY(sheet.value(2, sheet.fieldIndex("chek_amou")).isNull());
    StockSheet::openBook(sheet, true);
    enter(sheet, "O'NEIL", 12.5);
    enter(sheet, "", 0);

    QCOMPARE(saveAdjustment(app).outcome, Outcome::Saved);
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
    db::Dataset& sheet = sheetOf(app);
    addStock(app, "A1", 1.0);
    addStock(app, "B2", 2.0);
    StockSheet::openBook(sheet, true);
    enter(sheet, "A1", 9);
    enter(sheet, "B2", 9);
    failStockUpdateAt(app, 2);
    QVERIFY_THROWS_EXCEPTION(std::exception, saveAdjustment(app));
    QCOMPARE(stock(app, "A1"), 1.0);
    QCOMPARE(stock(app, "B2"), 2.0);
    QCOMPARE(app.scalar("select count(*) from oper_log").toInt(), 0);
}

// Copy A counts while copy B sells: only what A typed moves the stock.
void TestStockSheet::countKeepsASaleSavedMeanwhile()
{
    TestApp app;
    db::Dataset& sheet = sheetOf(app);
    addStock(app, "G01", 987.0);
    addStock(app, "G02", 1000.0);
    addStock(app, "G03", 1000.0);
    const QDate day(2025, 7, 7);
    QVERIFY(StockSheet::startCount(sheet, day));
    db::Connection b;
    app.openAnother(b);
    StockPosting::applyBill(b, StockPosting::BillKind::Sale, {{"G01", 5, 9, {}}, {"G02", 2, 9, {}}});
    enter(sheet, "G03", 990);
    QCOMPARE(saveCount(app, day).outcome, Outcome::Saved);
    QCOMPARE(stock(app, "G01"), 982.0);
    QCOMPARE(stock(app, "G02"), 998.0);
    QCOMPARE(stock(app, "G03"), 990.0);
    // The count record holds the book at the save beside what the goods holds after it.
    QCOMPARE(app.scalar("select gods_amou from storchek where gods_code='G01'").toDouble(), 982.0);
    QCOMPARE(app.scalar("select chek_amou from storchek where gods_code='G01'").toDouble(), 982.0);
    QCOMPARE(app.scalar("select chek_amou-gods_amou from storchek where gods_code='G03'").toDouble(), -10.0);
    QCOMPARE(app.scalar("select detail from oper_log where win_name='库存盘点'").toString(), QString("G03 1000 → 990（-10）"));
}

void TestStockSheet::adjustmentKeepsASaleSavedMeanwhile()
{
    TestApp app;
    db::Dataset& sheet = sheetOf(app);
    addStock(app, "G09", 100.0);
    addStock(app, "G10", 50.0);
    StockSheet::openBook(sheet, true);
    db::Connection b;
    app.openAnother(b);
    StockPosting::applyBill(b, StockPosting::BillKind::Sale, {{"G09", 40, 9, {}}});
    enter(sheet, "G10", 45);
    QCOMPARE(saveAdjustment(app).outcome, Outcome::Saved);
    QCOMPARE(stock(app, "G09"), 60.0);
    QCOMPARE(stock(app, "G10"), 45.0);
    QCOMPARE(app.scalar("select detail from oper_log where win_name='库存调整'").toString(), QString("G10 50 → 45（-5）"));
}

void TestStockSheet::nothingToSaveIsSaidAsSuch()
{
    TestApp app;
    db::Dataset& sheet = sheetOf(app);
    addStock(app, "A1", 3.0);
    StockSheet::openBook(sheet, true);
    enter(sheet, "A1", 3);   // typed as the book says
    QCOMPARE(saveAdjustment(app).outcome, Outcome::NothingToSave);
    // An empty sheet (no stock at all) is no count: the month stays open.
    StockSheet::openEmpty(sheet);
    QCOMPARE(saveCount(app, QDate(2025, 8, 1)).outcome, Outcome::NothingToSave);
    QCOMPARE(app.scalar("select count(*) from oper_log").toInt(), 0);
    QVERIFY(!StockPosting::isMonthCounted(app.dataModule().AdoConn, QDate(2025, 8, 1)));
}

// The server ends A's session in the middle of a count: the save after the reconnect stores it.
void TestStockSheet::countSurvivesAReconnect()
{
    if (!TestApp::onServer())
        QSKIP("only a server connection is made anew");
    TestApp app;
    db::Dataset& sheet = sheetOf(app);
    addStock(app, "G01", 10.0);
    addStock(app, "G02", 20.0);
    const QDate day(2025, 9, 9);
    QVERIFY(StockSheet::startCount(sheet, day));
    enter(sheet, "G02", 7);
    db::Connection b;
    app.openAnother(b);
    db::Statement end(b, "select pg_terminate_backend(:pid)");
    end.bind("pid", app.scalar("select pg_backend_pid()"));
    end.next();
    // The session is made anew at the start of the save's transaction, or, when
    // the server ends it only later, the save fails and its retry stores it.
    bool saved = false;
    try {
        saved = saveCount(app, day).outcome == Outcome::Saved;
    } catch (const std::exception&) {
    }
    if (!saved)
        QCOMPARE(saveCount(app, day).outcome, Outcome::Saved);
    QCOMPARE(stock(app, "G02"), 7.0);
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 2);
}

// A goods found on the shelf that has no stock record gets one, at its purchase
// price and under its own code, whatever the case it was given in.
void TestStockSheet::countedGoodsWithoutStockGetsItsStock()
{
    TestApp app;
    addGoods(app, "ST01-01-3");
    app.exec("update goods set valu_in=42.5");
    addStock(app, "A1", 2.0);
    const QDate day(2025, 10, 3);
    QCOMPARE(StockSheet::saveCount(app.dataModule().AdoConn, day, {{"A1", 2, 2.0}, {"st01-01-3", 0, 1.0}}).outcome,
             Outcome::Saved);
    QCOMPARE(stock(app, "ST01-01-3"), 1.0);
    QCOMPARE(app.scalar("select gods_code||'@'||cost_pric from storemain where gods_code='ST01-01-3'").toString(),
             QString("ST01-01-3@42.5"));
    QCOMPARE(app.scalar("select gods_amou from storchek where gods_code='ST01-01-3'").toDouble(), 0.0);
    QCOMPARE(app.scalar("select chek_amou from storchek where gods_code='ST01-01-3'").toDouble(), 1.0);
}

void TestStockSheet::openingStockRefusesWhatTheBooksMustNotHold_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("empty quantity") << "gods_amou" << QVariant() << "货品“B2”的数量为空，请输入后再保存";
    QTest::newRow("quantity 1e15") << "gods_amou" << QVariant(1e15)
                                   << "货品“B2”的数量“1e+15”超出范围：最多 9 位整数、2 位小数";
    QTest::newRow("negative cost") << "cost_pric" << QVariant(-3.0) << "货品“B2”的成本“-3”不能为负数";
    QTest::newRow("cost with 5 decimals") << "cost_pric" << QVariant(1.00001)
                                          << "货品“B2”的成本“1.00001”超出范围：最多 9 位整数、4 位小数";
    QTest::newRow("no goods code") << "gods_code" << QVariant() << "第2行没有货品编码，请输入货品编码或删除这一行后再保存";
    QTest::newRow("a blank goods code") << "gods_code" << QVariant("  ")
                                        << "第2行没有货品编码，请输入货品编码或删除这一行后再保存";
    QTest::newRow("negative quantity is an opening stock") << "gods_amou" << QVariant(-2.0) << QString();
}

// The opening stock's save checks every row the user changed; the untouched
// row with an empty cost (a sale before any opening stock) stays as it is.
void TestStockSheet::openingStockRefusesWhatTheBooksMustNotHold()
{
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QFETCH(QString, refusal);
    TestApp app;
    addStock(app, "A1", 1.0, QVariant());
    addStock(app, "B2", 2.0, 2.0);
    addStock(app, "C3", 3.0, 3.0);
    db::Dataset& stock = *app.dataModule().StoreiniQ;
    stock.open();
    stock.moveTo(2);
    stock.setValue("gods_amou", 30.0);
    stock.post();
    stock.moveTo(1);
    stock.setValue(field, value);
    stock.post();
    const StockInit::Refusal refused = StockInit::save(stock, "保存");
    QCOMPARE(refused.message, refusal);
    QCOMPARE(refused.row, refusal.isEmpty() ? -1 : 1);
    QCOMPARE(WarehouseData::stock(app, "C3"), refusal.isEmpty() ? 30.0 : 3.0);
    QCOMPARE(app.scalar("select count(*) from oper_log").toInt(), refusal.isEmpty() ? 1 : 0);
}

void TestStockSheet::sameSaveIsAppliedOnce_data()
{
    QTest::addColumn<bool>("count");
    QTest::newRow("count") << true;
    QTest::newRow("adjustment") << false;
}

// A retry of a stored count or adjustment is refused by its identity's unique
// key: applied by differences, a second one would move the stock again.
void TestStockSheet::sameSaveIsAppliedOnce()
{
    QFETCH(bool, count);
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    addStock(app, "A1", 10.0);
    const QDate day(2025, 4, 8);
    db::Dataset& sheet = sheetOf(app);
    QVERIFY(StockSheet::startCount(sheet, day));
    enter(sheet, "A1", 7);
    const QList<StockSheet::Line> lines = StockSheet::lines(sheet);
    const QString saveId = SaveIdentity::make();
    // The count's retry goes to another month, past the month's own lock, to reach the key.
    const auto save = [&](const QDate& date) {
        return count ? StockSheet::saveCount(c, date, lines, saveId) : StockSheet::saveAdjustment(c, lines, saveId);
    };
    QCOMPARE(save(day).outcome, Outcome::Saved);
    QVERIFY(StockSheet::isStored(c, saveId));
    if (count)   // the month's own lock knows it for this save
        QCOMPARE(save(day).outcome, Outcome::AlreadySaved);
    try {
        save(day.addMonths(1));
        QFAIL("one save was applied twice");
    } catch (const db::Error& e) {
        QCOMPARE(e.kind(), db::Error::UniqueViolation);
    }
    QCOMPARE(stock(app, "A1"), 7.0);
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), count ? 1 : 0);
    QCOMPARE(app.scalar("select count(*) from oper_log").toInt(), 1);
    QVERIFY(!StockSheet::isStored(c, SaveIdentity::make()));
}

void TestStockSheet::countWithItsAnswerLost_data()
{
    QTest::addColumn<int>("cut");
    QTest::addColumn<bool>("stored");
    QTest::newRow("the server committed, its answer was lost") << int(PgProxy::Cut::AnswerToCommit) << true;
    QTest::newRow("the commit never reached the server") << int(PgProxy::Cut::BeforeCommit) << false;
}

// The connection cut at the count's commit: the count is looked for on a new
// connection and found when the server committed it; the retry applies it once.
void TestStockSheet::countWithItsAnswerLost()
{
    if (!TestApp::onServer())
        QSKIP("a lost connection is the server's");
    QFETCH(int, cut);
    QFETCH(bool, stored);
    TestApp app;
    addStock(app, "A1", 10.0);
    const QDate day(2025, 4, 8);
    QVERIFY(StockSheet::startCount(sheetOf(app), day));
    enter(sheetOf(app), "A1", 7);
    const QList<StockSheet::Line> lines = StockSheet::lines(sheetOf(app));
    const QString saveId = SaveIdentity::make();
    PgProxy proxy(app.dataModule().AdoConn.serverAddress());
    db::Connection c;
    ShopServer::open(c, proxy.address());
    proxy.cutAt(PgProxy::Cut(cut));
    try {
        StockSheet::saveCount(c, day, lines, saveId);
        QFAIL("the cut went unnoticed");
    } catch (const db::Error& e) {
        QCOMPARE(e.kind(), db::Error::ConnectionLost);
        const std::optional<bool> found = SaveIdentity::findAfter<bool>(e, [&]() -> std::optional<bool> {
            if (!StockSheet::isStored(c, saveId))
                return std::nullopt;
            return true;
        });
        QCOMPARE(found.has_value(), stored);
    }
    QCOMPARE(stock(app, "A1"), stored ? 7.0 : 10.0);
    QCOMPARE(StockSheet::saveCount(c, day, lines, saveId).outcome, stored ? Outcome::AlreadySaved : Outcome::Saved);
    QCOMPARE(stock(app, "A1"), 7.0);
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 1);
}

QTEST_MAIN(TestStockSheet)
#include "tst_stocksheet.moc"
