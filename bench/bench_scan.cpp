// Times a scan (code + Enter in the scan box) to the updated line of a sale of
// 200 lines, in a shop of 100,000 goods that all carry a barcode.
#include "BenchClock.h"
#include "BenchGoods.h"
#include "bills/TFrmOut.h"
#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/DatabaseFile.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/Barcodes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void build(db::Connection& c, int goods)
{
    db::Transaction t(c);
    db::Statement g(c, "insert into goods (gods_code, gods_name, valu_in, valu_out, bar_code) "
                       "values (:c, :n, 10, 15, :b)");
    for (int i = 0; i < goods; ++i) {
        g.reset();
        g.bind("c", code(i)).bind("n", QStringLiteral("货品%1").arg(i)).bind("b", barcode(i));
        g.execute();
    }
    t.commit();
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

void scan(QLineEdit* box, const QString& text)
{
    box->setText(text);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &enter);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int goods = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    AppPaths::setDirectory(dir.path());
    DatabaseFile::createIfMissing(AppPaths::databaseFile());
    TFrmDataMod dm;
    dm.AdoConn.open(AppPaths::databaseFile(), DatabaseFile::password);
    db::Connection& c = dm.AdoConn;
    QElapsedTimer timer;
    timer.start();
    build(c, goods);
    std::printf("built %d goods with barcodes in %.0f ms\n", goods, timer.nsecsElapsed() / 1e6);
    Clock::setFixed(QDateTime(QDate(2025, 6, 15), QTime(12, 0)));

    TFrmOut window;
    window.show();
    window.cmd_addClick();
    auto* box = window.findChild<QLineEdit*>(QStringLiteral("ScanBox"));
    for (int k = 0; k < 200; ++k)
        scan(box, barcode(k * 487 % goods));
    std::printf("bill has %d lines\n", window.lines()->recordCount());

    std::vector<double> again, againCpu, fresh, freshCpu;
    for (int run = 0; run < 30; ++run) {
        // A goods already on the bill: its line +1.
        timer.restart();
        double cpu = cpuMs();
        scan(box, barcode((run * 13 % 200) * 487 % goods));
        QCoreApplication::processEvents();
        again.push_back(timer.nsecsElapsed() / 1e6);
        againCpu.push_back(cpuMs() - cpu);
    }
    for (int run = 0; run < 30; ++run) {
        // A new goods: a new line with its price (the bill grows to 230 lines).
        timer.restart();
        double cpu = cpuMs();
        scan(box, barcode(goods - 1 - run));
        QCoreApplication::processEvents();
        fresh.push_back(timer.nsecsElapsed() / 1e6);
        freshCpu.push_back(cpuMs() - cpu);
    }
    std::printf("scan, goods on the bill (+1): %8.2f ms (median of 30, worst %.2f; cpu %.2f ms)\n", median(again),
                *std::max_element(again.begin(), again.end()), median(againCpu));
    std::printf("scan, new goods (new line):   %8.2f ms (median of 30, worst %.2f; cpu %.2f ms)\n", median(fresh),
                *std::max_element(fresh.begin(), fresh.end()), median(freshCpu));
    std::printf("bill has %d lines\n", window.lines()->recordCount());
    window.cmd_cancClick();
    return 0;
}
