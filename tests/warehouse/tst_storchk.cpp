// The stock count and stock adjustment windows as a user drives them: typing
// counted quantities, saving, refusals, a save failing halfway, and the hooks.
#include "GridTyping.h"
#include "PgProxy.h"
#include "TestSupport.h"
#include "WarehouseData.h"
#include "WindowDriver.h"

#include "shop/SaveIdentity.h"
#include "shop/StockPosting.h"
#include "db/Dataset.h"
#include "ui/Dialogs.h"
#include "warehouse/TFrmStorChg.h"
#include "warehouse/CountScan.h"
#include "warehouse/TFrmStorChk.h"

#include <QDateEdit>
#include <QLabel>
#include <QTableWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace WarehouseData;
using GridTyping::typeInCell;
using WindowDriver::click;
using WindowDriver::showWindow;

class TestStorChk : public QObject {
    Q_OBJECT

private slots:
    void countOf7Against10ShowsLossAndSetsStock();
    void countedMonthIsRefused();
    void shelfCountedByScanningWithTheReview();
    void saveFailingHalfwayKeepsTheCountOpen();
    void typedQuantityIsRefusedWhereTyped();
    void lookingUpAMonthWithoutCount();
    void hooksGoWhenTheWindowCloses();
    void adjustmentTo12Point5KeepsCost();
    void adjustmentAsksFirstAndNotOnAnEmptyGrid();
    void rightsSetTheButtons();
    void scanAddsToWhatTheLineHolds();
    void reviewListsOnlyGoodsNeitherScannedNorTyped();
    void cancelAsksOnlyWhenSomethingWasEntered();
    void countOf20ScannedGoodsWithTwoCorrected();
    void countWithItsAnswerLostIsShownAsSaved();
};

namespace {
const QDate countDay(2025, 3, 14);

void startCount(TestApp& app, TFrmStorChk& w)
{
    w.monthEdit->setDate(countDay);
    app.dialogs().clear();
    click(w, "cmd_edit");
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
}
} // namespace

void TestStorChk::countOf7Against10ShowsLossAndSetsStock()
{
    TestApp app;
    addGoods(app, "A1");
    addStock(app, "A1", 10.0, 4.0);
    addStock(app, "B2", 3.0, 1.0);
    TFrmStorChk w;
    showWindow(w);
    startCount(app, w);
    QVERIFY(app.dialogs().lastMessage().startsWith("本系统采用安全盘点法"));
    QVERIFY(!w.monthEdit->isEnabled());
    QVERIFY(!w.cmd_exit->isEnabled());

    typeInCell(*w.sheetGrid, 0, "chek_amou", "7");
    db::Dataset* q = app.dataModule().ChektempQ;
    QCOMPARE(q->value(0, q->fieldIndex("lost_amou")).toDouble(), -3.0);
    QCOMPARE(q->displayText(0, q->fieldIndex("lost_amou")), QString("-3"));
    QCOMPARE(q->value(1, q->fieldIndex("lost_amou")).toDouble(), 0.0);
    click(w, "cmd_save");

    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(stock(app, "A1"), 7.0);
    QCOMPARE(stock(app, "B2"), 3.0);
    QCOMPARE(app.scalar("select cost_pric from storemain where gods_code='A1'").toDouble(), 4.0);
    QCOMPARE(app.scalar("select chek_amou from storchek where gods_code='A1'").toDouble(), 7.0);
    QVERIFY(StockPosting::isMonthCounted(app.dataModule().AdoConn, countDay));
    QVERIFY(!StockPosting::isMonthCounted(app.dataModule().AdoConn, countDay.addMonths(1)));
}

void TestStorChk::shelfCountedByScanningWithTheReview()
{
    TestApp app;
    for (const char* code : {"A1", "B2", "C3"})
        addGoods(app, code);
    app.exec("update goods set bar_code='4006381333931' where gods_code='A1'");
    addStock(app, "A1", 10.0, 4.0);
    addStock(app, "B2", 3.0, 1.0);
    TFrmStorChk w;
    showWindow(w);
    QApplication::setActiveWindow(&w);
    auto* box = WindowDriver::child<QLineEdit>(w, "ScanBox");
    const auto scan = [&](const QString& code) {
        for (const QChar c : code)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1(), Qt::NoModifier, 5);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::NoModifier, 5);
    };
    QTest::keyClick(&w, Qt::Key_F2);
    scan("B2");
    QVERIFY(WindowDriver::child<QLabel>(w, "ScanBanner")->text().contains("请先按“盘点”"));
    startCount(app, w);
    box->setFocus();
    // Three pieces of A1 by its barcode, one of C3 that has no stock record yet.
    for (const char* code : {"4006381333931", "4006381333931", "C3", "4006381333931"})
        scan(code);
    QCOMPARE(QApplication::focusWidget(), box);
    db::Dataset* q = app.dataModule().ChektempQ;
    const auto counted = [q](const char* code) {
        return q->value(q->find("gods_code", code), q->fieldIndex("chek_amou")).toDouble();
    };
    QCOMPARE(counted("A1"), 3.0);
    QCOMPARE(counted("C3"), 1.0);
    QCOMPARE(counted("B2"), 3.0);   // not scanned: the book quantity, for now

    // The review lists B2 first; going back saves nothing.
    QStringList listed;
    int answer = 0;
    app.dialogs().onExec = [&](QDialog* d) {
        auto* list = d->findChild<QTableWidget*>("UnscannedList");
        for (int r = 0; r < list->rowCount(); ++r)
            listed << list->item(r, 0)->text();
        return answer;
    };
    click(w, "cmd_save");
    QCOMPARE(listed, QStringList{"B2"});
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(stock(app, "A1"), 10.0);
    answer = 1;   // 未扫描的货品按0计
    click(w, "cmd_save");
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(stock(app, "A1"), 3.0);
    QCOMPARE(stock(app, "B2"), 0.0);
    QCOMPARE(app.scalar("select chek_amou from storchek where gods_code='C3'").toDouble(), 1.0);
    QCOMPARE(stock(app, "C3"), 1.0);   // found on the shelf: it has a stock record now
}

void TestStorChk::countedMonthIsRefused()
{
    TestApp app;
    addStock(app, "A1", 10.0);
    addCount(app, "A1", 10.0, QDate(2025, 3, 2));
    TFrmStorChk w;
    w.monthEdit->setDate(countDay);
    click(w, "cmd_edit");
    QCOMPARE(app.dialogs().lastMessage(), QString("该月已盘点，不能再进行盘点操作!请查询."));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.dataModule().ChektempQ->recordCount(), 0);
}

void TestStorChk::saveFailingHalfwayKeepsTheCountOpen()
{
    TestApp app;
    for (const char* code : {"A1", "B2", "C3"})
        addStock(app, code, 10.0);
    TFrmStorChk w;
    showWindow(w);
    startCount(app, w);
    typeInCell(*w.sheetGrid, 0, "chek_amou", "7");
    typeInCell(*w.sheetGrid, 2, "chek_amou", "2.5");
    failStockUpdateAt(app, 2);
    app.dialogs().clear();
    click(w, "cmd_save");

    QCOMPARE(app.dialogs().messages.size(), 1);
    QVERIFY(app.dialogs().lastMessage().contains("盘点保存失败"));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QVERIFY(!StockPosting::isMonthCounted(app.dataModule().AdoConn, countDay));
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 0);
    QCOMPARE(stock(app, "A1"), 10.0);
    db::Dataset* q = app.dataModule().ChektempQ;
    QCOMPARE(q->value(2, q->fieldIndex("chek_amou")).toDouble(), 2.5);

    removeFailure(app);
    click(w, "cmd_save");
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 3);
    QCOMPARE(stock(app, "A1"), 7.0);
    QCOMPARE(stock(app, "C3"), 2.5);
}

// The window asks the sheet's rule of each row as it is left, and again at the save.
void TestStorChk::typedQuantityIsRefusedWhereTyped()
{
    TestApp app;
    addStock(app, "A1", 10.0);
    addStock(app, "B2", 5.0);
    TFrmStorChk w;
    showWindow(w);
    startCount(app, w);
    typeInCell(*w.sheetGrid, 0, "chek_amou", "-5");
    app.dialogs().clear();
    w.sheetGrid->setCurrentIndex(w.sheetGrid->model()->index(1, 0));
    QCOMPARE(app.dialogs().lastMessage(), QString("货品“A1”的实盘数量“-5”不能为负数"));
    QCOMPARE(app.dataModule().ChektempQ->currentRow(), 0);

    typeInCell(*w.sheetGrid, 0, "chek_amou", "");
    app.dialogs().clear();
    click(w, "cmd_save");
    QCOMPARE(app.dialogs().lastMessage(), QString("货品“A1”的实盘数量为空，请输入后再保存"));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 0);
    QCOMPARE(stock(app, "A1"), 10.0);
}

void TestStorChk::lookingUpAMonthWithoutCount()
{
    TestApp app;
    addCount(app, "A1", 6.0, QDate(2025, 3, 31));
    app.exec("update storchek set gods_amou=8");
    TFrmStorChk w;
    w.monthEdit->setDate(QDate(2025, 3, 1));
    click(w, "cmd_find");
    QCOMPARE(app.dialogs().messages.size(), 0);
    QCOMPARE(w.stockTotalEdit->text(), QString("8"));
    QCOMPARE(w.countedTotalEdit->text(), QString("6"));
    QCOMPARE(app.dataModule().ChektempQ->recordCount(), 1);

    w.monthEdit->setDate(QDate(2025, 4, 1));
    click(w, "cmd_find");
    QCOMPARE(app.dialogs().lastMessage(), QString("本月没有盘点数据！"));
    QCOMPARE(w.stockTotalEdit->text(), QString("0"));
    QCOMPARE(app.dataModule().ChektempQ->recordCount(), 0);
}

void TestStorChk::hooksGoWhenTheWindowCloses()
{
    TestApp app;
    addStock(app, "M1", 10.0);
    db::Dataset* q = app.dataModule().ChektempQ;
    const int before = q->hookCount();
    {
        TFrmStorChk w;
        showWindow(w);
        startCount(app, w);
        // Minimized, the window is still open: gain/loss is still worked out.
        w.showMinimized();
        QTRY_VERIFY(w.isMinimized());
        w.showNormal();
        typeInCell(*w.sheetGrid, 0, "chek_amou", "4");
        QCOMPARE(q->value(0, q->fieldIndex("lost_amou")).toDouble(), -6.0);
        app.dialogs().answers = {true};   // what was typed is thrown away
        w.close();
        QVERIFY(!w.isVisible());
        // A later user of the sheet posts rows without the count's rule or gain/loss.
        q->edit();
        q->setValue("chek_amou", -5.0);
        q->post();
        QVERIFY(q->value(0, q->fieldIndex("lost_amou")).isNull());
    }
    QCOMPARE(q->hookCount(), before);
}

void TestStorChk::adjustmentTo12Point5KeepsCost()
{
    TestApp app;
    addStock(app, "O'K", 3.0, 8.25);
    addStock(app, "B2", 4.0, 1.0);
    TFrmStorChg w;
    showWindow(w);
    click(w, "cmd_find");
    QCOMPARE(w.stockTotalEdit->text(), QString("7"));
    // Typing a whole code moves to its row and into the grid, ready to type the quantity.
    WindowDriver::retype(w, "Edit1", "O'K");
    QCOMPARE(app.dataModule().ChektempQ->currentRow(), 1);
    QVERIFY(w.sheetGrid->hasFocus());
    app.dialogs().answers = {true};
    click(w, "cmd_edit");
    QCOMPARE(app.dialogs().questions.size(), 1);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    db::Dataset* q = app.dataModule().ChektempQ;
    QCOMPARE(q->value(1, q->fieldIndex("chek_amou")).toDouble(), 3.0);   // B2 first, then O'K
    typeInCell(*w.sheetGrid, 1, "chek_amou", "12.5");
    click(w, "cmd_save");
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(stock(app, "O'K"), 12.5);
    QCOMPARE(app.scalar("select cost_pric from storemain where gods_code=:p1", {QString("O'K")}).toDouble(), 8.25);
    QCOMPARE(stock(app, "B2"), 4.0);
    QCOMPARE(app.scalar("select count(*) from storchek").toInt(), 0);

    // An emptied quantity is refused before anything is written.
    click(w, "cmd_edit");
    typeInCell(*w.sheetGrid, 0, "chek_amou", "");
    app.dialogs().clear();
    click(w, "cmd_save");
    QCOMPARE(app.dialogs().lastMessage(), QString("货品“B2”的调整数量为空，请输入后再保存"));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(stock(app, "O'K"), 12.5);
    QCOMPARE(app.scalar("select count(*) from storemain where gods_amou is null").toInt(), 0);
}

void TestStorChk::adjustmentAsksFirstAndNotOnAnEmptyGrid()
{
    TestApp app;
    TFrmStorChg w;
    click(w, "cmd_edit");
    QCOMPARE(app.dialogs().questions.size(), 0);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);

    addStock(app, "A1", 2.0);
    click(w, "cmd_find");
    app.dialogs().answers = {false};
    click(w, "cmd_edit");
    QCOMPARE(app.dialogs().questions, QStringList{"本操作将影响目前库存，确认是否继续操作?"});
    QCOMPARE(app.dialogs().questionDefaults.value(0), ui::Dialogs::Default::Cancel);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QVERIFY(app.dataModule().ChektempQ->value(0, 2).isNull());
    QCOMPARE(w.cmd_edit->text(), QString("修改[&V]"));
}

void TestStorChk::rightsSetTheButtons()
{
    TestApp app;
    QString rights(25, '1');
    rights[17] = '0';   // position 18: the count
    app.setRights(rights);
    TFrmStorChk count;
    QVERIFY(!count.cmd_edit->isEnabled());
    QVERIFY(!count.cmd_find->isEnabled());
    QVERIFY(!count.cmd_save->isEnabled());
    TFrmStorChg adjustment;
    QVERIFY(adjustment.cmd_edit->isEnabled());
    QVERIFY(adjustment.cmd_prin->isEnabled());
}

namespace {
// The codes the review lists, and its text; answers as given.
struct Review {
    QStringList listed;
    QString text;
    int answer = 0;
    void install(TestApp& app)
    {
        app.dialogs().onExec = [this](QDialog* d) {
            listed.clear();
            auto* list = d->findChild<QTableWidget*>("UnscannedList");
            for (int r = 0; r < list->rowCount(); ++r)
                listed << list->item(r, 0)->text();
            if (auto* label = d->findChild<QLabel*>("ReviewText"))
                text = label->text();
            return answer;
        };
    }
};

double counted(TestApp& app, const QString& code)
{
    db::Dataset* q = app.dataModule().ChektempQ;
    return q->value(q->find("gods_code", code), q->fieldIndex("chek_amou")).toDouble();
}
} // namespace

void TestStorChk::scanAddsToWhatTheLineHolds()
{
    TestApp app;
    for (const char* code : {"A1", "B2"}) {
        addGoods(app, code);
        addStock(app, code, 10.0);
    }
    TFrmStorChk w;
    showWindow(w);
    startCount(app, w);
    typeInCell(*w.sheetGrid, 0, "chek_amou", "5");
    QVERIFY(w.scan->take("A1"));
    QCOMPARE(counted(app, "A1"), 6.0);
    for (int i = 0; i < 3; ++i)
        w.scan->take("B2");
    QCOMPARE(counted(app, "B2"), 3.0);   // the first piece replaced the book quantity
    typeInCell(*w.sheetGrid, 1, "chek_amou", "2");
    w.scan->take("B2");
    QCOMPARE(counted(app, "B2"), 3.0);
}

// Typed by hand, or scanned by a barcode whose stock record is in lower case: both were counted.
void TestStorChk::reviewListsOnlyGoodsNeitherScannedNorTyped()
{
    TestApp app;
    for (const char* code : {"1003", "ST01-02-3", "C9"})
        addGoods(app, code);
    app.exec("update goods set bar_code='4006381333931' where gods_code='ST01-02-3'");
    addStock(app, "1003", 7.0);
    addStock(app, "st01-02-3", 4.0);
    addStock(app, "C9", 5.0);
    TFrmStorChk w;
    showWindow(w);
    startCount(app, w);
    typeInCell(*w.sheetGrid, 0, "chek_amou", "7");   // counted as the book says
    w.scan->take("4006381333931");
    w.scan->take("4006381333931");
    Review review;
    review.install(app);
    click(w, "cmd_save");
    QCOMPARE(review.listed, QStringList{"C9"});
    QVERIFY(review.text.contains("按账面数量计"));
    QVERIFY(review.text.contains("按0计"));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    review.answer = 1;   // 按0计
    click(w, "cmd_save");
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(stock(app, "1003"), 7.0);
    QCOMPARE(stock(app, "st01-02-3"), 2.0);
    QCOMPARE(stock(app, "C9"), 0.0);
}

void TestStorChk::cancelAsksOnlyWhenSomethingWasEntered()
{
    TestApp app;
    addGoods(app, "A1");
    addStock(app, "A1", 10.0);
    TFrmStorChk w;
    showWindow(w);
    startCount(app, w);
    app.dialogs().clear();
    QTest::keyClick(&w, Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.dialogs().questions.size(), 0);

    startCount(app, w);
    w.scan->take("A1");
    app.dialogs().answers = {false};
    click(w, "cmd_canc");
    QCOMPARE(app.dialogs().questions.size(), 1);
    QCOMPARE(app.dialogs().questionDefaults.value(0), ui::Dialogs::Default::Cancel);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(counted(app, "A1"), 1.0);
    app.dialogs().answers = {true};
    click(w, "cmd_canc");
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(stock(app, "A1"), 10.0);

    // The adjustment asks the same.
    TFrmStorChg adjustment;
    showWindow(adjustment);
    click(adjustment, "cmd_find");
    app.dialogs().answers = {true};
    click(adjustment, "cmd_edit");
    typeInCell(*adjustment.sheetGrid, 0, "chek_amou", "3");
    app.dialogs().clear();
    app.dialogs().answers = {false};
    click(adjustment, "cmd_canc");
    QCOMPARE(app.dialogs().questions.size(), 1);
    QCOMPARE(adjustment.mode(), ui::ModeWindow::Mode::Editing);
}

// A shelf of 20 goods scanned piece by piece, two lines corrected by hand, then a last scan of one of them.
void TestStorChk::countOf20ScannedGoodsWithTwoCorrected()
{
    TestApp app;
    QStringList codes;
    for (int i = 1; i <= 20; ++i) {
        const QString code = QString("G%1").arg(i, 2, 10, QChar('0'));
        codes << code;
        addGoods(app, code);
        addStock(app, code, 50.0);
    }
    addStock(app, "Z99", 8.0);   // not on the shelf
    TFrmStorChk w;
    showWindow(w);
    startCount(app, w);
    for (int i = 0; i < 20; ++i)
        for (int piece = 0; piece <= i % 4; ++piece)
            QVERIFY(w.scan->take(codes[i].toLower()));
    typeInCell(*w.sheetGrid, 2, "chek_amou", "12");
    typeInCell(*w.sheetGrid, 7, "chek_amou", "0");
    w.scan->take("G08");
    Review review;
    review.answer = 1;
    review.install(app);
    click(w, "cmd_save");
    QCOMPARE(review.listed, QStringList{"Z99"});
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    for (int i = 0; i < 20; ++i) {
        const double expected = i == 2 ? 12 : i == 7 ? 1 : i % 4 + 1;
        QCOMPARE(stock(app, codes[i]), expected);
        QCOMPARE(app.scalar("select chek_amou from storchek where gods_code=:p1", {codes[i]}).toDouble(), expected);
    }
    QCOMPARE(stock(app, "Z99"), 0.0);
}

// The answer to the count's commit lost: the count is said to be saved, the
// editing ends and the stored count is shown (both sheets share this).
void TestStorChk::countWithItsAnswerLostIsShownAsSaved()
{
    if (!TestApp::onServer())
        QSKIP("a lost connection is the server's");
    TestApp app;
    addGoods(app, "A1");
    addStock(app, "A1", 10.0, 4.0);
    PgProxy proxy(app.dataModule().AdoConn.serverAddress());
    ShopServer::open(app.dataModule().AdoConn, proxy.address());
    TFrmStorChk w;
    showWindow(w);
    startCount(app, w);
    typeInCell(*w.sheetGrid, 0, "chek_amou", "7");
    app.dialogs().clear();
    proxy.cutAt(PgProxy::Cut::AnswerToCommit);
    click(w, "cmd_save");
    QCOMPARE(app.dialogs().messages.size(), 1);
    QCOMPARE(app.dialogs().lastMessage(), SaveIdentity::alreadySaved);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    db::Dataset* q = app.dataModule().ChektempQ;
    QCOMPARE(q->recordCount(), 1);
    QCOMPARE(q->value(0, q->fieldIndex("chek_amou")).toDouble(), 7.0);
    QVERIFY(!q->hasPendingChanges());
    QCOMPARE(stock(app, "A1"), 7.0);
}

QTEST_MAIN(TestStorChk)
#include "tst_storchk.moc"
