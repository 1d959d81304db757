// Times the bill work on a shop's database of 100,000 goods and 1,000,000 bill
// lines: saving a 50-line bill (stock included), opening a bill window and a
// finder's search over a month.
#include "BenchClock.h"
#include "core/AppPaths.h"
#include "core/DatabaseFile.h"
#include "core/TFrmDataMod.h"
#include "core/Clock.h"
#include "shop/BillStore.h"
#include "bills/TFrmIn.h"
#include "bills/TFrmInFind.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {

QString code(int i)
{
    return QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0'));
}

// Bills of five lines each, spread over 2025, every goods in stock.
void build(db::Connection& c, int goods, int lines)
{
    db::Transaction t(c);
    db::Statement g(c, "insert into goods (gods_code, gods_name, gods_kind, gods_unit, valu_in, valu_out) "
                       "values (:c, :n, '分类', '件', 10, 15)");
    db::Statement s(c, "insert into storemain (gods_code, gods_amou, cost_pric) values (:c, 100, 10)");
    for (int i = 0; i < goods; ++i) {
        g.reset();
        g.bind("c", code(i)).bind("n", QStringLiteral("货品%1").arg(i));
        g.execute();
        s.reset();
        s.bind("c", code(i));
        s.execute();
    }
    for (int i = 0; i < 500; ++i)
        c.execute(QStringLiteral("insert into company (comp_code, comp_name) values ('C%1', '公司%1')").arg(i));
    db::Statement h(c, "insert into inmain (bill_no, bill_date, bill_type, comp_code, shou_tota) "
                       "values (:b, :d, 'in', :c, 100)");
    db::Statement l(c, "insert into ingoods (bill_no, gods_code, sub_amou, unit_pric) values (:b, :c, :a, :p)");
    const QDateTime start(QDate(2025, 1, 1), QTime(8, 0));
    const int bills = lines / 5;
    for (int b = 0; b < bills; ++b) {
        const QDateTime at = start.addSecs(qint64(b) * (365LL * 86400 / bills));
        const QString number = at.toString("yyyyMMddhhmmss");
        h.reset();
        h.bind("b", number).bind("d", at.date()).bind("c", QStringLiteral("C%1").arg(b % 500));
        h.execute();
        for (int k = 0; k < 5; ++k) {
            l.reset();
            l.bind("b", number).bind("c", code((b * 5 + k) * 7919 % goods)).bind("a", double(k + 1)).bind("p", 10.5);
            l.execute();
        }
    }
    t.commit();
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int goods = argc > 1 ? atoi(argv[1]) : 100000;
    const int lines = argc > 2 ? atoi(argv[2]) : 1000000;
    QTemporaryDir dir;
    AppPaths::setDirectory(dir.path());
    DatabaseFile::createIfMissing(AppPaths::databaseFile());
    TFrmDataMod dm;
    dm.AdoConn.open(AppPaths::databaseFile(), DatabaseFile::password);
    db::Connection& c = dm.AdoConn;
    QElapsedTimer timer;
    timer.start();
    build(c, goods, lines);
    std::printf("built %d goods, %d bill lines in %.0f ms\n", goods, lines, timer.nsecsElapsed() / 1e6);
    Clock::setFixed(QDateTime(QDate(2025, 6, 15), QTime(12, 0)));

    // Saving a 50-line purchase: lines, header and 50 stock records in one transaction.
    std::vector<double> saves, saveCpu;
    for (int run = 0; run < 15; ++run) {
        BillStore::Bill bill;
        bill.billNo = QStringLiteral("20251231%1").arg(run, 6, 10, QLatin1Char('0'));
        bill.header = {{"bill_date", QDate(2025, 12, 31)}, {"comp_code", "C1"}, {"shou_tota", 500.0}};
        for (int k = 0; k < 50; ++k)
            bill.lines.append({code((run * 50 + k) * 31 % goods), double(k % 7 + 1), 11.25, {}});
        timer.restart();
        const double cpu = cpuMs();
        BillStore::save(c, StockPosting::BillKind::Purchase, bill);
        saves.push_back(timer.nsecsElapsed() / 1e6);
        saveCpu.push_back(cpuMs() - cpu);
    }
    std::printf("save a 50-line bill:          %8.1f ms (median of %zu, worst %.1f; cpu %.1f ms)\n", median(saves),
                saves.size(), *std::max_element(saves.begin(), saves.end()), median(saveCpu));

    // Saving an edited 50-line bill through the window: take back, write, apply, show again.
    {
        TFrmIn window;
        Clock::setFixed(QDateTime(QDate(2025, 12, 31), QTime(0, 0)));
        std::vector<double> windowSaves, windowSaveCpu;
        for (int run = 0; run < 5; ++run) {
            window.cmd_addClick();
            for (int k = 0; k < 50; ++k) {
                if (k > 0)
                    window.lines()->append();
                window.lines()->setValue("gods_code", code(k * 97 % goods));
                window.lines()->setValue("sub_amou", 2);
                window.lines()->setValue("unit_pric", 12.5);
            }
            timer.restart();
            const double cpu = cpuMs();
            window.cmd_saveClick();
            windowSaves.push_back(timer.nsecsElapsed() / 1e6);
            windowSaveCpu.push_back(cpuMs() - cpu);
        }
        std::printf("save a 50-line bill (window): %8.1f ms (median, with showing it again; cpu %.1f ms)\n",
                    median(windowSaves), median(windowSaveCpu));
    }

    // Opening the purchase window: the first time loads the goods for the look-ups.
    dm.GoodsQ->close();
    timer.restart();
    double cpu = cpuMs();
    {
        TFrmIn window;
    }
    std::printf("open the purchase window:     %8.1f ms (first, loading %d goods; cpu %.1f ms)\n",
                timer.nsecsElapsed() / 1e6, goods, cpuMs() - cpu);
    std::vector<double> opens, openCpu;
    for (int run = 0; run < 5; ++run) {
        timer.restart();
        cpu = cpuMs();
        TFrmIn window;
        opens.push_back(timer.nsecsElapsed() / 1e6);
        openCpu.push_back(cpuMs() - cpu);
    }
    std::printf("open the purchase window:     %8.1f ms (median, goods already loaded; cpu %.1f ms)\n", median(opens),
                median(openCpu));

    // A finder search over one month.
    std::vector<double> searches, searchCpu;
    int listed = 0;
    for (int run = 0; run < 5; ++run) {
        TFrmInFind finder;
        finder.DateTimePicker1->setDate(QDate(2025, 3, 1));
        finder.DateTimePicker2->setDate(QDate(2025, 3, 31));
        timer.restart();
        cpu = cpuMs();
        finder.cmd_editClick();
        searches.push_back(timer.nsecsElapsed() / 1e6);
        searchCpu.push_back(cpuMs() - cpu);
        listed = finder.dataset()->recordCount();
    }
    std::printf("finder search over a month:   %8.1f ms (median, %d bills listed; cpu %.1f ms)\n", median(searches),
                listed, median(searchCpu));

    // The same rows read bare, for comparison with what the dataset and grid add.
    {
        TFrmInFind finder;
        timer.restart();
        db::Statement bare(c, finder.dataset()->sql());
        bare.bind("date1", QDateTime(QDate(2025, 3, 1), QTime(0, 0)));
        bare.bind("date2", QDateTime(QDate(2025, 3, 31), QTime(23, 59, 59)));
        bare.bind("billtype", "in");
        int n = 0;
        while (bare.next())
            n += bare.columnCount() > 0;
        std::printf("the same search, bare:        %8.1f ms (%d rows)\n", timer.nsecsElapsed() / 1e6, n);
        timer.restart();
        finder.dataset()->close();
        finder.dataset()->setParameter("date1", QDateTime(QDate(2025, 3, 1), QTime(0, 0)));
        finder.dataset()->setParameter("date2", QDateTime(QDate(2025, 3, 31), QTime(23, 59, 59)));
        finder.dataset()->open();
        std::printf("the same search, dataset:     %8.1f ms\n", timer.nsecsElapsed() / 1e6);
    }
    return 0;
}
