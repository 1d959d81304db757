#include "shop/TodayFigures.h"

#include "core/ShopServer.h"
#include "db/Connection.h"
#include "db/Statement.h"
#include "shop/AutoBackup.h"
#include "shop/StatisticsQuery.h"
#include "shop/StockQuery.h"
#include "shop/StyleAnalysis.h"

#include <QHash>
#include <cmath>

namespace TodayFigures {

namespace {

db::Statement prepared(db::Connection& connection, const statistics::Query& query, const QString& wrapped = {})
{
    db::Statement statement(connection, wrapped.isEmpty() ? query.sql : wrapped.arg(query.sql));
    for (auto it = query.parameters.constBegin(); it != query.parameters.constEnd(); ++it)
        statement.bind(it.key(), it.value());
    return statement;
}

} // namespace

double Sales::profit() const
{
    return std::round((amount - cost) * 100.0) / 100.0;
}

Sales sales(db::Connection& connection, const QDate& day)
{
    db::Statement query = prepared(connection, statistics::salesSummaryQuery(statistics::BillType::Own, {day, day}));
    Sales result;
    if (query.next()) {
        result.bills = int(query.intValue(0));
        result.quantity = query.doubleValue(1);
        result.amount = query.doubleValue(2);
        result.cost = query.doubleValue(3);
    }
    return result;
}

Alarm alarm(db::Connection& connection)
{
    const QString rule = QStringLiteral(" from storemain a inner join goods b on b.gods_code=a.gods_code where ")
                         + StockQuery::alarmCondition() + QStringLiteral(" and trim(a.gods_code)<>''");
    db::Statement query(connection, QStringLiteral("select a.gods_code,b.gods_name,a.gods_amou,(select count(*)%1)%1 "
                                                   "order by a.gods_code limit 5")
                                        .arg(rule));
    Alarm result;
    while (query.next()) {
        result.count = int(query.intValue(3));
        result.first.append({query.textValue(0), query.textValue(1), query.doubleValue(2)});
    }
    return result;
}

Debtors debtors(db::Connection& connection, const QDate& day)
{
    const QList<Receivables::AgeingRow> rows = Receivables::ageing(connection, Receivables::Side::Receivable, day);
    Debtors result;
    result.total = Receivables::ageingTotal(rows).total;
    for (const Receivables::AgeingRow& row : rows)
        if (row.total > 0 && result.largest.size() < 3)
            result.largest.append(row);
    return result;
}

QList<Goods> bestSellers(db::Connection& connection, const QDate& day)
{
    const statistics::Query ranking = statistics::rankingQuery(
        statistics::RankingKey::Goods, statistics::RankingOrder::ByQuantity, statistics::BillType::Own,
        {QDate(day.year(), day.month(), 1), day});
    db::Statement query = prepared(connection, ranking,
                                   QStringLiteral("select r.gods_code,(select g.gods_name from goods g where "
                                                  "g.gods_code=r.gods_code limit 1),r.sub_amou from (%1 limit 5) r "
                                                  "order by r.sub_amou desc,r.gods_code"));
    // The five are chosen before their names are looked up.
    QList<Goods> result;
    while (query.next())
        result.append({query.textValue(0), query.textValue(1), query.doubleValue(2)});
    return result;
}

QList<std::pair<QDate, double>> dailySales(db::Connection& connection, const QDate& day, int days)
{
    const QDate first = day.addDays(1 - days);
    db::Statement query = prepared(connection, statistics::dailySalesQuery(statistics::BillType::Own, {first, day}));
    QHash<QDate, double> amounts;
    while (query.next())
        amounts[QDate::fromString(query.textValue(0).left(10), Qt::ISODate)] += query.doubleValue(1);
    QList<std::pair<QDate, double>> result;
    for (QDate d = first; d <= day; d = d.addDays(1))
        result.append({d, amounts.value(d)});
    return result;
}

Page readPage(const ShopServer::Place& place, const QDate& day, const std::atomic_bool& stopping)
{
    Page page;
    const QList<Part> parts{Part::Sales, Part::Alarm, Part::Debtors, Part::BestSellers, Part::Backup, Part::Chart,
                            Part::OldStock, Part::Takings, Part::Members};
    db::Connection connection;
    try {
        // The window thread's connection is never shared: this one is the reader's own.
        ShopServer::open(connection, place);
    } catch (...) {
        for (Part part : parts)
            page.failures.insert(part, std::current_exception());
        return page;
    }
    for (Part part : parts) {
        if (stopping)
            break;
        try {
            switch (part) {
            case Part::Sales: page.sales = sales(connection, day); break;
            case Part::Alarm: page.alarm = alarm(connection); break;
            case Part::Debtors: page.debtors = debtors(connection, day); break;
            case Part::BestSellers: page.bestSellers = bestSellers(connection, day); break;
            case Part::Backup: page.lastBackup = AutoBackup::lastGood(); break;
            case Part::Chart: page.daily = dailySales(connection, day, chartDays); break;
            case Part::OldStock: page.oldStock = StyleAnalysis::oldStockValue(connection, day); break;
            case Part::Takings: page.takings = TillShift::dayTakings(connection, day); break;
            case Part::Members: page.members = MemberAnalysis::reminders(connection, day); break;
            }
        } catch (...) {
            // One part that fails leaves the others readable.
            page.failures.insert(part, std::current_exception());
        }
    }
    return page;
}

} // namespace TodayFigures
