// Times opening a year's worth of bill lines through the dataset, with goods
// look-ups, against a bare sqlite3 loop over the same rows.
#include "app/DatabaseFile.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Schema.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <string>
#include <sys/resource.h>
#include <ctime>
#include <vector>

namespace {

// CPU time of this thread in ms: steadier than wall time on a shared machine.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void build(db::Connection& c, int goods, int lines)
{
    db::Transaction t(c);
    db::Statement g(c, "insert into goods (gods_code, gods_name, gods_spec, gods_type, gods_kind, gods_unit, "
                       "gods_color, gods_size) values (:c, :n, '品牌', '款式', '分类', '件', '红', 'XL')");
    for (int i = 0; i < goods; ++i) {
        g.bind("c", QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0')));
        g.bind("n", QStringLiteral("货品%1").arg(i));
        g.execute();
        g.reset();
    }
    db::Statement l(c, "insert into ingoods (bill_no, gods_code, sub_amou, unit_pric, remark) values (:b, :c, :a, :p, null)");
    for (int i = 0; i < lines; ++i) {
        l.bind("b", QStringLiteral("2026%1").arg(i / 5, 10, 10, QLatin1Char('0')));
        l.bind("c", QStringLiteral("G%1").arg((i * 7919) % goods, 6, 10, QLatin1Char('0')));
        l.bind("a", double(i % 13 + 1));
        l.bind("p", 10.5 + i % 100);
        l.execute();
        l.reset();
    }
    t.commit();
}

struct Line {
    long long id;
    std::string bill, code;
    double amount, price;
    bool remarkNull;
};

double bareLoop(db::Connection& c, size_t* count)
{
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(c.handle(), "select * from ingoods", -1, &s, nullptr);
    std::vector<Line> rows;
    while (sqlite3_step(s) == SQLITE_ROW) {
        Line line;
        line.id = sqlite3_column_int64(s, 0);
        line.bill = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
        line.code = reinterpret_cast<const char*>(sqlite3_column_text(s, 2));
        line.amount = sqlite3_column_double(s, 3);
        line.price = sqlite3_column_double(s, 4);
        line.remarkNull = sqlite3_column_type(s, 5) == SQLITE_NULL;
        rows.push_back(std::move(line));
    }
    sqlite3_finalize(s);
    *count = rows.size();
    return timer.nsecsElapsed() / 1e6;
}

long peakMemoryMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int goods = argc > 1 ? atoi(argv[1]) : 100000;
    const int lines = argc > 2 ? atoi(argv[2]) : 1000000;
    QTemporaryDir dir;
    db::Connection c;
    c.open(dir.filePath("bench.mdb"), DatabaseFile::password, true);
    db::Schema::create(c);
    QElapsedTimer timer;
    timer.start();
    build(c, goods, lines);
    std::printf("built %d goods and %d bill lines in %.0f ms\n", goods, lines, timer.nsecsElapsed() / 1e6);

    size_t bareRows = 0;
    bareLoop(c, &bareRows);   // warm the page cache for both contenders
    double cpu = cpuMs();
    const double bare = bareLoop(c, &bareRows);
    const double bareCpu = cpuMs() - cpu;

    db::Dataset goodsQ(c, "GoodsQ");
    goodsQ.setSql("select * from goods");
    db::Dataset linesQ(c, "InGoodsQ");
    linesQ.setSql("select * from ingoods");
    for (const char* f : {"in_id", "bill_no", "gods_code", "sub_amou", "unit_pric", "remark"})
        linesQ.addField(f);
    for (const char* f : {"gods_name", "gods_spec", "gods_type", "gods_kind", "gods_unit", "gods_color", "gods_size"})
        linesQ.addLookupField(f, "gods_code", &goodsQ, "gods_code", f);

    timer.restart();
    goodsQ.open();
    const double goodsOpen = timer.nsecsElapsed() / 1e6;
    timer.restart();
    cpu = cpuMs();
    linesQ.open();
    const double datasetOpen = timer.nsecsElapsed() / 1e6;
    const double datasetCpu = cpuMs() - cpu;

    // The first look-up builds the source's hash index; the rest are hash hits.
    const int nameField = linesQ.fieldIndex("gods_name");
    timer.restart();
    qsizetype resolved = 0;
    for (int row = 0; row < 100000 && row < linesQ.recordCount(); ++row)
        resolved += linesQ.value(row, nameField).toString().size() > 0;
    const double lookups = timer.nsecsElapsed() / 1e6;
    timer.restart();
    cpu = cpuMs();
    for (int row = 100000; row < 200000 && row < linesQ.recordCount(); ++row)
        resolved += linesQ.value(row, nameField).toString().size() > 0;
    const double warmLookups = timer.nsecsElapsed() / 1e6;
    const double warmLookupsCpu = cpuMs() - cpu;

    std::printf("bare sqlite3 loop:            %8.0f ms (cpu %.0f ms) for %zu rows\n", bare, bareCpu, bareRows);
    std::printf("dataset open (lines):         %8.0f ms (cpu %.0f ms) for %lld rows\n", datasetOpen, datasetCpu,
                (long long)linesQ.recordCount());
    std::printf("ratio dataset / bare loop:    %8.2f (cpu %.2f)\n", datasetOpen / bare, datasetCpu / bareCpu);
    std::printf("dataset open (goods source):  %8.0f ms for %lld rows\n", goodsOpen, (long long)goodsQ.recordCount());
    std::printf("100,000 look-ups (with index): %7.1f ms\n", lookups);
    std::printf("100,000 look-ups (warm):       %7.1f ms (cpu %.1f ms, %lld resolved)\n", warmLookups, warmLookupsCpu,
                (long long)resolved);
    std::printf("peak memory:                  %8ld MB\n", peakMemoryMb());
    return 0;
}
