// A year of sales, 1,000,000 bill lines by default, in the file and copied into
// a shop server (--server HOST, a host or a socket directory, user postgres):
// opening all the lines in a dataset on each engine, and the year's goods
// ranking through the program against the bare statement run through libpq on
// the same server. Medians of a few runs, wall time.
#include "BenchDatabase.h"
#include "BenchFigure.h"
#include "core/DatabaseFile.h"
#include "core/ShopServer.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Schema.h"
#include "db/ServerEngine.h"
#include "db/Statement.h"
#include "db/TableCopy.h"
#include "db/Transaction.h"
#include "shop/StatisticsQuery.h"

#include <libpq-fe.h>

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int repeats = 3;

template <typename Work>
double medianMs(Work work)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

// Sales of a year: five lines a bill, a bill every few minutes.
void build(db::Connection& c, int goods, int lines)
{
    db::Transaction t(c, db::Transaction::Write);
    db::Statement g(c, "insert into goods (gods_code, gods_name) values (:c, :n)");
    for (int i = 0; i < goods; ++i) {
        g.bind("c", QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0')));
        g.bind("n", QStringLiteral("货品%1").arg(i));
        g.execute();
        g.reset();
    }
    const int bills = lines / 5;
    const QDateTime start(QDate(2025, 1, 1), QTime(9, 0));
    db::Statement h(c, "insert into outmain (bill_no, bill_date, bill_type, comp_code, shou_tota) "
                       "values (:b, :d, 'out', 'C1', 0)");
    db::Statement l(c, "insert into outgoods (bill_no, gods_code, sub_amou, unit_pric) values (:b, :c, :a, :p)");
    for (int b = 0; b < bills; ++b) {
        const QString no = QStringLiteral("2025%1").arg(b, 10, 10, QLatin1Char('0'));
        h.bind("b", no);
        h.bind("d", start.addSecs(qint64(b) * 365 * 24 * 3600 / bills));
        h.execute();
        h.reset();
        for (int i = b * 5; i < b * 5 + 5; ++i) {
            l.bind("b", no);
            l.bind("c", QStringLiteral("G%1").arg(qint64(i) * 7919 % goods, 6, 10, QLatin1Char('0')));
            l.bind("a", double(i % 13 + 1));
            l.bind("p", 10.5 + i % 100);
            l.execute();
            l.reset();
        }
    }
    t.commit();
}

// The ranking's rows as plain structs, straight from libpq with the same text.
struct RankRow {
    std::string code;
    double amount, price, total;
};

std::vector<RankRow> bareRanking(PGconn* pg, const statistics::Query& query)
{
    QList<QByteArray> names;
    const QByteArray sql = db::numberedParameters(query.sql, &names).toUtf8();
    std::vector<QByteArray> values;
    std::vector<const char*> pointers;
    for (const QByteArray& name : names) {
        const QVariant value = query.parameters.value(QString::fromUtf8(name).remove(QLatin1Char(':')));
        values.push_back(value.typeId() == QMetaType::QDate ? value.toDate().toString(Qt::ISODate).toUtf8()
                                                            : value.toString().toUtf8());
    }
    for (const QByteArray& v : values)
        pointers.push_back(v.constData());
    PGresult* r = PQexecParams(pg, sql.constData(), int(pointers.size()), nullptr, pointers.data(), nullptr,
                               nullptr, 0);
    if (PQresultStatus(r) != PGRES_TUPLES_OK)
        std::fprintf(stderr, "%s\n", PQresultErrorMessage(r));
    std::vector<RankRow> rows;
    for (int i = 0; i < PQntuples(r); ++i)
        rows.push_back({PQgetvalue(r, i, 0), atof(PQgetvalue(r, i, 1)), atof(PQgetvalue(r, i, 2)),
                        atof(PQgetvalue(r, i, 3))});
    PQclear(r);
    return rows;
}

// The lines read bare through libpq into plain structs: what opening them must cost at least.
struct LineRow {
    long long id;
    std::string bill, code, remark;
    double amount, price;
};

size_t bareOpenAll(PGconn* pg)
{
    PGresult* r = PQexec(pg, "select in_id,bill_no,gods_code,sub_amou,unit_pric,remark from outgoods order by in_id");
    std::vector<LineRow> rows;
    rows.reserve(size_t(PQntuples(r)));
    for (int i = 0; i < PQntuples(r); ++i)
        rows.push_back({atoll(PQgetvalue(r, i, 0)), PQgetvalue(r, i, 1), PQgetvalue(r, i, 2), PQgetvalue(r, i, 5),
                        atof(PQgetvalue(r, i, 3)), atof(PQgetvalue(r, i, 4))});
    PQclear(r);
    return rows.size();
}

int openAll(db::Connection& c)
{
    db::Dataset lines(c, "OutGoodsQ");
    lines.setSql("select * from outgoods order by in_id");
    lines.open();
    return lines.recordCount();
}

int rankYear(db::Connection& c, const statistics::Query& query)
{
    db::Dataset ranking(c, "RankingQ");
    query.applyTo(ranking);
    ranking.open();
    return ranking.recordCount();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3 || args[1] != "--server") {
        std::fprintf(stderr, "usage: bench_server --server HOST [lines] [goods]\n");
        return 2;
    }
    const QString host = args[2];
    const int lines = args.size() > 3 ? args[3].toInt() : 1000000;
    const int goods = args.size() > 4 ? args[4].toInt() : 10000;

    BenchFile bench;
    db::Connection file;
    bench.open(file);
    QElapsedTimer timer;
    timer.start();
    build(file, goods, lines);
    std::printf("file: %d goods, %d bill lines built in %.0f ms\n", goods, lines, timer.nsecsElapsed() / 1e6);

    db::Connection server;
    server.openServer(freshServerDatabase(host));
    db::Schema::create(server);
    timer.restart();
    db::copyTables(file, server);
    server.execute("analyze");
    std::printf("server: copied in %.0f ms\n", timer.nsecsElapsed() / 1e6);
    ShopServer::startWork(server);

    const statistics::Query year = statistics::rankingQuery(statistics::RankingKey::Goods,
                                                            statistics::RankingOrder::ByAmount,
                                                            statistics::BillType::Own,
                                                            {QDate(2025, 1, 1), QDate(2025, 12, 31)});
    PGconn* pg = PQconnectdb(QStringLiteral("host=%1 dbname=brovanta_bench user=postgres").arg(host).toUtf8());
    if (PQstatus(pg) != CONNECTION_OK) {
        std::fprintf(stderr, "%s\n", PQerrorMessage(pg));
        return 1;
    }
    int fileRows = 0, serverRows = 0;
    size_t bareRows = 0;
    const double openFile = medianMs([&] { fileRows = openAll(file); });
    const double openBare = medianMs([&] { bareRows = bareOpenAll(pg); });
    const double openServer = medianMs([&] { serverRows = openAll(server); });
    std::printf("opening the lines: file %d rows in %.0f ms; server %d rows, bare libpq %zu\n", fileRows, openFile,
                serverRows, bareRows);
    printFigure("open every line from the server (wall)", openBare, openServer, {1.2});

    int rankFileRows = 0, rankServerRows = 0;
    const double rankFile = medianMs([&] { rankFileRows = rankYear(file, year); });
    const double bare = medianMs([&] { bareRows = bareRanking(pg, year).size(); });
    const double rankServer = medianMs([&] { rankServerRows = rankYear(server, year); });
    std::printf("the year's goods ranking: file %.0f ms (%d rows); server %d rows, bare libpq %zu rows\n", rankFile,
                rankFileRows, rankServerRows, bareRows);
    printFigure("the year's goods ranking, server (wall)", bare, rankServer);
    PQfinish(pg);
    return 0;
}
