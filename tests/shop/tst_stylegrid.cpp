// A style's goods without a window: making them from the code lists, and the
// mapping between a bill's lines and the size and colour grid.
#include "TestSupport.h"

#include "db/Error.h"
#include "shop/BillStore.h"
#include "shop/StyleGeneration.h"
#include "shop/StyleGrid.h"

#include <QtTest>

using Change = StyleGrid::Change;

class TestStyleGrid : public QObject {
    Q_OBJECT

private slots:
    void generationMakesEachColourAndSizeOnce();
    void generationRefusesBeforeWriting();
    void gridFollowsTheCodeListsOrder();
    void roundTripChangesOnlyTheTouchedLines();
    void purchaseThroughTheGridStocksEachGoods();
    void coloursSharingAListCodeMakeTheGoodsOnce();
};

namespace {

void addCodes(TestApp& app, const QString& column, const QList<std::pair<QString, QString>>& items)
{
    for (const auto& [code, name] : items)
        app.exec(QStringLiteral("insert into baseitem(%1_id,%1) values(:p1,:p2)").arg(column), {code, name});
}

StyleGeneration::Request shirt(TestApp& app, int sizes)
{
    StyleGeneration::Request r;
    r.style = QStringLiteral("T01");
    r.stem = QStringLiteral("短袖衬衫");
    r.brand = QStringLiteral("BX");
    r.purchasePrice = 40.0;
    r.salePrice = 89.0;
    r.colors = StyleGeneration::colorList(app.dataModule().AdoConn);
    r.sizes = StyleGeneration::sizeList(app.dataModule().AdoConn).mid(0, sizes);
    return r;
}

void shirtCodes(TestApp& app)
{
    // Entered out of order: the lists go by their codes.
    addCodes(app, "gods_color", {{"W", "白"}, {"B", "黑"}, {"R", "红"}});
    addCodes(app, "gods_size", {{"3", "L"}, {"1", "S"}, {"2", "M"}, {"4", "XL"}, {"5", "XXL"}, {"6", "3XL"}});
}

QList<StyleGrid::Line> lines(const QList<std::pair<const char*, double>>& items)
{
    QList<StyleGrid::Line> result;
    for (const auto& [code, quantity] : items)
        result.append({QString::fromLatin1(code), quantity});
    return result;
}

} // namespace

void TestStyleGrid::generationMakesEachColourAndSizeOnce()
{
    TestApp app;
    shirtCodes(app);
    db::Connection& c = app.dataModule().AdoConn;
    QCOMPARE(StyleGeneration::generate(c, shirt(app, 5)), 15);
    QCOMPARE(app.scalar("select count(*) from goods where styl_code='T01'").toInt(), 15);
    QCOMPARE(app.scalar("select gods_name from goods where gods_code='T01-B-4'").toString(),
             QStringLiteral("短袖衬衫 黑 XL"));
    QCOMPARE(app.scalar("select gods_color||gods_size||gods_spec||cast(valu_in as integer)||'/'||"
                        "cast(valu_out as integer) from goods where gods_code='T01-R-1'").toString(),
             QStringLiteral("红SBX40/89"));

    // One more size: the 15 are listed as existing and only the 3 new ones are written.
    const QList<StyleGeneration::Planned> again = StyleGeneration::plan(c, shirt(app, 6));
    QCOMPARE(again.size(), 18);
    QCOMPARE(std::count_if(again.begin(), again.end(), [](const auto& p) { return p.exists; }), 15);
    app.exec("update goods set gods_name='改过' where gods_code='T01-B-1'");
    QCOMPARE(StyleGeneration::generate(c, shirt(app, 6)), 3);
    QCOMPARE(app.scalar("select count(*) from goods").toInt(), 18);
    QCOMPARE(app.scalar("select gods_name from goods where gods_code='T01-B-1'").toString(), QStringLiteral("改过"));
    QCOMPARE(app.scalar("select count(*) from goods where gods_code like 'T01-%-6'").toInt(), 3);
}

void TestStyleGrid::generationRefusesBeforeWriting()
{
    TestApp app;
    shirtCodes(app);
    db::Connection& c = app.dataModule().AdoConn;
    StyleGeneration::Request noSize = shirt(app, 0);
    QCOMPARE(StyleGeneration::refusal(noSize, StyleGeneration::plan(c, noSize)), QStringLiteral("请至少选择一个尺码"));
    StyleGeneration::Request noColour = shirt(app, 2);
    noColour.colors.clear();
    QCOMPARE(StyleGeneration::refusal(noColour, {}), QStringLiteral("请至少选择一种颜色"));

    // The last code is too long for its column: nothing of the run is written.
    StyleGeneration::Request tooLong = shirt(app, 6);
    tooLong.sizes.last().code = QStringLiteral("0123456789ABCDEF");
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, StyleGeneration::generate(c, tooLong));
    QCOMPARE(app.scalar("select count(*) from goods").toInt(), 0);
    QCOMPARE(app.scalar("select count(*) from oper_log").toInt(), 0);
}

void TestStyleGrid::gridFollowsTheCodeListsOrder()
{
    TestApp app;
    shirtCodes(app);
    db::Connection& c = app.dataModule().AdoConn;
    StyleGeneration::generate(c, shirt(app, 3));
    // A colour the list lacks comes last; a missing pair is a greyed cell.
    app.exec("insert into goods(gods_code,gods_color,gods_size,styl_code) values('T01-Z-1','杏','S','T01')");
    const StyleGrid grid = StyleGrid::load(c, QStringLiteral("t01"));
    QCOMPARE(grid.colors(), (QStringList{"黑", "红", "白", "杏"}));
    QCOMPARE(grid.sizes(), (QStringList{"S", "M", "L"}));
    QCOMPARE(grid.code(0, 2), QStringLiteral("T01-B-3"));
    QVERIFY(grid.code(3, 1).isEmpty());
    QCOMPARE(StyleGrid::styleOf(c, QStringLiteral("T01-R-2")), QStringLiteral("T01"));
    QVERIFY(StyleGrid::load(c, QStringLiteral("T99")).isEmpty());
}

void TestStyleGrid::roundTripChangesOnlyTheTouchedLines()
{
    TestApp app;
    shirtCodes(app);
    db::Connection& c = app.dataModule().AdoConn;
    StyleGeneration::generate(c, shirt(app, 3));
    StyleGrid grid = StyleGrid::load(c, QStringLiteral("T01"));
    // Four of the style's goods among other goods, one of them twice.
    const QList<StyleGrid::Line> bill = lines({{"X1", 2}, {"T01-B-1", 5}, {"T01-R-2", 3}, {"X2", 1},
                                               {"T01-W-3", 4}, {"T01-W-1", 6}, {"T01-R-2", 1}});
    grid.showLines(bill);
    QCOMPARE(grid.quantity(1, 1), 4.0);
    QCOMPARE(grid.total(), 19.0);
    QCOMPARE(grid.colorTotal(2), 10.0);
    QCOMPARE(grid.sizeTotal(0), 11.0);
    QVERIFY(grid.changes(bill).isEmpty());

    grid.setQuantity(0, 0, 7);   // changed
    grid.setQuantity(2, 2, 0);   // zeroed
    grid.setQuantity(1, 0, 2);   // new
    const QList<Change> changed = grid.changes(bill);
    QCOMPARE(changed.size(), 3);
    QCOMPARE(changed.at(0).kind, Change::Kind::Update);
    QCOMPARE(changed.at(0).line, 1);
    QCOMPARE(changed.at(0).quantity, 7.0);
    QCOMPARE(changed.at(1).kind, Change::Kind::Remove);
    QCOMPARE(changed.at(1).line, 4);
    QCOMPARE(changed.at(2).kind, Change::Kind::Add);
    QCOMPARE(changed.at(2).code, QStringLiteral("T01-R-1"));

    // The goods on two lines: its first line takes a new quantity and the second goes.
    grid.showLines(bill);
    grid.setQuantity(1, 1, 10);
    const QList<Change> merged = grid.changes(bill);
    QCOMPARE(merged.size(), 2);
    QCOMPARE(merged.at(0).kind, Change::Kind::Update);
    QCOMPARE(merged.at(0).line, 2);
    QCOMPARE(merged.at(1).kind, Change::Kind::Remove);
    QCOMPARE(merged.at(1).line, 6);
}

void TestStyleGrid::purchaseThroughTheGridStocksEachGoods()
{
    TestApp app;
    addCodes(app, "gods_color", {{"1", "白"}, {"2", "黑"}, {"3", "红"}, {"4", "蓝"}, {"5", "灰"}});
    addCodes(app, "gods_size", {{"1", "S"}, {"2", "M"}, {"3", "L"}});
    db::Connection& c = app.dataModule().AdoConn;
    StyleGeneration::Request r = shirt(app, 3);
    r.colors = StyleGeneration::colorList(c);
    StyleGeneration::generate(c, r);
    StyleGrid grid = StyleGrid::load(c, QStringLiteral("T01"));
    QCOMPARE(grid.colors().size() * grid.sizes().size(), 15);
    for (int color = 0; color < 5; ++color)
        for (int size = 0; size < 3; ++size)
            if (!((color == 1 && size == 2) || (color == 4 && size == 0)))   // two cells left empty
                grid.setQuantity(color, size, color * 10 + size + 1);
    const QList<Change> added = grid.changes({});
    QCOMPARE(added.size(), 13);
    QCOMPARE(added.first().code, QStringLiteral("T01-1-1"));
    QCOMPARE(added.at(5).code, QStringLiteral("T01-3-1"));   // colour then size, the empty cell skipped

    BillStore::Bill bill;
    bill.billNo = QStringLiteral("20261210090000");
    bill.header = {{QStringLiteral("bill_date"), QDate(2026, 12, 10)}};
    for (const Change& change : added)
        bill.lines.append({change.code, change.quantity, 40, {}});
    BillStore::save(c, StockPosting::BillKind::Purchase, bill);
    QCOMPARE(app.scalar("select count(*) from storemain").toInt(), 13);
    QCOMPARE(app.scalar("select gods_amou from storemain where gods_code='T01-4-3'").toDouble(), 33.0);
    QCOMPARE(app.scalar("select gods_amou from storemain where gods_code='T01-1-2'").toDouble(), 2.0);

    grid.showStock(c);
    QCOMPARE(grid.quantity(3, 2), 33.0);
    QCOMPARE(grid.quantity(1, 2), 0.0);
    QCOMPARE(grid.total(), 276.0);   // 330 for all fifteen, less the empty 13 and 41
}

// Two colours whose list code is the same give one code: the second is listed
// as existing and the goods is made once; the database refuses a code twice.
void TestStyleGrid::coloursSharingAListCodeMakeTheGoodsOnce()
{
    TestApp app;
    addCodes(app, "gods_color", {{"B", "黑"}, {"B", "蓝"}});
    addCodes(app, "gods_size", {{"1", "S"}});
    db::Connection& c = app.dataModule().AdoConn;
    const StyleGeneration::Request r = shirt(app, 1);
    QCOMPARE(r.colors.size(), 2);
    const QList<StyleGeneration::Planned> planned = StyleGeneration::plan(c, r);
    QCOMPARE(planned.size(), 2);
    QCOMPARE(planned.at(1).code, QStringLiteral("T01-B-1"));
    QVERIFY(!planned.at(0).exists);
    QVERIFY(planned.at(1).exists);
    QCOMPARE(StyleGeneration::generate(c, r), 1);
    QCOMPARE(app.scalar("select count(*) from goods where gods_code='T01-B-1'").toInt(), 1);
    QCOMPARE(app.scalar("select gods_color from goods where gods_code='T01-B-1'").toString(), planned.at(0).color);
    QVERIFY_THROWS_EXCEPTION(db::Error, app.exec("insert into goods(gods_code,gods_name) values('t01-b-1','x')"));
}

QTEST_MAIN(TestStyleGrid)
#include "tst_stylegrid.moc"
