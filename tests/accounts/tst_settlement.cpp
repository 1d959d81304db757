// The settlement rules without a window: which bills are listed, how money is
// spread over them, the credit carried forward and a save that fails as a whole.
#include "AccountsData.h"
#include "TestSupport.h"

#include "shop/Settlement.h"
#include "db/Dataset.h"
#include "db/Error.h"

#include <QtTest>

using namespace AccountsData;

class TestSettlement : public QObject {
    Q_OBJECT

private slots:
    void spreadFollowsTheListOrder_data();
    void spreadFollowsTheListOrder();
    void saveSpreadsStoresTheVoucherAndKeepsTheCredit_data();
    void saveSpreadsStoresTheVoucherAndKeepsTheCredit();
    void creditOfReceiptsIsOfferedToPayments();
    void amountNotAboveZeroChangesNothing_data();
    void amountNotAboveZeroChangesNothing();
    void failureAfterTheFirstBillLeavesNothingAndRetrySpreadsOnce();
    void listIsOrderedByDateThenNumberOverWholeDays();
    void billsSharingANumberArePaidEachByItsOwnRow();
    void typedCodesAreBoundNotSpliced();
    void takenVoucherNumberMovesOnWhenProposedAndIsRefusedWhenTyped();
    void onlyOpenCountsAnEmptyPaidAmountAsZero();
    void settlementByBillNumberCarriesNoCredit();
    void returnsOfTheOtherTableLowerWhatIsOwed_data();
    void returnsOfTheOtherTableLowerWhatIsOwed();
};

namespace {

QList<Settlement::Bill> bills(const QList<double>& due, const QList<QVariant>& paid)
{
    QList<Settlement::Bill> list;
    for (int i = 0; i < due.size(); ++i)
        list.append({i + 1, QString::number(i + 1), due.at(i), paid.at(i).toDouble()});
    return list;
}

Settlement::Filter company(const QString& code)
{
    Settlement::Filter f;
    f.byCompany = true;
    f.compCode = code;
    f.from = QDate(2026, 3, 1);
    f.to = QDate(2026, 3, 31);
    return f;
}

Settlement::Voucher voucher(double amount)
{
    Settlement::Voucher v;
    v.number = QStringLiteral("20260315093000");
    v.date = QDate(2026, 3, 15);
    v.compName = QStringLiteral("华美服饰");
    v.amount = amount;
    v.operName = QStringLiteral("张三");
    v.feiName = QStringLiteral("李四");
    return v;
}

const Settlement::Ledger& ledgerNamed(const QString& table)
{
    return table == QLatin1String("outmain") ? Settlement::receipts() : Settlement::payments();
}

} // namespace

void TestSettlement::spreadFollowsTheListOrder_data()
{
    QTest::addColumn<double>("money");
    QTest::addColumn<QList<double>>("due");
    QTest::addColumn<QList<QVariant>>("paid");
    QTest::addColumn<QList<double>>("expected");

    QTest::newRow("100 over 60 and 80") << 100.0 << QList<double>{60, 80} << QList<QVariant>{0, 0}
                                       << QList<double>{60, 40};
    QTest::newRow("200 over 60 and 80") << 200.0 << QList<double>{60, 80} << QList<QVariant>{0, 0}
                                       << QList<double>{60, 80};
    QTest::newRow("credit 30 and 10 over 50 owing") << 40.0 << QList<double>{50} << QList<QVariant>{0}
                                                   << QList<double>{40};
    QTest::newRow("part paid bills keep what they had") << 15.0 << QList<double>{100, 50, 30}
                                                        << QList<QVariant>{90, 20, QVariant()}
                                                        << QList<double>{100, 25, 0};
    QTest::newRow("overpaid bill gives its excess to later bills")
        << 10.0 << QList<double>{50, 100, 50} << QList<QVariant>{0, 120, 0} << QList<double>{30, 100, 0};
    QTest::newRow("settled bills are left alone") << 5.0 << QList<double>{60, 80} << QList<QVariant>{60, 0}
                                                 << QList<double>{60, 5};
}

void TestSettlement::spreadFollowsTheListOrder()
{
    QFETCH(double, money);
    QFETCH(QList<double>, due);
    QFETCH(QList<QVariant>, paid);
    QFETCH(QList<double>, expected);
    QCOMPARE(Settlement::spread(money, bills(due, paid)), expected);
}

void TestSettlement::saveSpreadsStoresTheVoucherAndKeepsTheCredit_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QVariant>("storedCredit");
    QTest::addColumn<double>("amount");
    QTest::addColumn<double>("paidFirst");
    QTest::addColumn<double>("paidSecond");
    QTest::addColumn<double>("balance");
    QTest::addColumn<QVariant>("creditAfter");
    QTest::addColumn<QString>("logged");

    for (const QString table : {QStringLiteral("outmain"), QStringLiteral("inmain")}) {
        const QByteArray t = table.toLatin1();
        QTest::newRow(t + ": 100 over 60 and 80, no credit stored")
            << table << QVariant() << 100.0 << 60.0 << 40.0 << -40.0 << QVariant() << "华美服饰 金额 100，仍欠 40";
        QTest::newRow(t + ": 200 over 60 and 80 stores 60") << table << QVariant() << 200.0 << 60.0 << 80.0 << 60.0
                                                           << QVariant(60.0) << "华美服饰 金额 200，结余 0 → 60";
        QTest::newRow(t + ": credit 30 with 10 paid is used up")
            << table << QVariant(30.0) << 10.0 << 40.0 << 0.0 << -100.0 << QVariant(0.0)
            << "华美服饰 金额 10，结余 30 → 0，仍欠 100";
        QTest::newRow(t + ": credit and amount cover all, credit shrinks")
            << table << QVariant(100.0) << 50.0 << 60.0 << 80.0 << 10.0 << QVariant(10.0) << "华美服饰 金额 50，结余 100 → 10";
    }
}

void TestSettlement::saveSpreadsStoresTheVoucherAndKeepsTheCredit()
{
    QFETCH(QString, table);
    QFETCH(QVariant, storedCredit);
    QFETCH(double, amount);
    QFETCH(double, paidFirst);
    QFETCH(double, paidSecond);
    QFETCH(double, balance);
    QFETCH(QVariant, creditAfter);
    QFETCH(QString, logged);

    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    addCompany(app, "C01", "华美服饰", storedCredit);
    addBill(app, table, "B1", 2, "C01", 60, 0);
    addBill(app, table, "B2", 9, "C01", 80, QVariant());
    addBill(app, table, "B3", 9, "C02", 70, 0);   // another company's bill is not touched
    const Settlement::Ledger& ledger = ledgerNamed(table);

    const Settlement::Saved saved = Settlement::save(c, ledger, company("C01"), voucher(amount));
    QCOMPARE(saved.balance, balance);
    QCOMPARE(paidOf(app, table, "B1").toDouble(), paidFirst);
    QCOMPARE(paidOf(app, table, "B2").toDouble(), paidSecond);
    QCOMPARE(paidOf(app, table, "B3").toDouble(), 0.0);
    QCOMPARE(creditOf(app, "C01"), creditAfter);
    QCOMPARE(Settlement::credit(c, "C01"), creditAfter.toDouble());

    QCOMPARE(count(app, ledger.voucherTable), 1);
    const QString v = QStringLiteral("select %2 from %1").arg(ledger.voucherTable);
    QCOMPARE(app.scalar(v.arg("shou_tota")).toDouble(), 140.0);
    QCOMPARE(app.scalar(v.arg("fact_tota")).toDouble(), 0.0);
    QCOMPARE(app.scalar(v.arg("lack_tota")).toDouble(), 140.0);
    QCOMPARE(app.scalar(v.arg("last_tota")).toDouble(), storedCredit.toDouble());
    QCOMPARE(app.scalar(v.arg("fei_tota")).toDouble(), amount);
    QCOMPARE(app.scalar(v.arg("rest_tota")).toDouble(), balance);
    QCOMPARE(app.scalar(v.arg("comp_code")).toString(), QString("C01"));
    QCOMPARE(app.scalar(v.arg("fei_date")).toString(), QString("2026-03-15 00:00:00"));
    QCOMPARE(app.scalar(v.arg("end_date")).toString(), QString("2026-03-31 00:00:00"));
    QCOMPARE(app.scalar(v.arg("fei_name")).toString(), QString("李四"));
    // Only this ledger's bills moved.
    const QString other = table == "outmain" ? "inmain" : "outmain";
    QCOMPARE(count(app, other), 0);
    // The log says what changed: the stored credit, and what is still owed.
    QCOMPARE(app.scalar("select summary from oper_log").toString(), logged);
}

void TestSettlement::returnsOfTheOtherTableLowerWhatIsOwed_data()
{
    QTest::addColumn<QString>("table");
    QTest::newRow("receipts: a customer return") << QStringLiteral("outmain");
    QTest::newRow("payments: a return to the supplier") << QStringLiteral("inmain");
}

void TestSettlement::returnsOfTheOtherTableLowerWhatIsOwed()
{
    QFETCH(QString, table);
    const QString other = table == "outmain" ? "inmain" : "outmain";
    const Settlement::Ledger& ledger = ledgerNamed(table);
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    addCompany(app, "C01", "华美服饰");
    addBill(app, table, "S1", 2, "C01", 275, 0, table == "outmain" ? "out" : "in");
    addBill(app, other, "R1", 5, "C01", 37.5, 0, "retu");
    addBill(app, other, "N1", 6, "C01", 99, 0, table == "outmain" ? "in" : "out");   // not a return: another ledger's

    const QList<Settlement::Bill> listed = Settlement::readBills(c, table, company("C01"));
    QCOMPARE(listed.size(), 2);
    QCOMPARE(listed.at(1).billNo, QString("R1"));
    QVERIFY(listed.at(1).offset);
    QCOMPARE(Settlement::totals(listed).owing(), 237.5);
    // The window's list (and the statement of account over it) says the same.
    db::Dataset* list = table == "outmain" ? app.dataModule().GathQ : app.dataModule().PayQ;
    Settlement::openList(*list, table, company("C01"));
    QCOMPARE(list->recordCount(), 2);
    QCOMPARE(Settlement::totals(*list).owing(), 237.5);

    // Paying what is owed settles the bill and closes the return; nothing is left over.
    const Settlement::Saved saved = Settlement::save(c, ledger, company("C01"), voucher(237.5));
    QCOMPARE(saved.totals.owing(), 237.5);
    QCOMPARE(saved.balance, 0.0);
    QCOMPARE(paidOf(app, table, "S1").toDouble(), 275.0);
    QCOMPARE(paidOf(app, other, "R1").toDouble(), 37.5);
    QCOMPARE(paidOf(app, other, "N1").toDouble(), 0.0);
    QCOMPARE(creditOf(app, "C01"), QVariant());
    const QString otherLines = table == "outmain" ? Settlement::payments().lineTable : Settlement::receipts().lineTable;
    QCOMPARE(app.scalar(QStringLiteral("select paid_amou from %1 where bill_no='R1'").arg(otherLines)).toDouble(), 37.5);
    QCOMPARE(Settlement::totals(Settlement::readBills(c, table, company("C01"))).owing(), 0.0);
}

void TestSettlement::creditOfReceiptsIsOfferedToPayments()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    addCompany(app, "C01", "华美服饰");
    addBill(app, "outmain", "S1", 2, "C01", 60, 0);
    addBill(app, "inmain", "P1", 3, "C01", 50, 0, "in");
    Settlement::save(c, Settlement::receipts(), company("C01"), voucher(100));
    QCOMPARE(Settlement::credit(c, "C01"), 40.0);

    const Settlement::Saved paid = Settlement::save(c, Settlement::payments(), company("C01"), voucher(20));
    QCOMPARE(paid.credit, 40.0);
    QCOMPARE(paid.balance, 10.0);
    QCOMPARE(paidOf(app, "inmain", "P1").toDouble(), 50.0);
    QCOMPARE(creditOf(app, "C01").toDouble(), 10.0);
}

void TestSettlement::amountNotAboveZeroChangesNothing_data()
{
    QTest::addColumn<double>("amount");
    QTest::newRow("zero") << 0.0;
    QTest::newRow("negative") << -5.0;
}

void TestSettlement::amountNotAboveZeroChangesNothing()
{
    QFETCH(double, amount);
    TestApp app;
    addCompany(app, "C01", "华美服饰", 30.0);
    addBill(app, "outmain", "B1", 2, "C01", 60, 0);
    QVERIFY_THROWS_EXCEPTION(db::Error, Settlement::save(app.dataModule().AdoConn, Settlement::receipts(),
                                                         company("C01"), voucher(amount)));
    QCOMPARE(paidOf(app, "outmain", "B1").toDouble(), 0.0);
    QCOMPARE(creditOf(app, "C01").toDouble(), 30.0);
    QCOMPARE(count(app, "gathmain"), 0);
}

void TestSettlement::failureAfterTheFirstBillLeavesNothingAndRetrySpreadsOnce()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    addCompany(app, "C01", "华美服饰", 30.0);
    addBill(app, "outmain", "B1", 2, "C01", 60, 0);
    addBill(app, "outmain", "B2", 9, "C01", 80, 0);
    app.refuse("refuse_b2", "update", "outmain", "old.bill_no='B2'", "refused");

    QVERIFY_THROWS_EXCEPTION(db::Error, Settlement::save(c, Settlement::receipts(), company("C01"), voucher(100)));
    QCOMPARE(paidOf(app, "outmain", "B1").toDouble(), 0.0);
    QCOMPARE(paidOf(app, "outmain", "B2").toDouble(), 0.0);
    QCOMPARE(creditOf(app, "C01").toDouble(), 30.0);
    QCOMPARE(count(app, "gathmain"), 0);
    QVERIFY(!c.inTransaction());

    app.allow("refuse_b2", "outmain");
    const Settlement::Saved saved = Settlement::save(c, Settlement::receipts(), company("C01"), voucher(100));
    QCOMPARE(saved.balance, -10.0);
    QCOMPARE(paidOf(app, "outmain", "B1").toDouble(), 60.0);
    QCOMPARE(paidOf(app, "outmain", "B2").toDouble(), 70.0);
    QCOMPARE(creditOf(app, "C01").toDouble(), 0.0);
    QCOMPARE(count(app, "gathmain"), 1);
}

void TestSettlement::listIsOrderedByDateThenNumberOverWholeDays()
{
    TestApp app;
    addBill(app, "outmain", "B9", 31, "C01", 10, 0);
    addBill(app, "outmain", "B5", 1, "C01", 10, 0);
    addBill(app, "outmain", "B7", 15, "C01", 10, 0);
    addBill(app, "outmain", "B6", 15, "C01", 10, 0);
    addBill(app, "outmain", "A1", 28, "C01", 10, 0, "out", 2);
    addBill(app, "outmain", "A2", 1, "C01", 10, 0, "out", 4);
    // A date stamped with a time of day still belongs to its day.
    app.exec("insert into outmain (bill_no, bill_date, comp_code, shou_tota) values ('B8', '2026-03-31 18:45:00', 'C01', 10)");

    QStringList numbers;
    for (const Settlement::Bill& b : Settlement::readBills(app.dataModule().AdoConn, "outmain", company("C01")))
        numbers << b.billNo;
    QCOMPARE(numbers, QStringList({"B5", "B6", "B7", "B9", "B8"}));

    db::Dataset* list = app.dataModule().GathQ;
    Settlement::openList(*list, "outmain", company("C01"));
    QCOMPARE(list->recordCount(), 5);
    QCOMPARE(list->text("bill_no"), QString("B5"));
    QCOMPARE(Settlement::totals(*list).due, 50.0);
}

void TestSettlement::billsSharingANumberArePaidEachByItsOwnRow()
{
    TestApp app;
    // As an older database holds them, from before numbers were unique.
    app.execAsOwner("drop index outmain_bill_no_unique");
    addBill(app, "outmain", "20260302100000", 2, "C01", 60, 0, "out");
    addBill(app, "outmain", "20260302100000", 2, "C01", 80, 0, "retu");
    Settlement::Filter f = company("C01");
    f.billNo = "20260302100000";
    Settlement::save(app.dataModule().AdoConn, Settlement::receipts(), f, voucher(100));
    QCOMPARE(app.scalar("select fact_tota from outmain where bill_type='out'").toDouble(), 60.0);
    QCOMPARE(app.scalar("select fact_tota from outmain where bill_type='retu'").toDouble(), 40.0);
}

void TestSettlement::takenVoucherNumberMovesOnWhenProposedAndIsRefusedWhenTyped()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    addCompany(app, "C01", "华美服饰");
    addBill(app, "outmain", "B1", 2, "C01", 100, 0);
    Settlement::Voucher proposed = voucher(10);
    proposed.numberProposed = true;
    QCOMPARE(Settlement::save(c, Settlement::receipts(), company("C01"), proposed).number, QString("20260315093000"));
    QCOMPARE(Settlement::save(c, Settlement::receipts(), company("C01"), proposed).number, QString("20260315093001"));
    // A payment keeps its own numbers.
    QCOMPARE(Settlement::save(c, Settlement::payments(), company("C01"), proposed).number, QString("20260315093000"));
    try {
        Settlement::save(c, Settlement::receipts(), company("C01"), voucher(10));
        QFAIL("a typed number was taken twice");
    } catch (const db::Error& e) {
        QCOMPARE(e.message(), QString("收款单号 20260315093000 已经用过，请换一个单号"));
    }
    QCOMPARE(paidOf(app, "outmain", "B1").toDouble(), 20.0);
    QCOMPARE(app.scalar("select count(*) from gathbill where fei_no='20260315093001'").toInt(), 1);
}

void TestSettlement::typedCodesAreBoundNotSpliced()
{
    TestApp app;
    addCompany(app, "O'Neil", "奥尼尔", 5.0);
    addBill(app, "outmain", "B1", 2, "O'Neil", 60, 0);
    addBill(app, "outmain", "B2", 2, "C01", 60, 0);
    QCOMPARE(Settlement::credit(app.dataModule().AdoConn, "O'Neil"), 5.0);
    QCOMPARE(Settlement::readBills(app.dataModule().AdoConn, "outmain", company("O'Neil")).size(), 1);
    Settlement::Filter f = company("x' or '1'='1");
    QCOMPARE(Settlement::readBills(app.dataModule().AdoConn, "outmain", f).size(), 0);
}

void TestSettlement::onlyOpenCountsAnEmptyPaidAmountAsZero()
{
    TestApp app;
    addBill(app, "inmain", "P1", 2, "C01", 100, 100, "in");
    addBill(app, "inmain", "P2", 3, "C01", 100, 120, "in");
    addBill(app, "inmain", "P3", 4, "C02", 100, QVariant(), "in");
    addBill(app, "inmain", "P4", 5, "C02", 100, 40, "retu");
    Settlement::Filter all = company(QString());
    all.byCompany = false;
    all.onlyOpen = true;
    QStringList numbers;
    for (const Settlement::Bill& b : Settlement::readBills(app.dataModule().AdoConn, "inmain", all))
        numbers << b.billNo;
    QCOMPARE(numbers, QStringList({"P2", "P3", "P4"}));
}

void TestSettlement::settlementByBillNumberCarriesNoCredit()
{
    TestApp app;
    addCompany(app, "C01", "华美服饰", 30.0);
    addBill(app, "outmain", "B1", 2, "C01", 60, 0);
    Settlement::Filter f = company(QString());
    f.byCompany = false;
    f.billNo = "B1";
    const Settlement::Saved saved = Settlement::save(app.dataModule().AdoConn, Settlement::receipts(), f, voucher(100));
    QCOMPARE(saved.credit, 0.0);
    QCOMPARE(saved.balance, 40.0);
    QCOMPARE(creditOf(app, "C01").toDouble(), 30.0);
    QCOMPARE(app.scalar("select comp_code from gathmain").toString(), QString());
    QCOMPARE(app.scalar("select bill_no from gathmain").toString(), QString("B1"));
}

QTEST_MAIN(TestSettlement)
#include "tst_settlement.moc"
