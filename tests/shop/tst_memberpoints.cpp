// A member at a sale: found by card or phone; points earned on what was paid,
// spent as money to the cent, taken back by returns; all written with the bill.
#include "TestSupport.h"
#include "TillSamples.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/DatabaseFile.h"
#include "shop/BillRules.h"
#include "shop/BillStore.h"
#include "shop/MemberPoints.h"
#include "shop/TillReturn.h"
#include "shop/TillSale.h"
#include "shop/TillShift.h"

#include <QtTest>
#include <memory>

using TillSale::Payment;

class TestMemberPoints : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;
    qint64 shift = 0;

    db::Connection& connection() { return app->dataModule().AdoConn; }
    double number(const QString& sql, const QVariantList& parameters = {}) { return app->scalar(sql, parameters).toDouble(); }
    double points(const QString& card) { return number("select points from member where card_no=:p1", {card}); }

    TillSale::Sale sale(const QList<TillSale::Line>& lines, const QList<Payment>& payments, const QString& card)
    {
        return TillSamples::sale(lines, payments, shift, card);
    }

    TillReturn::Return goodsBack(const QString& saleNo, const QList<double>& quantities)
    {
        const TillReturn::Sold sold = TillReturn::sold(connection(), saleNo);
        const double refund = TillReturn::refundDue(sold, quantities);
        return {saleNo, quantities, TillReturn::refundPlan(sold, refund), shift, DatabaseFile::adminId, {}};
    }

private slots:
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2026, 3, 5), QTime(10, 15)));
        app = std::make_unique<TestApp>();
        TillSamples::addGoods(*app);
        TillSamples::addStock(*app);
        // The levels of a new database, 金卡 earning two points a yuan.
        app->exec("update memblevel set point_rate=2 where level_name='金卡'");
        app->exec("insert into member(card_no,memb_name,mobile,level_name,points) values('M001','王芳','13812341234','金卡',500)");
        app->exec("insert into member(card_no,memb_name,mobile,level_name,points) values('M002','李强','13912345678','普通',0)");
        app->exec("insert into member(card_no,memb_name,mobile,level_name,points) values('13700000000','张三','','普通',0)");
        shift = TillShift::open(connection(), DatabaseFile::adminId, 0);
    }

    void cleanup()
    {
        app.reset();
        Clock::setFixed({});
    }

    void memberFoundByCardOrPhone_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("cards");
        QTest::newRow("card") << "m001" << QStringList{"M001"};
        QTest::newRow("whole phone") << "13912345678" << QStringList{"M002"};
        QTest::newRow("part of a phone") << "1234" << QStringList{"M001", "M002"};
        QTest::newRow("last digits") << "5678" << QStringList{"M002"};
        QTest::newRow("a card that looks like a phone") << "13700000000" << QStringList{"13700000000"};
        QTest::newRow("nobody") << "99999" << QStringList{};
        QTest::newRow("a name is not a card") << "王芳" << QStringList{};
    }

    void memberFoundByCardOrPhone()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, cards);
        QStringList found;
        for (const MemberPoints::Member& member : MemberPoints::find(connection(), typed))
            found << member.cardNo;
        QCOMPARE(found, cards);
    }

    void memberCarriesItsLevel()
    {
        const auto member = MemberPoints::byCard(connection(), "M001");
        QVERIFY(member);
        QCOMPARE(*member, (MemberPoints::Member{"M001", "王芳", "13812341234", "金卡", 90, 2, 500}));
        app->exec("update member set level_name='无此等级' where card_no='M002'");
        QCOMPARE(MemberPoints::byCard(connection(), "M002")->discount, 100.0);
    }

    void pointsArithmetic_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QVariantList>("given");
        QTest::addColumn<double>("expected");
        QTest::newRow("earned rounds down") << "earned" << QVariantList{99.99, 1.0} << 99.0;
        QTest::newRow("earned at 2 a yuan") << "earned" << QVariantList{12.34, 2.0} << 24.0;
        QTest::newRow("earned on nothing") << "earned" << QVariantList{-5.0, 2.0} << 0.0;
        QTest::newRow("a third back") << "takenBack" << QVariantList{10.0, 300.0, 0.0, 100.0} << 3.0;
        QTest::newRow("the second third") << "takenBack" << QVariantList{10.0, 300.0, 100.0, 100.0} << 4.0;
        QTest::newRow("the last third takes the rest") << "takenBack" << QVariantList{10.0, 300.0, 200.0, 100.0} << 3.0;
        QTest::newRow("a whole return") << "takenBack" << QVariantList{7.0, 99.99, 0.0, 99.99} << 7.0;
        QTest::newRow("money at 100 a yuan") << "moneyFor" << QVariantList{1234.0, 100.0} << 12.34;
        QTest::newRow("money down to the cent") << "moneyFor" << QVariantList{100.0, 30.0} << 3.33;
        QTest::newRow("points for money") << "pointsFor" << QVariantList{12.34, 100.0} << 1234.0;
        QTest::newRow("points rounded up") << "pointsFor" << QVariantList{3.34, 30.0} << 101.0;
        QTest::newRow("most: the points") << "most" << QVariantList{250.0, 10.0, 100.0} << 2.5;
        QTest::newRow("most: what is due") << "most" << QVariantList{5000.0, 10.0, 100.0} << 10.0;
    }

    void pointsArithmetic()
    {
        QFETCH(QString, what);
        QFETCH(QVariantList, given);
        QFETCH(double, expected);
        const auto at = [&](int i) { return given.at(i).toDouble(); };
        double result = -1;
        if (what == "earned")
            result = double(MemberPoints::earned(at(0), at(1)));
        else if (what == "takenBack")
            result = double(MemberPoints::takenBack(qint64(at(0)), at(1), at(2), at(3)));
        else if (what == "moneyFor")
            result = MemberPoints::moneyFor(qint64(at(0)), at(1));
        else if (what == "pointsFor")
            result = double(MemberPoints::pointsFor(at(0), at(1)));
        else if (what == "most")
            result = MemberPoints::mostRedeemable(qint64(at(0)), at(1), at(2));
        QCOMPARE(result, expected);
    }

    void redemptionRefusals_data()
    {
        QTest::addColumn<double>("money");
        QTest::addColumn<double>("due");
        QTest::addColumn<QString>("message");
        QTest::newRow("all the points") << 5.0 << 10.0 << "";
        QTest::newRow("one point more") << 5.01 << 10.0 << "积分抵现5.01需要501积分，会员王芳只有500积分";
        QTest::newRow("more than due") << 3.0 << 2.5 << "积分抵现3超过应收2.5";
        QTest::newRow("nothing") << 0.0 << 2.5 << "积分抵现“0”不合适";
    }

    void redemptionRefusals()
    {
        QFETCH(double, money);
        QFETCH(double, due);
        QFETCH(QString, message);
        const auto member = MemberPoints::byCard(connection(), "M001");
        QCOMPARE(MemberPoints::redemptionRefusal(*member, money, due, 100), message);
    }

    void tillSaleEarnsSpendsAndReturnsTakeBack()
    {
        // 金卡: 2 × 99 at 90% = 178.20, 1 × 35.50 at 90% = 31.95; due 210.15, 3.00 of it by 300 points.
        const QList<TillSale::Line> lines = {{"T1", {}, 2, 99, 89.1}, {"T2", {}, 1, 35.5, 31.95, {}, false}};
        const QString no = TillSale::sell(connection(), sale(lines, {{"积分", 3}, {"现金", 207.15}}, "m001"));
        QCOMPARE(app->scalar("select card_no from outmain where bill_no=:p1", {no}).toString(), QString("M001"));
        QCOMPARE(number("select paid_amou from outpay where bill_no=:p1 and fee_type='积分'", {no}), 3.0);
        QCOMPARE(number("select list_pric from outgoods where bill_no=:p1 and gods_code='T1'", {no}), 99.0);
        // Earned on 207.15 paid other than by points, at 2 a yuan: 414.
        QCOMPARE(number("select points from membpoint where bill_no=:p1 and kind='消费'", {no}), 414.0);
        QCOMPARE(number("select points from membpoint where bill_no=:p1 and kind='抵现'", {no}), -300.0);
        QCOMPARE(points("M001"), 500.0 - 300 + 414);

        // One shirt of two back (89.10 of 210.15 worth of goods): 414 × 89.1 / 210.15 = 175.53 → 176.
        const QString back = TillReturn::giveBack(connection(), goodsBack(no, {1, 0}));
        QCOMPARE(app->scalar("select card_no from inmain where bill_no=:p1", {back}).toString(), QString("M001"));
        QCOMPARE(number("select points from membpoint where bill_no=:p1 and kind='退货'", {back}), -176.0);
        // The rest back: exactly what was earned is taken back; the points spent come back.
        const QString rest = TillReturn::giveBack(connection(), goodsBack(no, {1, 1}));
        QCOMPARE(number("select sum(points) from membpoint where kind='退货'"), -414.0);
        QCOMPARE(number("select points from membpoint where bill_no=:p1 and kind='退还'", {rest}), 300.0);
        QCOMPARE(points("M001"), 500.0);
        QCOMPARE(number("select sum(points) from membpoint where card_no='M001'"), 0.0);
    }

    void refusedRedemptionStoresNothing_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<double>("byPoints");
        QTest::addColumn<QString>("message");
        QTest::newRow("more points than held") << "M001" << 5.01 << "积分抵现5.01需要501积分，会员王芳只有500积分";
        QTest::newRow("no member") << "" << 1.0 << "只有会员可以用积分抵现";
        QTest::newRow("no such card") << "X9" << 1.0 << "会员卡“X9”不存在";
    }

    void refusedRedemptionStoresNothing()
    {
        QFETCH(QString, card);
        QFETCH(double, byPoints);
        QFETCH(QString, message);
        try {
            TillSale::sell(connection(), sale({{"T2", {}, 1, 35.5, 35.5}}, {{"积分", byPoints}, {"现金", 35.5 - byPoints}}, card));
            QFAIL("the sale was stored");
        } catch (const BillRules::Refused& e) {
            QCOMPARE(e.refusal().message, message);
        }
        QCOMPARE(number("select count(*) from outmain"), 0.0);
        QCOMPARE(number("select count(*) from membpoint"), 0.0);
        QCOMPARE(points("M001"), 500.0);
    }

    void pricesOfTheRulesPassTheCashiersLimit()
    {
        // A cashier may give 80% by hand; the member's level and a markdown may go lower.
        app->exec("insert into userinfo(comp_name,disc_limit) values('本店',95)");
        app->setRights(QString(Function::Count, '1').replace(int(Function::ChangePrice) - 1, 1, '0'));
        app->exec("update goods set styl_code='S1' where gods_code='T1'");
        app->exec("insert into markdown(mark_name,start_date,end_date,scope,scope_value,discount) "
                  "values('清仓',:p1,:p1,'款号','S1',50)", {QDateTime(QDate(2026, 3, 5), QTime(0, 0))});
        const QString no = TillSale::sell(connection(), sale({{"T1", {}, 1, 99, 49.5, "清仓"}, {"T2", {}, 1, 35.5, 31.95}},
                                                             {{"现金", 81.45}}, "M001"));
        QCOMPARE(app->scalar("select mark_name from outgoods where bill_no=:p1 and gods_code='T1'", {no}).toString(), QString("清仓"));
        try {
            TillSale::sell(connection(), sale({{"T2", {}, 1, 35.5, 31.95}}, {{"现金", 31.95}}, ""));
            QFAIL("a walk-in customer had the member's price");
        } catch (const BillRules::Refused& e) {
            QCOMPARE(e.refusal().line, 0);
        }
    }

    void everyStoredSaleAndReturnOfAMemberMovesItsPoints()
    {
        // Saved as 销售输入 and 顾客退货 save them: the card in the header, nothing else said.
        using StockPosting::BillKind;
        TillSale::addWalkInCustomer(connection());
        const auto stored = [&](BillKind kind, BillStore::Bill& bill) {
            bill.billNo = BillStore::save(connection(), kind, bill);
            bill.headerId = qint64(number(QString("select in_id from %1 where bill_no=:p1").arg(BillStore::info(kind).headerTable),
                                          {bill.billNo}));
        };
        BillStore::Bill sale;
        sale.billNo = "20260305101500";
        sale.header = {{"bill_date", Clock::now()}, {"comp_code", TillSale::walkInCompany}, {"card_no", "M002"}};
        sale.lines = {{"T2", 2, 35.5, {}}};
        stored(BillKind::Sale, sale);
        QCOMPARE(points("M002"), 71.0);
        sale.lines = {{"T2", 3, 35.5, {}}};
        stored(BillKind::Sale, sale);
        QCOMPARE(points("M002"), 106.0);   // edited: counted once, on 106.50
        sale.header.last().second = QVariant();
        stored(BillKind::Sale, sale);
        QCOMPARE(points("M002"), 0.0);     // the card taken off the bill
        sale.header.last().second = "M002";
        stored(BillKind::Sale, sale);
        QCOMPARE(points("M002"), 106.0);

        BillStore::Bill back;
        back.billNo = "20260305111500";
        back.header = {{"bill_date", Clock::now()}, {"comp_code", TillSale::walkInCompany}, {"card_no", "M002"}};
        back.lines = {{"T2", 1, 35.5, "入库"}};
        stored(BillKind::CustomerReturn, back);
        QCOMPARE(points("M002"), 106.0 - 35);
        stored(BillKind::CustomerReturn, back);
        QCOMPARE(points("M002"), 106.0 - 35);
        BillStore::remove(connection(), BillKind::CustomerReturn, back.billNo);
        QCOMPARE(points("M002"), 106.0);
        BillStore::remove(connection(), BillKind::Sale, sale.billNo);
        QCOMPARE(points("M002"), 0.0);
        QCOMPARE(number("select count(*) from membpoint"), 0.0);
    }

    void aTillSaleSavedAgainKeepsThePointsItSpent()
    {
        // 金卡: 2 × 35.50 at 90% = 63.90, 5.00 of it by 500 points; the 58.90 paid earns 117 at 2 a yuan.
        const QString no = TillSale::sell(connection(), sale({{"T2", {}, 2, 35.5, 31.95}}, {{"积分", 5}, {"现金", 58.9}}, "M001"));
        QCOMPARE(points("M001"), 500.0 - 500 + 117);
        // Opened and saved again in 销售输入: the points spent stay spent, the earned ones are counted once.
        BillStore::Bill bill;
        bill.billNo = no;
        bill.headerId = qint64(number("select in_id from outmain where bill_no=:p1", {no}));
        bill.header = {{"bill_date", Clock::now()}, {"comp_code", TillSale::walkInCompany}, {"card_no", "M001"}};
        bill.lines = {{"T2", 2, 31.95, {}}};
        BillStore::save(connection(), StockPosting::BillKind::Sale, bill);
        QCOMPARE(number("select points from membpoint where bill_no=:p1 and kind='抵现'", {no}), -500.0);
        QCOMPARE(points("M001"), 117.0);
    }
};

QTEST_MAIN(TestMemberPoints)
#include "tst_memberpoints.moc"
