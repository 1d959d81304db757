// The opening stock: importing the catalogue, typing quantities and costs,
// deleting, cancelling and saving as one unit.
#include "GridTyping.h"
#include "TestSupport.h"
#include "WarehouseData.h"
#include "WindowDriver.h"

#include "db/Dataset.h"
#include "warehouse/TFrmStorIni.h"

#include <QPushButton>
#include <QtTest>

using namespace WarehouseData;
using GridTyping::typeInCell;
using WindowDriver::click;
using WindowDriver::showWindow;

class TestStorIni : public QObject {
    Q_OBJECT

private slots:
    void importTwiceAddsNothingAndKeepsQuantities();
    void cancelUndoesEditsAndDeletions();
    void saveWritesAllRowsAtOnce();
    void failedSaveKeepsTypedValuesAndMode();
    void emptyStockEditsOneBlankRow();
    void closingRefusedWhileEditing();
};

void TestStorIni::importTwiceAddsNothingAndKeepsQuantities()
{
    TestApp app;
    addGoods(app, "A1");
    addGoods(app, "B2");
    addStock(app, "A1", 7.0, 2.0);
    TFrmStorIni w;
    app.dialogs().answers = {false};
    click(w, "cmd_add");
    QCOMPARE(app.scalar("select count(*) from storemain").toInt(), 1);
    QVERIFY(app.dialogs().questions.last().contains("但不会影响当前库存数量，是否执行?"));

    click(w, "cmd_add");
    QCOMPARE(app.scalar("select count(*) from storemain").toInt(), 2);
    QCOMPARE(stock(app, "A1"), 7.0);
    QCOMPARE(stock(app, "B2"), 0.0);
    QCOMPARE(app.scalar("select count(*) from storemain where gods_amou is null or cost_pric is null").toInt(), 0);
    click(w, "cmd_add");
    QCOMPARE(app.scalar("select count(*) from storemain").toInt(), 2);

    addGoods(app, "C3");
    click(w, "cmd_add");
    QCOMPARE(app.scalar("select count(*) from storemain").toInt(), 3);
    QCOMPARE(stock(app, "A1"), 7.0);
    QCOMPARE(app.dataModule().StoreiniQ->recordCount(), 3);
    QCOMPARE(w.mode(), QString("null"));
}

void TestStorIni::cancelUndoesEditsAndDeletions()
{
    TestApp app;
    addStock(app, "A1", 1.0, 1.0);
    addStock(app, "B2", 2.0, 2.0);
    addStock(app, "C3", 3.0, 3.0);
    TFrmStorIni w;
    showWindow(w);
    click(w, "cmd_edit");
    typeInCell(*w.DBGrid1, 0, "gods_amou", "11");
    typeInCell(*w.DBGrid1, 1, "cost_pric", "22");
    app.dataModule().StoreiniQ->moveTo(2);
    click(w, "cmd_dele");
    QCOMPARE(app.dataModule().StoreiniQ->recordCount(), 2);
    QCOMPARE(app.scalar("select count(*) from storemain").toInt(), 3);   // nothing written yet
    QCOMPARE(w.mode(), QString("edit"));
    click(w, "cmd_canc");
    QCOMPARE(w.mode(), QString("null"));
    db::Dataset* q = app.dataModule().StoreiniQ;
    QCOMPARE(q->recordCount(), 3);
    QCOMPARE(q->value(0, q->fieldIndex("gods_amou")).toDouble(), 1.0);
    QCOMPARE(q->value(1, q->fieldIndex("cost_pric")).toDouble(), 2.0);
    QCOMPARE(stock(app, "A1"), 1.0);

    // Browsing, a deletion is written at once.
    q->moveTo(2);
    click(w, "cmd_dele");
    QCOMPARE(app.scalar("select count(*) from storemain").toInt(), 2);
}

void TestStorIni::saveWritesAllRowsAtOnce()
{
    TestApp app;
    addStock(app, "A1", 1.0, 1.0);
    addStock(app, "B2", 2.0, 2.0);
    TFrmStorIni w;
    showWindow(w);
    click(w, "cmd_edit");
    typeInCell(*w.DBGrid1, 0, "gods_amou", "12.5");
    typeInCell(*w.DBGrid1, 1, "cost_pric", "3.75");
    QCOMPARE(stock(app, "A1"), 1.0);
    click(w, "cmd_save");
    QCOMPARE(w.mode(), QString("null"));
    QCOMPARE(stock(app, "A1"), 12.5);
    QCOMPARE(app.scalar("select cost_pric from storemain where gods_code='B2'").toDouble(), 3.75);
}

void TestStorIni::failedSaveKeepsTypedValuesAndMode()
{
    TestApp app;
    addStock(app, "A1", 1.0, 1.0);
    addStock(app, "B2", 2.0, 2.0);
    TFrmStorIni w;
    showWindow(w);
    click(w, "cmd_edit");
    typeInCell(*w.DBGrid1, 0, "gods_amou", "5");
    typeInCell(*w.DBGrid1, 1, "gods_amou", "6");
    failStockUpdateAt(app, 2);
    click(w, "cmd_save");
    QCOMPARE(app.dialogs().messages.size(), 1);
    QVERIFY(app.dialogs().lastMessage().contains("保存失败"));
    QCOMPARE(w.mode(), QString("edit"));
    QCOMPARE(stock(app, "A1"), 1.0);
    db::Dataset* q = app.dataModule().StoreiniQ;
    QCOMPARE(q->value(1, q->fieldIndex("gods_amou")).toDouble(), 6.0);

    removeFailure(app);
    click(w, "cmd_save");
    QCOMPARE(w.mode(), QString("null"));
    QCOMPARE(stock(app, "A1"), 5.0);
    QCOMPARE(stock(app, "B2"), 6.0);

    // An emptied quantity is refused, naming the goods.
    click(w, "cmd_edit");
    typeInCell(*w.DBGrid1, 1, "gods_amou", "");
    click(w, "cmd_save");
    QVERIFY(app.dialogs().lastMessage().contains("B2"));
    QCOMPARE(w.mode(), QString("edit"));
    QCOMPARE(stock(app, "B2"), 6.0);
}

void TestStorIni::emptyStockEditsOneBlankRow()
{
    TestApp app;
    TFrmStorIni w;
    click(w, "cmd_edit");
    QCOMPARE(app.dataModule().StoreiniQ->recordCount(), 1);
    click(w, "cmd_save");
    QCOMPARE(app.scalar("select count(*) from storemain where gods_amou=0").toInt(), 1);
}

void TestStorIni::closingRefusedWhileEditing()
{
    TestApp app;
    addStock(app, "A1", 1.0);
    TFrmStorIni w;
    showWindow(w);
    click(w, "cmd_edit");
    QVERIFY(!w.cmd_exit->isEnabled());
    QVERIFY(w.cmd_dele->isEnabled());
    w.close();
    QVERIFY(w.isVisible());
    click(w, "cmd_canc");
    w.close();
    QVERIFY(!w.isVisible());
}

QTEST_MAIN(TestStorIni)
#include "tst_storini.moc"
