// The opening stock: importing the catalogue, typing quantities and costs,
// deleting, cancelling and saving as one unit.
#include "GridTyping.h"
#include "TestSupport.h"
#include "WarehouseData.h"
#include "WindowDriver.h"

#include "db/Dataset.h"
#include "ui/Dialogs.h"
#include "warehouse/TFrmStorIni.h"

#include <QApplication>
#include <QLineEdit>
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
    void untouchedRowWithEmptyCostDoesNotBlockSaving();
    void negativeQuantityNeedsConfirmation_data();
    void negativeQuantityNeedsConfirmation();
    void altSSavesTheOpenEditorsText();
    void emptyStockEditsOneBlankRow();
    void typedCostIsRefusedWhereTyped();
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
    QCOMPARE(app.dialogs().questionDefaults.last(), ui::Dialogs::Default::Cancel);

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
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
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
    typeInCell(*w.stockGrid, 0, "gods_amou", "11");
    typeInCell(*w.stockGrid, 1, "cost_pric", "22");
    app.dataModule().StoreiniQ->moveTo(2);
    click(w, "cmd_dele");
    QCOMPARE(app.dataModule().StoreiniQ->recordCount(), 2);
    QCOMPARE(app.scalar("select count(*) from storemain").toInt(), 3);   // nothing written yet
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    click(w, "cmd_canc");
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
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
    typeInCell(*w.stockGrid, 0, "gods_amou", "12.5");
    typeInCell(*w.stockGrid, 1, "cost_pric", "3.75");
    QCOMPARE(stock(app, "A1"), 1.0);
    click(w, "cmd_save");
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
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
    typeInCell(*w.stockGrid, 0, "gods_amou", "5");
    typeInCell(*w.stockGrid, 1, "gods_amou", "6");
    failStockUpdateAt(app, 2);
    click(w, "cmd_save");
    QCOMPARE(app.dialogs().messages.size(), 1);
    QVERIFY(app.dialogs().lastMessage().contains("保存失败"));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(stock(app, "A1"), 1.0);
    db::Dataset* q = app.dataModule().StoreiniQ;
    QCOMPARE(q->value(1, q->fieldIndex("gods_amou")).toDouble(), 6.0);

    removeFailure(app);
    click(w, "cmd_save");
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(stock(app, "A1"), 5.0);
    QCOMPARE(stock(app, "B2"), 6.0);

    // An emptied quantity is refused, naming the goods.
    click(w, "cmd_edit");
    typeInCell(*w.stockGrid, 1, "gods_amou", "");
    click(w, "cmd_save");
    QVERIFY(app.dialogs().lastMessage().contains("B2"));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(stock(app, "B2"), 6.0);
}

// A sale before any opening stock left G9 with an empty cost; typing A1 must still save.
void TestStorIni::untouchedRowWithEmptyCostDoesNotBlockSaving()
{
    TestApp app;
    addStock(app, "G9", -2.0, QVariant());
    addStock(app, "A1", 1.0, 1.0);
    TFrmStorIni w;
    showWindow(w);
    click(w, "cmd_edit");   // starts on G9's row, which stays as it was
    typeInCell(*w.stockGrid, 1, "gods_amou", "4");
    click(w, "cmd_save");
    QCOMPARE(app.dialogs().messages.size(), 0);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(stock(app, "A1"), 4.0);
    QVERIFY(app.scalar("select cost_pric from storemain where gods_code='G9'").isNull());

    // Once the user touches G9, its empty cost must be filled in.
    click(w, "cmd_edit");
    typeInCell(*w.stockGrid, 0, "gods_amou", "3");
    click(w, "cmd_save");
    QCOMPARE(app.dialogs().lastMessage(), QString("货品“G9”的成本为空，请输入后再保存"));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(stock(app, "G9"), -2.0);
}

void TestStorIni::negativeQuantityNeedsConfirmation_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<double>("stored");
    QTest::addColumn<ui::ModeWindow::Mode>("mode");
    QTest::newRow("confirmed: saved") << true << -5.0 << ui::ModeWindow::Mode::Browsing;
    QTest::newRow("not confirmed: nothing stored") << false << 1.0 << ui::ModeWindow::Mode::Editing;
}

void TestStorIni::negativeQuantityNeedsConfirmation()
{
    QFETCH(bool, confirmed);
    QFETCH(double, stored);
    QFETCH(ui::ModeWindow::Mode, mode);
    TestApp app;
    addStock(app, "A1", 1.0, 1.0);
    TFrmStorIni w;
    showWindow(w);
    click(w, "cmd_edit");
    typeInCell(*w.stockGrid, 0, "gods_amou", "-5");
    app.dialogs().answers = {confirmed};
    click(w, "cmd_save");
    QCOMPARE(app.dialogs().questions, QStringList{"货品“A1”的数量为负数（-5），确认保存?"});
    QCOMPARE(app.dialogs().questionDefaults.value(0), ui::Dialogs::Default::Cancel);
    QCOMPARE(w.mode(), mode);
    QCOMPARE(stock(app, "A1"), stored);
}

void TestStorIni::altSSavesTheOpenEditorsText()
{
    TestApp app;
    addStock(app, "A1", 1.0, 1.0);
    TFrmStorIni w;
    showWindow(w);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    click(w, "cmd_edit");
    db::Dataset* q = app.dataModule().StoreiniQ;
    const QModelIndex cell = w.stockGrid->model()->index(0, w.stockGrid->datasetModel()->columnOfField("cost_pric"));
    w.stockGrid->setCurrentIndex(cell);
    w.stockGrid->setFocus();
    QTest::keyClick(w.stockGrid, Qt::Key_7);   // typing opens the editor with the key
    QLineEdit* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_5);
    QTest::keyClick(editor, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);   // a mnemonic clicks its button after a short animation
    QCOMPARE(app.dialogs().messages.size(), 0);
    QCOMPARE(app.scalar("select cost_pric from storemain where gods_code='A1'").toDouble(), 75.0);
    QCOMPARE(q->value(0, q->fieldIndex("cost_pric")).toDouble(), 75.0);
}

// The blank row is for typing a goods in: saved without a code it is refused,
// and the window stays in its mode with nothing stored.
void TestStorIni::emptyStockEditsOneBlankRow()
{
    TestApp app;
    TFrmStorIni w;
    click(w, "cmd_edit");
    QCOMPARE(app.dataModule().StoreiniQ->recordCount(), 1);
    click(w, "cmd_save");
    QCOMPARE(app.dialogs().lastMessage(), QString("第1行没有货品编码，请输入货品编码或删除这一行后再保存"));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(app.scalar("select count(*) from storemain").toInt(), 0);
}

// The window asks the opening stock's rule as the row is left.
void TestStorIni::typedCostIsRefusedWhereTyped()
{
    TestApp app;
    addStock(app, "A1", 1.0, 1.0);
    addStock(app, "B2", 2.0, 2.0);
    TFrmStorIni w;
    showWindow(w);
    click(w, "cmd_edit");
    typeInCell(*w.stockGrid, 0, "cost_pric", "-3");
    w.stockGrid->setCurrentIndex(w.stockGrid->model()->index(1, 0));
    QCOMPARE(app.dialogs().lastMessage(), QString("货品“A1”的成本“-3”不能为负数"));
    QCOMPARE(app.dataModule().StoreiniQ->currentRow(), 0);
    click(w, "cmd_save");
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(app.scalar("select cost_pric from storemain where gods_code='A1'").toDouble(), 1.0);
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
