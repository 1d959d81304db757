// A hand scanner in the bill windows: codes typed at 2 ms a key and ended with
// Enter, under the program's own application object (Enter acts as Tab). The
// keys carry their timestamps, so a scan is told from typing the same way on
// any machine.
#include "BillWindows.h"
#include "TestSupport.h"
#include "WindowDriver.h"

#include "app/Application.h"
#include "core/Clock.h"
#include "db/Dataset.h"
#include "reports/ReportLayouts.h"
#include "bills/BillLabels.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <memory>

class TestBillScan : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void twoScansMakeOneLineOfTwo_data();
    void twoScansMakeOneLineOfTwo();
    void unknownCodeShowsABannerAndKeepsTheFocus();
    void scansQueuedFasterThanTheWindowAreNeitherLostNorMerged();
    void scanOutsideAddingChangesNothing();
    void codeColumnTakesABarcode();
    void aScanLandsOnceWhereverTheFocusIs_data();
    void aScanLandsOnceWhereverTheFocusIs();
    void bannerShowsTheQuantityAsStored();
    void refusalsOnTheScanPathAreNeverModal();
    void escapeInTheScanBoxGoesToTheLines();
    void cancelAsksOnlyWhenSomethingWasEntered();
    void aDateMovedMoreThanAYearAsksBeforeSaving();
    void labelsAreReachedAndChosenByKeyboard();

private:
    // A scanner: each character a key 2 ms after the last, then Enter, into whatever has the focus.
    void scan(const QString& code);

    std::unique_ptr<TestApp> m_app;
    std::unique_ptr<QObject> m_reports;
    quint64 m_clock = 1000;   // the keyboard's time, in milliseconds
};

namespace {

QLineEdit* scanBox(BillWindow& w)
{
    return WindowDriver::child<QLineEdit>(w, "ScanBox");
}

QString banner(BillWindow& w)
{
    auto* label = WindowDriver::child<QLabel>(w, "ScanBanner");
    return label->isVisible() ? label->text() : QString();
}

QString refusals(BillWindow& w)
{
    auto* label = WindowDriver::child<QLabel>(w, "ScanRefusals");
    return label->isVisible() ? label->text() : QString();
}

// Every header value and the date as the window shows them.
QVariantList headerOf(BillWindow& w)
{
    QVariantList values{w.billDateEdit->date()};
    for (int i = 0; i < w.header()->fieldCount(); ++i)
        values << w.header()->value(w.header()->field(i).name);
    return values;
}

// Quantity per goods code over the bill's lines.
QMap<QString, double> linesOf(BillWindow& w)
{
    QMap<QString, double> lines;
    db::Dataset* d = w.lines();
    for (int row = 0; row < d->recordCount(); ++row) {
        const QString code = d->value(row, d->fieldIndex(QStringLiteral("gods_code"))).toString();
        if (!code.isEmpty())
            lines[code] += d->value(row, d->fieldIndex(QStringLiteral("sub_amou"))).toDouble();
    }
    return lines;
}

void startScanning(BillWindow& w)
{
    WindowDriver::showWindow(w);
    QApplication::setActiveWindow(&w);
    w.cmd_addClick();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    QCOMPARE(QApplication::focusWidget(), scanBox(w));
}

} // namespace

void TestBillScan::init()
{
    Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(10, 15)));
    m_app = std::make_unique<TestApp>();
    m_reports = std::make_unique<QObject>();
    ReportLayouts::createAll(m_reports.get());
    for (int i = 1; i <= 5; ++i)
        m_app->exec("insert into goods(gods_code,gods_name,valu_in,valu_out,bar_code) values(:p1,:p2,:p3,:p4,:p5)",
                    {QStringLiteral("T%1").arg(i), QStringLiteral("货品%1").arg(i), 10 + i, 20 + i,
                     QStringLiteral("200000000%1").arg(i)});
}

void TestBillScan::cleanup()
{
    m_reports.reset();
    m_app.reset();
    Clock::setFixed({});
    m_clock += 10000;
}

void TestBillScan::scan(const QString& code)
{
    WindowDriver::scanAt(code, m_clock);
}

void TestBillScan::twoScansMakeOneLineOfTwo_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("price");
    QTest::newRow("进货") << int(Kind::In) << 11.0;
    QTest::newRow("销售") << int(Kind::Out) << 21.0;
    QTest::newRow("顾客退货") << int(Kind::ReturnIn) << 21.0;
    QTest::newRow("退货给厂商") << int(Kind::ReturnOut) << 11.0;
}

void TestBillScan::twoScansMakeOneLineOfTwo()
{
    QFETCH(int, kind);
    QFETCH(double, price);
    std::unique_ptr<BillWindow> w = makeWindow(Kind(kind));
    startScanning(*w);
    // A Tab the scanner sends before the code is no move.
    WindowDriver::keyAt(Qt::Key_Tab, QStringLiteral("\t"), m_clock += 500);
    scan(QStringLiteral("2000000001"));
    scan(QStringLiteral("2000000001"));
    QCOMPARE(QApplication::focusWidget(), scanBox(*w));
    db::Dataset* lines = w->lines();
    QCOMPARE(lines->recordCount(), 1);
    QCOMPARE(lines->text(QStringLiteral("gods_code")), QStringLiteral("T1"));
    QCOMPARE(lines->number(QStringLiteral("sub_amou")), 2.0);
    QCOMPARE(lines->number(QStringLiteral("unit_pric")), price);
    QCOMPARE(w->totalQuantityEdit->text(), QStringLiteral("2"));
}

void TestBillScan::unknownCodeShowsABannerAndKeepsTheFocus()
{
    std::unique_ptr<BillWindow> w = makeWindow(Kind::Out);
    startScanning(*w);
    scan(QStringLiteral("T2"));   // a goods code scans too
    scan(QStringLiteral("6901234567892"));
    QCOMPARE(banner(*w), QStringLiteral("条码“6901234567892”未找到"));
    QCOMPARE(QApplication::focusWidget(), scanBox(*w));
    QCOMPARE(linesOf(*w), (QMap<QString, double>{{QStringLiteral("T2"), 1}}));
    QVERIFY(m_app->dialogs().messages.isEmpty());
    // The next scan goes on where the unknown one left off.
    scan(QStringLiteral("2000000002"));
    QCOMPARE(linesOf(*w), (QMap<QString, double>{{QStringLiteral("T2"), 2}}));
    QVERIFY(!banner(*w).contains(QStringLiteral("未找到")));
}

void TestBillScan::scansQueuedFasterThanTheWindowAreNeitherLostNorMerged()
{
    std::unique_ptr<BillWindow> w = makeWindow(Kind::Out);
    startScanning(*w);
    // 20 scans of 5 goods, every key queued before the window handles the first.
    const int pattern[] = {1, 2, 3, 1, 4, 5, 1, 2, 2, 3, 5, 1, 4, 4, 2, 1, 3, 5, 1, 2};
    QMap<QString, double> expected;
    QLineEdit* box = scanBox(*w);
    for (const int goods : pattern) {
        expected[QStringLiteral("T%1").arg(goods)] += 1;
        for (const QChar c : QStringLiteral("200000000%1").arg(goods))
            QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key(c.unicode()), Qt::NoModifier, c));
        QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    }
    QCoreApplication::processEvents();
    QCOMPARE(linesOf(*w), expected);
    QCOMPARE(w->lines()->recordCount(), 5);
    QCOMPARE(w->totalQuantityEdit->text(), QStringLiteral("20"));

    w->cmd_saveClick();
    QCOMPARE(m_app->scalar("select count(*) from outgoods").toInt(), 5);
    QCOMPARE(m_app->scalar("select sub_amou from outgoods where gods_code='T1'").toDouble(), 6.0);
}

void TestBillScan::scanOutsideAddingChangesNothing()
{
    std::unique_ptr<BillWindow> w = makeWindow(Kind::In);
    WindowDriver::showWindow(*w);
    QApplication::setActiveWindow(w.get());
    QTest::keyClick(w.get(), Qt::Key_F2);
    scan(QStringLiteral("2000000001"));
    QVERIFY(banner(*w).contains(QStringLiteral("请先按“新增”")));
    QCOMPARE(w->lines()->recordCount(), 0);
    QVERIFY(!w->lines()->hasPendingChanges());
}

void TestBillScan::codeColumnTakesABarcode()
{
    std::unique_ptr<BillWindow> w = makeWindow(Kind::In);
    WindowDriver::showWindow(*w);
    QApplication::setActiveWindow(w.get());
    w->cmd_addClick();
    // A person types the barcode under the label into the first line's code cell, where 新增 left the focus.
    QCOMPARE(QApplication::focusWidget(), w->linesGrid);
    QCOMPARE(w->linesGrid->currentIndex().column(), 0);
    WindowDriver::typeAt(QStringLiteral("2000000003"), m_clock, 150);
    WindowDriver::keyAt(Qt::Key_Return, QStringLiteral("\r"), m_clock += 150);
    QCOMPARE(w->linesGrid->currentIndex().column(), 8);
    QCOMPARE(w->lines()->text(QStringLiteral("gods_code")), QStringLiteral("T3"));
    QCOMPARE(w->lines()->number(QStringLiteral("unit_pric")), 13.0);
    // A label of a short goods code, read by the scanner into the next line's code cell.
    WindowDriver::keyAt(Qt::Key_Return, QStringLiteral("\r"), m_clock += 150);
    WindowDriver::typeAt(QStringLiteral("1"), m_clock += 150, 150);
    WindowDriver::keyAt(Qt::Key_Return, QStringLiteral("\r"), m_clock += 150);
    QCOMPARE(w->linesGrid->currentIndex(), w->linesGrid->model()->index(1, 0));
    WindowDriver::scanAt(QStringLiteral("T2"), m_clock);
    QCOMPARE(w->linesGrid->currentIndex(), w->linesGrid->model()->index(1, 8));
    QCOMPARE(w->lines()->text(QStringLiteral("gods_code")), QStringLiteral("T2"));
}

void TestBillScan::aScanLandsOnceWhereverTheFocusIs_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("focus");
    const QList<std::pair<Kind, const char*>> kinds = {
        {Kind::In, "进货"}, {Kind::Out, "销售"}, {Kind::ReturnIn, "顾客退货"}, {Kind::ReturnOut, "退货给厂商"}};
    for (const auto& [kind, name] : kinds)
        for (const char* focus : {"date", "code", "quantity", "box"})
            QTest::addRow("%s %s", name, focus) << int(kind) << QString::fromLatin1(focus);
}

// Right after 新增 a scanner does not know where the focus is: whatever has it,
// the bill's header stays as it was and each scan adds one piece, once, never
// changing the goods of a filled line.
void TestBillScan::aScanLandsOnceWhereverTheFocusIs()
{
    QFETCH(int, kind);
    QFETCH(QString, focus);
    std::unique_ptr<BillWindow> w = makeWindow(Kind(kind));
    WindowDriver::showWindow(*w);
    QApplication::setActiveWindow(w.get());
    w->cmd_addClick();
    db::Dataset* lines = w->lines();
    lines->setValue(QStringLiteral("gods_code"), QStringLiteral("T1"));
    lines->setValue(QStringLiteral("unit_pric"), 99);
    lines->setValue(QStringLiteral("sub_amou"), 5);
    lines->post();
    const QVariantList header = headerOf(*w);
    ui::DbGrid* grid = w->linesGrid;
    if (focus == QLatin1String("date")) {
        w->billDateEdit->setFocus();
    } else if (focus == QLatin1String("code")) {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 0));
    } else if (focus == QLatin1String("quantity")) {
        grid->setFocus();
        QVERIFY(grid->editCell(0, 9, QStringLiteral("5")));
    } else {
        scanBox(*w)->setFocus();
    }

    scan(QStringLiteral("2000000002"));
    scan(QStringLiteral("2000000002"));
    scan(QStringLiteral("2000000001"));
    QCOMPARE(headerOf(*w), header);
    QCOMPARE(linesOf(*w), (QMap<QString, double>{{QStringLiteral("T1"), 6}, {QStringLiteral("T2"), 2}}));
    QCOMPARE(lines->value(0, lines->fieldIndex(QStringLiteral("unit_pric"))).toDouble(), 99.0);
    QVERIFY(m_app->dialogs().messages.isEmpty());
    QCOMPARE(QApplication::focusWidget(), scanBox(*w));
}

void TestBillScan::bannerShowsTheQuantityAsStored()
{
    std::unique_ptr<BillWindow> w = makeWindow(Kind::Out);
    startScanning(*w);
    db::Dataset* lines = w->lines();
    lines->setValue(QStringLiteral("gods_code"), QStringLiteral("T1"));
    lines->setValue(QStringLiteral("sub_amou"), 1.5);
    lines->post();
    scan(QStringLiteral("2000000001"));
    QCOMPARE(banner(*w), QStringLiteral("T1 × 2.5"));
}

// A refusal on the scan path is a beep and the banner, and stays in view after the next good scan.
void TestBillScan::refusalsOnTheScanPathAreNeverModal()
{
    std::unique_ptr<BillWindow> w = makeWindow(Kind::Out);
    WindowDriver::showWindow(*w);
    QApplication::setActiveWindow(w.get());
    w->cmd_addClick();
    scan(QStringLiteral("2000000001"));
    // A scan into an open quantity editor.
    w->linesGrid->setFocus();
    QVERIFY(w->linesGrid->editCell(0, 9, QStringLiteral("1")));
    scan(QStringLiteral("6901234567892"));
    QCOMPARE(banner(*w), QStringLiteral("条码“6901234567892”未找到"));
    scan(QStringLiteral("2000000001"));
    QCOMPARE(banner(*w), QStringLiteral("T1 × 2"));
    QVERIFY(refusals(*w).contains(QStringLiteral("条码“6901234567892”未找到")));
    QVERIFY(m_app->dialogs().messages.isEmpty());
    QCOMPARE(linesOf(*w), (QMap<QString, double>{{QStringLiteral("T1"), 2}}));
    // A new bill starts with none.
    w->cmd_cancClick();
    w->cmd_addClick();
    QVERIFY(refusals(*w).isEmpty());
}

void TestBillScan::escapeInTheScanBoxGoesToTheLines()
{
    std::unique_ptr<BillWindow> w = makeWindow(Kind::In);
    startScanning(*w);
    scan(QStringLiteral("2000000001"));
    scan(QStringLiteral("2000000002"));
    QTest::keyClick(scanBox(*w), Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), w->linesGrid);
    QCOMPARE(w->linesGrid->currentIndex().row(), w->lines()->currentRow());
    QCOMPARE(w->lines()->text(QStringLiteral("gods_code")), QStringLiteral("T2"));
    QVERIFY(w->isVisible());
}

void TestBillScan::cancelAsksOnlyWhenSomethingWasEntered()
{
    ScriptedDialogs& dialogs = m_app->dialogs();
    std::unique_ptr<BillWindow> w = makeWindow(Kind::Out);
    startScanning(*w);
    // Nothing entered: nothing to lose, no question.
    QTest::keyClick(w.get(), Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(w->mode(), ui::ModeWindow::Mode::Browsing);
    QVERIFY(dialogs.questions.isEmpty());

    const QString question = QStringLiteral("本单已输入的内容将不保存，确认取消吗？");
    for (const QString& what : {QStringLiteral("scan"), QStringLiteral("voucher")}) {
        w->cmd_addClick();
        if (what == QLatin1String("scan"))
            scan(QStringLiteral("2000000001"));
        else
            w->header()->setValue(QStringLiteral("vouc_no"), QStringLiteral("V7"));
        dialogs.answers = {false};
        QTest::keyClick(w.get(), Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(dialogs.questions.size(), 1);
        QCOMPARE(dialogs.questions.last(), question);
        QCOMPARE(dialogs.questionDefaults.last(), ui::Dialogs::Default::Cancel);
        // 否 keeps the bill as entered.
        QCOMPARE(w->mode(), ui::ModeWindow::Mode::Adding);
        QCOMPARE(w->header()->text(QStringLiteral("vouc_no")).isEmpty(), what == QLatin1String("scan"));
        QCOMPARE(linesOf(*w).isEmpty(), what == QLatin1String("voucher"));
        dialogs.answers = {true};
        w->cmd_cancClick();
        QCOMPARE(w->mode(), ui::ModeWindow::Mode::Browsing);
        dialogs.clear();
    }
    QCOMPARE(m_app->scalar("select count(*) from outmain").toInt(), 0);
}

void TestBillScan::aDateMovedMoreThanAYearAsksBeforeSaving()
{
    ScriptedDialogs& dialogs = m_app->dialogs();
    std::unique_ptr<BillWindow> w = makeWindow(Kind::Out);
    startScanning(*w);
    scan(QStringLiteral("2000000001"));
    w->billDateEdit->setDate(QDate(2000, 8, 10));
    dialogs.answers = {false};
    w->cmd_saveClick();
    QCOMPARE(dialogs.questions.size(), 1);
    QVERIFY(dialogs.questions.last().contains(QStringLiteral("2000年8月10日")));
    QCOMPARE(dialogs.questionDefaults.last(), ui::Dialogs::Default::Cancel);
    QCOMPARE(w->mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->billDateEdit));
    QCOMPARE(m_app->scalar("select count(*) from outmain").toInt(), 0);

    // Within a year either way: saved without a question.
    dialogs.clear();
    w->billDateEdit->setDate(QDate(2023, 3, 6));
    w->cmd_saveClick();
    QVERIFY(dialogs.questions.isEmpty());
    QCOMPARE(m_app->scalar("select bill_date from outmain").toDate(), QDate(2023, 3, 6));
}

// 打印标签 of a saved purchase: Tab reaches it, Alt+L opens its menu and the first Enter takes 每件一张.
void TestBillScan::labelsAreReachedAndChosenByKeyboard()
{
    TFrmIn w;
    WindowDriver::showWindow(w);
    QApplication::setActiveWindow(&w);
    QVERIFY(w.labels->focusPolicy() & Qt::TabFocus);
    QSignalSpy asked(w.labels, &BillLabels::asked);
    // The menu runs its own loop: Enter is pressed in it as soon as it shows.
    QTimer enter;
    enter.setInterval(20);
    connect(&enter, &QTimer::timeout, &enter, [&enter] {
        if (QWidget* menu = QApplication::activePopupWidget()) {
            enter.stop();
            QTest::keyClick(menu, Qt::Key_Return);
        }
    });
    enter.start();
    QTest::keyClick(&w, Qt::Key_L, Qt::AltModifier);
    QTRY_COMPARE(asked.size(), 1);
    QCOMPARE(asked.first().first().toBool(), true);
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    TestBillScan test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_billscan.moc"
