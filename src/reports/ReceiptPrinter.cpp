#include "reports/ReceiptPrinter.h"

#include "reports/EscPosReceipt.h"
#include "reports/ReceiptLayout.h"
#include "reports/ReportDocument.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QProcess>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

QString processOutput(QProcess& process)
{
    return QString::fromLocal8Bit(process.readAllStandardError() + process.readAllStandardOutput()).trimmed();
}

// Runs a CUPS command with its answers in English, so they can be read here.
bool run(QProcess& process, const QString& program, const QStringList& arguments, const QByteArray& input = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForStarted(ReceiptPrinter::waitMs))
        return false;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(ReceiptPrinter::waitMs)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

ReceiptPrinter::ReceiptPrinter(const ReceiptPrinterSettings& settings)
    : m_settings(settings)
{
}

QString ReceiptPrinter::print(const shop::Receipt& receipt) const
{
    return print(ReceiptText::slip(receipt, m_settings.columns()));
}

QString ReceiptPrinter::print(const TillShift::Report& report) const
{
    return print(ReceiptText::slip(report, m_settings.columns()));
}

QString ReceiptPrinter::print(const ReceiptText::Slip& slip) const
{
    switch (m_settings.output) {
    case ReceiptPrinterSettings::Output::Queue:
        return sendToQueue(EscPosReceipt::bytes(slip, m_settings.columns()));
    case ReceiptPrinterSettings::Output::Device:
        return writeToDevice(EscPosReceipt::bytes(slip, m_settings.columns()));
    case ReceiptPrinterSettings::Output::Page:
        break;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!m_settings.target.isEmpty())
        printer.setPrinterName(m_settings.target);
    return printOnPage(slip, printer);
}

QString ReceiptPrinter::printOnPage(const ReceiptText::Slip& slip, QPrinter& printer) const
{
    const QString name = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    if (!printer.isValid() || name.isEmpty())
        return QStringLiteral("小票没有打印：找不到打印机%1，请在基本设置中选择小票打印机").arg(
            m_settings.target.isEmpty() ? QString() : QStringLiteral("“%1”").arg(m_settings.target));
    const QSizeF pageMm = printer.pageLayout().fullRectPoints().size() * 25.4 / 72.0;
    const int columns = m_settings.columns();
    QPainter painter;
    bool painted = painter.begin(&printer);
    const int pages = ReceiptLayout::pageCount(slip, columns, pageMm);
    for (int page = 0; painted && page < pages; ++page) {
        if (page > 0)
            painted = printer.newPage();
        if (painted)
            ReceiptLayout(slip, columns, pageMm, page).prepare(pageMm).paint(0, painter);
    }
    if (!painted || !painter.end())
        return QStringLiteral("小票没有打印：打印机“%1”无法打印").arg(name);
    return {};
}

QString ReceiptPrinter::sendToQueue(const QByteArray& bytes) const
{
    const QString queue = m_settings.target;
    if (queue.isEmpty())
        return QStringLiteral("小票没有打印：基本设置中没有填写小票打印机的队列名");
    // A stopped queue (no paper, printer off) would take the job and print it
    // much later, when the cashier has long reprinted it.
    QProcess state;
    if (run(state, QStringLiteral("lpstat"), {QStringLiteral("-p"), queue})
        && QString::fromLocal8Bit(state.readAllStandardOutput()).startsWith(QStringLiteral("printer %1 disabled").arg(queue)))
        return QStringLiteral("小票没有打印：小票打印机“%1”已停止（缺纸或未开机？），请检查后重打小票").arg(queue);
    QProcess lp;
    if (run(lp, QStringLiteral("lp"), {QStringLiteral("-d"), queue, QStringLiteral("-o"), QStringLiteral("raw")}, bytes))
        return {};
    if (lp.error() == QProcess::FailedToStart)
        return QStringLiteral("小票没有打印：找不到打印命令 lp（请安装 cups-bsd）");
    const QString said = processOutput(lp);
    return QStringLiteral("小票没有打印：小票打印机“%1”没有接收小票%2").arg(queue, said.isEmpty() ? QString() : QStringLiteral("（%1）").arg(said));
}

QString ReceiptPrinter::writeToDevice(const QByteArray& bytes) const
{
    const QString path = m_settings.target;
    if (path.isEmpty())
        return QStringLiteral("小票没有打印：基本设置中没有填写小票打印机的设备文件");
    // Never created: a printer that is not plugged in must not become a file in /dev.
    // Not blocking: a printer out of paper would hold the till until it is refilled.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QStringLiteral("小票没有打印：无法打开小票打印机 %1（%2）").arg(path, QString::fromLocal8Bit(strerror(errno)));
    QElapsedTimer waited;
    waited.start();
    qsizetype written = 0;
    QString failure;
    while (written < bytes.size() && failure.isEmpty()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n > 0) {
            written += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            pollfd ready = {fd, POLLOUT, 0};
            const int left = waitMs - int(waited.elapsed());
            if (left <= 0 || ::poll(&ready, 1, left) == 0)
                failure = QStringLiteral("没有响应（缺纸或未开机？）");
        } else {
            failure = errno == ENOSPC ? QStringLiteral("缺纸") : QString::fromLocal8Bit(strerror(errno));
        }
    }
    ::close(fd);
    if (failure.isEmpty())
        return {};
    return QStringLiteral("小票没有打印：小票打印机 %1 %2，请检查后重打小票").arg(path, failure);
}
