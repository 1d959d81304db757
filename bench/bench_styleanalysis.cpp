// Times the analysis reports (款式分析, 尺码分布, 滞销, 库龄, 周转) over a year of
// purchases, sales and returns of many styles of 15 goods each, with quarterly
// counts and monthly adjustments, against the bare
// statements that compute the same sums in SQL, stepped through the engine's C
// API (sqlite3 on the file; libpq on the server with --server HOST, a host or a
// socket directory, user postgres). Best of three runs, wall time.
// Run from the build tree: ./bench/bench_styleanalysis [--server HOST] [styles] [lines]
#include "BenchDatabase.h"
#include "BenchFigure.h"
#include "core/Clock.h"
#include "core/DatabaseFile.h"
#include "core/ShopServer.h"
#include "db/Connection.h"
#include "db/Schema.h"
#include "db/ServerEngine.h"
#include "db/Statement.h"
#include "db/TableCopy.h"
#include "db/Transaction.h"
#include "shop/StockSheet.h"
#include "shop/StyleAnalysis.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using namespace StyleAnalysis;

const QDate first(2026, 1, 1);
const DateRange year{first, QDate(2026, 12, 31)};
const QDate today(2026, 12, 31);
const QStringList sizes{"S", "M", "L"};

QString goodsCode(int style, int variant)
{
    return QStringLiteral("S%1-%2").arg(style, 5, 10, QLatin1Char('0')).arg(variant, 2, 10, QLatin1Char('0'));
}

// Styles of 5 colours × 3 sizes with stock and cost; bills of five lines over the
// year: four in ten purchases, five sales, one a customer return (a third of its
// lines "不入库") or a return to the supplier.
void build(db::Connection& c, int styles, int lines)
{
    db::Transaction t(c, db::Transaction::Write);
    db::Statement g(c, "insert into goods (gods_code, gods_name, styl_code, gods_color, gods_size, gods_spec) "
                       "values (:c, :c, :s, :col, :size, :b)");
    db::Statement s(c, "insert into storemain (gods_code, gods_amou, cost_pric) values (:c, :a, :p)");
    const int goods = styles * 15;
    for (int i = 0; i < goods; ++i) {
        const QString code = goodsCode(i / 15, i % 15);
        g.bind("c", code);
        g.bind("s", QStringLiteral("S%1").arg(i / 15, 5, 10, QLatin1Char('0')));
        g.bind("col", QStringLiteral("色%1").arg(i % 15 / 3));
        g.bind("size", sizes.at(i % 3));
        g.bind("b", QStringLiteral("品牌%1").arg(i / 15 % 20));
        g.execute();
        g.reset();
        s.bind("c", code);
        s.bind("a", double(i % 40 - 5));
        s.bind("p", 20.0 + i % 50);
        s.execute();
        s.reset();
    }
    db::Statement inHead(c, "insert into inmain (bill_no, bill_date, bill_type) values (:b, :d, :t)");
    db::Statement outHead(c, "insert into outmain (bill_no, bill_date, bill_type) values (:b, :d, :t)");
    db::Statement inLine(c, "insert into ingoods (bill_no, gods_code, sub_amou, unit_pric, remark) values (:b, :c, :a, :p, :r)");
    db::Statement outLine(c, "insert into outgoods (bill_no, gods_code, sub_amou, unit_pric, remark) values (:b, :c, :a, :p, :r)");
    const int bills = lines / 5;
    for (int i = 0; i < bills; ++i) {
        const int kind = i % 10;
        const bool in = kind < 4 || (kind == 9 && i % 20 == 9);
        const QString type = kind < 4 ? "in" : kind < 9 ? "out" : "retu";
        const QDate date = first.addDays(qint64(i) * 365 / bills);
        const QString billNo = date.toString("yyyyMMdd") + QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0'));
        db::Statement& head = in ? inHead : outHead;
        head.bind("b", billNo);
        head.bind("d", date);
        head.bind("t", type);
        head.execute();
        head.reset();
        db::Statement& l = in ? inLine : outLine;
        for (qint64 k = qint64(i) * 5; k < qint64(i) * 5 + 5; ++k) {
            const qint64 n = k * 7919 % goods;
            l.bind("b", billNo);
            l.bind("c", goodsCode(int(n / 15), int(n % 15)));
            l.bind("a", double(k % 7 + 1));
            l.bind("p", 30.5 + k % 60);
            l.bind("r", type == "retu" && k % 3 == 0 ? QStringLiteral("不入库") : QString());
            l.execute();
            l.reset();
        }
    }
    t.commit();
}

// Quarterly counts, each finding one goods in ten in stock a piece short, and a
// monthly adjustment of one goods in a thousand up by two, saved through the shop rules.
void countAndAdjust(db::Connection& c)
{
    const auto sheet = [&c](int every, int from, double change) {
        QList<StockSheet::Line> lines;
        db::Statement read(c, "select gods_code,gods_amou from storemain where gods_amou>0 order by gods_code");
        for (int i = 0; read.next(); ++i)
            if (i % every == from)
                lines.append({read.textValue(0), read.doubleValue(1), read.doubleValue(1) + change});
        return lines;
    };
    const auto check = [](const StockSheet::SaveResult& result) {
        if (result.outcome != StockSheet::Outcome::Saved)
            std::fprintf(stderr, "not saved: %s\n", qPrintable(result.message));
    };
    for (int month : {3, 6, 9})
        check(StockSheet::saveCount(c, QDate(2026, month, 28), sheet(10, month, -1)));
    for (int month = 1; month <= 12; ++month) {
        Clock::setFixed(QDateTime(QDate(2026, month, 15), QTime(10, 0)));
        check(StockSheet::saveAdjustment(c, sheet(1000, month, 2)));
    }
    Clock::setFixed({});
}

// The movements per goods, as the four kinds of bill lines of the range (with
// `after`, and the later ones and the counts' changes), with `key` grouping them.
QString movesSql(const QString& key, bool after)
{
    const QString branch = QStringLiteral(
        "select b.gods_code,a.bill_date as d,%3 as rece,%4 as sold,%5 as retu,%6 as amou,%7 as moved from %1 a "
        "inner join %2 b on a.bill_no=b.bill_no where a.bill_date>=:date1%8 and a.bill_type='%9'");
    const QString end = after ? QString() : QStringLiteral(" and a.bill_date<:date2");
    const QString inRange = QStringLiteral("case when d<:date2 then %1 else 0 end");
    // Summed per goods first, then grouped: the fewest joins.
    return QStringLiteral("select %1,sum(m.rece),sum(m.sold),sum(m.retu),sum(m.amou),"
                          "sum((m.sold-m.retu)*coalesce(s.cost_pric,0)),sum(m.moved),sum(m.later) from ("
                          "select gods_code,sum(%2) as rece,sum(%3) as sold,sum(%4) as retu,sum(%5) as amou,"
                          "sum(%6) as moved,sum(case when d<:date2 then 0 else moved end) as later from (")
               .arg(key, inRange.arg("rece"), inRange.arg("sold"), inRange.arg("retu"), inRange.arg("amou"),
                    inRange.arg("moved"))
           + branch.arg("inmain", "ingoods", "b.sub_amou", "0", "0", "0", "b.sub_amou", end, "in") + " union all "
           + branch.arg("outmain", "outgoods", "-b.sub_amou", "0", "0", "0", "-b.sub_amou", end, "retu") + " union all "
           + branch.arg("outmain", "outgoods", "0", "b.sub_amou", "0", "b.sub_amou*b.unit_pric", "-b.sub_amou", end, "out")
           + " union all "
           + branch.arg("inmain", "ingoods", "0", "0", "b.sub_amou", "-b.sub_amou*b.unit_pric",
                        "case when coalesce(b.remark,'')='不入库' then 0 else b.sub_amou end", end, "retu")
           + (after ? " union all select b.gods_code,b.chek_date,0,0,0,0,b.chek_amou-b.gods_amou from storchek b "
                      "where b.chek_date>=:date1 and b.chek_amou<>b.gods_amou"
                    : "")
           + ") u group by gods_code) m left join goods g on g.gods_code=m.gods_code "
             "left join storemain s on s.gods_code=m.gods_code group by 1";
}

const QString styleKey = QStringLiteral("coalesce(nullif(trim(g.styl_code),''),%1.gods_code)");
const QString stockByStyle =
    QStringLiteral("select %1,sum(s.gods_amou),sum(s.gods_amou*s.cost_pric) from storemain s "
                   "left join goods g on g.gods_code=s.gods_code where trim(s.gods_code)<>'' group by 1")
        .arg(styleKey.arg("s"));

// The bare statements of each report: the same sums, grouped in SQL.
struct Bare {
    const char* what;
    QStringList statements;
};

QList<Bare> bareReports()
{
    return {
        {"款式分析 by style",
         {movesSql(styleKey.arg("m"), false), stockByStyle,
          "select " + styleKey.arg("b") + ",min(a.bill_date) from inmain a inner join ingoods b on a.bill_no=b.bill_no "
          "left join goods g on g.gods_code=b.gods_code where a.bill_type='in' group by 1"}},
        {"尺码分布 all goods", {movesSql("g.gods_size", false)}},
        {"滞销 by goods",
         {"select gods_code,sum(gods_amou),sum(gods_amou*cost_pric) from storemain where trim(gods_code)<>'' group by gods_code",
          "select b.gods_code,max(a.bill_date) from outmain a inner join outgoods b on a.bill_no=b.bill_no "
          "where a.bill_type='out' group by b.gods_code"}},
        {"库龄 by goods",
         {"select gods_code,sum(gods_amou),sum(gods_amou*cost_pric) from storemain where trim(gods_code)<>'' group by gods_code",
          "select b.gods_code,a.bill_date,b.sub_amou from inmain a inner join ingoods b on a.bill_no=b.bill_no "
          "where a.bill_type='in' and b.sub_amou>0 and b.gods_code in (select gods_code from storemain where gods_amou>0) "
          "order by b.gods_code,a.bill_date desc,b.in_id desc"}},
        {"周转 by style",
         {"select log_time,detail from oper_log where win_name='库存调整' and act_name='保存' and log_time>=:date1 "
          "order by log_id",
          movesSql(styleKey.arg("m"), true), stockByStyle}},
    };
}

QList<std::function<int(db::Connection&)>> projectReports()
{
    return {
        [](db::Connection& c) { return int(styles(c, Grouping::Style, year).size()); },
        [](db::Connection& c) { return int(sizeShares(c, Grouping::Brand, {}, year).size()); },
        [](db::Connection& c) { return int(slowMovers(c, std::nullopt, defaultIdleDays, today).size()); },
        [](db::Connection& c) { return int(stockAge(c, std::nullopt, today).size()); },
        [](db::Connection& c) { return int(turnover(c, Grouping::Style, year).size()); },
    };
}

QByteArray dateText(const QDate& date, bool server)
{
    return server ? date.toString(Qt::ISODate).toUtf8() : db::toStoredDateTime(date).toUtf8();
}

// Every row stepped and every column read, as a hand-written loop would.
int bareFile(sqlite3* handle, const QString& sql)
{
    sqlite3_stmt* raw = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &raw, nullptr) != SQLITE_OK)
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(handle));
    for (const auto& [name, date] : {std::pair(":date1", year.from), std::pair(":date2", year.to.addDays(1))}) {
        const QByteArray value = dateText(date, false);
        if (const int index = sqlite3_bind_parameter_index(raw, name))
            sqlite3_bind_text(raw, index, value.constData(), int(value.size()), SQLITE_TRANSIENT);
    }
    int rows = 0;
    double sink = 0;
    const int columns = sqlite3_column_count(raw);
    while (sqlite3_step(raw) == SQLITE_ROW) {
        for (int col = 0; col < columns; ++col)
            sink += sqlite3_column_type(raw, col) == SQLITE_TEXT ? double(sqlite3_column_bytes(raw, col))
                                                                 : sqlite3_column_double(raw, col);
        ++rows;
    }
    sqlite3_finalize(raw);
    return sink == -1 ? 0 : rows;
}

int bareServer(PGconn* pg, const QString& sql)
{
    QList<QByteArray> names;
    const QByteArray text = db::numberedParameters(sql, &names).toUtf8();
    std::vector<QByteArray> values;
    for (const QByteArray& name : names)
        values.push_back(dateText(name.contains("date1") ? year.from : year.to.addDays(1), true));
    std::vector<const char*> pointers;
    for (const QByteArray& v : values)
        pointers.push_back(v.constData());
    PGresult* r = PQexecParams(pg, text.constData(), int(pointers.size()), nullptr, pointers.data(), nullptr, nullptr, 0);
    if (PQresultStatus(r) != PGRES_TUPLES_OK)
        std::fprintf(stderr, "%s\n", PQresultErrorMessage(r));
    const int rows = PQntuples(r);
    double sink = 0;
    for (int i = 0; i < rows; ++i)
        for (int col = 0; col < PQnfields(r); ++col)
            sink += atof(PQgetvalue(r, i, col));
    PQclear(r);
    return sink == -1 ? 0 : rows;
}

double bestMs(const std::function<void()>& work)
{
    double best = 1e18;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

void run(const char* engine, db::Connection& c, const std::function<int(const QString&)>& bare)
{
    const QList<Bare> bares = bareReports();
    const QList<std::function<int(db::Connection&)>> projects = projectReports();
    for (int i = 0; i < bares.size(); ++i) {
        int bareRows = 0, rows = 0;
        bestMs([&] { rows = projects.at(i)(c); });   // warms the caches for both
        const double bareTime = bestMs([&] {
            bareRows = 0;
            for (const QString& sql : bares.at(i).statements)
                bareRows = bare(sql);   // the last statement's rows: the report's own grouping
        });
        const double projectTime = bestMs([&] { rows = projects.at(i)(c); });
        std::printf("%s %s: rows %d, bare %d\n", engine, bares.at(i).what, rows, bareRows);
        printFigure(qPrintable(QStringLiteral("%1 %2").arg(engine, bares.at(i).what)), bareTime, projectTime);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString host;
    if (args.size() >= 2 && args.first() == "--server") {
        host = args.at(1);
        args = args.mid(2);
    }
    const int styles = args.size() > 0 ? args.at(0).toInt() : 10000;
    const int lines = args.size() > 1 ? args.at(1).toInt() : 1000000;

    BenchFile bench;
    db::Connection file;
    bench.open(file);
    QElapsedTimer timer;
    timer.start();
    build(file, styles, lines);
    countAndAdjust(file);
    std::printf("file: %d styles (%d goods), %d bill lines, counts and adjustments built in %.0f ms\n", styles,
                styles * 15, lines, timer.nsecsElapsed() / 1e6);
    run("file", file, [&](const QString& sql) { return bareFile(file.handle(), sql); });

    if (host.isEmpty())
        return 0;
    db::Connection server;
    server.openServer(freshServerDatabase(host));
    db::Schema::create(server);
    timer.restart();
    db::copyTables(file, server);
    server.execute("analyze");
    std::printf("server: copied in %.0f ms\n", timer.nsecsElapsed() / 1e6);
    ShopServer::startWork(server);
    PGconn* pg = PQconnectdb(QStringLiteral("host=%1 dbname=brovanta_bench user=postgres").arg(host).toUtf8());
    if (PQstatus(pg) != CONNECTION_OK) {
        std::fprintf(stderr, "%s\n", PQerrorMessage(pg));
        return 1;
    }
    run("server", server, [&](const QString& sql) { return bareServer(pg, sql); });
    PQfinish(pg);
    return 0;
}
