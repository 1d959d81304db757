// A month's stock movement: opening from the preceding month's count, every
// bill line counted, closing rounded once per goods, totals of what is stored.
#include "TestSupport.h"
#include "WarehouseData.h"

#include "db/Statement.h"
#include "shop/StockMovement.h"

#include <QtTest>

using namespace WarehouseData;

class TestStockMovement : public QObject {
    Q_OBJECT

private slots:
    void movementPerGoods_data();
    void movementPerGoods();
    void onlyLinesThatMovedStockCount_data();
    void onlyLinesThatMovedStockCount();
    void januaryOpensFromDecember();
    void emptyMonthGivesNoRows();
    void failureKeepsThePreviousResult();
};

namespace {

struct Row {
    double last, in, out;
    qint64 now;
};

Row row(TestApp& app, const QString& code)
{
    Row r{};
    // (a server's decimal column holds whole numbers only)
    db::Statement s(app.dataModule().AdoConn,
                    QString("select last_amou,in_amou,out_amou,now_amou,%1 from mios where gods_code=:c")
                        .arg(TestApp::onServer() ? "'integer'" : "typeof(now_amou)"));
    s.bind("c", code);
    if (!s.next())
        return {-1, -1, -1, -1};
    if (s.textValue(4) != QLatin1String("integer"))
        qWarning("now_amou stored as %s", qPrintable(s.textValue(4)));
    return {s.doubleValue(0), s.doubleValue(1), s.doubleValue(2), s.intValue(3)};
}

} // namespace

void TestStockMovement::movementPerGoods_data()
{
    QTest::addColumn<QVariant>("counted");   // preceding month's count, or none
    QTest::addColumn<QList<double>>("ins");
    QTest::addColumn<QList<double>>("outs");
    QTest::addColumn<double>("last");
    QTest::addColumn<double>("in");
    QTest::addColumn<double>("out");
    QTest::addColumn<qint64>("now");

    QTest::newRow("counted 10, in 5 and 3, out 4") << QVariant(10.0) << QList<double>{5, 3} << QList<double>{4}
                                                   << 10.0 << 8.0 << 4.0 << qint64(14);
    QTest::newRow("no count: negative closing") << QVariant() << QList<double>{2} << QList<double>{5}
                                                << 0.0 << 2.0 << 5.0 << qint64(-3);
    QTest::newRow("counted, no movement") << QVariant(6.0) << QList<double>{} << QList<double>{}
                                          << 6.0 << 0.0 << 0.0 << qint64(6);
    QTest::newRow("two equal lines both count") << QVariant() << QList<double>{3, 3} << QList<double>{}
                                                << 0.0 << 6.0 << 0.0 << qint64(6);
    QTest::newRow("2.5 + 2.5 closes at 5") << QVariant() << QList<double>{2.5, 2.5} << QList<double>{}
                                           << 0.0 << 5.0 << 0.0 << qint64(5);
    QTest::newRow("half rounds away from zero") << QVariant() << QList<double>{} << QList<double>{2.5}
                                                << 0.0 << 0.0 << 2.5 << qint64(-3);
}

void TestStockMovement::movementPerGoods()
{
    QFETCH(QVariant, counted);
    QFETCH(QList<double>, ins);
    QFETCH(QList<double>, outs);
    TestApp app;
    if (counted.isValid())
        addCount(app, "A1", counted.toDouble(), QDate(2025, 4, 28));
    // All lines of one bill, so equal lines are truly two lines of the same bill.
    for (double amount : ins)
        addBillLine(app, true, "20250503100000", QDate(2025, 5, 3), "A1", amount);
    for (double amount : outs)
        addBillLine(app, false, "20250520100000", QDate(2025, 5, 20), "A1", amount);
    // Noise that must not enter May: bills of April and June, a count of May itself.
    addBillLine(app, true, "20250430100000", QDate(2025, 4, 30), "A1", 100);
    addBillLine(app, false, "20250601000000", QDate(2025, 6, 1), "A1", 100);
    addCount(app, "A1", 500, QDate(2025, 5, 31));

    const auto totals = StockMovement::compute(app.dataModule().AdoConn, 2025, 5);
    const Row r = row(app, "A1");
    QTEST(r.last, "last");
    QTEST(r.in, "in");
    QTEST(r.out, "out");
    QTEST(r.now, "now");
    QCOMPARE(totals.rows, 1);
    QCOMPARE(totals.in, r.in);
    QCOMPARE(totals.out, r.out);
    QCOMPARE(totals.closing, double(r.now));
    if (!TestApp::onServer())   // a server's decimal column holds whole numbers only
        QCOMPARE(app.scalar("select typeof(now_amou) from mios").toString(), QString("integer"));
}

void TestStockMovement::onlyLinesThatMovedStockCount_data()
{
    QTest::addColumn<QString>("billType");
    QTest::addColumn<QVariant>("remark");
    QTest::addColumn<double>("in");
    QTest::newRow("customer return kept out of stock") << "retu" << QVariant("不入库") << 2.0;
    QTest::newRow("customer return into stock") << "retu" << QVariant("入库") << 5.0;
    QTest::newRow("customer return without remark") << "retu" << QVariant() << 5.0;
    QTest::newRow("a purchase's remark moves nothing out") << "in" << QVariant("不入库") << 5.0;
}

// 本月进货 must agree with the stock: a line that never entered stock is no movement.
void TestStockMovement::onlyLinesThatMovedStockCount()
{
    QFETCH(QString, billType);
    QFETCH(QVariant, remark);
    QFETCH(double, in);
    TestApp app;
    addBillLine(app, true, "20250503100000", QDate(2025, 5, 3), "A1", 2);
    app.exec("insert into inmain(bill_no,bill_date,bill_type) values('20250510100000',:p1,:p2)",
             {QDate(2025, 5, 10), billType});
    app.exec("insert into ingoods(bill_no,gods_code,sub_amou,unit_pric,remark) "
             "values('20250510100000','A1',3,9,:p1)", {remark});
    const auto totals = StockMovement::compute(app.dataModule().AdoConn, 2025, 5);
    QCOMPARE(row(app, "A1").in, in);
    QCOMPARE(row(app, "A1").now, qint64(in));
    QCOMPARE(totals.in, in);
}

void TestStockMovement::januaryOpensFromDecember()
{
    TestApp app;
    addCount(app, "A1", 10, QDate(2025, 12, 30));
    addCount(app, "B2", 4, QDate(2025, 12, 30));
    addCount(app, "A1", 77, QDate(2024, 1, 15));   // a January count of another year is not December
    addBillLine(app, false, "20260110000000", QDate(2026, 1, 10), "B2", 1.5);
    addBillLine(app, true, "20260131235959", QDate(2026, 1, 31), "C3", 2);   // the month's last second

    const auto totals = StockMovement::compute(app.dataModule().AdoConn, 2026, 1);
    QCOMPARE(row(app, "A1").last, 10.0);
    QCOMPARE(row(app, "A1").now, qint64(10));
    QCOMPARE(row(app, "B2").now, qint64(3));   // 2.5 rounds away from zero
    QCOMPARE(row(app, "C3").in, 2.0);
    QCOMPARE(totals.rows, 3);
    QCOMPARE(totals.in, 2.0);
    QCOMPARE(totals.out, 1.5);
    QCOMPARE(totals.closing, 15.0);   // 10 + 3 + 2: the sum of the closings shown
}

void TestStockMovement::emptyMonthGivesNoRows()
{
    TestApp app;
    addBillLine(app, true, "20250101000000", QDate(2025, 1, 1), "A1", 5);
    const auto totals = StockMovement::compute(app.dataModule().AdoConn, 2025, 3);
    QCOMPARE(totals.rows, 0);
    QCOMPARE(totals.in + totals.out + totals.closing, 0.0);
    QCOMPARE(app.scalar("select count(*) from mios").toInt(), 0);
}

void TestStockMovement::failureKeepsThePreviousResult()
{
    TestApp app;
    addBillLine(app, true, "20250301000000", QDate(2025, 3, 1), "A1", 5);
    StockMovement::compute(app.dataModule().AdoConn, 2025, 3);
    app.refuse("fail_mios", "insert", "mios", {}, "disk full");
    QVERIFY_THROWS_EXCEPTION(std::exception, StockMovement::compute(app.dataModule().AdoConn, 2025, 3));
    QCOMPARE(app.scalar("select count(*) from mios").toInt(), 1);
    QVERIFY(!app.dataModule().AdoConn.inTransaction());
}

QTEST_MAIN(TestStockMovement)
#include "tst_stockmovement.moc"
