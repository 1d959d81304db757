#include "shop/TillShift.h"

#include "core/Clock.h"
#include "core/DataHelpers.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/Amounts.h"
#include "shop/TillSale.h"

#include <algorithm>

namespace TillShift {

namespace {

const QString shiftColumns = QStringLiteral("shift_id,oper_code,open_time,close_time,float_amou,expe_amou,count_amou,diff_amou");

QDateTime storedTime(const db::Statement& query, int column)
{
    if (query.isNull(column))
        return {};
    return QDateTime::fromString(query.textValue(column).left(19), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

Shift read(const db::Statement& query)
{
    return {query.intValue(0),         query.textValue(1),   storedTime(query, 2),   storedTime(query, 3),
            query.doubleValue(4),      query.doubleValue(5), query.doubleValue(6),   query.doubleValue(7)};
}

// The till bills (sales and returns) a condition on their header picks, with
// the condition's parameters bound by `bind`.
template <typename Bind>
Takings sums(db::Connection& connection, const QString& condition, Bind bind)
{
    const QString bills = QStringLiteral("select bill_no from outmain where bill_type='out' and shift_id is not null and %1 "
                                         "union all select bill_no from inmain where bill_type='retu' and shift_id is not null and %1")
                              .arg(condition);
    Takings result;
    {
        db::Statement byMethod(connection, QStringLiteral("select fee_type,sum(paid_amou),"
                                                          "sum(case when paid_amou>0 then paid_amou else 0 end),"
                                                          "sum(case when paid_amou<0 then -paid_amou else 0 end) "
                                                          "from outpay where bill_no in (%1) group by fee_type order by fee_type")
                                           .arg(bills));
        bind(byMethod);
        while (byMethod.next()) {
            const QString method = byMethod.textValue(0);
            result.byMethod.append({method, shop::amounts::cents(byMethod.doubleValue(1))});
            if (method == TillSale::cash) {
                result.cashIn = shop::amounts::cents(byMethod.doubleValue(2));
                result.cashRefunded = shop::amounts::cents(byMethod.doubleValue(3));
            }
        }
    }
    // In the order of 结算方式; a method no longer listed last.
    const QStringList order = TillSale::methods(connection);
    const auto rank = [&](const QString& method) {
        const qsizetype i = order.indexOf(method);
        return i < 0 ? order.size() : i;
    };
    std::stable_sort(result.byMethod.begin(), result.byMethod.end(),
                     [&](const auto& a, const auto& b) { return rank(a.first) < rank(b.first); });
    db::Statement counts(connection, QStringLiteral("select (select count(*) from outmain where bill_type='out' and shift_id is not null and %1),"
                                                    "(select count(*) from inmain where bill_type='retu' and shift_id is not null and %1)")
                                         .arg(condition));
    bind(counts);
    if (counts.next()) {
        result.sales = int(counts.intValue(0));
        result.returns = int(counts.intValue(1));
    }
    return result;
}

void refuseAmount(double value)
{
    if (value < 0 || !shop::amounts::fits(value))
        throw db::Error(QStringLiteral("金额“%1”不合适").arg(DataHelpers::amountText(value)));
}

} // namespace

double Takings::total() const
{
    double sum = 0;
    for (const auto& [method, amount] : byMethod)
        sum += amount;
    return shop::amounts::cents(sum);
}

std::optional<Shift> current(db::Connection& connection, const QString& cashier)
{
    db::Statement query(connection, QStringLiteral("select %1 from tillshift where oper_code=:cashier and close_time is null "
                                                   "order by shift_id limit 1")
                                        .arg(shiftColumns));
    query.bind(QStringLiteral("cashier"), cashier);
    if (!query.next())
        return std::nullopt;
    return read(query);
}

Shift stored(db::Connection& connection, qint64 id)
{
    db::Statement query(connection, QStringLiteral("select %1 from tillshift where shift_id=:id").arg(shiftColumns));
    query.bind(QStringLiteral("id"), id);
    if (!query.next())
        throw db::Error(QStringLiteral("没有这个班次：%1").arg(id));
    return read(query);
}

qint64 open(db::Connection& connection, const QString& cashier, double openingFloat)
{
    refuseAmount(openingFloat);
    db::Transaction transaction(connection, db::Transaction::Write);
    if (current(connection, cashier))
        throw db::Error(QStringLiteral("收银员“%1”还有没交班的班次").arg(cashier));
    db::Statement insert(connection, QStringLiteral("insert into tillshift (oper_code,open_time,float_amou) values (:cashier,:now,:float)"));
    insert.bind(QStringLiteral("cashier"), cashier)
        .bind(QStringLiteral("now"), Clock::now())
        .bind(QStringLiteral("float"), shop::amounts::cents(openingFloat));
    insert.execute();
    const qint64 id = connection.lastInsertRowId();
    transaction.commit();
    return id;
}

void requireOpen(db::Connection& connection, qint64 id)
{
    db::Statement query(connection, QStringLiteral("select close_time from tillshift where shift_id=:id"));
    query.bind(QStringLiteral("id"), id);
    if (!query.next() || !query.isNull(0))
        throw db::Error(shiftClosedMessage);
}

Report report(db::Connection& connection, qint64 id)
{
    return {TillSale::heading(connection).shopName, stored(connection, id), takings(connection, id)};
}

Takings takings(db::Connection& connection, qint64 shiftId)
{
    return sums(connection, QStringLiteral("shift_id=:shift"),
                [&](db::Statement& s) { s.bind(QStringLiteral("shift"), shiftId); });
}

Takings dayTakings(db::Connection& connection, const QDate& day)
{
    return sums(connection, QStringLiteral("bill_date>=:first and bill_date<:after"), [&](db::Statement& s) {
        s.bind(QStringLiteral("first"), QDateTime(day, QTime(0, 0))).bind(QStringLiteral("after"), QDateTime(day.addDays(1), QTime(0, 0)));
    });
}

double expectedCash(double openingFloat, const Takings& takings)
{
    return shop::amounts::cents(openingFloat + takings.cashIn - takings.cashRefunded);
}

Shift close(db::Connection& connection, qint64 id, double counted)
{
    refuseAmount(counted);
    db::Transaction transaction(connection, db::Transaction::Write);
    requireOpen(connection, id);
    Shift shift = stored(connection, id);
    shift.closed = Clock::now();
    shift.expected = expectedCash(shift.openingFloat, takings(connection, id));
    shift.counted = shop::amounts::cents(counted);
    shift.difference = shop::amounts::cents(shift.counted - shift.expected);
    db::Statement update(connection, QStringLiteral("update tillshift set close_time=:closed,expe_amou=:expected,"
                                                    "count_amou=:counted,diff_amou=:difference where shift_id=:id"));
    update.bind(QStringLiteral("closed"), shift.closed)
        .bind(QStringLiteral("expected"), shift.expected)
        .bind(QStringLiteral("counted"), shift.counted)
        .bind(QStringLiteral("difference"), shift.difference)
        .bind(QStringLiteral("id"), id);
    update.execute();
    transaction.commit();
    return shift;
}

QList<Shift> shiftsOfDay(db::Connection& connection, const QDate& day)
{
    db::Statement query(connection, QStringLiteral("select %1 from tillshift where open_time>=:first and open_time<:after "
                                                   "order by open_time, shift_id")
                                        .arg(shiftColumns));
    query.bind(QStringLiteral("first"), QDateTime(day, QTime(0, 0)))
        .bind(QStringLiteral("after"), QDateTime(day.addDays(1), QTime(0, 0)));
    QList<Shift> result;
    while (query.next())
        result.append(read(query));
    return result;
}

} // namespace TillShift
