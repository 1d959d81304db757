// Times drawing up a settlement over one company's 10,000 bills and saving a
// receipt spread over 1,000 bills, among 200,000 bill headers.
#include "BenchClock.h"
#include "shop/Settlement.h"
#include "core/DatabaseFile.h"
#include "core/TFrmDataMod.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Schema.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>
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

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    TFrmDataMod data;
    db::Connection& c = data.AdoConn;
    c.open(dir.filePath("bench.mdb"), DatabaseFile::password, true);
    db::Schema::create(c);
    QElapsedTimer timer;
    timer.start();
    build(c);
    std::printf("built 200,000 bill headers of 29 companies in %.0f ms\n", timer.nsecsElapsed() / 1e6);
    data.CompanyQ->open();

    // Drawing up: the list with its company names and margins, the totals and the credit.
    db::Dataset* list = data.GathQ;
    list->addHook(db::Dataset::Hook::Calculate, &app, [](db::Dataset& d) {
        d.setCalculated("margin", d.number("shou_tota") - d.number("fact_tota"));
    });
    std::vector<double> drawUps, drawUpsCpu;
    Settlement::Totals totals;
    for (int k = 0; k < 5; ++k) {
        timer.restart();
        const double cpu = cpuMs();
        Settlement::openList(*list, "outmain", yearOf(QStringLiteral("C%1").arg(k, 2, 10, QLatin1Char('0'))));
        totals = Settlement::totals(*list);
        Settlement::credit(c, "C00");
        for (int row = 0; row < list->recordCount(); ++row)
            list->displayText(row, list->fieldIndex("margin"));
        drawUps.push_back(timer.nsecsElapsed() / 1e6);
        drawUpsCpu.push_back(cpuMs() - cpu);
    }
    std::printf("settlement over %d bills: median %.1f ms of 5, CPU %.1f ms (limit 1000 ms); owing %.0f\n",
                list->recordCount(), median(drawUps), median(drawUpsCpu), totals.owing());

    std::vector<double> saves, savesCpu;
    int spreadOver = 0;
    for (int k = 0; k < 10; ++k) {
        const Settlement::Filter f = yearOf(QStringLiteral("S%1").arg(k, 2, 10, QLatin1Char('0')));
        const QList<Settlement::Bill> bills = Settlement::readBills(c, "outmain", f);
        spreadOver = bills.size();
        Settlement::Voucher v;
        v.number = QStringLiteral("20261231120000");
        v.date = QDate(2026, 12, 31);
        v.amount = Settlement::totals(bills).owing() + 10;
        timer.restart();
        const double cpu = cpuMs();
        const Settlement::Saved saved = Settlement::save(c, Settlement::receipts(), f, v);
        saves.push_back(timer.nsecsElapsed() / 1e6);
        savesCpu.push_back(cpuMs() - cpu);
        if (saved.balance != 10)
            std::printf("unexpected balance %.2f\n", saved.balance);
    }
    db::Statement open(c, "select count(*) from outmain where comp_code like 'S%' and fact_tota<>shou_tota");
    open.next();
    std::printf("receipt spread over %d bills: median %.1f ms of 10, CPU %.1f ms, worst %.1f ms (limit 200 ms); "
                "bills left open: %lld\n",
                spreadOver, median(saves), median(savesCpu), *std::max_element(saves.begin(), saves.end()),
                open.intValue(0));
    return 0;
}
