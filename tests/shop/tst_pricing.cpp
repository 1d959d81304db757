// Markdowns and the price of a new sale line: which rules are in force on a
// day, the lowest price winning, and a member's level discount beside or on
// top of the markdown.
#include "TestSupport.h"

#include "shop/LinePricing.h"
#include "shop/Markdowns.h"

#include <QtTest>
#include <memory>

using Markdowns::Offer;
using Markdowns::Rule;

Q_DECLARE_METATYPE(QList<Rule>)
Q_DECLARE_METATYPE(std::optional<Offer>)

class TestPricing : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;

    db::Connection& connection() { return app->dataModule().AdoConn; }

    void addRule(const QString& name, const QString& from, const QString& to, const QString& scope,
                 const QString& value, double discount, double fixed = 0)
    {
        app->exec("insert into markdown(mark_name,start_date,end_date,scope,scope_value,discount,fixed_pric) "
                  "values(:p1,:p2,:p3,:p4,:p5,:p6,:p7)",
                  {name, from, to, scope, value, discount, fixed == 0 ? QVariant() : QVariant(fixed)});
    }

private slots:
    void init() { app = std::make_unique<TestApp>(); }
    void cleanup() { app.reset(); }

    void lowestRuleWins_data()
    {
        QTest::addColumn<QList<Rule>>("rules");
        QTest::addColumn<double>("retail");
        QTest::addColumn<std::optional<Offer>>("expected");
        QTest::newRow("no rule") << QList<Rule>{} << 99.0 << std::optional<Offer>();
        QTest::newRow("percent to the cent") << QList<Rule>{{"七折", 70, 0}} << 99.9 << std::optional<Offer>(Offer{"七折", 69.93});
        QTest::newRow("fixed price") << QList<Rule>{{"一口价", 0, 59}} << 99.9 << std::optional<Offer>(Offer{"一口价", 59});
        QTest::newRow("lowest of overlapping")
            << QList<Rule>{{"八折", 80, 0}, {"一口价", 0, 75}, {"九折", 90, 0}} << 100.0
            << std::optional<Offer>(Offer{"一口价", 75});
        QTest::newRow("tie keeps the earlier")
            << QList<Rule>{{"八折", 80, 0}, {"八十元", 0, 80}} << 100.0 << std::optional<Offer>(Offer{"八折", 80});
        QTest::newRow("never raises the price")
            << QList<Rule>{{"一口价", 0, 120}, {"无折扣", 100, 0}} << 100.0 << std::optional<Offer>();
        QTest::newRow("a rule without a discount") << QList<Rule>{{"空", 0, 0}} << 100.0 << std::optional<Offer>();
    }

    void lowestRuleWins()
    {
        QFETCH(QList<Rule>, rules);
        QFETCH(double, retail);
        QFETCH(std::optional<Offer>, expected);
        QCOMPARE(Markdowns::lowest(rules, retail), expected);
    }

    void rulesInForceOnTheirFirstAndLastDays_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QStringList>("inForce");
        QTest::addColumn<QString>("bestRule");
        QTest::addColumn<double>("bestPrice");
        QTest::newRow("before all") << QDate(2026, 2, 28) << QStringList{} << QString() << 0.0;
        // A rule entered with an hour on its first day still covers the whole day.
        QTest::newRow("first day of the style's") << QDate(2026, 3, 1) << QStringList{"款八折", "全部九五"} << "款八折" << 80.0;
        QTest::newRow("style's last, brand's first")
            << QDate(2026, 3, 10) << QStringList{"款八折", "牌七折", "类75元", "全部九五"} << "牌七折" << 70.0;
        QTest::newRow("brand's last day") << QDate(2026, 3, 20) << QStringList{"牌七折", "全部九五"} << "牌七折" << 70.0;
        QTest::newRow("only every goods") << QDate(2026, 3, 21) << QStringList{"全部九五"} << "全部九五" << 95.0;
        QTest::newRow("after all") << QDate(2026, 4, 1) << QStringList{} << QString() << 0.0;
    }

    void rulesInForceOnTheirFirstAndLastDays()
    {
        QFETCH(QDate, day);
        QFETCH(QStringList, inForce);
        QFETCH(QString, bestRule);
        QFETCH(double, bestPrice);
        app->exec("insert into goods(gods_code,gods_name,styl_code,gods_spec,gods_kind,valu_out) "
                  "values('G1','衬衫','S1','BR','上装',100)");
        app->exec("insert into goods(gods_code,gods_name,valu_out) values('G2','长裤',100)");
        addRule("款八折", "2026-03-01 09:00:00", "2026-03-10 00:00:00", "款号", "s1", 80);
        addRule("牌七折", "2026-03-10 00:00:00", "2026-03-20 00:00:00", "品牌", "BR", 70);
        addRule("类75元", "2026-03-05 00:00:00", "2026-03-15 00:00:00", "分类", "上装", 0, 75);
        addRule("全部九五", "2026-03-01 00:00:00", "2026-03-31 00:00:00", "全部", "", 95);
        addRule("别款五折", "2026-03-01 00:00:00", "2026-03-31 00:00:00", "款号", "S2", 50);
        QStringList names;
        for (const Rule& rule : Markdowns::inForce(connection(), "G1", day))
            names << rule.name;
        QCOMPARE(names, inForce);
        const auto best = Markdowns::best(connection(), "G1", 100, day);
        QCOMPARE(best ? best->rule : QString(), bestRule);
        QCOMPARE(best ? best->price : 0.0, bestPrice);
        // Goods without a style, brand or category only take the rules for every goods.
        const QList<Rule> plain = Markdowns::inForce(connection(), "G2", day);
        QCOMPARE(plain.size(), int(inForce.contains("全部九五")));
    }

    void levelBesideOrOnTopOfTheMarkdown_data()
    {
        QTest::addColumn<double>("retail");
        QTest::addColumn<double>("markdown");   // 0: none
        QTest::addColumn<double>("level");
        QTest::addColumn<bool>("onTop");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("rule");
        QTest::newRow("walk-in, full price") << 100.0 << 0.0 << 100.0 << false << 100.0 << "";
        QTest::newRow("level alone") << 100.0 << 0.0 << 90.0 << false << 90.0 << "";
        QTest::newRow("markdown better than the level") << 100.0 << 80.0 << 90.0 << false << 80.0 << "促销";
        QTest::newRow("level better than a smaller markdown") << 100.0 << 95.0 << 90.0 << false << 90.0 << "";
        QTest::newRow("a tie keeps the markdown") << 100.0 << 90.0 << 90.0 << false << 90.0 << "促销";
        QTest::newRow("on top of the markdown") << 100.0 << 80.0 << 90.0 << true << 72.0 << "促销";
        QTest::newRow("on top, to the cent") << 99.9 << 69.93 << 95.0 << true << 66.43 << "促销";
        QTest::newRow("on top, no markdown") << 99.9 << 0.0 << 95.0 << true << 94.91 << "";
    }

    void levelBesideOrOnTopOfTheMarkdown()
    {
        QFETCH(double, retail);
        QFETCH(double, markdown);
        QFETCH(double, level);
        QFETCH(bool, onTop);
        QFETCH(double, price);
        QFETCH(QString, rule);
        const std::optional<Offer> offer = markdown > 0 ? std::optional<Offer>(Offer{"促销", markdown}) : std::nullopt;
        const LinePricing::Priced result = LinePricing::priced(retail, offer, {level, onTop});
        QCOMPARE(result, (LinePricing::Priced{price, retail, rule}));
    }

    void priceReadsTheMembersLevelAndTheSetting()
    {
        app->exec("insert into goods(gods_code,gods_name,styl_code,valu_out) values('G1','衬衫','S1',200)");
        app->exec("insert into member(card_no,memb_name,level_name,points) values('M001','王芳','金卡',0)");
        addRule("款八折", "2026-03-01 00:00:00", "2026-03-31 00:00:00", "款号", "S1", 80);
        const QDate day(2026, 3, 15);
        QCOMPARE(LinePricing::price(connection(), "G1", day, ""), (LinePricing::Priced{160, 200, "款八折"}));
        QCOMPARE(LinePricing::price(connection(), "G1", QDate(2026, 4, 1), "M001"), (LinePricing::Priced{180, 200, ""}));
        app->exec("insert into userinfo(comp_name,disc_on_disc) values('本店',1)");
        QCOMPARE(LinePricing::price(connection(), "G1", day, "M001"), (LinePricing::Priced{144, 200, "款八折"}));
    }
};

QTEST_MAIN(TestPricing)
#include "tst_pricing.moc"
