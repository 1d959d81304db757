// Times a year's sales listing and the year's rankings as the windows run them
// (查询: statement, rows into the shared dataset, totals, grid) against the bare
// sqlite3 statement stepping over the same rows, in the same run.
// Run from the build tree: ./bench/bench_statistics [goods] [lines] [bills]
#include "BenchClock.h"
#include "core/AppPaths.h"
#include "core/CurrentRights.h"
#include "core/DatabaseFile.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/StatisticsQuery.h"
#include "statistics/TFrmOutList.h"
#include "statistics/TFrmOutSortC.h"
#include "statistics/TFrmOutSortG.h"

#include <sqlite3.h>

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <ctime>
#include <string>
#include <vector>

namespace {

const int days = 730;   // bills spread over 2025 and 2026

struct Time {
    double wall;
    double cpu;
};

// Bills alternate between the in and out tables and are entered day after day
// over two years, as a shop enters them; one in ten is a return.
void build(db::Connection& c, int goods, int lines, int bills)
{
    db::Transaction t(c);
    db::Statement g(c, "insert into goods (gods_code, gods_name, gods_spec, gods_type, gods_kind, gods_unit, "
                       "gods_color, gods_size) values (:c, :n, '澜禾', '修身', '衬衫', '件', '白色', 'XL')");
    for (int i = 0; i < goods; ++i) {
        g.bind("c", QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0')));
        g.bind("n", QStringLiteral("男士休闲衬衫%1号").arg(i));
        g.execute();
        g.reset();
    }
    db::Statement co(c, "insert into company (comp_code, comp_name, head_name) values (:c, :n, '张三')");
    for (int i = 0; i < 1000; ++i) {
        co.bind("c", QStringLiteral("C%1").arg(i, 4, 10, QLatin1Char('0')));
        co.bind("n", QStringLiteral("客户公司%1").arg(i));
        co.execute();
        co.reset();
    }
    const QDate first(2025, 1, 1);
    db::Statement inHead(c, "insert into inmain (bill_no, bill_date, comp_code, bill_type) values (:b, :d, :c, :t)");
    db::Statement outHead(c, "insert into outmain (bill_no, bill_date, comp_code, bill_type) values (:b, :d, :c, :t)");
    db::Statement inLine(c, "insert into ingoods (bill_no, gods_code, sub_amou, unit_pric) values (:b, :c, :a, :p)");
    db::Statement outLine(c, "insert into outgoods (bill_no, gods_code, sub_amou, unit_pric) values (:b, :c, :a, :p)");
    const int perBill = lines / bills;
    int line = 0;
    for (int i = 0; i < bills; ++i) {
        const bool out = i % 2;
        const QDate date = first.addDays(qint64(i) * days / bills);
        const QString billNo = date.toString("yyyyMMdd") + QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0'));
        db::Statement& head = out ? outHead : inHead;
        head.bind("b", billNo);
        head.bind("d", date);
        head.bind("c", QStringLiteral("C%1").arg(i % 1000, 4, 10, QLatin1Char('0')));
        head.bind("t", i % 10 == 9 ? QStringLiteral("retu") : out ? QStringLiteral("out") : QStringLiteral("in"));
        head.execute();
        head.reset();
        db::Statement& l = out ? outLine : inLine;
        for (int k = 0; k < perBill; ++k, ++line) {
            l.bind("b", billNo);
            l.bind("c", QStringLiteral("G%1").arg((qint64(line) * 7919) % goods, 6, 10, QLatin1Char('0')));
            l.bind("a", double(line % 13 + 1));
            l.bind("p", 10.5 + line % 100);
            l.execute();
            l.reset();
        }
    }
    t.commit();
}

// The bare statement: every row stepped and every column copied out, as a
// hand-written loop would.
Time bare(db::Connection& c, const statistics::Query& query, size_t* rows)
{
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuMs();
    std::vector<std::string> texts;
    std::vector<double> numbers;
    sqlite3_stmt* raw = nullptr;
    // The same SQL through the C API, so no wrapper cost is counted.
    const QByteArray sql = query.sql.toUtf8();
    sqlite3_prepare_v2(c.handle(), sql.constData(), sql.size(), &raw, nullptr);
    for (auto it = query.parameters.cbegin(); it != query.parameters.cend(); ++it) {
        const int index = sqlite3_bind_parameter_index(raw, (":" + it.key()).toUtf8().constData());
        const QByteArray value = it.value().typeId() == QMetaType::QDate
                                     ? db::toStoredDateTime(it.value()).toUtf8()
                                     : it.value().toString().toUtf8();
        sqlite3_bind_text(raw, index, value.constData(), value.size(), SQLITE_TRANSIENT);
    }
    size_t count = 0;
    const int columns = sqlite3_column_count(raw);
    while (sqlite3_step(raw) == SQLITE_ROW) {
        for (int col = 0; col < columns; ++col) {
            if (sqlite3_column_type(raw, col) == SQLITE_TEXT)
                texts.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(raw, col)));
            else
                numbers.push_back(sqlite3_column_double(raw, col));
        }
        ++count;
    }
    sqlite3_finalize(raw);
    *rows = count;
    return {timer.nsecsElapsed() / 1e6, cpuMs() - cpu};
}

// How the engine runs a statement, printed once with its timing.
void printPlan(db::Connection& c, const statistics::Query& query)
{
    db::Statement plan(c, QStringLiteral("explain query plan ") + query.sql);
    for (auto it = query.parameters.cbegin(); it != query.parameters.cend(); ++it)
        plan.bind(it.key(), it.value());
    while (plan.next())
        std::printf("    plan: %s\n", qPrintable(plan.textValue(3)));
}

// Best of three runs: the machine is shared, so the least disturbed run counts.
Time best(const std::function<Time()>& run)
{
    Time result{1e18, 1e18};
    for (int i = 0; i < 3; ++i) {
        const Time t = run();
        result = {std::min(result.wall, t.wall), std::min(result.cpu, t.cpu)};
    }
    return result;
}

Time timeClick(StatisticsWindow& window)
{
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuMs();
    window.cmd_findClick();
    return {timer.nsecsElapsed() / 1e6, cpuMs() - cpu};
}

void report(const char* what, Time window, Time statement, size_t rows, int datasetRows)
{
    const auto verdict = [](double w, double s) { return w < 1000 && w <= 1.5 * s ? "ok" : "SLOW"; };
    std::printf("%-34s rows %zu/%d\n", what, rows, datasetRows);
    std::printf("    wall: window %6.0f ms, bare statement %6.0f ms, ratio %.2f %s\n", window.wall, statement.wall,
                window.wall / statement.wall, verdict(window.wall, statement.wall));
    std::printf("    cpu:  window %6.0f ms, bare statement %6.0f ms, ratio %.2f %s\n", window.cpu, statement.cpu,
                window.cpu / statement.cpu, verdict(window.cpu, statement.cpu));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int goods = argc > 1 ? atoi(argv[1]) : 100000;
    const int lines = argc > 2 ? atoi(argv[2]) : 1000000;
    const int bills = argc > 3 ? atoi(argv[3]) : 200000;

    QTemporaryDir dir;
    AppPaths::setDirectory(dir.path());
    DatabaseFile::createIfMissing(AppPaths::databaseFile());
    TFrmDataMod dm;
    dm.AdoConn.open(AppPaths::databaseFile(), DatabaseFile::password);
    CurrentRights::current().find = CurrentRights::current().prin = QString(25, QLatin1Char('1'));
    QElapsedTimer timer;
    timer.start();
    build(dm.AdoConn, goods, lines, bills);
    std::printf("built %d goods, %d bills, %d bill lines over %d days in %.0f ms\n", goods, bills, lines, days,
                timer.nsecsElapsed() / 1e6);

    // The look-up sources are open in a running program; open them once here.
    timer.restart();
    dm.GoodsQ->open();
    dm.CompanyQ->open();
    std::printf("goods and company look-up sources opened in %.0f ms\n", timer.nsecsElapsed() / 1e6);

    const statistics::DateRange year{QDate(2026, 1, 1), QDate(2026, 12, 31)};
    size_t rows = 0;

    TFrmOutList listing;
    listing.fromDateEdit->setDate(year.from);
    listing.toDateEdit->setDate(year.to);
    listing.show();
    const statistics::Query listingSql = statistics::listingQuery(statistics::outBills(), {year});
    bare(dm.AdoConn, listingSql, &rows);   // warm the page cache for both contenders
    const Time listingBare = best([&] { return bare(dm.AdoConn, listingSql, &rows); });
    const Time listingWindow = best([&] { return timeClick(listing); });
    report("sales listing 2026", listingWindow, listingBare, rows, dm.OutListQ->recordCount());
    printPlan(dm.AdoConn, listingSql);
    listing.close();
    dm.OutListQ->close();

    for (const bool byGoods : {true, false}) {
        for (const bool byAmount : {true, false}) {
            std::unique_ptr<RankingWindow> window;
            if (byGoods)
                window = std::make_unique<TFrmOutSortG>();
            else
                window = std::make_unique<TFrmOutSortC>();
            window->fromDateEdit->setDate(year.from);
            window->toDateEdit->setDate(year.to);
            (byAmount ? window->byAmountRadio : window->byQuantityRadio)->setChecked(true);
            window->show();
            const statistics::Query sql = statistics::rankingQuery(
                byGoods ? statistics::RankingKey::Goods : statistics::RankingKey::Company,
                byAmount ? statistics::RankingOrder::ByAmount : statistics::RankingOrder::ByQuantity,
                statistics::BillType::All, year);
            const Time statement = best([&] { return bare(dm.AdoConn, sql, &rows); });
            const Time handler = best([&] { return timeClick(*window); });
            const std::string what = std::string("ranking 2026 ") + (byGoods ? "by goods" : "by company")
                                     + (byAmount ? ", amount" : ", quantity");
            report(what.c_str(), handler, statement, rows, window->dataset()->recordCount());
            printPlan(dm.AdoConn, sql);
        }
    }
    return 0;
}
