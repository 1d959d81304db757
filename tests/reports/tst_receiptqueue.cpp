// Till receipts through a real CUPS queue: the test fixture's own cupsd with a
// queue "till" whose device is a file. What the file receives is what a
// receipt printer on that queue would print.
#include "EscPosReader.h"

#include "reports/EscPosReceipt.h"
#include "reports/ReceiptPrinter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QtTest>

namespace {

shop::Receipt receipt(const QString& number, bool cash)
{
    shop::Receipt r;
    r.shopName = QStringLiteral("衣恋服饰");
    r.number = number;
    r.when = QDateTime(QDate(2026, 12, 11), QTime(9, 30));
    r.cashier = QStringLiteral("王丽");
    r.lines = {{QStringLiteral("短袖衬衫 白 XL"), 1, 59, 59}};
    r.total = 59;
    r.payments = {{cash ? QStringLiteral("现金") : QStringLiteral("微信"), cash ? 100.0 : 59.0}};
    r.change = cash ? 41 : 0;
    r.cashTaken = cash;
    return r;
}

} // namespace

class TestReceiptQueue : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void receiptsReachTheQueuesDevice();
    void stoppedQueueIsSaidAndGetsNothing();

private:
    // The device file once it ends with `bytes`, or what it held when waiting ran out.
    QByteArray waitForDevice(const QByteArray& bytes);
    void queue(const char* command);

    QDir m_dir;
    ReceiptPrinterSettings m_settings;
};

void TestReceiptQueue::initTestCase()
{
    const QString dir = qEnvironmentVariable("BROVANTA_TEST_CUPS");
    if (dir.isEmpty() || !QFileInfo::exists(dir + QStringLiteral("/cups.sock")))
        QSKIP("no test CUPS server: cups, cups-client and cups-bsd are not installed (scripts/install-deps.sh "
              "installs them) or the test ran without its fixture (ctest -R 'cups_server|tst_receiptqueue')");
    m_dir = QDir(dir);
    qputenv("CUPS_SERVER", m_dir.filePath(QStringLiteral("cups.sock")).toLocal8Bit());
    m_settings.output = ReceiptPrinterSettings::Output::Queue;
    m_settings.target = QStringLiteral("till");
    m_settings.paperMm = 58;
}

QByteArray TestReceiptQueue::waitForDevice(const QByteArray& bytes)
{
    QByteArray held;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 15000) {
        QFile device(m_dir.filePath(QStringLiteral("till.out")));
        if (device.open(QIODevice::ReadOnly)) {
            held = device.readAll();
            if (held.endsWith(bytes))
                return held;
        }
        QTest::qWait(50);
    }
    return held;
}

void TestReceiptQueue::queue(const char* command)
{
    QProcess p;
    p.start(QString::fromLatin1(command), {QStringLiteral("till")});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
}

void TestReceiptQueue::receiptsReachTheQueuesDevice()
{
    const ReceiptPrinter printer(m_settings);
    const shop::Receipt cash = receipt(QStringLiteral("XS202612110001"), true);
    QCOMPARE(printer.print(cash), QString());
    const QByteArray sent = EscPosReceipt::bytes(cash, 32);
    QVERIFY(waitForDevice(sent).endsWith(sent));

    const EscPosReader printed(sent);
    QVERIFY(printed.fault.isEmpty());
    QCOMPARE(printed.barcodes, QStringList{QStringLiteral("XS202612110001")});
    QVERIFY(printed.line(QStringLiteral("找零")).text.endsWith(QStringLiteral(" 41.00")));
    QVERIFY(printed.cut && printed.drawerPulse);

    const shop::Receipt phone = receipt(QStringLiteral("XS202612110002"), false);
    QCOMPARE(printer.print(phone), QString());
    const QByteArray second = EscPosReceipt::bytes(phone, 32);
    QVERIFY(waitForDevice(second).endsWith(second));
    QVERIFY(!EscPosReader(second).drawerPulse);
}

void TestReceiptQueue::stoppedQueueIsSaidAndGetsNothing()
{
    // Out of paper or off: CUPS stops the queue; the receipt is not left waiting in it.
    queue("cupsdisable");
    const QString said = ReceiptPrinter(m_settings).print(receipt(QStringLiteral("XS202612110003"), true));
    queue("cupsenable");
    QCOMPARE(said, QStringLiteral("小票没有打印：小票打印机“till”已停止（缺纸或未开机？），请检查后重打小票"));
    QProcess jobs;
    jobs.start(QStringLiteral("lpstat"), {QStringLiteral("-o"), QStringLiteral("till")});
    QVERIFY(jobs.waitForFinished(10000));
    QCOMPARE(jobs.readAllStandardOutput(), QByteArray());

    // A queue CUPS does not know is refused by lp, in its own words.
    ReceiptPrinterSettings unknown = m_settings;
    unknown.target = QStringLiteral("no-such-till");
    const QString refused = ReceiptPrinter(unknown).print(receipt(QStringLiteral("XS202612110004"), true));
    QVERIFY2(refused.startsWith(QStringLiteral("小票没有打印：小票打印机“no-such-till”没有接收小票（")), qPrintable(refused));
}

QTEST_MAIN(TestReceiptQueue)
#include "tst_receiptqueue.moc"
