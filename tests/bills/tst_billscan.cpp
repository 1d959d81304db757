// A hand scanner in the bill windows: codes typed at 5 ms a key and ended with
// Enter, under the program's own application object (Enter acts as Tab).
#include "BillWindows.h"
#include "TestSupport.h"
#include "WindowDriver.h"

#include "app/Application.h"
#include "core/Clock.h"
#include "db/Dataset.h"
#include "reports/ReportLayouts.h"
#include "ui/DbGrid.h"

#include <QLabel>
#include <QLineEdit>
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

private:
    std::unique_ptr<TestApp> m_app;
    std::unique_ptr<QObject> m_reports;
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

// A scanner: each character a key 5 ms after the last, then Enter, into whatever has the focus.
void scan(const QString& code)
{
    for (const QChar c : code)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1(), Qt::NoModifier, 5);
    // Enter may close the cell editor that took it: the release goes to whatever has the focus then.
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Return, Qt::NoModifier, 5);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);
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
    // A Tab the scanner sends before the code is not a move.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    scan(QStringLiteral("2000000001"));
    scan(QStringLiteral("2000000001"));
    QCOMPARE(QApplication::focusWidget(), scanBox(*w));
    db::Dataset* lines = w->lines();
    QCOMPARE(lines->recordCount(), 1);
    QCOMPARE(lines->text(QStringLiteral("gods_code")), QStringLiteral("T1"));
    QCOMPARE(lines->number(QStringLiteral("sub_amou")), 2.0);
    QCOMPARE(lines->number(QStringLiteral("unit_pric")), price);
    QCOMPARE(w->Edit1->text(), QStringLiteral("2"));
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
    QCOMPARE(w->Edit1->text(), QStringLiteral("20"));

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
    w->DBGrid1->setFocus();
    w->DBGrid1->setCurrentIndex(w->DBGrid1->model()->index(0, 0));
    scan(QStringLiteral("2000000003"));
    QCOMPARE(w->lines()->text(QStringLiteral("gods_code")), QStringLiteral("T3"));
    QCOMPARE(w->lines()->number(QStringLiteral("unit_pric")), 13.0);
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    TestBillScan test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_billscan.moc"
