// Markdown rules without a window: what a rule may be, and each rule's effect
// (the lines it priced over its run, against the goods it covers over as many
// weeks before it) over bills saved through the shop rules.
#include "StyleSamples.h"

#include "core/Clock.h"
#include "shop/MarkdownRules.h"
#include "shop/MemberAnalysis.h"

#include <QtTest>

using StockPosting::BillKind;
using StyleSamples::addGoods;

class TestMarkdowns : public QObject {
    Q_OBJECT

private slots:
    void ruleChecks_data();
    void ruleChecks();
    void scopeValuesComeFromTheGoods();
    void effectOverTheRunAndTheWeeksBefore();
};

namespace {

db::Connection& connection(TestApp& app)
{
    return app.dataModule().AdoConn;
}

// The line of the bill as a markdown priced it, from its list price.
void markLine(TestApp& app, const QString& table, const QString& billNo, const QString& goods, double listPrice,
              const QString& rule)
{
    app.exec(QStringLiteral("update %1 set list_pric=:p1, mark_name=:p2 where bill_no=:p3 and gods_code=:p4").arg(table),
             {listPrice, rule, billNo, goods});
}

void addRule(TestApp& app, const QString& name, const QDate& start, const QDate& end, const QString& scope,
             const QVariant& value, const QVariant& discount, const QVariant& fixed)
{
    app.exec("insert into markdown(mark_name,start_date,end_date,scope,scope_value,discount,fixed_pric) "
             "values(:p1,:p2,:p3,:p4,:p5,:p6,:p7)",
             {name, start, end, scope, value, discount, fixed});
}

} // namespace

void TestMarkdowns::ruleChecks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<QString>("scope");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QVariant>("discount");
    QTest::addColumn<QVariant>("fixed");
    QTest::addColumn<QString>("refused");   // "field: message"; empty when taken

    const QDate a(2026, 6, 1), b(2026, 6, 30);
    const QVariant none;
    QTest::newRow("percent of a style") << "夏清" << a << b << "款号" << "T" << QVariant(70) << none << "";
    QTest::newRow("fixed price of every goods") << "全场" << a << a << "全部" << "" << none << QVariant(59.9) << "";
    QTest::newRow("brand in another case") << "品牌" << a << b << "品牌" << "bx" << QVariant(1) << none << "";
    QTest::newRow("no name") << " " << a << b << "全部" << "" << QVariant(70) << none << "mark_name: 名称“”不能为空";
    QTest::newRow("no start") << "x" << QDate() << b << "全部" << "" << QVariant(70) << none
                              << "start_date: 开始日期“”不能为空";
    QTest::newRow("ends before it starts") << "x" << b << a << "全部" << "" << QVariant(70) << none
                                           << "end_date: 结束日期“2026-06-01”不能早于开始日期“2026-06-30”";
    QTest::newRow("unknown scope") << "x" << a << b << "季节" << "夏" << QVariant(70) << none
                                   << "scope: 范围“季节”只能是款号、品牌、分类或全部";
    QTest::newRow("category without a value") << "x" << a << b << "分类" << "" << QVariant(70) << none
                                              << "scope_value: 分类“”不能为空";
    QTest::newRow("style no goods has") << "x" << a << b << "款号" << "ZZ" << QVariant(70) << none
                                        << "scope_value: 款号“ZZ”不是货品资料中已有的值";
    QTest::newRow("both") << "x" << a << b << "全部" << "" << QVariant(70) << QVariant(50)
                          << "discount: 折扣%“70”与一口价只能填一个";
    QTest::newRow("neither") << "x" << a << b << "全部" << "" << none << QVariant(0)
                             << "discount: 折扣%“”与一口价必须填一个";
    QTest::newRow("a hundred percent") << "x" << a << b << "全部" << "" << QVariant(100) << none
                                       << "discount: 折扣%“100”应在 1 到 99 之间";
    QTest::newRow("below one percent") << "x" << a << b << "全部" << "" << QVariant(0.5) << none
                                       << "discount: 折扣%“0.5”应在 1 到 99 之间";
    QTest::newRow("negative price") << "x" << a << b << "全部" << "" << none << QVariant(-5)
                                    << "fixed_pric: 一口价“-5”应大于 0";
}

void TestMarkdowns::ruleChecks()
{
    QFETCH(QString, name);
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(QString, scope);
    QFETCH(QString, value);
    QFETCH(QVariant, discount);
    QFETCH(QVariant, fixed);
    QFETCH(QString, refused);
    TestApp app;
    addGoods(app, "T-1", "T", "黑", "M", "BX");
    const QHash<QString, QVariant> row{
        {"mark_name", name},
        {"start_date", start.isValid() ? QVariant(QDateTime(start, QTime(0, 0))) : QVariant()},
        {"end_date", end.isValid() ? QVariant(QDateTime(end, QTime(0, 0))) : QVariant()},
        {"scope", scope},
        {"scope_value", value},
        {"discount", discount},
        {"fixed_pric", fixed}};
    const QList<MasterDataRules::Refusal> refusals = MarkdownRules::check(connection(app), row);
    if (refused.isEmpty()) {
        QVERIFY2(refusals.isEmpty(), qPrintable(refusals.value(0).reason));
        return;
    }
    QVERIFY(!refusals.isEmpty());
    const MasterDataRules::Refusal& first = refusals.first();
    const QVariant shown = row.value(first.field);
    const QString shownText = shown.typeId() == QMetaType::QDateTime ? shown.toDate().toString("yyyy-MM-dd")
                                                                      : MasterDataRules::numberText(shown);
    QCOMPARE(first.field + QStringLiteral(": ") + first.message(shown.isNull() ? QString() : shownText), refused);
}

void TestMarkdowns::scopeValuesComeFromTheGoods()
{
    TestApp app;
    addGoods(app, "T-1", "T", "黑", "M", "BX");
    addGoods(app, "T-2", "T", "白", "M", "BX");
    addGoods(app, "U-1", "U", "黑", "M", "AY");
    addGoods(app, "LOOSE", {}, "灰", "F", "AY");
    QCOMPARE(MarkdownRules::scopeValues(connection(app), "款号"), (QStringList{"T", "U"}));
    QCOMPARE(MarkdownRules::scopeValues(connection(app), "品牌"), (QStringList{"AY", "BX"}));
    QVERIFY(MarkdownRules::scopeValues(connection(app), "全部").isEmpty());
    QCOMPARE(MarkdownRules::scopeColumn("分类"), QStringLiteral("gods_kind"));
}

void TestMarkdowns::effectOverTheRunAndTheWeeksBefore()
{
    TestApp app;
    addGoods(app, "T-B-S", "T", "黑", "S");
    addGoods(app, "T-B-M", "T", "黑", "M");
    addGoods(app, "T-W-M", "T", "白", "M");
    addGoods(app, "T-B-L", "T", "黑", "L");
    addGoods(app, "LOOSE", {}, "灰", "F", "OTHER");
    StyleSamples::save(app, BillKind::Purchase, {2026, 1, 5},
             {{"T-B-S", 20, 30, {}}, {"T-B-M", 20, 40, {}}, {"T-W-M", 20, 45, {}}, {"T-B-L", 20, 25, {}},
              {"LOOSE", 20, 10, {}}});
    // 夏清 runs two weeks from Monday 16 March; today is the 31st.
    addRule(app, "夏清", {2026, 3, 16}, {2026, 3, 29}, "款号", "T", 70, {});
    addRule(app, "BX一口价", {2026, 3, 25}, {2026, 4, 10}, "品牌", "BX", {}, 50);
    addRule(app, "一月", {2026, 1, 1}, {2026, 1, 31}, "全部", {}, 90, {});

    // Before: the style's sales from 2 to 15 March; the 1st is outside, LOOSE is no T.
    StyleSamples::save(app, BillKind::Sale, {2026, 3, 1}, {{"T-B-M", 1, 100, {}}});
    StyleSamples::save(app, BillKind::Sale, {2026, 3, 10}, {{"T-B-M", 1, 100, {}}, {"T-B-L", 1, 100, {}}, {"LOOSE", 1, 20, {}}});
    // The run: its first and last days, a full-price line beside a marked one, a
    // return of a marked line, and a marked line after the end.
    const QString first = StyleSamples::save(app, BillKind::Sale, {2026, 3, 16}, {{"T-B-S", 1, 56, {}}});
    markLine(app, "outgoods", first, "T-B-S", 80, "夏清");
    StyleSamples::save(app, BillKind::Sale, {2026, 3, 20}, {{"T-W-M", 1, 100, {}}});
    const QString last = StyleSamples::save(app, BillKind::Sale, {2026, 3, 29}, {{"T-B-M", 2, 70, {}}});
    markLine(app, "outgoods", last, "T-B-M", 100, "夏清");
    const QString back = StyleSamples::save(app, BillKind::CustomerReturn, {2026, 3, 25}, {{"T-B-M", 1, 70, {}}});
    markLine(app, "ingoods", back, "T-B-M", 100, "夏清");
    const QString after = StyleSamples::save(app, BillKind::Sale, {2026, 3, 30}, {{"T-B-M", 1, 70, {}}});
    markLine(app, "outgoods", after, "T-B-M", 100, "夏清");
    // The margin at the goods' cost as it stands.
    app.exec("update storemain set cost_pric=40 where gods_code='T-B-M'");
    app.exec("update storemain set cost_pric=30 where gods_code='T-B-S'");
    app.exec("update storemain set cost_pric=45 where gods_code='T-W-M'");
    app.exec("update storemain set cost_pric=25 where gods_code='T-B-L'");

    const QList<MemberAnalysis::EffectRow> rows
        = MemberAnalysis::markdownEffects(connection(app), {QDate(2026, 3, 1), QDate(2026, 3, 31)}, QDate(2026, 3, 31));
    QCOMPARE(rows.size(), 2);   // January's rule is outside the range
    const MemberAnalysis::EffectRow& brand = rows[0];
    QCOMPARE(brand.name, QStringLiteral("BX一口价"));
    // Running up to today: one week begun, so the week before it, 18 to 24 March.
    QCOMPARE(brand.weeks, 1);
    QCOMPARE(brand.during.pieces, 0.0);
    QCOMPARE(brand.before.pieces, 1.0);
    QCOMPARE(brand.before.amount, 100.0);
    QCOMPARE(brand.before.margin(), 100 - 45.0);

    const MemberAnalysis::EffectRow& style = rows[1];
    QCOMPARE(style.name, QStringLiteral("夏清"));
    QCOMPARE(style.weeks, 2);
    QCOMPARE(style.during.pieces, 1 + 2 - 1.0);
    QCOMPARE(style.during.amount, 56 + 140 - 70.0);
    QCOMPARE(style.during.discount, (80 - 56) + 2 * (100 - 70) - (100 - 70.0));
    QCOMPARE(style.during.cost, 30 + 2 * 40 - 40.0);
    QCOMPARE(style.during.margin(), 126 - 70.0);
    QCOMPARE(style.before.pieces, 2.0);
    QCOMPARE(style.before.amount, 200.0);
    QCOMPARE(style.before.discount, 0.0);
    QCOMPARE(style.before.margin(), 200 - 65.0);
}

QTEST_MAIN(TestMarkdowns)
#include "tst_markdowns.moc"
