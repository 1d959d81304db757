// The till on a shop of 100,000 goods and 1,000,000 sold lines: a scan to its
// line (the goods found by barcode, the total due worked out again) and pay →
// stored → receipt read (TillSale::sell with its payments, then the receipt),
// on the file and, with --server HOST (user postgres), on a shop server holding
// a copy. Medians of 30 runs, wall time.
#include "BenchDatabase.h"
#include "BenchFigure.h"
#include "BenchGoods.h"
#include "core/CurrentRights.h"
#include "core/DatabaseFile.h"
#include "core/ShopServer.h"
#include "db/Connection.h"
#include "db/Schema.h"
#include "db/Statement.h"
#include "db/TableCopy.h"
#include "db/Transaction.h"
#include "shop/Barcodes.h"
#include "shop/TillSale.h"
#include "shop/TillShift.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void build(db::Connection& c, int goods, int lines)
{
    db::Transaction t(c, db::Transaction::Write);
    db::Statement g(c, "insert into goods (gods_code, gods_name, gods_color, gods_size, valu_in, valu_out, bar_code) "
                       "values (:c, :n, '白', 'XL', 40, 99, :b)");
    for (int i = 0; i < goods; ++i) {
        g.reset();
        g.bind("c", code(i)).bind("n", QStringLiteral("短袖衬衫%1").arg(i)).bind("b", barcode(i));
        g.execute();
    }
    db::Statement s(c, "insert into storemain (gods_code, gods_amou, cost_pric) values (:c, 1000, 40)");
    for (int i = 0; i < goods; ++i) {
        s.reset();
        s.bind("c", code(i));
        s.execute();
    }
    db::Statement h(c, "insert into outmain (bill_no, bill_date, comp_code, bill_type, shou_tota, fact_tota, shift_id) "
                       "values (:no, :d, '散客', 'out', 495, 495, 1)");
    db::Statement l(c, "insert into outgoods (bill_no, gods_code, sub_amou, unit_pric) values (:no, :c, 1, 99)");
    const QDateTime start(QDate(2025, 1, 1), QTime(9, 0));
    for (int b = 0; b < lines / 5; ++b) {
        const QDateTime at = start.addSecs(qint64(b) * 150);
        const QString no = at.toString("yyyyMMddhhmmss");
        h.reset();
        h.bind("no", no).bind("d", at);
        h.execute();
        for (int k = 0; k < 5; ++k) {
            l.reset();
            l.bind("no", no).bind("c", code((b * 5 + k) * 7919 % goods));
            l.execute();
        }
    }
    t.commit();
}

void run(const char* engine, db::Connection& c, int goods)
{
    const qint64 shift = TillShift::open(c, DatabaseFile::adminId, 100);
    std::vector<double> scans, sales;
    QElapsedTimer timer;
    for (int i = 0; i < 30; ++i) {
        QList<TillSale::Line> lines;
        for (int k = 0; k < 3; ++k) {
            timer.restart();
            const auto found = TillSale::goods(c, barcode((i * 31 + k * 17) * 613 % goods));
            lines.append({found->code, found->name, 1, found->retailPrice, found->retailPrice});
            TillSale::due(lines, TillSale::settings(c));
            scans.push_back(timer.nsecsElapsed() / 1e6);
        }
        timer.restart();
        const double due = TillSale::due(lines, TillSale::settings(c));
        const QString no = TillSale::sell(c, {lines, {{"微信", 100}, {"现金", due - 100}}, shift, DatabaseFile::adminId, {}});
        const shop::Receipt receipt = TillSale::receipt(c, no);
        sales.push_back(timer.nsecsElapsed() / 1e6);
        if (receipt.lines.size() != 3)
            std::fprintf(stderr, "receipt of %s has %d lines\n", qPrintable(no), int(receipt.lines.size()));
    }
    TillShift::close(c, shift, 0);
    std::printf("%s: scan → line %.2f ms (median, worst %.2f); pay → stored → receipt %.2f ms (median, worst %.2f)\n",
                engine, median(scans), *std::max_element(scans.begin(), scans.end()), median(sales),
                *std::max_element(sales.begin(), sales.end()));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool onServer = args.size() > 2 && args[1] == "--server";
    const int goods = 100000;
    const int lines = 1000000;
    CurrentRights::current().use = QString(Function::Count, '1');
    BenchFile bench;
    db::Connection file;
    bench.open(file);
    QElapsedTimer timer;
    timer.start();
    build(file, goods, lines);
    std::printf("file: %d goods, %d sold lines built in %.0f ms\n", goods, lines, timer.nsecsElapsed() / 1e6);
    run("file", file, goods);
    if (!onServer)
        return 0;
    db::Connection server;
    server.openServer(freshServerDatabase(args[2], "brovanta_till_bench"));
    db::Schema::create(server);
    db::copyTables(file, server);
    server.execute("analyze");
    ShopServer::startWork(server);
    run("server", server, goods);
    return 0;
}
