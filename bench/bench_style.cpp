// Times a style's goods: generating 30 colours × 20 sizes (600 goods), and
// opening the size and colour grid of one style on a catalogue of 100,000 goods.
// Run offscreen: QT_QPA_PLATFORM=offscreen ./bench_style
#include "BenchClock.h"
#include "core/DatabaseFile.h"
#include "core/TFrmDataMod.h"
#include "db/Connection.h"
#include "db/Schema.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/StyleGeneration.h"
#include "shop/StyleGrid.h"
#include "ui/StyleGridDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
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
    QTemporaryDir dir;
    TFrmDataMod data;
    db::Connection& c = data.AdoConn;
    c.open(dir.filePath("bench.mdb"), DatabaseFile::password, true);
    db::Schema::create(c);
    codeList(c, "gods_color", 30);
    codeList(c, "gods_size", 20);

    StyleGeneration::Request r;
    r.style = QStringLiteral("BIG");
    r.stem = QStringLiteral("衬衫");
    r.colors = StyleGeneration::colorList(c);
    r.sizes = StyleGeneration::sizeList(c);
    QElapsedTimer timer;
    timer.start();
    double cpu = cpuMs();
    const int made = StyleGeneration::generate(c, r);
    std::printf("generate 30 x 20: %d goods in %.1f ms wall, %.1f ms cpu\n", made, timer.nsecsElapsed() / 1e6,
                cpuMs() - cpu);

    catalogue(c, 100000);
    const QList<StyleGrid::Line> lines = {{QStringLiteral("G002401"), 3}, {QStringLiteral("X"), 1}};
    // The first dialog of the run also loads fonts and the style: it is shown apart.
    for (const char* style : {"S02400", "S02400", "S00007", "BIG"}) {
        timer.restart();
        cpu = cpuMs();
        StyleGrid grid = ui::StyleGridDialog::loadTyped(c, QString::fromLatin1(style), nullptr);
        grid.showLines(lines);
        ui::StyleGridDialog dialog(grid, true);
        std::printf("open the grid of %s (%lld cells) on 100,600 goods: %.1f ms wall, %.1f ms cpu\n", style,
                    static_cast<long long>(grid.colors().size() * grid.sizes().size()), timer.nsecsElapsed() / 1e6,
                    cpuMs() - cpu);
    }
    return 0;
}
