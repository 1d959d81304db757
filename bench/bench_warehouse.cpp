// Times the warehouse's heavy steps on 100,000 goods and 1,000,000 bill lines
// against bare sqlite3 statements reading the same rows, in the same run:
// the stock query with look-ups, starting and saving a count, a month's movement.
// Times are CPU times of the running thread.
#include "BenchClock.h"
#include "core/DatabaseFile.h"
#include "core/TFrmDataMod.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Schema.h"
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
#include <QTemporaryDir>
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
            l.bind("b", bill).bind("c", QStringLiteral("G%1").arg((i * 7919) % 100000, 6, 10, QLatin1Char('0')));
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

void report(const char* what, double ours, double bareMs, double limit)
{
    std::printf("%-34s %8.0f ms   bare %8.0f ms   ratio %5.2f   limit %5.0f ms  %s\n", what, ours, bareMs,
                ours / bareMs, limit, ours < limit && ours <= 1.5 * bareMs ? "ok" : "OVER");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int goods = argc > 1 ? atoi(argv[1]) : 100000;
    const int lines = argc > 2 ? atoi(argv[2]) : 1000000;
    QTemporaryDir dir;
    TFrmDataMod data;
    db::Connection& c = data.AdoConn;
    c.open(dir.filePath("bench.mdb"), DatabaseFile::password, true);
    db::Schema::create(c);
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

    // Stock query: all records with their look-ups, totals and values.
    const QList<QByteArray> stockSql = {
        "select a.gods_code,a.gods_amou,a.cost_pric,b.gods_name,b.gods_spec,b.gods_type,b.gods_kind,b.gods_unit,"
        "b.gods_color,b.gods_size from storemain a left outer join goods b on b.gods_code=a.gods_code "
        "where trim(a.gods_code)<>'' order by a.gods_code"};
    bare(c, stockSql);   // warm the cache for both
    long long rows = 0;
    const double stockBare = bare(c, stockSql, &rows);
    StockQuery::Totals totals;
    const double stockOpen = timed([&] {
        StockQuery::prepareStock(*data.StoreQ, {});
        data.StoreQ->open();
        totals = StockQuery::sum(*data.StoreQ);
    });
    const double stockAll = stockOpen + timed([&] { touchAll(*data.StoreQ); });
    std::printf("stock rows %lld / %d, total quantity %.0f\n", rows, data.StoreQ->recordCount(), totals.quantity);
    report("stock query (open + totals)", stockOpen, stockBare, 300);
    report("stock query (+ every look-up)", stockAll, stockBare, 300);

    // Starting a count: the sheet read from stock into its dataset.
    const QDate day(2025, 7, 15);
    const QList<QByteArray> startBareSql = {"select gods_code,gods_amou from storemain order by gods_code"};
    bare(c, startBareSql);
    const double startBare = bare(c, startBareSql);
    const double start = timed([&] { StockSheet::startCount(*data.ChektempQ, day); });
    report("count start", start, startBare, 2000);

    // Saving the count, nothing changed: every stock record's history row in one
    // transaction, no stock moved.
    const QList<QByteArray> saveBareSql = {"begin immediate",
                                           "insert into storchek(gods_code,gods_amou,chek_amou,chek_date) "
                                           "select gods_code,gods_amou,gods_amou,'2025-07-15 00:00:00' "
                                           "from storemain order by gods_code",
                                           "rollback"};
    const double saveBare = bare(c, saveBareSql);
    StockSheet::SaveResult saved;
    const QList<StockSheet::Line> sheetLines = StockSheet::lines(*data.ChektempQ);
    const double save = timed([&] { saved = StockSheet::saveCount(c, day, sheetLines, {}, [](int, int) {}); });
    report("count save", save, saveBare, 2000);
    std::printf("count saved %d rows (outcome %d)\n", saved.rows, int(saved.outcome));

    // A month's movement: June opens from May's count; its bill lines in and out.
    // The bare statement: the same grouping of the same count rows and bill lines, read row by row.
    const QList<QByteArray> moveBareSql = {
        "select gods_code,sum(last_amou),sum(in_amou),sum(out_amou),"
        "cast(round(sum(last_amou)+sum(in_amou)-sum(out_amou)) as integer) from ("
        " select gods_code,chek_amou as last_amou,0 as in_amou,0 as out_amou from storchek"
        "  where chek_date>='2025-05-01 00:00:00' and chek_date<'2025-06-01 00:00:00'"
        " union all"
        " select b.gods_code,0,b.sub_amou,0 from inmain a inner join ingoods b on a.bill_no=b.bill_no"
        "  where a.bill_date>='2025-06-01 00:00:00' and a.bill_date<'2025-07-01 00:00:00'"
        " union all"
        " select b.gods_code,0,0,b.sub_amou from outmain a inner join outgoods b on a.bill_no=b.bill_no"
        "  where a.bill_date>='2025-06-01 00:00:00' and a.bill_date<'2025-07-01 00:00:00'"
        ") as moves group by gods_code order by gods_code"};
    bare(c, moveBareSql);
    const double moveBare = bare(c, moveBareSql, &rows);
    StockMovement::Totals moved;
    const double compute = timed([&] { moved = StockMovement::compute(c, 2025, 6); });
    const double move = compute + timed([&] {
        data.MiosQ->close();
        data.MiosQ->setSql("select * from mios");
        data.MiosQ->open();
    });
    std::printf("movement: %lld grouped rows, %d result rows, in %.0f out %.0f closing %.0f\n", rows, moved.rows,
                moved.in, moved.out, moved.closing);
    std::printf("movement: computed and stored in %.0f ms, opened in %.0f ms\n", compute, move - compute);
    report("month movement", move, moveBare, 1000);
    return 0;
}
