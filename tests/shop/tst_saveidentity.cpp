// A save carries its identity: a save whose answer was lost is found stored,
// and a retry of it is never stored twice.
#include "PgProxy.h"
#include "TestSupport.h"

#include "db/Error.h"
#include "shop/BillStore.h"
#include "shop/SaveIdentity.h"
#include "shop/Settlement.h"

#include <QtTest>

using StockPosting::BillKind;

class TestSaveIdentity : public QObject {
    Q_OBJECT

private slots:
    void attemptKeepsItsIdentityWhileTheContentStays();
    void sameSaveIsStoredOnce();
    void lostAnswerToACommit_data();
    void lostAnswerToACommit();
};

namespace {

BillStore::Bill sale(double quantity)
{
    BillStore::Bill bill;
    bill.header = {{QStringLiteral("bill_date"), QDate(2026, 3, 5)}, {QStringLiteral("comp_code"), QStringLiteral("C1")},
                   {QStringLiteral("shou_tota"), quantity * 9}};
    bill.lines = {{QStringLiteral("G1"), quantity, 9, {}}};
    bill.saveId = SaveIdentity::make();
    return bill;
}

std::optional<QString> findBill(const std::exception& failure, db::Connection& c, const QString& saveId)
{
    return SaveIdentity::findAfter<QString>(failure, [&] { return BillStore::storedBy(c, BillKind::Sale, saveId); });
}

// The goods and customer the bills name, and ten in stock.
void stockTen(TestApp& app)
{
    app.exec("insert into goods (gods_code, gods_name) values ('G1', '衬衫')");
    app.exec("insert into company (comp_code, comp_name) values ('C1', '华美')");
    app.exec("insert into storemain (gods_code, gods_amou, cost_pric) values ('G1', 10, 5)");
}

} // namespace

void TestSaveIdentity::attemptKeepsItsIdentityWhileTheContentStays()
{
    SaveIdentity::Attempt<BillStore::Bill> attempt;
    BillStore::Bill bill = sale(3);
    bill.saveId.clear();
    const QString first = attempt.identityFor(bill);
    QCOMPARE(attempt.identityFor(bill), first);   // the retry
    bill.lines[0].quantity = 4;
    const QString changed = attempt.identityFor(bill);
    QVERIFY(changed != first);
    attempt.succeeded();
    QVERIFY(attempt.identityFor(bill) != changed);   // the same bill entered again is another save
}

// The unique key refuses the second insert of one save; what the first stored is found.
void TestSaveIdentity::sameSaveIsStoredOnce()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    stockTen(app);
    const BillStore::Bill bill = sale(3);
    const QString number = BillStore::save(c, BillKind::Sale, bill);
    try {
        BillStore::save(c, BillKind::Sale, bill);
        QFAIL("one save was stored twice");
    } catch (const db::Error& e) {
        QCOMPARE(e.kind(), db::Error::UniqueViolation);
        QCOMPARE(findBill(e, c, bill.saveId).value_or(QString()), number);
    }
    QCOMPARE(app.scalar("select gods_amou from storemain").toDouble(), 7.0);
    QCOMPARE(app.scalar("select count(*) from outgoods").toInt(), 1);
    // A save never stored is not found, and a refusal of the program's own is never looked up.
    QVERIFY(!findBill(db::Error("x"), c, SaveIdentity::make()));
    QVERIFY(!findBill(std::runtime_error("x"), c, bill.saveId));

    // A receipt of 10 on that bill.
    Settlement::Filter theBill;
    theBill.billNo = number;
    theBill.from = theBill.to = QDate(2026, 3, 5);
    Settlement::Voucher voucher;
    voucher.number = QStringLiteral("20260305100000");
    voucher.numberProposed = true;   // the retry's number moves on: the identity refuses it
    voucher.date = QDate(2026, 3, 5);
    voucher.amount = 10;
    voucher.saveId = SaveIdentity::make();
    const Settlement::Saved saved = Settlement::save(c, Settlement::receipts(), theBill, voucher);
    try {
        Settlement::save(c, Settlement::receipts(), theBill, voucher);
        QFAIL("one receipt was stored twice");
    } catch (const db::Error& e) {
        QCOMPARE(e.kind(), db::Error::UniqueViolation);
        const std::optional<Settlement::Saved> found = SaveIdentity::findAfter<Settlement::Saved>(
            e, [&] { return Settlement::storedBy(c, Settlement::receipts(), voucher.saveId); });
        QVERIFY(found);
        QCOMPARE(found->number, saved.number);
        QCOMPARE(found->balance, saved.balance);
        QCOMPARE(found->totals.owing(), saved.totals.owing());
    }
    QCOMPARE(app.scalar("select fact_tota from outmain").toDouble(), 10.0);
    QCOMPARE(app.scalar("select count(*) from gathmain").toInt(), 1);
}

void TestSaveIdentity::lostAnswerToACommit_data()
{
    QTest::addColumn<int>("cut");
    QTest::addColumn<bool>("stored");
    QTest::newRow("the server committed, its answer was lost") << int(PgProxy::Cut::AnswerToCommit) << true;
    QTest::newRow("the commit never reached the server") << int(PgProxy::Cut::BeforeCommit) << false;
}

// The connection cut at the commit: the save is looked for on a new connection,
// found when the server committed it, and the retry the user was told to make
// stores it once either way.
void TestSaveIdentity::lostAnswerToACommit()
{
    if (!TestApp::onServer())
        QSKIP("a lost connection is the server's");
    QFETCH(int, cut);
    QFETCH(bool, stored);
    TestApp app;
    stockTen(app);
    PgProxy proxy(app.dataModule().AdoConn.serverAddress());
    db::Connection c;
    ShopServer::open(c, proxy.address());
    const BillStore::Bill bill = sale(3);
    proxy.cutAt(PgProxy::Cut(cut));
    try {
        BillStore::save(c, BillKind::Sale, bill);
        QFAIL("the cut went unnoticed");
    } catch (const db::Error& e) {
        QCOMPARE(e.kind(), db::Error::ConnectionLost);
        QCOMPARE(findBill(e, c, bill.saveId).has_value(), stored);
    }
    QCOMPARE(app.scalar("select gods_amou from storemain").toDouble(), stored ? 7.0 : 10.0);
    try {
        BillStore::save(c, BillKind::Sale, bill);
        QVERIFY(!stored);
    } catch (const db::Error& e) {
        QVERIFY(stored);
        QVERIFY(findBill(e, c, bill.saveId).has_value());
    }
    QCOMPARE(app.scalar("select gods_amou from storemain").toDouble(), 7.0);
    QCOMPARE(app.scalar("select count(*) from outmain").toInt(), 1);
}

QTEST_MAIN(TestSaveIdentity)
#include "tst_saveidentity.moc"
