// Two copies of the program saving one-line sales back to back into one file:
// every save must land, however the write lock falls between them.
// Run without arguments; it starts the two savers itself.
#include "core/DatabaseFile.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "shop/BillStore.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int savesPerCopy = 200;

int saveSales(const QString& path)
{
    db::Connection c;
    c.open(path, DatabaseFile::password);
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
    const QString path = dir.filePath("shop.mdb");
    DatabaseFile::createIfMissing(path);
    {
        db::Connection c;
        c.open(path, DatabaseFile::password);
        c.execute("insert into goods (gods_code, gods_name) values ('G1', '货品')");
        c.execute("insert into storemain (gods_code, gods_amou, cost_pric) values ('G1', 1000, 10)");
        c.execute("insert into company (comp_code, comp_name) values ('C1', '客户')");
    }
    QElapsedTimer timer;
    timer.start();
    QProcess a, b;
    a.start(args[0], {"--save", path});
    b.start(args[0], {"--save", path});
    a.waitForFinished(-1);
    b.waitForFinished(-1);
    db::Connection c;
    c.open(path, DatabaseFile::password);
    db::Statement stored(c, "select count(*) from outmain");
    stored.next();
    db::Statement stock(c, "select gods_amou from storemain where gods_code='G1'");
    stock.next();
    std::printf("two copies, %d sales each: %d stored, stock 1000 -> %g, %.1f s\n", savesPerCopy,
                stored.intValue(0), stock.doubleValue(0), timer.elapsed() / 1000.0);
    std::fputs(a.readAllStandardError().constData(), stderr);
    std::fputs(b.readAllStandardError().constData(), stderr);
    return 0;
}
