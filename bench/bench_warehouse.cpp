// Times the warehouse's heavy steps on 100,000 goods and 1,000,000 bill lines
// against bare sqlite3 statements reading the same rows, in the same run:
// the stock query with look-ups, starting and saving a count, a month's movement.
// Times are CPU times of the running thread.
#include "BenchClock.h"
#include "BenchDatabase.h"
#include "BenchFigure.h"
#include "BenchReplay.h"
#include "core/TFrmDataMod.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/StockMovement.h"
#include "shop/StockQuery.h"
#include "shop/StockSheet.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QObject>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

void build(db::Connection& c, int goods, int lines)
{
    db::Transaction t(c);
    db::Statement g(c, "insert into goods (gods_code, gods_name, gods_spec, gods_type, gods_kind, gods_unit, "
                       "gods_color, gods_size, max_amou, min_amou) values (:c, :n, '品牌', '款式', '分类', '件', "
                       "'红', 'XL', 50, 2)");
    db::Statement s(c, "insert into storemain (gods_code, gods_amou, cost_pric) values (:c, :a, :p)");
    db::Statement k(c, "insert into storchek (gods_code, gods_amou, chek_amou, chek_date) "
                       "values (:c, :a, :a, '2025-05-31 00:00:00')");
    for (int i = 0; i < goods; ++i) {
        const QString code = QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0'));
        g.bind("c", code).bind("n", QStringLiteral("货品%1").arg(i));
        g.execute();
        g.reset();
        s.bind("c", code).bind("a", double(i % 97)).bind("p", 10.5 + i % 50);
        s.execute();
        s.reset();
        k.bind("c", code).bind("a", double(i % 97));
        k.execute();
        k.reset();
    }
    // Half the lines in, half out, five to a bill, spread over the twelve months of 2025.
    for (const bool in : {true, false}) {
        db::Statement h(c, in ? "insert into inmain (bill_no, bill_date, bill_type) values (:b, :d, 'in')"
                              : "insert into outmain (bill_no, bill_date, bill_type) values (:b, :d, 'out')");
        db::Statement l(c, in ? "insert into ingoods (bill_no, gods_code, sub_amou, unit_pric) values (:b, :c, :a, 1)"
                              : "insert into outgoods (bill_no, gods_code, sub_amou, unit_pric) values (:b, :c, :a, 1)");
        for (int i = 0; i < lines / 2; ++i) {
            const QString bill = QStringLiteral("%1%2").arg(in ? 'I' : 'O').arg(i / 5, 12, 10, QLatin1Char('0'));
            if (i % 5 == 0) {
                const int bills = lines / 10;
                const QDate day = QDate(2025, 1, 1).addDays(int(qint64(i / 5) * 365 / bills));
                h.bind("b", bill).bind("d", day);
                h.execute();
                h.reset();
            }
            l.bind("b", bill).bind("c", QStringLiteral("G%1").arg(qint64(i) * 7919 % goods, 6, 10, QLatin1Char('0')));
            l.bind("a", double(i % 13 + 1));
            l.execute();
            l.reset();
        }
    }
    t.commit();
}

// Runs every statement and steps through all rows, reading every column.
double bare(db::Connection& c, const QList<QByteArray>& statements, long long* rows = nullptr)
{
    const double start = cpuMs();
    long long count = 0;
    for (const QByteArray& sql : statements) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(c.handle(), sql.constData(), -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            for (int col = 0; col < sqlite3_column_count(s); ++col)
                if (sqlite3_column_type(s, col) == SQLITE_TEXT)
                    sqlite3_column_text(s, col);
                else
                    sqlite3_column_double(s, col);
            ++count;
        }
        sqlite3_finalize(s);
    }
    if (rows)
        *rows = count;
    return cpuMs() - start;
}

double timed(const std::function<void()>& work)
{
    const double start = cpuMs();
    work();
    return cpuMs() - start;
}

// Reads every look-up and calculated field of every row, as a grid scrolled end to end would.
void touchAll(db::Dataset& q)
{
    for (int f = 0; f < q.fieldCount(); ++f)
        for (int row = 0; row < q.recordCount(); ++row)
            q.value(row, f);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int goods = argc > 1 ? atoi(argv[1]) : 100000;
    const int lines = argc > 2 ? atoi(argv[2]) : 1000000;
    BenchFile file;
    TFrmDataMod data;
    db::Connection& c = data.AdoConn;
    file.open(c);
    QElapsedTimer timer;
    timer.start();
    build(c, goods, lines);
    std::printf("built %d goods, stock and counts, %d bill lines in %.0f ms\n", goods, lines,
                timer.nsecsElapsed() / 1e6);
    data.GoodsQ->open();   // the look-up source, open in the data module as at start-up
    QObject owner;
    data.StoreQ->addHook(db::Dataset::Hook::Calculate, &owner, [](db::Dataset& q) {
        q.setCalculated("cost_tota", q.number("cost_pric") * q.number("gods_amou"));
    });
    data.ChektempQ->addHook(db::Dataset::Hook::Calculate, &owner, [](db::Dataset& q) {
        q.setCalculated("lost_amou", q.number("chek_amou") - q.number("gods_amou"));
    });

    // Stock query: every record with its look-ups, totals and values, the goods
    // (its look-up source) read within the figure. The bare join returns the
    // same columns: the record, the goods' columns the window looks up, the value.
    const QList<QByteArray> stockSql = {
        "select a.gods_code,a.gods_amou,a.cost_pric,b.gods_name,b.gods_spec,b.gods_type,b.gods_kind,b.gods_unit,"
        "b.gods_color,b.gods_size,b.styl_code,a.gods_amou*a.cost_pric from storemain a left outer join goods b "
        "on b.gods_code=a.gods_code where trim(a.gods_code)<>'' order by a.gods_code"};
    bare(c, stockSql);   // warm the cache for both
    long long rows = 0;
    const double stockBare = bare(c, stockSql, &rows);
    StockQuery::Totals totals;
    const auto stockQuery = [&] {
        StockQuery::prepareStock(*data.StoreQ, {});
        data.StoreQ->open();
        totals = StockQuery::sum(*data.StoreQ);
        touchAll(*data.StoreQ);
    };
    data.GoodsQ->close();
    const double stockAll = timed(stockQuery);
    const double stockSourceOpen = timed(stockQuery);
    int named = 0;
    for (int row = 0; row < data.StoreQ->recordCount(); ++row)
        named += !data.StoreQ->value(row, data.StoreQ->fieldIndex("gods_name")).toString().isEmpty();
    std::printf("stock rows %lld / %d, %d with their goods name (expected %d), total quantity %.0f\n", rows,
                data.StoreQ->recordCount(), named, goods, totals.quantity);
    printFigure("stock query with every look-up (cpu)", stockBare, stockAll, {1.2});
    printFigure("  the same, goods already open (cpu)", stockBare, stockSourceOpen, {1.2});

    // Starting a count: the sheet read from stock into its dataset.
    const QDate day(2025, 7, 15);
    std::vector<bench::StartedStatement> startStatements;
    {
        bench::StatementLog log(c.handle());
        StockSheet::startCount(*data.ChektempQ, day);
        startStatements = log.started();
    }
    const double startBare = timed([&] { bench::replay(c.handle(), startStatements); });
    const double start = timed([&] { StockSheet::startCount(*data.ChektempQ, day); });
    printFigure("count start (cpu)", startBare, start);

    // Saving the count, one goods in ten found one more than the book. The floor
    // is set-based: the counted differences into a table, then one statement for
    // the count's history and one for the stock.
    QList<StockSheet::Line> sheetLines = StockSheet::lines(*data.ChektempQ);
    std::vector<std::pair<std::string, double>> counted;
    for (int i = 0; i < sheetLines.size(); i += 10) {
        sheetLines[i].entered = sheetLines[i].shown + 1;
        counted.emplace_back(sheetLines[i].code.toStdString(), 1.0);
    }
    db::Connection floorCopy;
    file.openTwin(c, floorCopy);
    floorCopy.execute("create temp table counted (gods_code text collate nocase primary key, difference real)");
    sqlite3* h = floorCopy.handle();
    const double saveBare = timed([&] {
        sqlite3_exec(h, "begin immediate", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(h, "insert into counted values(?,?)", -1, &insert, nullptr);
        for (const auto& [code, difference] : counted) {
            sqlite3_reset(insert);
            sqlite3_bind_text(insert, 1, code.data(), int(code.size()), SQLITE_STATIC);
            sqlite3_bind_double(insert, 2, difference);
            sqlite3_step(insert);
        }
        sqlite3_finalize(insert);
        char* error = nullptr;
        sqlite3_exec(h,
                     "insert into storchek(gods_code,gods_amou,chek_amou,chek_date) "
                     "select s.gods_code,coalesce(s.gods_amou,0),coalesce(s.gods_amou,0)+coalesce(k.difference,0),"
                     "'2025-07-15 00:00:00' from storemain s left join counted k on k.gods_code=s.gods_code "
                     "order by s.gods_code;"
                     "update storemain set gods_amou=gods_amou+(select difference from counted k "
                     "where k.gods_code=storemain.gods_code) where gods_code in (select gods_code from counted);"
                     "commit",
                     nullptr, nullptr, &error);
        if (error)
            std::fprintf(stderr, "bare count save: %s\n", error);
        sqlite3_free(error);
    });
    StockSheet::SaveResult saved;
    const double save = timed([&] { saved = StockSheet::saveCount(c, day, sheetLines, {}, [](int, int) {}); });
    std::printf("count saved: %d of %zu goods changed (outcome %d)\n", saved.rows, counted.size(), int(saved.outcome));
    sameFigures(c, floorCopy, "select sum(gods_amou) from storemain");
    sameFigures(c, floorCopy, "select count(*),sum(chek_amou) from storchek");
    printFigure("count save, one goods in ten changed (cpu)", saveBare, save);

    // A month's movement: June opens from May's count; its bill lines in and out.
    const auto movement = [&] {
        StockMovement::Totals moved = StockMovement::compute(c, 2025, 6);
        data.MiosQ->close();
        data.MiosQ->setSql("select * from mios");
        data.MiosQ->open();
        return moved;
    };
    movement();   // warms the cache for both
    std::vector<bench::StartedStatement> moveStatements;
    {
        bench::StatementLog log(c.handle());
        movement();
        moveStatements = log.started();
    }
    const double moveBare = timed([&] { bench::replay(c.handle(), moveStatements); });
    StockMovement::Totals moved;
    const double move = timed([&] { moved = movement(); });
    std::printf("movement: %d result rows, in %.0f out %.0f closing %.0f\n", moved.rows, moved.in, moved.out,
                moved.closing);
    printFigure("month movement (cpu)", moveBare, move);
    return 0;
}
