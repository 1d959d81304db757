// Times the bill work on a shop's database of 100,000 goods and 1,000,000 bill
// lines: saving a 50-line bill (stock included), opening a bill window and a
// finder's search over a month.
#include "BenchClock.h"
#include "BenchDatabase.h"
#include "BenchFigure.h"
#include "BenchGoods.h"
#include "BenchReplay.h"
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
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {

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
            l.bind("b", number).bind("c", code(int((qint64(b) * 5 + k) * 7919 % goods))).bind("a", double(k + 1)).bind("p", 10.5);
            l.execute();
        }
    }
    t.commit();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int goods = argc > 1 ? atoi(argv[1]) : 100000;
    const int lines = argc > 2 ? atoi(argv[2]) : 1000000;
    BenchFile file;
    TFrmDataMod dm;
    file.open(dm.AdoConn);
    db::Connection& c = dm.AdoConn;
    QElapsedTimer timer;
    timer.start();
    build(c, goods, lines);
    std::printf("built %d goods, %d bill lines in %.0f ms\n", goods, lines, timer.nsecsElapsed() / 1e6);
    Clock::setFixed(QDateTime(QDate(2025, 6, 15), QTime(12, 0)));

    // Saving a 50-line purchase: lines, header and 50 stock records in one
    // transaction. Each bill is saved first on one copy of the database with its
    // statements recorded; they are replayed bare on a second copy, and the bill
    // saved, untraced, on the database itself.
    db::Connection recording, bareCopy;
    file.openTwin(c, recording);
    file.openTwin(c, bareCopy);
    std::vector<double> saves, saveCpu, bareSaves, bareCpu;
    for (int run = 0; run < 15; ++run) {
        BillStore::Bill bill;
        bill.billNo = QStringLiteral("20251231%1").arg(run, 6, 10, QLatin1Char('0'));
        bill.header = {{"bill_date", QDate(2025, 12, 31)}, {"comp_code", "C1"}, {"shou_tota", 500.0}};
        for (int k = 0; k < 50; ++k)
            bill.lines.append({code((run * 50 + k) * 31 % goods), double(k % 7 + 1), 11.25, {}});
        std::vector<bench::StartedStatement> statements;
        {
            bench::StatementLog log(recording.handle());
            BillStore::save(recording, StockPosting::BillKind::Purchase, bill);
            statements = log.started();
        }
        timer.restart();
        double cpu = cpuMs();
        bench::replay(bareCopy.handle(), statements);
        bareSaves.push_back(timer.nsecsElapsed() / 1e6);
        bareCpu.push_back(cpuMs() - cpu);
        timer.restart();
        cpu = cpuMs();
        BillStore::save(c, StockPosting::BillKind::Purchase, bill);
        saves.push_back(timer.nsecsElapsed() / 1e6);
        saveCpu.push_back(cpuMs() - cpu);
        if (run == 0)
            std::printf("a 50-line save runs %zu statements\n", statements.size());
    }
    sameFigures(recording, bareCopy, "select count(*),sum(gods_amou),sum(cost_pric) from storemain");
    sameFigures(recording, bareCopy, "select count(*),sum(sub_amou) from ingoods");
    printFigure("save a 50-line bill (wall)", median(bareSaves), median(saves));
    printFigure("save a 50-line bill (cpu)", median(bareCpu), median(saveCpu));

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
        // Against the bare statements of a save: the window adds checks, the
        // take-back of nothing and showing the bill again.
        printFigure("save a 50-line bill through the window", median(bareSaves), median(windowSaves));
    }

    // Opening the purchase window: the first time loads the goods for the look-ups.
    // The bare side replays the statements an opening runs.
    const auto bareTimes = [&](const std::vector<bench::StartedStatement>& statements, int runs) {
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            const double cpu = cpuMs();
            bench::replay(c.handle(), statements);
            times.push_back(cpuMs() - cpu);
        }
        return median(times);
    };
    std::vector<bench::StartedStatement> firstOpen;
    dm.GoodsQ->close();
    {
        bench::StatementLog log(c.handle());
        TFrmIn window;
        firstOpen = log.started();
    }
    dm.GoodsQ->close();
    double cpu = cpuMs();
    {
        TFrmIn window;
    }
    printFigure("open the purchase window, first (cpu)", bareTimes(firstOpen, 1), cpuMs() - cpu);
    std::vector<bench::StartedStatement> laterOpen;
    {
        bench::StatementLog log(c.handle());
        TFrmIn window;
        laterOpen = log.started();
    }
    std::vector<double> openCpu;
    for (int run = 0; run < 5; ++run) {
        cpu = cpuMs();
        TFrmIn window;
        openCpu.push_back(cpuMs() - cpu);
    }
    printFigure("open the purchase window, again (cpu)", bareTimes(laterOpen, 5), median(openCpu));

    // A finder search over one month.
    std::vector<double> searchCpu;
    std::vector<bench::StartedStatement> search;
    int listed = 0;
    for (int run = 0; run < 6; ++run) {
        TFrmInFind finder;
        finder.fromDateEdit->setDate(QDate(2025, 3, 1));
        finder.toDateEdit->setDate(QDate(2025, 3, 31));
        if (run == 0) {
            bench::StatementLog log(c.handle());
            finder.cmd_editClick();
            search = log.started();
            continue;
        }
        cpu = cpuMs();
        finder.cmd_editClick();
        searchCpu.push_back(cpuMs() - cpu);
        listed = finder.dataset()->recordCount();
    }
    std::printf("the finder lists %d bills of a month\n", listed);
    printFigure("finder search over a month (cpu)", bareTimes(search, 5), median(searchCpu));
    return 0;
}
