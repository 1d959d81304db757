// Two copies of the program saving one-line sales back to back into one file,
// or into one shop server (--server HOST, a host or a socket directory, user
// postgres): every save must land, however the write lock falls between them.
// Then one copy saves 50-line bills, alone, against the bare replay of a save's
// statements on the file. It starts the two savers itself.
#include "BenchDatabase.h"
#include "BenchFigure.h"
#include "BenchReplay.h"
#include "core/DatabaseFile.h"
#include "core/ShopServer.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "shop/BillStore.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>

namespace {

constexpr int savesPerCopy = 200;

ShopServer::Place place(const QString& where)
{
    if (!where.startsWith(QLatin1String("server:")))
        return {where};
    ShopServer::Place p;
    p.server = true;
    p.address = benchServerAddress(where.mid(7));
    return p;
}

// A new database with one goods of 1000 in stock and one customer.
QString prepare(const QString& server, const QString& file)
{
    if (server.isEmpty()) {
        DatabaseFile::createIfMissing(file);
    } else {
        db::Connection fresh;
        fresh.openServer(freshServerDatabase(server));
        ShopServer::initialize(fresh);
    }
    const QString where = server.isEmpty() ? file : "server:" + server;
    db::Connection c;
    ShopServer::open(c, place(where));
    c.execute("insert into goods (gods_code, gods_name) values ('G1', '货品')");
    c.execute("insert into storemain (gods_code, gods_amou, cost_pric) values ('G1', 1000, 10)");
    c.execute("insert into company (comp_code, comp_name) values ('C1', '客户')");
    return where;
}

// A 50-line sale under a number of its own, a day after the two copies' sales:
// saves one after another never walk past numbers used before them.
BillStore::Bill fiftyLineSale(int run)
{
    BillStore::Bill bill;
    bill.billNo = QDateTime(QDate(2026, 1, 6), QTime(9, 0)).addSecs(run * 60).toString("yyyyMMddhhmmss");
    bill.header = {{"bill_date", QDate(2026, 1, 6)}, {"comp_code", "C1"}, {"shou_tota", 50.0}};
    for (int i = 0; i < 50; ++i)
        bill.lines.append({QStringLiteral("G1"), 1, 1, {}});
    return bill;
}

double wallMs(const std::function<void()>& work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

int saveSales(const QString& where)
{
    db::Connection c;
    ShopServer::open(c, place(where));
    int failed = 0;
    for (int i = 0; i < savesPerCopy; ++i) {
        BillStore::Bill bill;
        bill.header = {{"bill_date", QDate(2026, 1, 5)}, {"comp_code", "C1"}, {"shou_tota", 15.0}};
        bill.lines = {{QStringLiteral("G1"), 1, 15, {}}};
        try {
            BillStore::save(c, StockPosting::BillKind::Sale, bill);
        } catch (const db::Error& e) {
            ++failed;
            std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        }
    }
    return failed;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == "--save")
        return saveSales(args[2]) == 0 ? 0 : 1;

    BenchFile file;
    const QString server = args.size() == 3 && args[1] == "--server" ? args[2] : QString();
    const QString path = prepare(server, file.path());
    QElapsedTimer timer;
    timer.start();
    QProcess a, b;
    a.start(args[0], {"--save", path});
    b.start(args[0], {"--save", path});
    a.waitForFinished(-1);
    b.waitForFinished(-1);
    db::Connection c;
    ShopServer::open(c, place(path));
    db::Statement stored(c, "select count(*) from outmain");
    stored.next();
    db::Statement stock(c, "select gods_amou from storemain where gods_code='G1'");
    stock.next();
    std::printf("two copies, %d sales each: %d stored (expected %d), stock 1000 -> %g, %.1f s\n", savesPerCopy,
                stored.intValue(0), 2 * savesPerCopy, stock.doubleValue(0), timer.elapsed() / 1000.0);
    std::fputs(a.readAllStandardError().constData(), stderr);
    std::fputs(b.readAllStandardError().constData(), stderr);

    // One copy alone: 50-line sales. On the file each is also recorded on one
    // copy of it and replayed bare on another; the server has no bare side here.
    std::vector<double> saves, bareSaves;
    db::Connection recording, bareCopy;
    if (!c.isServer()) {
        file.openTwin(c, recording);
        file.openTwin(c, bareCopy);
    }
    for (int run = 0; run < 20; ++run) {
        const BillStore::Bill bill = fiftyLineSale(run);
        if (!c.isServer()) {
            std::vector<bench::StartedStatement> statements;
            {
                bench::StatementLog log(recording.handle());
                BillStore::save(recording, StockPosting::BillKind::Sale, bill);
                statements = log.started();
            }
            bareSaves.push_back(wallMs([&] { bench::replay(bareCopy.handle(), statements); }));
        }
        saves.push_back(wallMs([&] { BillStore::save(c, StockPosting::BillKind::Sale, bill); }));
    }
    if (!c.isServer())
        sameFigures(recording, bareCopy, "select count(*),sum(sub_amou),(select gods_amou from storemain) from outgoods");
    if (c.isServer())
        printFigure("50-line sale saved, server (wall)", std::nan(""), median(saves),
                    {std::numeric_limits<double>::infinity(), 15});
    else
        printFigure("50-line sale saved, file (wall)", median(bareSaves), median(saves));
    return 0;
}
