// The till's books: a sale paid in one or several ways is a sale like any
// other; the payments, the rounding and the price limit are checked where the
// sale is stored; returns against a receipt; the shift's cash.
#include "TestSupport.h"
#include "TillSamples.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/DatabaseFile.h"
#include "db/Statement.h"
#include "shop/BillRules.h"
#include "shop/BillStore.h"
#include "shop/DatabaseUpgrade.h"
#include "shop/TillReturn.h"
#include "shop/TillSale.h"
#include "shop/TillShift.h"

#include <QtTest>
#include <memory>

using TillSale::Line;
using TillSale::Payment;

class TestTill : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;
    qint64 shift = 0;

    db::Connection& connection() { return app->dataModule().AdoConn; }
    double number(const QString& sql, const QVariantList& parameters = {}) { return app->scalar(sql, parameters).toDouble(); }
    double stock(const QString& code) { return number("select gods_amou from storemain where gods_code=:p1", {code}); }
    double cost(const QString& code) { return number("select cost_pric from storemain where gods_code=:p1", {code}); }

    static Line line(const QString& code, double quantity, double price, double retail = 0)
    {
        return {code, {}, quantity, retail == 0 ? price : retail, price};
    }

    TillSale::Sale sale(const QList<Line>& lines, const QList<Payment>& payments)
    {
        return TillSamples::sale(lines, payments, shift);
    }

    void expectRefusal(const TillSale::Sale& s, const QString& message)
    {
        const double before = stock("T1");
        try {
            TillSale::sell(connection(), s);
            QFAIL("the sale was stored");
        } catch (const BillRules::Refused& e) {
            QCOMPARE(e.refusal().message, message);
        }
        QCOMPARE(number("select count(*) from outmain"), 0.0);
        QCOMPARE(number("select count(*) from outpay"), 0.0);
        QCOMPARE(stock("T1"), before);
    }

private slots:
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2026, 3, 5), QTime(10, 15)));
        app = std::make_unique<TestApp>();
        TillSamples::addGoods(*app);
        TillSamples::addStock(*app);
        shift = TillShift::open(connection(), DatabaseFile::adminId, 200);
    }

    void cleanup()
    {
        app.reset();
        Clock::setFixed({});
    }

    void newDatabaseHasTheTillsDefaults()
    {
        QCOMPARE(TillSale::methods(connection()), QStringList({"现金", "微信", "支付宝", "银行卡"}));
        // The shop's own list once it has one.
        app->exec("insert into baseitem(fee_code,fee_type) values('2','月结')");
        app->exec("insert into baseitem(fee_code,fee_type) values('1','现金')");
        QCOMPARE(TillSale::methods(connection()), QStringList({"现金", "月结"}));
        const auto goods = TillSale::goods(connection(), "6901234567892");
        QVERIFY(goods);
        QCOMPARE(goods->code, QString("T1"));
        QCOMPARE(goods->name, QString("短袖衬衫 白 XL"));
        QCOMPARE(goods->retailPrice, 99.0);
        QVERIFY(!TillSale::goods(connection(), "NOSUCH"));
    }

    void upgradeGrantsTheTillToWhoeverSetsRights()
    {
        if (TestApp::onServer())
            QSKIP("the first release was a file");
        makeFirstRelease(connection());
        app->exec("update powers set pow_use=:p1", {QString(25, '1')});
        DatabaseUpgrade::upgradeCopy(connection());
        const QString rights = app->scalar("select pow_use from powers where user_id=:p1", {DatabaseFile::adminId}).toString();
        QCOMPARE(rights.mid(Function::RetailTill - 1), QString("1111"));   // and members, markdowns
    }

    void saleIsStoredAsAPaidSaleWithItsPayments()
    {
        // 2 × 99 + 1 × 35.50 = 233.50, paid 100 by WeChat and the rest in cash.
        const QString no = TillSale::sell(connection(), sale({line("t1", 2, 99), line("t2", 1, 35.5)},
                                                             {{"微信", 100}, {"现金", 133.5}}));
        QCOMPARE(app->scalar("select comp_code from outmain where bill_no=:p1", {no}).toString(), TillSale::walkInCompany);
        QCOMPARE(app->scalar("select comp_name from company where comp_code=:p1", {TillSale::walkInCompany}).toString(),
                 QString("散客"));
        QCOMPARE(number("select shou_tota from outmain where bill_no=:p1", {no}), 233.5);
        QCOMPARE(number("select fact_tota from outmain where bill_no=:p1", {no}), 233.5);
        QCOMPARE(number("select shift_id from outmain where bill_no=:p1", {no}), double(shift));
        QCOMPARE(app->scalar("select fee_type from outmain where bill_no=:p1", {no}).toString(), QString("组合支付"));
        // Codes as the goods' own, whatever was scanned.
        QCOMPARE(app->scalar("select gods_code from outgoods where bill_no=:p1 order by in_id", {no}).toString(), QString("T1"));
        QCOMPARE(stock("T1"), 8.0);
        QCOMPARE(stock("T2"), 9.0);
        QCOMPARE(cost("T1"), 40.0);
        QCOMPARE(TillSale::payments(connection(), no), (QList<Payment>{{"微信", 100}, {"现金", 133.5}}));
        QCOMPARE(number("select count(*) from oper_log where log_key=:p1", {no}), 1.0);

        const shop::Receipt receipt = TillSale::receipt(connection(), no);
        QCOMPARE(receipt.number, no);
        QCOMPARE(receipt.lines.size(), 2);
        QCOMPARE(receipt.lines.first().name, QString("短袖衬衫 白 XL"));
        QCOMPARE(receipt.lines.first().amount, 198.0);
        QCOMPARE(receipt.total, 233.5);
        QVERIFY(receipt.cashTaken);
        QVERIFY(!receipt.isReturn);
    }

    void paymentsMustAddUpToWhatIsDue()
    {
        expectRefusal(sale({line("T1", 1, 99)}, {{"现金", 98.99}}), "收款合计98.99不等于应收99");
        expectRefusal(sale({line("T1", 1, 99)}, {{"现金", 100}, {"微信", -1}}), "收款“微信 -1”不合适");
        expectRefusal(sale({line("T1", 1, 99)}, {}), "收款合计0不等于应收99");
    }

    void rounding_data()
    {
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("unit");
        QTest::addColumn<double>("off");
        QTest::newRow("off") << 12.34 << 0.0 << 0.0;
        QTest::newRow("to 0.1") << 12.34 << 0.1 << 0.04;
        QTest::newRow("to 1") << 12.34 << 1.0 << 0.34;
        QTest::newRow("already round") << 12.30 << 0.1 << 0.0;
        QTest::newRow("below the unit") << 0.99 << 1.0 << 0.99;
    }

    void rounding()
    {
        QFETCH(double, total);
        QFETCH(double, unit);
        QFETCH(double, off);
        QCOMPARE(TillSale::rounding(total, unit), off);
    }

    void settingsTheTillKnows_data()
    {
        QTest::addColumn<QVariant>("limit");
        QTest::addColumn<QVariant>("unit");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("blank") << QVariant() << QVariant() << QString();
        QTest::newRow("bounds") << QVariant(0.0) << QVariant(1.0) << QString();
        QTest::newRow("a tenth") << QVariant(100.0) << QVariant(0.1) << QString();
        QTest::newRow("limit over 100") << QVariant(120.0) << QVariant() << "收银最低折扣%“120”应在0到100之间";
        QTest::newRow("negative limit") << QVariant(-5.0) << QVariant() << "收银最低折扣%“-5”应在0到100之间";
        QTest::newRow("half a yuan") << QVariant() << QVariant(0.5) << "收银抹零“0.5”只能是0、0.1或1元";
        QTest::newRow("ten yuan") << QVariant() << QVariant(10.0) << "收银抹零“10”只能是0、0.1或1元";
    }

    void settingsTheTillKnows()
    {
        QFETCH(QVariant, limit);
        QFETCH(QVariant, unit);
        QFETCH(QString, refusal);
        QCOMPARE(TillSale::discountLimitRefusal(limit) + TillSale::roundingUnitRefusal(unit), refusal);
    }

    void roundedSaleStoresTheRoundingAsItsDiscount()
    {
        app->exec("insert into userinfo(comp_name,round_unit) values('本店',1)");
        const QList<Line> lines{line("T2", 1, 35.5), line("T1", 1, 99)};
        QCOMPARE(TillSale::due(lines, TillSale::settings(connection())), 134.0);
        expectRefusal(sale(lines, {{"现金", 134.5}}), "收款合计134.5不等于应收134");
        const QString no = TillSale::sell(connection(), sale(lines, {{"现金", 134}}));
        QCOMPARE(number("select shou_tota from outmain where bill_no=:p1", {no}), 134.0);
        QCOMPARE(number("select disc_tota from outmain where bill_no=:p1", {no}), 0.5);
        // Fully paid: nothing owed by the walk-in customer.
        QCOMPARE(number("select count(*) from outmain where coalesce(shou_tota,0)<>coalesce(fact_tota,0)"), 0.0);
    }

    void priceBelowTheLimitNeedsTheRight()
    {
        app->exec("insert into userinfo(comp_name,disc_limit) values('本店',80)");
        // 80% of 99 is 79.20: the till's price may go that low, not lower.
        QCOMPARE(TillSale::discounted(99, 80), 79.2);
        app->setRights(QString(Function::ChangePrice - 1, '1') + '0');
        QVERIFY(!TillSale::mayChangePrice());
        expectRefusal(sale({line("T2", 1, 35.5), line("T1", 1, 79.19, 99)}, {{"现金", 114.69}}),
                      "第2行：价格79.19低于售价99的80%（79.2），需要“改价”权限");
        // The stored retail price counts, not the one the till was given.
        expectRefusal(sale({line("T1", 1, 60, 70)}, {{"现金", 60}}), "第1行：价格60低于售价99的80%（79.2），需要“改价”权限");
        TillSale::sell(connection(), sale({line("T1", 1, 79.2, 99)}, {{"现金", 79.2}}));
        app->setRights(QString(Function::Count, '1'));
        TillSale::sell(connection(), sale({line("T1", 1, 50, 99)}, {{"现金", 50}}));
        QCOMPARE(stock("T1"), 8.0);
    }

    void saleNeedsAnOpenShiftAndIsStoredOnce()
    {
        TillSale::Sale s = sale({line("T1", 1, 99)}, {{"现金", 99}});
        s.saveId = "till-save-1";
        const QString no = TillSale::sell(connection(), s);
        // A retry after a lost answer finds the stored sale.
        QCOMPARE(TillSale::sell(connection(), s), no);
        QCOMPARE(stock("T1"), 9.0);
        TillShift::close(connection(), shift, 299);
        s.saveId.clear();
        try {
            TillSale::sell(connection(), s);
            QFAIL("a closed shift took a sale");
        } catch (const db::Error& e) {
            QCOMPARE(e.message(), TillShift::shiftClosedMessage);
        }
        QCOMPARE(stock("T1"), 9.0);
    }

    void returnGivesBackWhatWasSoldAtCost()
    {
        const QString saleNo = TillSale::sell(connection(), sale({line("T1", 2, 99), line("T2", 1, 35.5)},
                                                                 {{"微信", 100}, {"现金", 133.5}}));
        app->exec("update storemain set cost_pric=45 where gods_code='T1'");
        Clock::setFixed(QDateTime(QDate(2026, 3, 5), QTime(11, 0)));
        TillReturn::Sold sold = TillReturn::sold(connection(), saleNo);
        QCOMPARE(sold.lines.size(), 2);
        QCOMPARE(sold.lines.first().name, QString("短袖衬衫 白 XL"));
        QCOMPARE(sold.lines.first().returnable(), 2.0);
        QCOMPARE(TillReturn::refundDue(sold, {1, 1}), 134.5);
        // Cash first, then the other methods up to what they paid.
        QCOMPARE(TillReturn::refundPlan(sold, 134.5), (QList<Payment>{{"现金", 133.5}, {"微信", 1}}));
        QCOMPARE(TillReturn::refundPlan(sold, 50, "微信"), (QList<Payment>{{"微信", 50}}));

        TillReturn::Return back{saleNo, {1, 0}, {{"现金", 99}}, shift, DatabaseFile::adminId, {}};
        const QString returnNo = TillReturn::giveBack(connection(), back);
        QCOMPARE(app->scalar("select sale_no from inmain where bill_no=:p1 and bill_type='retu'", {returnNo}).toString(), saleNo);
        QCOMPARE(number("select fact_tota from inmain where bill_no=:p1", {returnNo}), 99.0);
        QCOMPARE(TillSale::payments(connection(), returnNo), (QList<Payment>{{"现金", -99}}));
        // Back into stock at the cost the goods has, not at the price refunded.
        QCOMPARE(stock("T1"), 9.0);
        QCOMPARE(cost("T1"), 45.0);
        QVERIFY(TillSale::receipt(connection(), returnNo).isReturn);

        sold = TillReturn::sold(connection(), saleNo);
        QCOMPARE(sold.lines.first().returned, 1.0);
        QCOMPARE(sold.paid, (QList<Payment>{{"微信", 100}, {"现金", 34.5}}));
        back.quantities = {2, 0};
        back.refunds = {{"现金", 198}};
        try {
            TillReturn::giveBack(connection(), back);
            QFAIL("more came back than was sold");
        } catch (const BillRules::Refused& e) {
            QCOMPARE(e.refusal().line, 0);
            QCOMPARE(e.refusal().message, QString("第1行 短袖衬衫 白 XL：退货数量2超过可退数量1（已售2，已退1）"));
        }
        back.quantities = {0, 1};
        back.refunds = {{"现金", 35.5}};
        try {
            TillReturn::giveBack(connection(), back);
            QFAIL("cash refunded beyond what cash paid");
        } catch (const BillRules::Refused& e) {
            QCOMPARE(e.refusal().message, QString("退款“现金 35.5”超过这张小票用现金付的34.5"));
        }
        QCOMPARE(number("select count(*) from inmain"), 1.0);
        QCOMPARE(stock("T2"), 9.0);
        // Deleted in 顾客退货, the return takes its pieces back out, the cost untouched.
        BillStore::remove(connection(), StockPosting::BillKind::CustomerReturn, returnNo);
        QCOMPARE(stock("T1"), 8.0);
        QCOMPARE(cost("T1"), 45.0);
    }

    void returnRefusesWhatIsNoTillSale()
    {
        for (const QString& number : {QString("20990101000000"), QString("NOSUCH")}) {
            try {
                TillReturn::sold(connection(), number);
                QFAIL("not a till sale");
            } catch (const BillRules::Refused& e) {
                QCOMPARE(e.refusal().message, QString("小票“%1”不是本店的零售小票").arg(number));
            }
        }
    }

    void shiftCountsItsCash()
    {
        QVERIFY_THROWS_EXCEPTION(db::Error, TillShift::open(connection(), DatabaseFile::adminId, 50));
        const QString first = TillSale::sell(connection(), sale({line("T1", 1, 99)}, {{"现金", 99}}));
        Clock::setFixed(QDateTime(QDate(2026, 3, 5), QTime(10, 16)));
        TillSale::sell(connection(), sale({line("T2", 2, 35.5)}, {{"现金", 50}, {"支付宝", 21}}));
        Clock::setFixed(QDateTime(QDate(2026, 3, 5), QTime(10, 17)));
        TillReturn::giveBack(connection(), {first, {1}, {{"现金", 99}}, shift, DatabaseFile::adminId, {}});

        const TillShift::Takings takings = TillShift::takings(connection(), shift);
        QCOMPARE(takings.sales, 2);
        QCOMPARE(takings.returns, 1);
        QCOMPARE(takings.cashIn, 149.0);
        QCOMPARE(takings.cashRefunded, 99.0);
        QCOMPARE(takings.byMethod, (QList<std::pair<QString, double>>{{"现金", 50}, {"支付宝", 21}}));
        QCOMPARE(TillShift::expectedCash(200, takings), 250.0);

        // The cashier counts 0.5 short.
        const TillShift::Shift closed = TillShift::close(connection(), shift, 249.5);
        QCOMPARE(closed.expected, 250.0);
        QCOMPARE(closed.difference, -0.5);
        QCOMPARE(number("select diff_amou from tillshift where shift_id=:p1", {shift}), -0.5);
        QVERIFY(!TillShift::current(connection(), DatabaseFile::adminId));
        QVERIFY_THROWS_EXCEPTION(db::Error, TillShift::close(connection(), shift, 249.5));

        // The day over every cashier; a sale of the 销售输入 window is no till sale.
        const qint64 other = TillShift::open(connection(), "E02", 0);
        TillSale::Sale second = sale({line("T1", 1, 99)}, {{"微信", 99}});
        second.shiftId = other;
        TillSale::sell(connection(), second);
        app->exec("insert into outmain(bill_no,bill_date,bill_type,shou_tota) values('20260305120000','2026-03-05 12:00:00','out',10)");
        const TillShift::Takings day = TillShift::dayTakings(connection(), QDate(2026, 3, 5));
        QCOMPARE(day.sales, 3);
        QCOMPARE(day.returns, 1);
        QCOMPARE(day.total(), 170.0);
        QCOMPARE(TillShift::shiftsOfDay(connection(), QDate(2026, 3, 5)).size(), 2);
        QCOMPARE(TillShift::dayTakings(connection(), QDate(2026, 3, 6)).sales, 0);
    }
};

QTEST_GUILESS_MAIN(TestTill)
#include "tst_till.moc"
