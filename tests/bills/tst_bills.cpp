// The four bill windows driven through their handlers: saving and stock, the
// save's checks and its failure, editing, deleting and the month lock,
// cancelling, bill numbers, line entry, finding, printing, rights and hooks.
#include "BillWindows.h"
#include "PgProxy.h"
#include "TestSupport.h"
#include "WindowDriver.h"

#include "core/CurrentRights.h"
#include "core/DatabaseFile.h"
#include "core/Settings.h"
#include "core/Clock.h"
#include "bills/BillFinder.h"
#include "bills/TFrmInFind.h"
#include "bills/TFrmOutFind.h"
#include "shop/BillStore.h"
#include "shop/SaveIdentity.h"
#include "db/Dataset.h"
#include "ui/TFrmCompFind.h"
#include "ui/TFrmGoodsFind.h"
#include "reports/ReportDocument.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportPreview.h"
#include "ui/DatasetModel.h"
#include "ui/DbComboBox.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QtTest>
#include <memory>

class TestBills : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowsOpenOnTodaysBillOfTheirKind_data();
    void windowsOpenOnTodaysBillOfTheirKind();
    void savingMovesStockAsEachKindDoes_data();
    void savingMovesStockAsEachKindDoes();
    void savedHeaderHoldsTotalsDateAndMakerName();
    void saveTakesTheTypedLineAndChecksTheTotal();
    void failedSaveKeepsTheBillAndARetryAppliesStockOnce();
    void saveWithItsAnswerLost_data();
    void saveWithItsAnswerLost();
    void totalIsRoundedOnce();
    void saveAsksTheShopsRules();
    void editOfABillDeletedMeanwhileFails();
    void editingTakesTheOldLinesBackOut();
    void unchangedReturnWithLinesOutOfStock();
    void deletingHonoursTheStoredMonth();
    void deleteWhileAddingRemovesOneLine();
    void cancelRestoresTheStoredBill();
    void newBillNumberSkipsTakenSeconds();
    void enterInGoodsCodeFillsThePrice_data();
    void enterInGoodsCodeFillsThePrice();
    void numberCellsRefuseWhatIsNoNumber_data();
    void numberCellsRefuseWhatIsNoNumber();
    void pickersFillCompanyAndGoods();
    void findersListTheirKindWithinWholeDays();
    void findingOpensTheBillWithItsTotals();
    void outBillPrintOutFillsPages_data();
    void outBillPrintOutFillsPages();
    void inBillPrintOutTitlesAndTotals();
    void onlyPagesThatReachThePrinterAreLogged();
    void rightsClosingAndHooks();
    void currencyFillsTheRateAndListsMoveOnToTheLines();
    void saleOverTheCreditLimitNeedsTheRight();

private:
    std::unique_ptr<TestApp> m_app;
    std::unique_ptr<QObject> m_reports;
};

using WindowDriver::child;
using WindowDriver::click;
using WindowDriver::showWindow;

namespace {

const QDate today(2024, 3, 5);
const QDateTime now(today, QTime(10, 15, 0));
const QString stamp = QStringLiteral("20240305101500");

void setStock(TestApp& app, const QString& code, double qty, double cost)
{
    app.exec("insert into storemain(gods_code,gods_amou,cost_pric) values(:p1,:p2,:p3)", {code, qty, cost});
}

double stockQty(TestApp& app, const QString& code = QStringLiteral("G1"))
{
    return app.scalar("select gods_amou from storemain where gods_code=:p1", {code}).toDouble();
}

double stockCost(TestApp& app, const QString& code = QStringLiteral("G1"))
{
    return app.scalar("select cost_pric from storemain where gods_code=:p1", {code}).toDouble();
}

int rows(TestApp& app, const QString& table)
{
    return app.scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt();
}

// A line as the grid leaves it: a new row (unless the current one is still blank) with its values.
void typeLine(BillWindow& w, const QString& code, double qty, double price, const QString& remark = {})
{
    db::Dataset* lines = w.lines();
    const bool blank = lines->state() == db::Dataset::State::Insert && lines->text("gods_code").isEmpty()
                       && lines->isNull("sub_amou");
    if (!blank)
        lines->append();
    lines->setValue("gods_code", code);
    lines->setValue("sub_amou", qty);
    lines->setValue("unit_pric", price);
    if (!remark.isEmpty())
        lines->setValue("remark", remark);
}

// A new bill with the given lines, saved.
QString saveBill(BillWindow& w, const QList<std::tuple<QString, double, double, QString>>& lines)
{
    w.cmd_addClick();
    for (const auto& [code, qty, price, remark] : lines)
        typeLine(w, code, qty, price, remark);
    w.cmd_saveClick();
    return w.billNoEdit->text();
}

// Types text into whatever has the focus, as keys.
void typeIntoFocus(const QString& text)
{
    for (const QChar c : text)
        WindowDriver::typeText(QApplication::focusWidget(), QString(c));
}

// Enter, and whatever the grid queued for it (its editor's commit) runs too.
void pressEnter()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();
}

// Answers the preview by recording what it would print.
struct PrintedBill {
    int pages = 0;
    int lines = 0;
    QString title;
    QString words;
    QString quantity;
    QString amount;
    QSizeF page;
};

void capturePreview(TestApp& app, PrintedBill& printed)
{
    app.dialogs().onExec = [&printed](QDialog* dialog) {
        if (qobject_cast<ReportPreview*>(dialog)) {
            ReportLayout* layout = nullptr;
            for (ReportLayout* l : ReportLayouts::all())
                if (l->objectName() == QLatin1String("TQRin") || l->objectName() == QLatin1String("TQRout"))
                    if (l->masterDataset() && l->masterDataset()->isOpen() && l->labelText("QRLabel1") == printed.title)
                        layout = l;
            if (!layout)
                return int(QDialog::Rejected);
            const ReportDocument document = layout->prepare();
            printed.pages = document.pageCount();
            for (const ReportPage& page : document.pages())
                printed.lines += page.count(ReportBand::Kind::Detail);
            printed.words = layout->labelText("QRLabel29");
            printed.quantity = layout->labelText("QRLabel30");
            printed.amount = layout->labelText("QRLabel31");
            printed.page = document.pageSizeMm();
        }
        return int(QDialog::Rejected);
    };
}

} // namespace

void TestBills::init()
{
    Clock::setFixed(now);
    m_app = std::make_unique<TestApp>();
    m_reports = std::make_unique<QObject>();
    ReportLayouts::createAll(m_reports.get());
    TestApp& app = *m_app;
    app.exec("insert into goods(gods_code,gods_name,gods_unit,valu_in,valu_out) values('G1','衬衫','件',5,9)");
    app.exec("insert into goods(gods_code,gods_name,gods_unit,valu_in,valu_out) values('G2','长裤','条',20,35)");
    app.exec("insert into company(comp_code,comp_name,rela_phon) values('C1','华联商厦','0571-1234')");
    app.exec("insert into company(comp_code,comp_name) values('C2','东方布行')");
    app.exec("update employee set empl_name='王小明的名字超过十个字符了吗' where empl_code=:p1", {DatabaseFile::adminId});
    PrintSettings::current() = PrintSettings();
}

void TestBills::cleanup()
{
    m_reports.reset();
    m_app.reset();
    Clock::setFixed({});
}

void TestBills::windowsOpenOnTodaysBillOfTheirKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("billNo");
    QTest::addColumn<QString>("caption");
    QTest::newRow("purchase") << int(Kind::In) << "20240305080000" << "进货管理";
    QTest::newRow("sale") << int(Kind::Out) << "20240305080002" << "销售管理";
    QTest::newRow("customer return") << int(Kind::ReturnIn) << "20240305080001" << "顾客退货单";
    QTest::newRow("return to supplier") << int(Kind::ReturnOut) << "20240305080003" << "退货厂商";
}

void TestBills::windowsOpenOnTodaysBillOfTheirKind()
{
    QFETCH(int, kind);
    QFETCH(QString, billNo);
    QFETCH(QString, caption);
    TestApp& app = *m_app;
    app.exec("insert into inmain(bill_no,bill_date,bill_type) values('20240304080000','2024-03-04 00:00:00','in')");
    app.exec("insert into inmain(bill_no,bill_date,bill_type) values('20240305080000','2024-03-05 00:00:00','in')");
    app.exec("insert into inmain(bill_no,bill_date,bill_type) values('20240305080001','2024-03-05 00:00:00','retu')");
    app.exec("insert into outmain(bill_no,bill_date,bill_type) values('20240305080002','2024-03-05 00:00:00','out')");
    app.exec("insert into outmain(bill_no,bill_date,bill_type) values('20240305080003','2024-03-05 00:00:00','retu')");
    app.exec("insert into ingoods(bill_no,gods_code,sub_amou,unit_pric) values('20240305080001','G1',2,4.5)");
    const auto w = makeWindow(Kind(kind));
    QCOMPARE(w->windowTitle(), caption);
    QCOMPARE(w->billNoEdit->text(), billNo);
    QCOMPARE(w->billDateEdit->date(), today);
    QCOMPARE(w->mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(BillFinder::currentKind(), Kind(kind) == Kind::In ? "in" : Kind(kind) == Kind::Out ? "out" : "retu");
    if (Kind(kind) == Kind::ReturnIn) {
        QCOMPARE(w->totalQuantityEdit->text(), QStringLiteral("2"));
        QCOMPARE(w->totalAmountEdit->text(), QStringLiteral("9"));
        QCOMPARE(w->amountInWordsEdit->text(), QStringLiteral("玖圆整"));
    }
}

void TestBills::savingMovesStockAsEachKindDoes_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("remark");
    QTest::addColumn<double>("qty");
    QTest::addColumn<double>("cost");
    QTest::addColumn<QString>("table");

    // 8 at 5 in stock; the bill moves 2 at 10.
    QTest::newRow("purchase") << int(Kind::In) << "" << 10.0 << 6.0 << "inmain";
    QTest::newRow("customer return into stock") << int(Kind::ReturnIn) << "入库" << 10.0 << 6.0 << "inmain";
    QTest::newRow("customer return not into stock") << int(Kind::ReturnIn) << "不入库" << 8.0 << 5.0 << "inmain";
    QTest::newRow("sale") << int(Kind::Out) << "" << 6.0 << 5.0 << "outmain";
    QTest::newRow("return to supplier, remark ignored") << int(Kind::ReturnOut) << "不入库" << 6.0 << 5.0 << "outmain";
}

void TestBills::savingMovesStockAsEachKindDoes()
{
    QFETCH(int, kind);
    QFETCH(QString, remark);
    QFETCH(double, qty);
    QFETCH(double, cost);
    QFETCH(QString, table);
    TestApp& app = *m_app;
    setStock(app, "G1", 8, 5);
    const auto w = makeWindow(Kind(kind));
    saveBill(*w, {{"G1", 2, 10, remark}});
    QCOMPARE(w->mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.dialogs().messages.size(), 0);
    QCOMPARE(stockQty(app), qty);
    QCOMPARE(stockCost(app), cost);
    // The bill and its total are stored whatever the stock did.
    QCOMPARE(app.scalar(QString("select shou_tota from %1").arg(table)).toDouble(), 20.0);
    QCOMPARE(rows(app, table == "inmain" ? "ingoods" : "outgoods"), 1);
}

void TestBills::savedHeaderHoldsTotalsDateAndMakerName()
{
    TestApp& app = *m_app;
    TFrmOut w;
    w.cmd_addClick();
    w.header()->setValue("comp_code", "C1");
    w.header()->setValue("oper_code", DatabaseFile::adminId);
    w.header()->setValue("fact_tota", 15);
    w.billDateEdit->setDate(QDate(2024, 3, 2));
    typeLine(w, "G1", 3, 1.1, {});
    typeLine(w, "G2", 1, 0.06, {});
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select bill_type from outmain").toString(), QStringLiteral("out"));
    QCOMPARE(app.scalar("select bill_date from outmain").toString(), QStringLiteral("2024-03-02 00:00:00"));
    QCOMPARE(app.scalar("select shou_tota from outmain").toDouble(), 3.36);
    QCOMPARE(app.scalar("select fact_tota from outmain").toDouble(), 15.0);
    QCOMPARE(app.scalar("select oper_name from outmain").toString(), QStringLiteral("王小明的名字超过十个"));
    QCOMPARE(w.phoneBox->text(), QStringLiteral("0571-1234"));
    QCOMPARE(w.companyNameEdit->text(), QStringLiteral("华联商厦"));
    QCOMPARE(w.totalQuantityEdit->text(), QStringLiteral("4"));
    QCOMPARE(w.totalAmountEdit->text(), QStringLiteral("3.36"));
    QCOMPARE(w.amountInWordsEdit->text(), QStringLiteral("叁圆叁角陆分"));
    QCOMPARE(w.billDateEdit->date(), QDate(2024, 3, 2));
}

void TestBills::saveTakesTheTypedLineAndChecksTheTotal()
{
    TestApp& app = *m_app;
    TFrmIn w;
    // A quantity of zero in total is refused and the bill stays open.
    w.cmd_addClick();
    typeLine(w, "G1", 0, 5);
    w.cmd_saveClick();
    QCOMPARE(app.dialogs().lastMessage(), QStringLiteral("第1行：数量“0”必须大于0"));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(rows(app, "inmain"), 0);
    typeLine(w, "G2", -1, 5);
    w.cmd_saveClick();
    QCOMPARE(app.dialogs().messages.size(), 2);
    QCOMPARE(rows(app, "storemain"), 0);

    // A new line left untouched is dropped; a fractional quantity still being typed is saved.
    w.lines()->first();
    w.lines()->setValue("sub_amou", 1);
    w.lines()->append();
    w.lines()->prior();
    w.lines()->setValue("sub_amou", 2.5);
    QVERIFY(w.lines()->isEditing());
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select sum(sub_amou) from ingoods").toDouble(), 3.5);
    QCOMPARE(stockQty(app, "G2"), 2.5);
    QCOMPARE(w.totalQuantityEdit->text(), QStringLiteral("3.5"));
    QCOMPARE(rows(app, "ingoods"), 2);
}

void TestBills::totalIsRoundedOnce()
{
    // Three lines of 1 x 0.333: the sum 0.999 is rounded, not each line.
    TFrmOut w;
    saveBill(w, {{"G1", 1, 0.333, {}}, {"G1", 1, 0.333, {}}, {"G1", 1, 0.333, {}}});
    QCOMPARE(m_app->scalar("select shou_tota from outmain").toDouble(), 1.0);
    QCOMPARE(w.totalAmountEdit->text(), QStringLiteral("1"));
    QCOMPARE(w.amountInWordsEdit->text(), QStringLiteral("壹圆整"));
}

// The window asks the shop's rules before saving: the refusal lands where it points,
// nothing is stored, and what it accepts is stored under the goods' own codes.
void TestBills::saveAsksTheShopsRules()
{
    TestApp& app = *m_app;
    TFrmOut w;
    showWindow(w);
    QApplication::setActiveWindow(&w);
    w.cmd_addClick();
    w.cmd_saveClick();
    QCOMPARE(app.dialogs().lastMessage(), QStringLiteral("数量不能为0"));

    // Lines are named as the grid numbers them, the blank first one included.
    typeLine(w, "G1", 1, 9);
    typeLine(w, "G2", 2, -3);
    w.cmd_saveClick();
    QCOMPARE(app.dialogs().lastMessage(), QStringLiteral("第3行：单价“-3”不能为负数"));
    QCOMPARE(w.linesGrid->currentIndex().row(), 2);
    QCOMPARE(w.linesGrid->currentIndex().column(), w.linesGrid->datasetModel()->columnOfField("unit_pric"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.linesGrid));

    w.lines()->setValue("unit_pric", 35);
    w.header()->setValue("comp_code", "c9");
    w.cmd_saveClick();
    QCOMPARE(app.dialogs().lastMessage(), QStringLiteral("客户编码“c9”不存在"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.companyCode));
    QCOMPARE(rows(app, "outmain") + rows(app, "outgoods"), 0);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);

    w.header()->setValue("comp_code", "c1");
    w.lines()->setValue("gods_code", "g2");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select comp_code from outmain").toString(), QStringLiteral("C1"));
    QCOMPARE(app.scalar("select max(gods_code) from outgoods").toString(), QStringLiteral("G2"));
    QCOMPARE(app.scalar("select shou_tota from outmain").toDouble(), 79.0);
    QCOMPARE(app.dialogs().messages.size(), 3);
}

void TestBills::editOfABillDeletedMeanwhileFails()
{
    TestApp& app = *m_app;
    TFrmIn w;
    const QString billNo = saveBill(w, {{"G1", 4, 5, {}}});
    w.cmd_editClick();
    typeLine(w, "G2", 1, 20);
    // Another window or PC deletes the bill meanwhile.
    BillStore::remove(app.dataModule().AdoConn, StockPosting::BillKind::Purchase, billNo);
    w.cmd_saveClick();
    QVERIFY(app.dialogs().lastMessage().contains(QStringLiteral("本单已被删除")));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(rows(app, "ingoods"), 0);
    QCOMPARE(stockQty(app, "G1"), 0.0);
    QCOMPARE(rows(app, "storemain where gods_code='G2'"), 0);
    w.cmd_cancClick();
}

void TestBills::failedSaveKeepsTheBillAndARetryAppliesStockOnce()
{
    TestApp& app = *m_app;
    setStock(app, "G1", 30, 6);
    TFrmIn w;
    showWindow(w);
    w.cmd_addClick();
    typeLine(w, "G1", 10, 8);
    typeLine(w, "G2", 4, 20);
    app.refuse("second_line", "insert", "ingoods", "(select count(*) from ingoods)>=1", "磁盘已满");
    w.cmd_saveClick();
    QCOMPARE(app.dialogs().messages.size(), 1);
    QVERIFY(app.dialogs().lastMessage().contains(QStringLiteral("磁盘已满")));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(rows(app, "inmain") + rows(app, "ingoods"), 0);
    QCOMPARE(stockQty(app), 30.0);
    QCOMPARE(rows(app, "storemain"), 1);
    // Still on screen as typed.
    QCOMPARE(w.lines()->recordCount(), 2);
    QCOMPARE(w.linesGrid->model()->rowCount(), 2);
    QCOMPARE(w.totalQuantityEdit->text(), QStringLiteral("14"));
    QVERIFY(w.linesGrid->updatesEnabled());

    app.allow("second_line", "ingoods");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(rows(app, "ingoods"), 2);
    QCOMPARE(stockQty(app), 40.0);
    QCOMPARE(stockCost(app), 6.5);
    QCOMPARE(stockQty(app, "G2"), 4.0);
}

void TestBills::saveWithItsAnswerLost_data()
{
    QTest::addColumn<bool>("committed");
    QTest::newRow("committed, the answer lost") << true;
    QTest::newRow("the commit lost") << false;
}

// The connection cut at the commit: a save the server stored is said to be
// saved and shown as stored; one it did not store is told as lost, and the
// retry stores it once.
void TestBills::saveWithItsAnswerLost()
{
    if (!TestApp::onServer())
        QSKIP("a lost connection is the server's");
    QFETCH(bool, committed);
    TestApp& app = *m_app;
    setStock(app, "G1", 30, 6);
    PgProxy proxy(app.dataModule().AdoConn.serverAddress());
    ShopServer::open(app.dataModule().AdoConn, proxy.address());
    TFrmOut w;
    showWindow(w);
    w.cmd_addClick();
    typeLine(w, "G1", 7, 9);
    proxy.cutAt(committed ? PgProxy::Cut::AnswerToCommit : PgProxy::Cut::BeforeCommit);
    w.cmd_saveClick();
    QCOMPARE(app.dialogs().messages.size(), 1);
    if (committed) {
        QCOMPARE(app.dialogs().lastMessage(), SaveIdentity::alreadySaved);
        QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
        QCOMPARE(w.billNoEdit->text(), app.scalar("select bill_no from outmain").toString());
        QCOMPARE(w.lines()->recordCount(), 1);
    } else {
        QVERIFY2(app.dialogs().lastMessage().startsWith("保存失败，本单未保存：与店铺服务器的连接断开了"),
                 qPrintable(app.dialogs().lastMessage()));
        QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
        QCOMPARE(stockQty(app), 30.0);
        w.cmd_saveClick();
        QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    }
    QCOMPARE(stockQty(app), 23.0);
    QCOMPARE(rows(app, "outgoods"), 1);
}

void TestBills::editingTakesTheOldLinesBackOut()
{
    TestApp& app = *m_app;
    setStock(app, "G1", 30, 6);
    TFrmIn w;
    saveBill(w, {{"G1", 10, 8, {}}});
    QCOMPARE(stockQty(app), 40.0);
    QCOMPARE(stockCost(app), 6.5);

    // Saved again unchanged: 40 at 6.50 stays 40 at 6.50.
    w.cmd_editClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    w.cmd_saveClick();
    QCOMPARE(stockQty(app), 40.0);
    QCOMPARE(stockCost(app), 6.5);
    QCOMPARE(rows(app, "inmain"), 1);

    // 10 edited down to 6.
    w.cmd_editClick();
    w.lines()->first();
    w.lines()->setValue("sub_amou", 6);
    w.cmd_saveClick();
    QCOMPARE(stockQty(app), 36.0);
    QCOMPARE(stockCost(app), (30 * 6.0 + 6 * 8.0) / 36);
    QCOMPARE(app.scalar("select shou_tota from inmain").toDouble(), 48.0);
    QCOMPARE(w.totalAmountEdit->text(), QStringLiteral("48"));

    // A sale of 10 edited to 6 ends 4 higher.
    TFrmOut sale;
    saveBill(sale, {{"G1", 10, 9, {}}});
    QCOMPARE(stockQty(app), 26.0);
    sale.cmd_editClick();
    sale.lines()->first();
    sale.lines()->setValue("sub_amou", 6);
    sale.cmd_saveClick();
    QCOMPARE(stockQty(app), 30.0);
    QCOMPARE(stockCost(app), (30 * 6.0 + 6 * 8.0) / 36);
}

void TestBills::unchangedReturnWithLinesOutOfStock()
{
    TestApp& app = *m_app;
    setStock(app, "G1", 8, 5);
    TFrmReturnIn w;
    saveBill(w, {{"G1", 2, 10, "入库"}, {"G1", 3, 10, "不入库"}});
    QCOMPARE(stockQty(app), 10.0);
    QCOMPARE(stockCost(app), 6.0);
    w.cmd_editClick();
    w.cmd_saveClick();
    QCOMPARE(stockQty(app), 10.0);
    QCOMPARE(stockCost(app), 6.0);
    QCOMPARE(app.scalar("select shou_tota from inmain").toDouble(), 50.0);
    w.cmd_deleClick();
    QCOMPARE(app.dialogs().questions.last(), QStringLiteral("此操作将删除本单全部数据，确认删除?"));
    QCOMPARE(stockQty(app), 8.0);
    QCOMPARE(stockCost(app), 5.0);
    QCOMPARE(rows(app, "inmain") + rows(app, "ingoods"), 0);
}

void TestBills::deletingHonoursTheStoredMonth()
{
    TestApp& app = *m_app;
    setStock(app, "G1", 30, 6);
    app.exec("insert into storchek(gods_code,gods_amou,chek_amou,chek_date) values('G1',30,30,'2024-03-31 00:00:00')");
    TFrmOut w;
    saveBill(w, {{"G1", 10, 9, {}}});
    // The picker is moved to an open month; the stored date still rules.
    w.billDateEdit->setDate(QDate(2024, 4, 1));
    w.cmd_deleClick();
    QCOMPARE(app.dialogs().lastMessage(), QStringLiteral("本单所在月份已经盘点，不可删除"));
    QVERIFY(app.dialogs().questions.isEmpty());
    QCOMPARE(rows(app, "outmain"), 1);
    QCOMPARE(stockQty(app), 20.0);

    // A bill of the next month can go; cancelling the question keeps it.
    Clock::setFixed(QDateTime(QDate(2024, 4, 2), QTime(9, 0)));
    const QString april = saveBill(w, {{"G1", 5, 9, {}}});
    QCOMPARE(stockQty(app), 15.0);
    app.dialogs().answers = {false};
    w.cmd_deleClick();
    QCOMPARE(rows(app, "outmain"), 2);
    w.cmd_deleClick();
    QCOMPARE(rows(app, "outmain"), 1);
    QCOMPARE(app.scalar("select count(*) from outgoods where bill_no=:p1", {april}).toInt(), 0);
    QCOMPARE(stockQty(app), 20.0);
    // Nothing is shown any more, and the totals say so.
    QCOMPARE(w.billNoEdit->text(), QString());
    QCOMPARE(w.totalQuantityEdit->text(), QString());
    QCOMPARE(w.amountInWordsEdit->text(), QString());
}

void TestBills::deleteWhileAddingRemovesOneLine()
{
    TestApp& app = *m_app;
    TFrmIn w;
    w.cmd_addClick();
    typeLine(w, "G1", 1, 5);
    typeLine(w, "G2", 2, 20);
    QCOMPARE(w.totalQuantityEdit->text(), QStringLiteral("3"));   // the line being typed counts too
    app.dialogs().answers = {false};
    w.cmd_deleClick();
    QCOMPARE(w.lines()->recordCount(), 2);
    w.cmd_deleClick();
    QCOMPARE(app.dialogs().questions.last(), QStringLiteral("确认删除本条数据?"));
    QCOMPARE(w.lines()->recordCount(), 1);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(w.totalQuantityEdit->text(), QStringLiteral("1"));
    QCOMPARE(w.totalAmountEdit->text(), QStringLiteral("5"));
    w.cmd_saveClick();
    QCOMPARE(app.scalar("select gods_code from ingoods").toString(), QStringLiteral("G1"));
}

void TestBills::cancelRestoresTheStoredBill()
{
    TestApp& app = *m_app;
    TFrmIn w;
    const QString stored = saveBill(w, {{"G1", 10, 8, {}}});
    w.billDateEdit->setDate(QDate(2024, 3, 1));
    app.exec("update inmain set bill_date='2024-03-01 00:00:00'");
    w.cmd_findClick();   // the finder is answered with Cancel: nothing changes
    QCOMPARE(w.billNoEdit->text(), stored);

    w.cmd_editClick();
    w.lines()->first();
    w.lines()->setValue("sub_amou", 3);
    w.lines()->post();
    w.header()->setValue("remark", "改了");
    w.billDateEdit->setDate(QDate(2024, 2, 1));
    QCOMPARE(w.totalQuantityEdit->text(), QStringLiteral("3"));
    w.cmd_cancClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(w.lines()->number("sub_amou"), 10.0);
    QCOMPARE(w.remarkEdit->text(), QString());
    QCOMPARE(w.totalQuantityEdit->text(), QStringLiteral("10"));
    QCOMPARE(w.totalAmountEdit->text(), QStringLiteral("80"));
    QCOMPARE(w.billDateEdit->date(), QDate(2024, 3, 1));

    // A cancelled new bill disappears and the stored one is back.
    w.cmd_addClick();
    typeLine(w, "G2", 1, 1);
    w.cmd_cancClick();
    QCOMPARE(w.billNoEdit->text(), stored);
    QCOMPARE(w.totalQuantityEdit->text(), QStringLiteral("10"));
    QCOMPARE(w.billDateEdit->date(), QDate(2024, 3, 1));
    QCOMPARE(rows(app, "inmain"), 1);
    QCOMPARE(stockQty(app), 10.0);
}

void TestBills::newBillNumberSkipsTakenSeconds()
{
    TestApp& app = *m_app;
    app.exec("insert into outmain(bill_no,bill_type) values(:p1,'retu')", {stamp});
    TFrmIn first;
    first.cmd_addClick();
    QCOMPARE(first.billNoEdit->text(), QStringLiteral("20240305101501"));
    QCOMPARE(first.lines()->text("bill_no"), QStringLiteral("20240305101501"));
    typeLine(first, "G1", 1, 5);
    // Another program takes that second while this bill is typed.
    app.exec("insert into outgoods(bill_no,gods_code) values('20240305101501','G9')");
    first.cmd_saveClick();
    QCOMPARE(first.billNoEdit->text(), QStringLiteral("20240305101502"));
    QCOMPARE(app.scalar("select count(*) from ingoods where bill_no='20240305101502'").toInt(), 1);
    QCOMPARE(app.scalar("select bill_no from inmain").toString(), QStringLiteral("20240305101502"));

    // Two bills in the same second never share lines.
    TFrmOut second;
    const QString sale = saveBill(second, {{"G1", 1, 9, {}}});
    QCOMPARE(sale, QStringLiteral("20240305101503"));
}

void TestBills::enterInGoodsCodeFillsThePrice_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("known");
    QTest::addColumn<QString>("unpriced");   // the price left over 7 by goods without a price

    QTest::newRow("purchase: buying price, none clears") << int(Kind::In) << "5" << "";
    QTest::newRow("sale: selling price, none keeps") << int(Kind::Out) << "9" << "7";
    QTest::newRow("customer return: selling price") << int(Kind::ReturnIn) << "9" << "7";
    QTest::newRow("return to supplier: buying price") << int(Kind::ReturnOut) << "5" << "7";
}

void TestBills::enterInGoodsCodeFillsThePrice()
{
    QFETCH(int, kind);
    QFETCH(QString, known);
    QFETCH(QString, unpriced);
    m_app->exec("insert into goods(gods_code,gods_name) values('G9','无价货品')");
    const auto w = makeWindow(Kind(kind));
    showWindow(*w);
    QApplication::setActiveWindow(w.get());
    w->cmd_addClick();
    ui::DbGrid* grid = w->linesGrid;
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 0));
    typeIntoFocus(QStringLiteral("g1"));
    pressEnter();
    // Typed in another case, the line holds the goods' own code.
    QCOMPARE(w->lines()->text("gods_code"), QStringLiteral("G1"));
    QCOMPARE(w->lines()->text("unit_pric"), known);

    w->lines()->setValue("unit_pric", 7);
    w->lines()->setValue("gods_code", "G9");
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 0));
    pressEnter();
    QCOMPARE(w->lines()->text("unit_pric"), unpriced);

    // Enter on an empty goods code goes on to the remark.
    w->lines()->append();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, 0));
    pressEnter();
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->remarkEdit));
}

void TestBills::numberCellsRefuseWhatIsNoNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("letters refused, not dropped") << QStringLiteral("2x.5y") << QVariant();
    QTest::newRow("exponent refused, not read as 115") << QStringLiteral("1e15") << QVariant();
    QTest::newRow("more decimals than kept") << QStringLiteral("1.234") << QVariant();
    QTest::newRow("full-width digits") << QStringLiteral("２．５") << QVariant(2.5);
}

void TestBills::numberCellsRefuseWhatIsNoNumber()
{
    QFETCH(QString, typed);
    QFETCH(QVariant, stored);
    TFrmIn w;
    showWindow(w);
    QApplication::setActiveWindow(&w);
    w.cmd_addClick();
    ui::DbGrid* grid = w.linesGrid;
    grid->setFocus();
    const int quantityColumn = 9;
    grid->setCurrentIndex(grid->model()->index(0, quantityColumn));
    typeIntoFocus(typed);
    pressEnter();
    QCOMPARE(w.lines()->value(0, w.lines()->fieldIndex("sub_amou")), stored);
    QCOMPARE(m_app->dialogs().messages.isEmpty(), stored.isValid());
}

void TestBills::pickersFillCompanyAndGoods()
{
    TestApp& app = *m_app;
    TFrmReturnout w;
    w.cmd_addClick();
    app.dialogs().onExec = [](QDialog* dialog) {
        if (qobject_cast<TFrmCompFind*>(dialog)) {
            dataModule().CompanyQ->locate("comp_code", "C2");
            return int(QDialog::Accepted);
        }
        if (qobject_cast<TFrmGoodsFind*>(dialog)) {
            dataModule().GoodsFindQ->locate("gods_code", "G2");
            return int(QDialog::Accepted);
        }
        return int(QDialog::Rejected);
    };
    click(w, "BitBtn1");
    QCOMPARE(child<QLineEdit>(w, "DBEdit2")->text(), QStringLiteral("C2"));
    QCOMPARE(w.companyNameEdit->text(), QStringLiteral("东方布行"));
    w.goodsButton->click();
    QCOMPARE(w.lines()->text("gods_code"), QStringLiteral("G2"));
    QCOMPARE(w.lines()->text("gods_name"), QStringLiteral("长裤"));
    w.lines()->setValue("sub_amou", 1);
    w.cmd_saveClick();
    QCOMPARE(app.scalar("select comp_code from outmain").toString(), QStringLiteral("C2"));
    QCOMPARE(stockQty(app, "G2"), -1.0);
}

void TestBills::findersListTheirKindWithinWholeDays()
{
    TestApp& app = *m_app;
    const auto bill = [&](const QString& table, const QString& no, const QString& date, const QString& type,
                          const QString& company) {
        app.exec(QString("insert into %1(bill_no,bill_date,bill_type,comp_code,vouc_no) values(:p1,:p2,:p3,:p4,:p5)")
                     .arg(table),
                 {no, date + " 00:00:00", type, company, "V" + no.right(2)});
    };
    bill("inmain", "20240203000001", "2024-02-03", "in", "C1");   // the day before the range
    bill("inmain", "20240204000002", "2024-02-04", "in", "C1");   // the first day (30 days back)
    bill("inmain", "20240305000003", "2024-03-05", "in", "C2");   // the last day
    bill("inmain", "20240306000004", "2024-03-06", "in", "C1");   // after
    bill("inmain", "20240301000005", "2024-03-01", "retu", "C1");
    bill("outmain", "20240301000006", "2024-03-01", "out", "C1");
    bill("outmain", "20240302000007", "2024-03-02", "retu", "C2");

    const auto listed = [](BillFinder& finder) {
        QStringList numbers;
        for (int row = 0; row < finder.dataset()->recordCount(); ++row)
            numbers << finder.dataset()->value(row, finder.dataset()->fieldIndex("bill_no")).toString();
        return numbers;
    };
    BillFinder::setCurrentKind("in");
    TFrmInFind in;
    QCOMPARE(in.windowTitle(), QStringLiteral("单据查询"));
    QCOMPARE(listed(in), (QStringList{"20240204000002", "20240305000003"}));
    // The company's name shows in its column.
    QCOMPARE(in.billsGrid->model()->index(1, 3).data().toString(), QStringLiteral("东方布行"));

    in.toDateEdit->setDate(QDate(2024, 3, 6));
    in.billNoEdit->setText("20240306000004");
    in.cmd_editClick();
    QCOMPARE(listed(in), QStringList{"20240306000004"});
    in.billNoEdit->clear();
    in.companyNameBox->setEditText("华联商厦");
    in.cmd_editClick();
    QCOMPARE(listed(in), (QStringList{"20240204000002", "20240306000004"}));
    in.companyNameBox->setEditText("没有这家");
    in.cmd_editClick();
    QCOMPARE(listed(in), QStringList());
    in.cmd_saveClick();
    QCOMPARE(in.result(), int(QDialog::Rejected));
    in.companyNameBox->setEditText("");
    in.voucherNoEdit->setText("V03");
    in.cmd_editClick();
    QCOMPARE(listed(in), QStringList{"20240305000003"});
    // Ends typed the wrong way round are swapped, not an empty list.
    in.voucherNoEdit->clear();
    in.fromDateEdit->setDate(QDate(2024, 3, 6));
    in.toDateEdit->setDate(QDate(2024, 3, 5));
    in.cmd_editClick();
    QCOMPARE(listed(in), (QStringList{"20240305000003", "20240306000004"}));
    QCOMPARE(in.fromDateEdit->date(), QDate(2024, 3, 5));

    BillFinder::setCurrentKind("retu");
    TFrmInFind returns;
    QCOMPARE(listed(returns), QStringList{"20240301000005"});
    TFrmOutFind supplierReturns;
    QCOMPARE(supplierReturns.windowTitle(), QStringLiteral("出货单查询"));
    QCOMPARE(listed(supplierReturns), QStringList{"20240302000007"});
    BillFinder::setCurrentKind("out");
    TFrmOutFind sales;
    QCOMPARE(listed(sales), QStringList{"20240301000006"});
}

void TestBills::findingOpensTheBillWithItsTotals()
{
    TestApp& app = *m_app;
    TFrmOut w;
    const QString first = saveBill(w, {{"G1", 2, 9, {}}});
    Clock::setFixed(now.addSecs(60));
    const QString second = saveBill(w, {{"G2", 1, 35, {}}, {"G1", 1, 9, {}}});
    // A return to a supplier that shares the first sale's number (as an older database
    // holds them), read first by the engine: the sales window must still open the sale.
    app.execAsOwner("drop index outmain_bill_no_unique");
    app.exec("insert into outmain(in_id,bill_no,bill_date,bill_type,remark) "
             "values(0,:p1,'2024-03-05 00:00:00','retu','退货')", {first});
    QCOMPARE(w.billNoEdit->text(), second);

    app.dialogs().onExec = [&](QDialog* dialog) {
        auto* finder = qobject_cast<TFrmOutFind*>(dialog);
        if (!finder)
            return int(QDialog::Rejected);
        finder->billsGrid->setCurrentIndex(finder->billsGrid->model()->index(0, 0));
        emit finder->billsGrid->doubleClicked(finder->billsGrid->currentIndex());
        return finder->result();
    };
    w.cmd_findClick();
    QCOMPARE(w.billNoEdit->text(), first);
    QCOMPARE(w.remarkEdit->text(), QString());
    QCOMPARE(w.header()->text("bill_type"), QStringLiteral("out"));
    QCOMPARE(w.totalQuantityEdit->text(), QStringLiteral("2"));
    QCOMPARE(w.totalAmountEdit->text(), QStringLiteral("18"));
    QCOMPARE(w.lines()->recordCount(), 1);
}

void TestBills::outBillPrintOutFillsPages_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("printed");
    QTest::newRow("3 lines fill 10") << 10 << 3 << 10;
    QTest::newRow("13 lines fill 20") << 10 << 13 << 20;
    QTest::newRow("10 lines stay 10") << 10 << 10 << 10;
    QTest::newRow("line count 0 prints the lines") << 0 << 3 << 3;
}

void TestBills::outBillPrintOutFillsPages()
{
    QFETCH(int, lineCount);
    QFETCH(int, lines);
    QFETCH(int, printed);
    TestApp& app = *m_app;
    PrintSettings::current().lineCount = lineCount;
    PrintSettings::current().companyName = QStringLiteral("澜禾服饰");
    PrintSettings::current().pageType = QStringLiteral("自定义");
    PrintSettings::current().pageWidth = 241;
    PrintSettings::current().pageLength = 93;
    TFrmOut w;
    w.cmd_addClick();
    for (int i = 0; i < lines; ++i)
        typeLine(w, i % 2 ? "G1" : "G2", 1, 2.5);
    w.cmd_saveClick();
    PrintedBill result;
    result.title = QStringLiteral("澜禾服饰销售单");
    capturePreview(app, result);
    w.cmd_prinClick();
    QCOMPARE(app.dialogs().messages.size(), 0);
    QCOMPARE(result.lines, printed);
    QCOMPARE(rows(app, "outtemp"), printed);
    QCOMPARE(result.quantity, QString::number(lines));
    QCOMPARE(result.amount, w.totalAmountEdit->text());
    QCOMPARE(result.words, w.amountInWordsEdit->text());
    QCOMPARE(result.page, QSizeF(241, 93));
    // Filler lines print blank: no goods, no subtotal.
    db::Dataset* temp = app.dataModule().OutTempQ;
    const int subtotal = temp->fieldIndex("sub_tota");
    for (int row = 0; row < temp->recordCount(); ++row)
        QCOMPARE(temp->displayText(row, subtotal).isEmpty(), row >= lines);
}

void TestBills::inBillPrintOutTitlesAndTotals()
{
    TestApp& app = *m_app;
    PrintSettings::current().companyName = QStringLiteral("澜禾服饰");
    PrintSettings::current().lineCount = 10;
    const QList<std::pair<Kind, QString>> kinds = {{Kind::In, QStringLiteral("澜禾服饰进货单")},
                                                   {Kind::ReturnIn, QStringLiteral("澜禾服饰顾客退货单")},
                                                   {Kind::ReturnOut, QStringLiteral("澜禾服饰退货厂商单")}};
    for (const auto& [kind, title] : kinds) {
        const auto w = makeWindow(kind);
        saveBill(*w, {{"G1", 3, 1.5, {}}, {"G2", 1, 2, {}}});
        PrintedBill result;
        result.title = title;
        capturePreview(app, result);
        w->cmd_prinClick();
        QCOMPARE(result.lines, kind == Kind::ReturnOut ? 10 : 2);
        QCOMPARE(result.quantity, QStringLiteral("4"));
        QCOMPARE(result.amount, QStringLiteral("6.5"));
        QCOMPARE(result.words, QStringLiteral("陆圆伍角整"));
        if (kind != Kind::ReturnOut) {
            QCOMPARE(result.pages, 1);
            QCOMPARE(result.page, QSizeF(210, 297));
        }
    }
    // With no company name the title is the text alone.
    PrintSettings::current().companyName.clear();
    TFrmOut sale;
    PrintedBill result;
    result.title = QStringLiteral("销售单");
    capturePreview(app, result);
    sale.cmd_prinClick();
    QCOMPARE(result.lines, 0);
    QCOMPARE(ReportLayouts::get<TQRout>().labelText("QRLabel1"), QStringLiteral("销售单"));
}

void TestBills::onlyPagesThatReachThePrinterAreLogged()
{
    TestApp& app = *m_app;
    const auto w = makeWindow(Kind::In);
    const QString billNo = saveBill(*w, {{"G1", 3, 1.5, {}}});
    const QString output = QDir(app.directory()).filePath("bill.pdf");
    // The user presses 打印 in the preview and then cancels or accepts the print dialog.
    QList<bool> accept = {false, true, true};
    app.dialogs().onExec = [&](QDialog* dialog) {
        if (auto* preview = qobject_cast<ReportPreview*>(dialog)) {
            preview->print();
            return int(QDialog::Rejected);
        }
        auto* print = qobject_cast<QPrintDialog*>(dialog);
        if (!print || accept.isEmpty() || !accept.takeFirst())
            return int(QDialog::Rejected);
        print->printer()->setOutputFormat(QPrinter::PdfFormat);
        print->printer()->setOutputFileName(output);
        return int(QDialog::Accepted);
    };
    const auto prints = [&app, &billNo] {
        QStringList actions;
        for (const char* action : {"打印", "重印"})
            for (int n = app.scalar("select count(*) from oper_log where log_key=:p1 and act_name=:p2",
                                    {billNo, QString::fromUtf8(action)}).toInt(); n > 0; --n)
                actions << QString::fromUtf8(action);
        return actions;
    };
    w->cmd_prinClick();
    QVERIFY(prints().isEmpty());
    QVERIFY(!QFile::exists(output));
    w->cmd_prinClick();
    QCOMPARE(prints(), QStringList({"打印"}));
    QVERIFY(QFile::exists(output));
    w->cmd_prinClick();
    QCOMPARE(prints(), QStringList({"打印", "重印"}));
    QVERIFY(accept.isEmpty());
    QCOMPARE(app.dialogs().messages.size(), 0);
}

void TestBills::rightsClosingAndHooks()
{
    TestApp& app = *m_app;
    db::Dataset* lines = app.dataModule().InGoodsQ;
    const int hooksBefore = lines->hookCount();
    {
        // Purchase rights at position 7 only for adding.
        QString rights(25, QLatin1Char('1'));
        rights[6] = QLatin1Char('0');
        app.setRights(rights);
        CurrentRights::current().add[6] = QLatin1Char('1');
        TFrmIn w;
        QVERIFY(w.cmd_add->isEnabled());
        QVERIFY(!w.cmd_edit->isEnabled());
        QVERIFY(!w.cmd_dele->isEnabled());
        QVERIFY(!w.cmd_find->isEnabled());
        QVERIFY(!w.cmd_prin->isEnabled());
        QVERIFY(!w.cmd_save->isEnabled());
        showWindow(w);
        w.cmd_addClick();
        QVERIFY(w.cmd_dele->isEnabled());
        QVERIFY(w.cmd_save->isEnabled());
        QVERIFY(!w.cmd_exit->isEnabled());
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        w.cmd_cancClick();
        QVERIFY(w.close());
        QVERIFY(lines->hookCount() > hooksBefore);
    }
    QCOMPARE(lines->hookCount(), hooksBefore);
    // No hook of the closed window runs: a new line gets no bill number stamped.
    lines->append();
    QVERIFY(lines->isNull("bill_no"));
    lines->cancel();
}

void TestBills::currencyFillsTheRateAndListsMoveOnToTheLines()
{
    TestApp& app = *m_app;
    app.exec("insert into baseitem(mone_code,mone_type,mone_rate) values('02','美元',7.1)");
    app.exec("insert into baseitem(fee_code,fee_type) values('01','现金')");
    TFrmOut sale;
    showWindow(sale);
    QApplication::setActiveWindow(&sale);
    sale.cmd_addClick();
    QCOMPARE(sale.currencyBox->findText("美元"), 0);
    sale.currencyBox->setCurrentIndex(0);
    QCOMPARE(sale.rateEdit->text(), QStringLiteral("7.1"));
    // Enter in the sales window's currency list goes on to the lines.
    sale.currencyBox->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(sale.linesGrid));
    typeLine(sale, "G1", 1, 9);
    sale.cmd_saveClick();
    QCOMPARE(app.scalar("select mone_rate from outmain").toDouble(), 7.1);
    QCOMPARE(app.scalar("select mone_type from outmain").toString(), QStringLiteral("美元"));

    // In the return windows any key in the settlement list does.
    TFrmReturnIn returns;
    showWindow(returns);
    QApplication::setActiveWindow(&returns);
    returns.cmd_addClick();
    returns.settlementBox->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(returns.linesGrid));
    returns.cmd_cancClick();
}

QTEST_MAIN(TestBills)
// The window's part of the limit: the message, the refusal without the right,
// the question (default No) with it; the figures are the module's.
void TestBills::saleOverTheCreditLimitNeedsTheRight()
{
    TestApp& app = *m_app;
    app.exec("update company set cred_limit=100 where comp_code='C1'");
    TFrmOut w;
    const auto sell = [&w](double price) {
        w.cmd_addClick();
        w.header()->setValue("comp_code", "C1");
        typeLine(w, "G1", 1, price, {});
        w.cmd_saveClick();
    };
    sell(60);
    sell(40);   // exactly at the limit
    QCOMPARE(rows(app, "outmain"), 2);
    QCOMPARE(app.dialogs().messages.size(), 0);

    QString withoutLimit(Function::Count, '1');
    withoutLimit[Function::SaleOverCreditLimit - 1] = '0';
    app.setRights(withoutLimit);
    sell(0.01);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(rows(app, "outmain"), 2);
    const QString refusal = app.dialogs().lastMessage();
    QVERIFY2(refusal.contains("信用额度 100") && refusal.contains("已欠款 100") && refusal.contains("本单欠款 0.01"),
             qPrintable(refusal));
    QVERIFY(refusal.contains("超信用额度销售"));
    w.cmd_cancClick();

    app.setRights(QString(Function::Count, '1'));
    app.dialogs().answers = {false};
    sell(5);
    QCOMPARE(app.dialogs().questionDefaults.last(), ui::Dialogs::Default::Cancel);
    QCOMPARE(rows(app, "outmain"), 2);
    app.dialogs().answers = {true};
    w.cmd_saveClick();
    QCOMPARE(rows(app, "outmain"), 3);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
}

#include "tst_bills.moc"
