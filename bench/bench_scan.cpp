// Times a scan (code + Enter in the scan box) to the updated line of a sale of
// 200 lines, in a shop of 100,000 goods that all carry a barcode.
#include "BenchClock.h"
#include "BenchDatabase.h"
#include "BenchFigure.h"
#include "BenchGoods.h"
#include "bills/TFrmOut.h"
#include "core/Clock.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/Barcodes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <string>
#include <unordered_map>
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

// The bare way of a scan: the barcode found in a hash of the catalogue, the
// line found in a hash of the bill's goods and counted up, or a line appended.
struct BareBill {
    struct Goods {
        std::string code;
        double price;
    };
    struct Line {
        std::string code;
        double quantity, price;
    };
    std::unordered_map<std::string, Goods> byBarcode;
    std::unordered_map<std::string, size_t> lineOf;
    std::vector<Line> lines;

    void scan(const std::string& barcode)
    {
        const auto goods = byBarcode.find(barcode);
        if (goods == byBarcode.end())
            return;
        const auto [at, added] = lineOf.try_emplace(goods->second.code, lines.size());
        if (added)
            lines.push_back({goods->second.code, 1, goods->second.price});
        else
            ++lines[at->second].quantity;
    }
};

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
    BenchFile file;
    TFrmDataMod dm;
    file.open(dm.AdoConn);
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

    // The same scans the bare way, on a bill of the same 200 lines first.
    BareBill bare;
    for (int i = 0; i < goods; ++i)
        bare.byBarcode.emplace(barcode(i).toStdString(), BareBill::Goods{code(i).toStdString(), 15});
    for (int k = 0; k < 200; ++k)
        bare.scan(barcode(k * 487 % goods).toStdString());
    std::vector<double> bareAgain, bareFresh;
    for (const bool fresh : {false, true})
        for (int run = 0; run < 30; ++run) {
            const std::string scanned = (fresh ? barcode(goods - 1 - run) : barcode((run * 13 % 200) * 487 % goods)).toStdString();
            const double cpu = cpuMs();
            bare.scan(scanned);
            (fresh ? bareFresh : bareAgain).push_back(cpuMs() - cpu);
        }
    std::printf("bare bill has %zu lines\n", bare.lines.size());
    printFigure("scan, goods on the bill (+1) (cpu)", median(bareAgain), median(againCpu));
    printFigure("scan, new goods (new line) (cpu)", median(bareFresh), median(freshCpu));
    std::printf("bill has %d lines\n", window.lines()->recordCount());
    return 0;
}
