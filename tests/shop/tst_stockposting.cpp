// Stock rules without a window: the moving average and its mends, taking bills
// back out, whole bills in one transaction, the month lock, the next free bill
// number and two programs saving at once.
#include "TestSupport.h"

#include "core/AppPaths.h"
#include "core/DatabaseFile.h"
#include "shop/StockPosting.h"
#include "shop/BillStore.h"
#include "shop/Settlement.h"
#include "db/Error.h"
#include "db/Transaction.h"

#include <QDateTime>
#include <QtTest>
#include <thread>

using StockPosting::BillKind;
using StockPosting::BillLine;

Q_DECLARE_METATYPE(QList<BillLine>)
Q_DECLARE_METATYPE(BillKind)

class TestStockPosting : public QObject {
    Q_OBJECT

private slots:
    void applyingBills_data();
    void applyingBills();
    void takingBackRestoresTheCost_data();
    void takingBackRestoresTheCost();
    void deletingWalksTheLinesInReverse_data();
    void deletingWalksTheLinesInReverse();
    void saleWithoutRecordTakesThePurchasePrice_data();
    void saleWithoutRecordTakesThePurchasePrice();
    void editingAndDeletingBills();
    void returnLinesOutOfStockNeverMove();
    void failedSaveLeavesNothing();
    void monthLockUsesTheStoredDate();
    void nextFreeBillNumber();
    void newBillTakesAFreeNumber();
    void twoProgramsSellTheSameGoods();
    void twoProgramsBuyTheSameGoods();
    void nextFreeNumberPastAThousandTaken_data();
    void nextFreeNumberPastAThousandTaken();
    void unitPriceKeepsFourDecimals();
};

namespace {

const QString goods = QStringLiteral("G1");

// The goods the bills name: a bill of unknown goods is refused.
void addGoods(TestApp& app)
{
    app.exec("insert into goods(gods_code,gods_name) values(:p1,'衬衫'),('G2','长裤')", {goods});
}

// The goods, and a stock record, or none when qty is NaN; a cost that is NaN stays empty.
void setStock(TestApp& app, double qty, double cost)
{
    addGoods(app);
    if (std::isnan(qty))
        return;
    app.exec("insert into storemain(gods_code,gods_amou,cost_pric) values(:p1,:p2,:p3)",
             {goods, qty, std::isnan(cost) ? QVariant() : QVariant(cost)});
}

QVariant stockQty(TestApp& app, const QString& code = goods)
{
    return app.scalar("select gods_amou from storemain where gods_code=:p1", {code});
}

QVariant stockCost(TestApp& app, const QString& code = goods)
{
    return app.scalar("select cost_pric from storemain where gods_code=:p1", {code});
}

int count(TestApp& app, const QString& sql)
{
    return app.scalar(sql).toInt();
}

BillStore::Bill bill(const QList<BillLine>& lines, const QString& billNo = QStringLiteral("20240305101500"))
{
    BillStore::Bill b;
    b.billNo = billNo;
    b.header = {{QStringLiteral("bill_date"), QDate(2024, 3, 5)}, {QStringLiteral("shou_tota"), 0.0}};
    b.lines = lines;
    return b;
}

qint64 headerId(TestApp& app, const QString& table, const QString& billNo)
{
    return app.scalar(QString("select in_id from %1 where bill_no=:p1").arg(table), {billNo}).toLongLong();
}

const double none = std::nan("");

} // namespace

void TestStockPosting::applyingBills_data()
{
    QTest::addColumn<BillKind>("kind");
    QTest::addColumn<double>("qty");
    QTest::addColumn<double>("cost");
    QTest::addColumn<QList<BillLine>>("lines");
    QTest::addColumn<double>("newQty");
    QTest::addColumn<QVariant>("newCost");

    const auto P = BillKind::Purchase;
    QTest::newRow("two lines of one goods average line by line")
        << P << 0.0 << 0.0 << QList<BillLine>{{goods, 10, 5, {}}, {goods, 10, 7, {}}} << 20.0 << QVariant(6.0);
    QTest::newRow("30 at 6 plus 10 at 8") << P << 30.0 << 6.0 << QList<BillLine>{{goods, 10, 8, {}}} << 40.0
                                          << QVariant(6.5);
    QTest::newRow("no record: created at the line's price")
        << P << none << none << QList<BillLine>{{goods, 10, 8, {}}} << 10.0 << QVariant(8.0);
    QTest::newRow("negative stock brought to zero takes the price")
        << P << -5.0 << 4.0 << QList<BillLine>{{goods, 5, 9, {}}} << 0.0 << QVariant(9.0);
    QTest::newRow("negative stock: cost is the price, never negative")
        << P << -5.0 << 4.0 << QList<BillLine>{{goods, 10, 9, {}}} << 5.0 << QVariant(9.0);
    QTest::newRow("zero stock with an old cost") << P << 0.0 << 3.0 << QList<BillLine>{{goods, 4, 7, {}}} << 4.0
                                                 << QVariant(7.0);
    QTest::newRow("fractional quantity") << P << 1.5 << 4.0 << QList<BillLine>{{goods, 2.5, 8, {}}} << 4.0
                                         << QVariant(6.5);
    QTest::newRow("sale of 5 on 3 at 6") << BillKind::Sale << 3.0 << 6.0 << QList<BillLine>{{goods, 5, 99, {}}}
                                         << -2.0 << QVariant(6.0);
    QTest::newRow("sale without a record or a purchase price: negative at cost 0")
        << BillKind::Sale << none << none << QList<BillLine>{{goods, 5, 9, {}}} << -5.0 << QVariant(0.0);
    QTest::newRow("customer return 2 at 10 onto 8 at 5")
        << BillKind::CustomerReturn << 8.0 << 5.0 << QList<BillLine>{{goods, 2, 10, QStringLiteral("入库")}} << 10.0
        << QVariant(6.0);
    QTest::newRow("customer return not into stock")
        << BillKind::CustomerReturn << 8.0 << 5.0 << QList<BillLine>{{goods, 2, 10, QStringLiteral("不入库")}} << 8.0
        << QVariant(5.0);
    QTest::newRow("till return comes back at the cost it has")
        << BillKind::CustomerReturn << 8.0 << 5.0 << QList<BillLine>{{goods, 2, 10, StockPosting::atCost}} << 10.0
        << QVariant(5.0);
    QTest::newRow("customer return with an empty remark goes in")
        << BillKind::CustomerReturn << 8.0 << 5.0 << QList<BillLine>{{goods, 2, 10, {}}} << 10.0 << QVariant(6.0);
    QTest::newRow("return to supplier 4 of 10 at 6, whatever its price")
        << BillKind::SupplierReturn << 10.0 << 6.0 << QList<BillLine>{{goods, 4, 20, QStringLiteral("不入库")}} << 6.0
        << QVariant(6.0);
}

void TestStockPosting::applyingBills()
{
    QFETCH(BillKind, kind);
    QFETCH(double, qty);
    QFETCH(double, cost);
    QFETCH(QList<BillLine>, lines);
    QFETCH(double, newQty);
    QFETCH(QVariant, newCost);
    TestApp app;
    setStock(app, qty, cost);
    StockPosting::applyBill(app.dataModule().AdoConn, kind, lines);
    QCOMPARE(stockQty(app).toDouble(), newQty);
    QVERIFY(!stockCost(app).isNull());   // no record is ever left without a cost
    QCOMPARE(stockCost(app).toDouble(), newCost.toDouble());
    QCOMPARE(count(app, "select count(*) from storemain"), 1);
}

void TestStockPosting::takingBackRestoresTheCost_data()
{
    QTest::addColumn<double>("qty");
    QTest::addColumn<double>("cost");
    QTest::addColumn<QList<BillLine>>("lines");

    QTest::newRow("40 at 6.50 stays 6.50") << 30.0 << 6.0 << QList<BillLine>{{goods, 10, 8, {}}};
    QTest::newRow("two lines of one goods") << 5.0 << 4.0 << QList<BillLine>{{goods, 10, 5, {}}, {goods, 3, 11, {}}};
    QTest::newRow("record created by the bill") << none << none << QList<BillLine>{{goods, 10, 8, {}}};
    QTest::newRow("stock was negative") << -4.0 << 3.0 << QList<BillLine>{{goods, 10, 8, {}}};
}

// Saving a bill unchanged takes it back and applies it again: the cost must end where it was.
void TestStockPosting::takingBackRestoresTheCost()
{
    QFETCH(double, qty);
    QFETCH(double, cost);
    QFETCH(QList<BillLine>, lines);
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    setStock(app, qty, cost);
    StockPosting::applyBill(c, BillKind::Purchase, lines);
    const double qtyAfter = stockQty(app).toDouble();
    const double costAfter = stockCost(app).toDouble();
    for (int i = 0; i < 3; ++i) {
        StockPosting::takeBillBack(c, BillKind::Purchase, lines);
        StockPosting::applyBill(c, BillKind::Purchase, lines);
    }
    QCOMPARE(stockQty(app).toDouble(), qtyAfter);
    QCOMPARE(stockCost(app).toDouble(), costAfter);
}

void TestStockPosting::deletingWalksTheLinesInReverse_data()
{
    QTest::addColumn<double>("qty");
    QTest::addColumn<double>("cost");
    QTest::addColumn<QList<BillLine>>("lines");
    QTest::addColumn<double>("costAfterDelete");

    // Taken back first to last, each case ends elsewhere (5 and 7): a step crosses zero stock.
    QTest::newRow("10 at 4, bill of 10 at 6 then -15 at 5")
        << 10.0 << 4.0 << QList<BillLine>{{goods, 10, 6, {}}, {goods, -15, 5, {}}} << 4.0;
    QTest::newRow("none, bill of 10 at 5 then 10 at 7")
        << 0.0 << 0.0 << QList<BillLine>{{goods, 10, 5, {}}, {goods, 10, 7, {}}} << 5.0;
}

void TestStockPosting::deletingWalksTheLinesInReverse()
{
    QFETCH(double, qty);
    QFETCH(double, cost);
    QFETCH(QList<BillLine>, lines);
    QFETCH(double, costAfterDelete);
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    setStock(app, qty, cost);
    // Written as an older file holds it: a negative line is refused by a save today.
    const QString no = QStringLiteral("20240305101500");
    app.exec("insert into inmain(bill_no,bill_type,bill_date) values(:p1,'in','2024-03-05 00:00:00')", {no});
    for (const BillLine& line : lines)
        app.exec("insert into ingoods(bill_no,gods_code,sub_amou,unit_pric) values(:p1,:p2,:p3,:p4)",
                 {no, line.goodsCode, line.quantity, line.unitPrice});
    StockPosting::applyBill(c, BillKind::Purchase, lines);
    BillStore::remove(c, BillKind::Purchase, no);
    QCOMPARE(stockQty(app).toDouble(), qty);
    QCOMPARE(stockCost(app).toDouble(), costAfterDelete);
}

void TestStockPosting::saleWithoutRecordTakesThePurchasePrice_data()
{
    QTest::addColumn<BillKind>("kind");
    QTest::addColumn<QVariant>("purchasePrice");
    QTest::addColumn<double>("newCost");
    QTest::newRow("sale") << BillKind::Sale << QVariant(7.5) << 7.5;
    QTest::newRow("return to supplier") << BillKind::SupplierReturn << QVariant(12.0) << 12.0;
    QTest::newRow("goods without a purchase price") << BillKind::Sale << QVariant() << 0.0;
}

// A stock record born of a sale has a cost from the start, so opening stock can be saved later.
void TestStockPosting::saleWithoutRecordTakesThePurchasePrice()
{
    QFETCH(BillKind, kind);
    QFETCH(QVariant, purchasePrice);
    QFETCH(double, newCost);
    TestApp app;
    app.exec("insert into goods(gods_code,gods_name,valu_in) values(:p1,'货品',:p2)", {goods, purchasePrice});
    StockPosting::applyBill(app.dataModule().AdoConn, kind, {{goods, 3, 99, {}}});
    QCOMPARE(stockQty(app).toDouble(), -3.0);
    QVERIFY(!stockCost(app).isNull());
    QCOMPARE(stockCost(app).toDouble(), newCost);
}

void TestStockPosting::editingAndDeletingBills()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    setStock(app, 30, 6);

    // A purchase of 10 at 8, edited to 6 at 8: stock falls by 10 and rises by 6.
    const QString no = BillStore::save(c, BillKind::Purchase, bill({{goods, 10, 8, {}}}));
    QCOMPARE(stockQty(app).toDouble(), 40.0);
    QCOMPARE(stockCost(app).toDouble(), 6.5);
    BillStore::Bill edited = bill({{goods, 6, 8, {}}}, no);
    edited.headerId = headerId(app, "inmain", no);
    QCOMPARE(BillStore::save(c, BillKind::Purchase, edited), no);
    QCOMPARE(stockQty(app).toDouble(), 36.0);
    QCOMPARE(stockCost(app).toDouble(), (30 * 6.0 + 6 * 8.0) / 36);
    QCOMPARE(count(app, "select count(*) from ingoods"), 1);
    QCOMPARE(count(app, "select count(*) from inmain"), 1);
    BillStore::remove(c, BillKind::Purchase, no);
    QCOMPARE(stockQty(app).toDouble(), 30.0);
    QCOMPARE(stockCost(app).toDouble(), 6.0);
    QCOMPARE(count(app, "select count(*) from ingoods") + count(app, "select count(*) from inmain"), 0);

    // A sale of 10 edited to 6 ends 4 higher than after the first save; deleting puts all back.
    const QString sale = BillStore::save(c, BillKind::Sale, bill({{goods, 10, 9, {}}}, "20240305110000"));
    QCOMPARE(stockQty(app).toDouble(), 20.0);
    BillStore::Bill editedSale = bill({{goods, 6, 9, {}}}, sale);
    editedSale.headerId = headerId(app, "outmain", sale);
    BillStore::save(c, BillKind::Sale, editedSale);
    QCOMPARE(stockQty(app).toDouble(), 24.0);
    BillStore::remove(c, BillKind::Sale, sale);
    QCOMPARE(stockQty(app).toDouble(), 30.0);
    QCOMPARE(stockCost(app).toDouble(), 6.0);
    QCOMPARE(app.scalar("select bill_type from outmain").toString(), QString());
}

void TestStockPosting::returnLinesOutOfStockNeverMove()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    setStock(app, 8, 5);
    const QList<BillLine> lines = {{goods, 2, 10, QStringLiteral("入库")}, {goods, 3, 10, QStringLiteral("不入库")}};
    const QString no = BillStore::save(c, BillKind::CustomerReturn, bill(lines));
    QCOMPARE(stockQty(app).toDouble(), 10.0);
    QCOMPARE(stockCost(app).toDouble(), 6.0);
    QCOMPARE(app.scalar("select bill_type from inmain").toString(), QStringLiteral("retu"));

    BillStore::Bill same = bill(lines, no);
    same.headerId = headerId(app, "inmain", no);
    BillStore::save(c, BillKind::CustomerReturn, same);
    QCOMPARE(stockQty(app).toDouble(), 10.0);
    QCOMPARE(stockCost(app).toDouble(), 6.0);

    BillStore::remove(c, BillKind::CustomerReturn, no);
    QCOMPARE(stockQty(app).toDouble(), 8.0);
    QCOMPARE(stockCost(app).toDouble(), 5.0);
}

void TestStockPosting::failedSaveLeavesNothing()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    setStock(app, 30, 6);
    app.exec("insert into storemain(gods_code,gods_amou,cost_pric) values('G2',1,1)");
    // The third line written fails.
    app.refuse("third_line", "insert", "ingoods", "(select count(*) from ingoods)>=2", "disk full");
    const QList<BillLine> lines = {{goods, 10, 8, {}}, {"G2", 1, 3, {}}, {goods, 5, 2, {}}};
    QVERIFY_THROWS_EXCEPTION(db::Error, BillStore::save(c, BillKind::Purchase, bill(lines)));
    QCOMPARE(count(app, "select count(*) from ingoods") + count(app, "select count(*) from inmain"), 0);
    QCOMPARE(stockQty(app).toDouble(), 30.0);
    QCOMPARE(stockCost(app).toDouble(), 6.0);
    QCOMPARE(stockQty(app, "G2").toDouble(), 1.0);
    QVERIFY(!c.inTransaction());

    // The retry, once the fault is gone, applies the stock once.
    app.allow("third_line", "ingoods");
    BillStore::save(c, BillKind::Purchase, bill(lines));
    QCOMPARE(count(app, "select count(*) from ingoods"), 3);
    QCOMPARE(stockQty(app).toDouble(), 45.0);
    QCOMPARE(stockQty(app, "G2").toDouble(), 2.0);

    // A delete failing half-way leaves stock and bill as they were.
    app.refuse("no_header_delete", "delete", "inmain", {}, "locked");
    const QString no = app.scalar("select bill_no from inmain").toString();
    QVERIFY_THROWS_EXCEPTION(db::Error, BillStore::remove(c, BillKind::Purchase, no));
    QCOMPARE(stockQty(app).toDouble(), 45.0);
    QCOMPARE(count(app, "select count(*) from ingoods"), 3);
}

void TestStockPosting::monthLockUsesTheStoredDate()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    setStock(app, 30, 6);
    app.exec("insert into storchek(gods_code,gods_amou,chek_amou,chek_date) values('G1',1,1,'2024-03-31 00:00:00')");
    QVERIFY(StockPosting::isMonthCounted(c, QDate(2024, 3, 1)));
    QVERIFY(!StockPosting::isMonthCounted(c, QDate(2024, 4, 1)));
    QVERIFY(!StockPosting::isMonthCounted(c, QDate(2023, 3, 1)));

    const QString march = BillStore::save(c, BillKind::Purchase, bill({{goods, 10, 8, {}}}));
    BillStore::Bill april = bill({{goods, 5, 8, {}}}, "20240405090000");
    april.header[0].second = QDate(2024, 4, 5);
    const QString aprilNo = BillStore::save(c, BillKind::Purchase, april);
    QCOMPARE(BillStore::storedDate(c, BillKind::Purchase, march), QDate(2024, 3, 5));

    try {
        BillStore::remove(c, BillKind::Purchase, march);
        QFAIL("a bill of a counted month was deleted");
    } catch (const db::Error& e) {
        QCOMPARE(e.message(), BillStore::monthCountedMessage);
    }
    QCOMPARE(count(app, "select count(*) from inmain"), 2);
    QCOMPARE(stockQty(app).toDouble(), 45.0);
    BillStore::remove(c, BillKind::Purchase, aprilNo);
    QCOMPARE(count(app, "select count(*) from inmain"), 1);
    QCOMPARE(stockQty(app).toDouble(), 40.0);
}

void TestStockPosting::nextFreeBillNumber()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    const QDateTime start(QDate(2024, 3, 5), QTime(23, 59, 58));
    QCOMPARE(StockPosting::nextFreeBillNo(c, start), QStringLiteral("20240305235958"));
    app.exec("insert into outmain(bill_no,bill_type) values('20240305235958','retu')");
    QCOMPARE(StockPosting::nextFreeBillNo(c, start), QStringLiteral("20240305235959"));
    // A line without its header also holds its number; the stamp rolls over midnight.
    app.exec("insert into ingoods(bill_no,gods_code) values('20240305235959','G1')");
    QCOMPARE(StockPosting::nextFreeBillNo(c, start), QStringLiteral("20240306000000"));
    app.exec("insert into outgoods(bill_no,gods_code) values('20240306000000','G1')");
    app.exec("insert into inmain(bill_no,bill_type) values('20240306000001','in')");
    QCOMPARE(StockPosting::nextFreeBillNo(c, start), QStringLiteral("20240306000002"));
}

void TestStockPosting::newBillTakesAFreeNumber()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    addGoods(app);
    const QString first = BillStore::save(c, BillKind::Sale, bill({{goods, 1, 9, {}}}, "20240305101500"));
    const QString second = BillStore::save(c, BillKind::Purchase, bill({{goods, 2, 9, {}}}, "20240305101500"));
    QCOMPARE(first, QStringLiteral("20240305101500"));
    QCOMPARE(second, QStringLiteral("20240305101501"));
    QCOMPARE(app.scalar("select sum(sub_amou) from ingoods where bill_no=:p1", {second}).toDouble(), 2.0);
    QCOMPARE(app.scalar("select sum(sub_amou) from outgoods where bill_no=:p1", {first}).toDouble(), 1.0);
}

// The first program saves inside a write transaction it still holds while the second
// tries to save: the second waits, then computes from the first one's result.
static QString saveAtOnce(TestApp& app, BillKind kind, const BillLine& first, const BillLine& second)
{
    db::Connection& one = app.dataModule().AdoConn;
    db::Connection other;
    app.openAnother(other);
    QString failure;
    db::Transaction transaction(one, db::Transaction::Write);
    BillStore::save(one, kind, bill({first}));
    std::thread otherProgram([&] {
        try {
            BillStore::save(other, kind, bill({second}));
        } catch (const std::exception& e) {
            failure = QString::fromUtf8(e.what());
        }
    });
    QThread::msleep(200);
    transaction.commit();
    otherProgram.join();
    return failure;
}

void TestStockPosting::twoProgramsSellTheSameGoods()
{
    TestApp app;
    setStock(app, 10, 6);
    QCOMPARE(saveAtOnce(app, BillKind::Sale, {goods, 3, 9, {}}, {goods, 2, 9, {}}), QString());
    QCOMPARE(stockQty(app).toDouble(), 5.0);
    QCOMPARE(stockCost(app).toDouble(), 6.0);
    // The second bill saw the first one's number taken.
    QCOMPARE(count(app, "select count(distinct bill_no) from outgoods"), 2);
}

void TestStockPosting::twoProgramsBuyTheSameGoods()
{
    TestApp app;
    setStock(app, 30, 6);
    QCOMPARE(saveAtOnce(app, BillKind::Purchase, {goods, 10, 8, {}}, {goods, 10, 10, {}}), QString());
    // 30 at 6, then 10 at 8 (40 at 6.5), then 10 at 10.
    QCOMPARE(stockQty(app).toDouble(), 50.0);
    QCOMPARE(stockCost(app).toDouble(), (40 * 6.5 + 100) / 50);
}

// More numbers taken in a row than are read at once: the next is past them all.
void TestStockPosting::nextFreeNumberPastAThousandTaken_data()
{
    QTest::addColumn<QString>("table");
    QTest::newRow("bills") << "inmain";
    QTest::newRow("vouchers") << "gathmain";
}

void TestStockPosting::nextFreeNumberPastAThousandTaken()
{
    QFETCH(QString, table);
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    addGoods(app);
    app.exec("insert into company(comp_code,comp_name) values('C1','华美')");
    const QDateTime start(QDate(2024, 3, 5), QTime(10, 0));
    {
        db::Transaction transaction(c, db::Transaction::Write);
        const QString column = table == "inmain" ? "bill_no" : "fei_no";
        for (int n = 0; n < 1001; ++n)
            app.exec(QStringLiteral("insert into %1(%2) values(:p1)").arg(table, column),
                     {start.addSecs(n).toString("yyyyMMddhhmmss")});
        transaction.commit();
    }
    QString saved;
    if (table == "inmain") {
        saved = BillStore::save(c, BillKind::Purchase, bill({{goods, 1, 9, {}}}, "20240305100000"));
    } else {
        Settlement::Filter filter;
        filter.byCompany = true;
        filter.compCode = "C1";
        filter.from = filter.to = start.date();
        Settlement::Voucher voucher;
        voucher.number = "20240305100000";
        voucher.numberProposed = true;
        voucher.date = start.date();
        voucher.amount = 10;
        saved = Settlement::save(c, Settlement::receipts(), filter, voucher).number;
    }
    QCOMPARE(saved, QStringLiteral("20240305101641"));
}

// A unit price is a share of a bulk price: its fourth decimal is kept.
void TestStockPosting::unitPriceKeepsFourDecimals()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    addGoods(app);
    const QString no = BillStore::save(c, BillKind::Purchase, bill({{goods, 3, 0.3333, {}}}));
    QCOMPARE(qRound64(app.scalar("select unit_pric from ingoods where bill_no=:p1", {no}).toDouble() * 10000), 3333);
    QCOMPARE(BillStore::storedLines(c, BillKind::Purchase, no).value(0).unitPrice, 0.3333);
}

QTEST_MAIN(TestStockPosting)
#include "tst_stockposting.moc"
