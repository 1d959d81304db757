// The scan box of a window: a scanner's burst (keys 2 ms apart, then Enter)
// lands in it wherever the focus is, a person's typing reaches the focused box
// as typed, and the box lets the keyboard out. Keys carry their timestamps, so
// nothing here depends on how fast the machine runs.
#include "WindowDriver.h"

#include "app/Application.h"
#include "ui/ScanBar.h"
#include "ui/ScanBurst.h"

#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

using WindowDriver::keyAt;
using WindowDriver::scanAt;
using WindowDriver::typeAt;

namespace {

struct Window {
    QDialog dialog;
    QLineEdit* voucher = new QLineEdit(&dialog);
    QDateEdit* date = new QDateEdit(QDate(2024, 3, 5), &dialog);
    ui::ScanBar* bar = new ui::ScanBar(&dialog);
    QLineEdit* remark = new QLineEdit(&dialog);

    Window()
    {
        auto* layout = new QVBoxLayout(&dialog);
        for (QWidget* w : {static_cast<QWidget*>(voucher), static_cast<QWidget*>(date), static_cast<QWidget*>(bar),
                           static_cast<QWidget*>(remark)})
            layout->addWidget(w);
        bar->setEscapeTarget(voucher);
        WindowDriver::showWindow(dialog);
        QApplication::setActiveWindow(&dialog);
    }
};

} // namespace

class TestScanBar : public QObject {
    Q_OBJECT

private slots:
    void aBurstLandsInTheBoxWhereverTheFocusIs_data();
    void aBurstLandsInTheBoxWhereverTheFocusIs();
    void typingReachesTheFocusedBoxAsTyped();
    void aHeldKeyArrivesWhenTheTypingPauses();
    void tabAndEscapeLeaveTheBox();
    void refusalsStayInViewAfterAGoodScan();
};

void TestScanBar::aBurstLandsInTheBoxWhereverTheFocusIs_data()
{
    QTest::addColumn<QString>("focus");
    QTest::newRow("voucher box") << "voucher";
    QTest::newRow("date box") << "date";
    QTest::newRow("scan box") << "box";
}

void TestScanBar::aBurstLandsInTheBoxWhereverTheFocusIs()
{
    QFETCH(QString, focus);
    Window w;
    w.voucher->setText(QStringLiteral("V1"));
    QWidget* start = focus == QLatin1String("voucher") ? static_cast<QWidget*>(w.voucher)
                     : focus == QLatin1String("date")  ? static_cast<QWidget*>(w.date)
                                                       : static_cast<QWidget*>(w.bar->box());
    start->setFocus();
    QSignalSpy scanned(w.bar, &ui::ScanBar::scanned);
    quint64 clock = 1000;
    // A scanner's Tab before the code is no move.
    keyAt(Qt::Key_Tab, QStringLiteral("\t"), clock);
    scanAt(QStringLiteral("690123456789"), clock);
    scanAt(QStringLiteral("20000008"), clock);
    QCOMPARE(scanned.size(), 2);
    QCOMPARE(scanned.at(0).at(0).toString(), QStringLiteral("690123456789"));
    QCOMPARE(scanned.at(1).at(0).toString(), QStringLiteral("20000008"));
    QCOMPARE(w.voucher->text(), QStringLiteral("V1"));
    QCOMPARE(w.date->date(), QDate(2024, 3, 5));
    QCOMPARE(QApplication::focusWidget(), w.bar->box());
    QVERIFY(w.bar->box()->text().isEmpty());
}

void TestScanBar::typingReachesTheFocusedBoxAsTyped()
{
    Window w;
    QSignalSpy scanned(w.bar, &ui::ScanBar::scanned);
    w.voucher->setFocus();
    quint64 clock = 1000;
    // A person, 150 ms a key; then Enter moves on as everywhere.
    typeAt(QStringLiteral("A-17"), clock, 150);
    keyAt(Qt::Key_Return, QStringLiteral("\r"), clock += 150);
    QCOMPARE(w.voucher->text(), QStringLiteral("A-17"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.date));
    // Two keys struck together and Enter at once are still typing: too short for a code.
    w.voucher->setFocus();
    w.voucher->clear();
    typeAt(QStringLiteral("12"), clock += 1000, 5);
    keyAt(Qt::Key_Return, QStringLiteral("\r"), clock += 5);
    QCOMPARE(w.voucher->text(), QStringLiteral("12"));
    // A key the program makes carries no time and is never held back.
    w.remark->setFocus();
    QTest::keyClicks(w.remark, QStringLiteral("abc"));
    QCOMPARE(w.remark->text(), QStringLiteral("abc"));
    QCOMPARE(scanned.size(), 0);
}

void TestScanBar::aHeldKeyArrivesWhenTheTypingPauses()
{
    Window w;
    w.voucher->setFocus();
    keyAt(Qt::Key_7, QStringLiteral("7"), 1000);
    // Held until it is clear that no burst follows.
    QCOMPARE(w.voucher->text(), QString());
    QTRY_COMPARE(w.voucher->text(), QStringLiteral("7"));
}

void TestScanBar::tabAndEscapeLeaveTheBox()
{
    Window w;
    QLineEdit* box = w.bar->box();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.remark));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(QApplication::focusWidget() != box);
    // A person's Tab, which no code follows, leaves too, a moment later.
    box->setFocus();
    keyAt(Qt::Key_Tab, QStringLiteral("\t"), 1000);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.remark));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.voucher));
    QVERIFY(w.dialog.isVisible());
    // F2 from anywhere comes back.
    QTest::keyClick(w.remark, Qt::Key_F2);
    QCOMPARE(QApplication::focusWidget(), box);
}

void TestScanBar::refusalsStayInViewAfterAGoodScan()
{
    Window w;
    w.bar->tell(QStringLiteral("条码“9990001112223”未找到"), true);
    w.bar->tell(QStringLiteral("T1 × 1"));
    QCOMPARE(w.bar->banner()->text(), QStringLiteral("T1 × 1"));
    QVERIFY(w.bar->refusals()->isVisible());
    QVERIFY(w.bar->refusals()->text().contains(QStringLiteral("条码“9990001112223”未找到")));
    for (int i = 1; i <= 4; ++i)
        w.bar->tell(QStringLiteral("条码“%1”未找到").arg(i), true);
    // The newest few, newest first.
    QVERIFY(w.bar->refusals()->text().contains(QStringLiteral("“4”")));
    QVERIFY(!w.bar->refusals()->text().contains(QStringLiteral("9990001112223")));
    w.bar->tell({});
    QVERIFY(!w.bar->refusals()->isVisible());
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    TestScanBar test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_scanbar.moc"
