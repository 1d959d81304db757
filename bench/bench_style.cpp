// Times a style's goods: generating 30 colours × 20 sizes (600 goods), and
// opening the size and colour grid of one style on a catalogue of 100,000 goods.
// Run offscreen: QT_QPA_PLATFORM=offscreen ./bench_style
#include "BenchClock.h"
#include "BenchDatabase.h"
#include "BenchFigure.h"
#include "BenchReplay.h"
#include "core/TFrmDataMod.h"
#include "db/Connection.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/StyleGeneration.h"
#include "shop/StyleGrid.h"
#include "ui/StyleGridDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

void codeList(db::Connection& c, const QString& column, int count)
{
    db::Statement insert(c, QStringLiteral("insert into baseitem(%1_id,%1) values(:code,:name)").arg(column));
    for (int i = 0; i < count; ++i) {
        insert.bind("code", QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'))).bind("name", QStringLiteral("%1%2").arg(column.right(4)).arg(i));
        insert.execute();
        insert.reset();
    }
}

// 100,000 goods in styles of 5 colours × 4 sizes, with stock.
void catalogue(db::Connection& c, int goods)
{
    db::Transaction t(c);
    db::Statement g(c, "insert into goods (gods_code,gods_name,gods_color,gods_size,styl_code) values (:c,:n,:col,:siz,:s)");
    db::Statement s(c, "insert into storemain (gods_code,gods_amou,cost_pric) values (:c,:a,10)");
    for (int i = 0; i < goods; ++i) {
        const QString code = QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0'));
        g.bind("c", code).bind("n", code).bind("col", QStringLiteral("c%1").arg(i % 20 / 4));
        g.bind("siz", QStringLiteral("size%1").arg(i % 4)).bind("s", QStringLiteral("S%1").arg(i / 20, 5, 10, QLatin1Char('0')));
        g.execute();
        g.reset();
        s.bind("c", code).bind("a", double(i % 9));
        s.execute();
        s.reset();
    }
    t.commit();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    BenchFile file;
    TFrmDataMod data;
    db::Connection& c = data.AdoConn;
    file.open(c);
    codeList(c, "gods_color", 30);
    codeList(c, "gods_size", 20);

    // Generating writes: recorded on one copy, replayed bare on another, and
    // done, untraced, on the database itself.
    StyleGeneration::Request r;
    r.style = QStringLiteral("BIG");
    r.stem = QStringLiteral("衬衫");
    r.colors = StyleGeneration::colorList(c);
    r.sizes = StyleGeneration::sizeList(c);
    db::Connection recording, bareCopy;
    file.openTwin(c, recording);
    file.openTwin(c, bareCopy);
    std::vector<bench::StartedStatement> generation;
    {
        bench::StatementLog log(recording.handle());
        StyleGeneration::generate(recording, r);
        generation = log.started();
    }
    double cpu = cpuMs();
    bench::replay(bareCopy.handle(), generation);
    const double bareGenerate = cpuMs() - cpu;
    cpu = cpuMs();
    const int made = StyleGeneration::generate(c, r);
    sameFigures(recording, bareCopy, "select count(*),max(gods_code),min(gods_name) from goods");
    printFigure(qPrintable(QStringLiteral("generate 30 x 20: %1 goods (cpu)").arg(made)), bareGenerate, cpuMs() - cpu);

    catalogue(c, 100000);
    const QList<StyleGrid::Line> lines = {{QStringLiteral("G002401"), 3}, {QStringLiteral("X"), 1}};
    // Each grid is opened once untimed, its statements recorded (the first also
    // loads fonts and the style), then timed against their bare replay.
    for (const char* style : {"S02400", "S00007", "BIG"}) {
        std::vector<bench::StartedStatement> loading;
        long long cells = 0;
        const auto open = [&] {
            StyleGrid grid = ui::StyleGridDialog::loadTyped(c, QString::fromLatin1(style), nullptr);
            grid.showLines(lines);
            ui::StyleGridDialog dialog(grid, true);
            cells = grid.colors().size() * grid.sizes().size();
        };
        {
            bench::StatementLog log(c.handle());
            open();
            loading = log.started();
        }
        cpu = cpuMs();
        bench::replay(c.handle(), loading);
        const double bare = cpuMs() - cpu;
        cpu = cpuMs();
        open();
        printFigure(qPrintable(QStringLiteral("open the grid of %1, %2 cells (cpu)").arg(style).arg(cells)), bare,
                    cpuMs() - cpu);
    }
    return 0;
}
