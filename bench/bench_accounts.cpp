// Times drawing up a settlement over one company's 10,000 bills and saving a
// receipt spread over 1,000 bills, among 200,000 bill headers.
#include "BenchClock.h"
#include "BenchDatabase.h"
#include "BenchFigure.h"
#include "BenchReplay.h"
#include "shop/Settlement.h"
#include "core/TFrmDataMod.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// 19 companies with 10,000 bills each and 10 with 1,000 each, spread over 2026.
void build(db::Connection& c)
{
    db::Transaction t(c);
    db::Statement company(c, "insert into company (comp_code, comp_name) values (:c, :n)");
    db::Statement bill(c, "insert into outmain (bill_no, bill_date, comp_code, shou_tota, fact_tota, bill_type, oper_name) "
                          "values (:b, :d, :c, :s, :f, 'out', '张三')");
    int number = 0;
    const auto addCompany = [&](const QString& code, int bills) {
        company.reset();
        company.bind("c", code).bind("n", QStringLiteral("公司") + code);
        company.execute();
        for (int i = 0; i < bills; ++i) {
            bill.reset();
            bill.bind("b", QStringLiteral("2026%1").arg(number++, 10, 10, QLatin1Char('0')));
            bill.bind("d", QDate(2026, 1, 1).addDays((i * 37) % 365));
            bill.bind("c", code);
            bill.bind("s", 100.0 + i % 50);
            bill.bind("f", i % 3 == 0 ? QVariant(10.0) : QVariant());
            bill.execute();
        }
    };
    for (int k = 0; k < 19; ++k)
        addCompany(QStringLiteral("C%1").arg(k, 2, 10, QLatin1Char('0')), 10000);
    for (int k = 0; k < 10; ++k)
        addCompany(QStringLiteral("S%1").arg(k, 2, 10, QLatin1Char('0')), 1000);
    t.commit();
}

Settlement::Filter yearOf(const QString& company)
{
    Settlement::Filter f;
    f.byCompany = true;
    f.compCode = company;
    f.from = QDate(2026, 1, 1);
    f.to = QDate(2026, 12, 31);
    return f;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    BenchFile file;
    TFrmDataMod data;
    db::Connection& c = data.AdoConn;
    file.open(c);
    QElapsedTimer timer;
    timer.start();
    build(c);
    std::printf("built 200,000 bill headers of 29 companies in %.0f ms\n", timer.nsecsElapsed() / 1e6);
    data.CompanyQ->open();

    // Drawing up: the list with its company names and margins, the totals and the
    // credit, against the bare replay of the statements it runs.
    db::Dataset* list = data.GathQ;
    list->addHook(db::Dataset::Hook::Calculate, &app, [](db::Dataset& d) {
        d.setCalculated("margin", d.number("shou_tota") - d.number("fact_tota"));
    });
    Settlement::Totals totals;
    const auto drawUp = [&](int k) {
        Settlement::openList(*list, "outmain", yearOf(QStringLiteral("C%1").arg(k, 2, 10, QLatin1Char('0'))));
        totals = Settlement::totals(*list);
        Settlement::credit(c, "C00");
        for (int row = 0; row < list->recordCount(); ++row)
            list->displayText(row, list->fieldIndex("margin"));
    };
    std::vector<double> drawUps, bareDrawUps;
    for (int k = 0; k < 5; ++k) {
        std::vector<bench::StartedStatement> statements;
        {
            bench::StatementLog log(c.handle());
            drawUp(k);
            statements = log.started();
        }
        double cpu = cpuMs();
        bench::replay(c.handle(), statements);
        bareDrawUps.push_back(cpuMs() - cpu);
        cpu = cpuMs();
        drawUp(k);
        drawUps.push_back(cpuMs() - cpu);
    }
    std::printf("settlement over %d bills, owing %.0f\n", list->recordCount(), totals.owing());
    printFigure("settlement over 10,000 bills (cpu)", median(bareDrawUps), median(drawUps), {1.5, 1000});

    // A receipt over each small company's open bills, each with a number of its
    // own: recorded on one copy, replayed bare on another, saved on the database.
    db::Connection recording, bareCopy;
    file.openTwin(c, recording);
    file.openTwin(c, bareCopy);
    std::vector<double> saves, bareSaves;
    int spreadOver = 0;
    for (int k = 0; k < 10; ++k) {
        const Settlement::Filter f = yearOf(QStringLiteral("S%1").arg(k, 2, 10, QLatin1Char('0')));
        const QList<Settlement::Bill> bills = Settlement::readBills(c, "outmain", f);
        spreadOver = bills.size();
        Settlement::Voucher v;
        v.number = QStringLiteral("202612311200%1").arg(k, 2, 10, QLatin1Char('0'));
        v.date = QDate(2026, 12, 31);
        v.amount = Settlement::totals(bills).owing() + 10;
        std::vector<bench::StartedStatement> statements;
        {
            bench::StatementLog log(recording.handle());
            Settlement::save(recording, Settlement::receipts(), f, v);
            statements = log.started();
        }
        double cpu = cpuMs();
        bench::replay(bareCopy.handle(), statements);
        bareSaves.push_back(cpuMs() - cpu);
        cpu = cpuMs();
        const Settlement::Saved saved = Settlement::save(c, Settlement::receipts(), f, v);
        saves.push_back(cpuMs() - cpu);
        if (saved.balance != 10)
            std::printf("unexpected balance %.2f\n", saved.balance);
    }
    sameFigures(recording, bareCopy, "select count(*),sum(fact_tota) from outmain");
    sameFigures(recording, bareCopy, "select count(*),sum(paid_amou) from gathbill");
    db::Statement open(c, "select count(*) from outmain where comp_code like 'S%' and fact_tota<>shou_tota");
    open.next();
    std::printf("receipts spread over %d bills each; bills left open: %lld (expected 0)\n", spreadOver, open.intValue(0));
    printFigure("receipt spread over 1,000 bills (cpu)", median(bareSaves), median(saves), {1.5, 200});
    return 0;
}
