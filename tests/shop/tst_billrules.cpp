// The gate into the books: every bill BillStore::save is given meets the shop's
// rules, whoever calls it; refusals name the line, the column and the value;
// codes are stored as the goods' and company's own; the totals are the bill's.
#include "TestSupport.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "db/Statement.h"
#include "shop/Amounts.h"
#include "shop/BillRules.h"
#include "shop/BillStore.h"

#include <QtTest>
#include <memory>

using StockPosting::BillKind;
using StockPosting::BillLine;

Q_DECLARE_METATYPE(QList<BillLine>)
Q_DECLARE_METATYPE(BillRules::Column)

class TestBillRules : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;

    db::Connection& connection() { return app->dataModule().AdoConn; }

    static BillStore::Bill bill(const QList<BillLine>& lines, const QString& company = {})
    {
        BillStore::Bill b;
        b.billNo = QStringLiteral("20260305101500");
        b.header = {{QStringLiteral("bill_date"), QDate(2026, 3, 5)}};
        if (!company.isNull())
            b.header.append({QStringLiteral("comp_code"), company});
        b.lines = lines;
        return b;
    }

    int count(const QString& table) { return app->scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt(); }

    // Every stored row of the bills and the stock, but the bill numbers, in one text.
    QString storedRows()
    {
        QStringList rows;
        for (const char* sql : {"select gods_code,sub_amou,unit_pric,remark from ingoods order by in_id",
                                "select gods_code,sub_amou,unit_pric,remark from outgoods order by in_id",
                                "select comp_code,shou_tota,bill_type from inmain order by in_id",
                                "select comp_code,shou_tota,bill_type from outmain order by in_id",
                                "select gods_code,gods_amou,cost_pric from storemain order by gods_code"}) {
            db::Statement query(connection(), QString::fromLatin1(sql));
            while (query.next()) {
                QStringList values;
                for (int i = 0; i < query.columnCount(); ++i)
                    values << query.value(i).toString();
                rows << values.join(QLatin1Char('|'));
            }
            rows << QStringLiteral("--");
        }
        return rows.join(QLatin1Char('\n'));
    }

private slots:
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2026, 3, 5), QTime(10, 15)));
        app = std::make_unique<TestApp>();
        app->exec("insert into goods(gods_code,gods_name,valu_in,valu_out) values('ST01-02-3','衬衫',50,99)");
        app->exec("insert into goods(gods_code,gods_name,valu_in,valu_out) values('G2','长裤',20,35)");
        app->exec("insert into company(comp_code,comp_name) values('C1','华联商厦')");
    }

    void cleanup()
    {
        app.reset();
        Clock::setFixed({});
    }

    void saveRefusesWhatTheRulesRefuse_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QList<BillLine>>("lines");
        QTest::addColumn<int>("line");
        QTest::addColumn<BillRules::Column>("column");
        QTest::addColumn<QString>("message");
        using C = BillRules::Column;
        const BillLine good{"G2", 1, 35, {}};

        QTest::newRow("unknown goods") << QString() << QList<BillLine>{{"X", 1, 10, {}}} << 0 << C::Code
                                       << "第1行：货品编码“X”不存在";
        QTest::newRow("no goods code") << QString() << QList<BillLine>{good, {" ", 1, 10, {}}} << 1 << C::Code
                                       << "第2行：没有货品编码";
        QTest::newRow("quantity 0") << QString() << QList<BillLine>{{"G2", 0, 10, {}}} << 0 << C::Quantity
                                    << "第1行：数量“0”必须大于0";
        QTest::newRow("negative quantity") << QString() << QList<BillLine>{good, {"G2", -5, 10, {}}} << 1 << C::Quantity
                                           << "第2行：数量“-5”必须大于0";
        QTest::newRow("negative price") << QString() << QList<BillLine>{{"g2", 1, -1, {}}} << 0 << C::Price
                                        << "第1行：单价“-1”不能为负数";
        QTest::newRow("three decimals of quantity")
            << QString() << QList<BillLine>{{"G2", 1.234, 10, {}}} << 0 << C::Quantity
            << "第1行：" + shop::amounts::refusal("1.234");
        QTest::newRow("absurd quantity") << QString() << QList<BillLine>{{"G2", 1e15, 10, {}}} << 0 << C::Quantity
                                         << "第1行：" + shop::amounts::refusal("1e+15");
        QTest::newRow("five decimals of price")
            << QString() << QList<BillLine>{{"G2", 1, 1.23456, {}}} << 0 << C::Price
            << "第1行：" + shop::amounts::refusal("1.23456", shop::amounts::priceDecimals);
        QTest::newRow("total beyond the digits")
            << QString() << QList<BillLine>{{"G2", 999999999, 9999, {}}} << -1 << C::None
            << "合计金额" + shop::amounts::refusal("9998999990001");
        QTest::newRow("unknown company") << "C9" << QList<BillLine>{good} << -1 << C::Company << "客户编码“C9”不存在";
        QTest::newRow("empty bill") << "C1" << QList<BillLine>{} << -1 << C::Quantity << "数量不能为0";
    }

    // Called directly, as a scan, an import or a till would: nothing refused is stored.
    void saveRefusesWhatTheRulesRefuse()
    {
        QFETCH(QString, company);
        QFETCH(QList<BillLine>, lines);
        QFETCH(int, line);
        QFETCH(BillRules::Column, column);
        QFETCH(QString, message);
        for (const BillKind kind : {BillKind::Purchase, BillKind::Sale}) {
            try {
                BillStore::save(connection(), kind, bill(lines, company));
                QFAIL("a refused bill was stored");
            } catch (const BillRules::Refused& refused) {
                QCOMPARE(QString::fromUtf8(refused.what()), message);
                QCOMPARE(refused.refusal().line, line);
                QCOMPARE(refused.refusal().column, column);
            }
        }
        QCOMPARE(count("inmain") + count("ingoods") + count("outmain") + count("outgoods"), 0);
        QCOMPARE(count("storemain") + count("oper_log"), 0);
        QVERIFY(!connection().inTransaction());
    }

    // A discount off the total (a till's rounding) is taken off the amount due, never beyond it.
    void discountIsTakenOffTheAmountDue()
    {
        BillStore::Bill discounted = bill({{"G2", 1, 35, {}}}, "C1");
        discounted.header.append({QStringLiteral("disc_tota"), 0.5});
        const QString no = BillStore::save(connection(), BillKind::Sale, discounted);
        QCOMPARE(app->scalar("select shou_tota from outmain where bill_no=:p1", {no}).toDouble(), 34.5);
        discounted.header.last().second = 35.01;
        try {
            BillStore::save(connection(), BillKind::Sale, discounted);
            QFAIL("a discount beyond the total was stored");
        } catch (const BillRules::Refused& refused) {
            QCOMPARE(refused.refusal().message, QString("优惠金额“35.01”必须在0和合计金额35之间"));
        }
        QCOMPARE(count("outmain"), 1);
    }

    // Typed or scanned in another case, or spelled as the goods are: the same rows.
    void codesAreStoredAsTheGoodsOwn()
    {
        const auto enter = [this](const QString& goods, const QString& other, const QString& company) {
            BillStore::save(connection(), BillKind::Purchase, bill({{goods, 3, 50, {}}, {other, 1, 20, {}}}, company));
            BillStore::save(connection(), BillKind::Sale, bill({{goods, 1, 99, {}}}, company));
            return storedRows();
        };
        const QString own = enter("ST01-02-3", "G2", "C1");
        QVERIFY2(own.startsWith("ST01-02-3|3|50|\nG2|1|20|"), qPrintable(own));
        init();
        const QString typed = enter("st01-02-3", " g2", "c1");
        QCOMPARE(typed, own);
        QCOMPARE(app->scalar("select count(*) from storemain").toInt(), 2);
        QCOMPARE(app->scalar("select gods_code from storemain where gods_amou=2").toString(), "ST01-02-3");
    }

    void totals_data()
    {
        QTest::addColumn<QList<BillLine>>("lines");
        QTest::addColumn<double>("quantity");
        QTest::addColumn<double>("amount");
        QTest::newRow("rounded once, not per line")
            << QList<BillLine>{{"G2", 1, 0.333, {}}, {"G2", 1, 0.333, {}}, {"G2", 1, 0.333, {}}} << 3.0 << 1.0;
        QTest::newRow("share of a bulk price") << QList<BillLine>{{"G2", 3, 33.3333, {}}} << 3.0 << 100.0;
        QTest::newRow("binary fraction") << QList<BillLine>{{"G2", 2, 10.005, {}}} << 2.0 << 20.01;
        QTest::newRow("fractional quantities") << QList<BillLine>{{"G2", 2.5, 4, {}}, {"G2", 0.1, 1, {}}} << 2.6 << 10.1;
    }

    // The amount due and the log take the bill's total.
    void totals()
    {
        QFETCH(QList<BillLine>, lines);
        QFETCH(double, quantity);
        QFETCH(double, amount);
        const BillRules::Totals sum = BillRules::totals(lines);
        QCOMPARE(sum.quantity, quantity);
        QCOMPARE(sum.amount, amount);
        BillStore::Bill b = bill(lines);
        b.header.append({QStringLiteral("shou_tota"), 12345.0});   // whatever a caller says
        const QString no = BillStore::save(connection(), BillKind::Sale, b);
        QCOMPARE(app->scalar("select shou_tota from outmain where bill_no=:p1", {no}).toDouble(), amount);
        QCOMPARE(app->scalar("select summary from oper_log where log_key=:p1", {no}).toString(),
                 QStringLiteral("金额 %1").arg(DataHelpers::amountText(amount)));
    }

    void creditLimit_data()
    {
        QTest::addColumn<bool>("right");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("right, not confirmed") << true << false << false << "超出信用额度的销售须经确认才能保存。";
        QTest::newRow("right, confirmed") << true << true << true << "";
        QTest::newRow("confirmed without the right") << false << true << false << "没有“超信用额度销售”的权限";
    }

    // A sale over the limit is stored only when a user holding the right confirmed it.
    void creditLimit()
    {
        QFETCH(bool, right);
        QFETCH(bool, confirmed);
        QFETCH(bool, stored);
        QFETCH(QString, refusal);
        app->exec("update company set cred_limit=100 where comp_code='C1'");
        BillStore::save(connection(), BillKind::Sale, bill({{"G2", 1, 100, {}}}, "C1"));   // at the limit
        if (!right)
            app->setRights(QString(Function::SaleOverCreditLimit - 1, '1') + QStringLiteral("0"));
        BillStore::Bill over = bill({{"G2", 1, 0.01, {}}}, "c1");
        over.overLimitConfirmed = confirmed;
        try {
            BillStore::save(connection(), BillKind::Sale, over);
            QVERIFY(stored);
        } catch (const BillRules::Refused& e) {
            QVERIFY(!stored);
            QVERIFY2(QString::fromUtf8(e.what()).contains("本单欠款 0.01") && QString::fromUtf8(e.what()).contains(refusal),
                     e.what());
            QCOMPARE(e.refusal().column, BillRules::Column::Company);
        }
        QCOMPARE(count("outmain"), stored ? 2 : 1);
        // A sale paid in full adds no debt: stored whatever the limit.
        BillStore::Bill paid = bill({{"G2", 1, 50, {}}}, "C1");
        paid.header.append({QStringLiteral("fact_tota"), 50.0});
        BillStore::save(connection(), BillKind::Sale, paid);
        QCOMPARE(count("outmain"), stored ? 3 : 2);
        // A purchase has no credit limit.
        BillStore::save(connection(), BillKind::Purchase, bill({{"G2", 1, 500, {}}}, "C1"));
    }
};

QTEST_MAIN(TestBillRules)
#include "tst_billrules.moc"
