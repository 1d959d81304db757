// Two copies of the program saving one-line sales back to back into one file,
// or into one shop server (--server HOST, a host or a socket directory, user
// postgres): every save must land, however the write lock falls between them.
// Then one copy saves 50-line bills, alone. It starts the two savers itself.
#include "core/DatabaseFile.h"
#include "core/ShopServer.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "shop/BillStore.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int savesPerCopy = 200;

ShopServer::Place place(const QString& where)
{
    if (!where.startsWith(QLatin1String("server:")))
        return {where};
    ShopServer::Place p;
    p.server = true;
    p.address.host = where.mid(7);
    p.address.database = QStringLiteral("brovanta_bench");
    p.address.user = QStringLiteral("postgres");
    return p;
}

// A new database with one goods of 1000 in stock and one customer.
QString prepare(const QString& server, const QString& file)
{
    if (server.isEmpty()) {
        DatabaseFile::createIfMissing(file);
    } else {
        ShopServer::Place admin = place("server:" + server);
        admin.address.database = QStringLiteral("postgres");
        db::Connection c;
        c.openServer(admin.address);
        c.execute("drop database if exists brovanta_bench with (force)");
        c.execute("create database brovanta_bench");
        db::Connection fresh;
        fresh.openServer(place("server:" + server).address);
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

// The median time of saving a 50-line sale, twenty times.
double fiftyLineSaveMs(const QString& where)
{
    db::Connection c;
    ShopServer::open(c, place(where));
    BillStore::Bill bill;
    bill.header = {{"bill_date", QDate(2026, 1, 5)}, {"comp_code", "C1"}, {"shou_tota", 50.0}};
    for (int i = 0; i < 50; ++i)
        bill.lines.append({QStringLiteral("G1"), 1, 1, {}});
    QList<qint64> times;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer t;
        t.start();
        BillStore::save(c, StockPosting::BillKind::Sale, bill);
        times << t.nsecsElapsed();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2] / 1e6;
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

    QTemporaryDir dir;
    const QString server = args.size() == 3 && args[1] == "--server" ? args[2] : QString();
    const QString path = prepare(server, dir.filePath("shop.mdb"));
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
    std::printf("two copies, %d sales each: %d stored, stock 1000 -> %g, %.1f s\n", savesPerCopy,
                stored.intValue(0), stock.doubleValue(0), timer.elapsed() / 1000.0);
    std::fputs(a.readAllStandardError().constData(), stderr);
    std::fputs(b.readAllStandardError().constData(), stderr);
    std::printf("one copy alone: a 50-line sale saves in %.1f ms (median of 20)\n", fiftyLineSaveMs(path));
    return 0;
}
