#include "shop/OperationLog.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QDateTime>

namespace OperationLog {

namespace {

const QString timeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

QStringList distinctValues(db::Connection& connection, const QString& column)
{
    db::Statement query(connection, QStringLiteral("select distinct %1 from oper_log where %1 is not null order by %1").arg(column));
    QStringList values;
    while (query.next())
        values << query.textValue(0);
    return values;
}

} // namespace

void write(db::Connection& connection, const Entry& entry, const QString& saveId)
{
    db::Statement insert(connection, QStringLiteral(
        "insert into oper_log (log_time,user_id,win_name,act_name,log_key,summary,detail,save_id) "
        "values (:time,:user,:window,:action,:key,:summary,:detail,:save_id)"));
    insert.bind(QStringLiteral("time"), Clock::now().toString(timeFormat))
        .bind(QStringLiteral("user"), CurrentRights::current().userId)
        .bind(QStringLiteral("window"), entry.window)
        .bind(QStringLiteral("action"), entry.action)
        .bind(QStringLiteral("key"), entry.key)
        .bind(QStringLiteral("summary"), entry.summary)
        .bind(QStringLiteral("detail"), entry.detail)
        .bind(QStringLiteral("save_id"), saveId.isEmpty() ? QVariant() : QVariant(saveId));
    insert.execute();
}

void record(db::Connection& connection, const Entry& entry, const std::function<void()>& change)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    change();
    write(connection, entry);
    transaction.commit();
}

QString rowText(const db::Dataset& dataset)
{
    QStringList lines;
    for (const QString& name : dataset.fieldNames())
        if (!dataset.isNull(name))
            lines << name + QLatin1Char('=') + dataset.text(name);
    return lines.join(QLatin1Char('\n'));
}

void open(db::Dataset& list, const Filter& filter)
{
    QString sql = QStringLiteral("select * from oper_log where log_time>=:from and log_time<:to");
    if (!filter.userId.isEmpty())
        sql += QStringLiteral(" and user_id=:user");
    if (!filter.action.isEmpty())
        sql += QStringLiteral(" and act_name=:action");
    if (!filter.keyText.isEmpty())
        sql += QStringLiteral(" and log_key like :key escape '\\'");
    sql += QStringLiteral(" order by log_time,log_id");
    list.close();
    list.setSql(sql);
    list.setParameter(QStringLiteral("from"), filter.from.startOfDay().toString(timeFormat));
    list.setParameter(QStringLiteral("to"), filter.to.addDays(1).startOfDay().toString(timeFormat));
    if (!filter.userId.isEmpty())
        list.setParameter(QStringLiteral("user"), filter.userId);
    if (!filter.action.isEmpty())
        list.setParameter(QStringLiteral("action"), filter.action);
    if (!filter.keyText.isEmpty()) {
        QString escaped = filter.keyText;
        escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
            .replace(QLatin1Char('%'), QStringLiteral("\\%"))
            .replace(QLatin1Char('_'), QStringLiteral("\\_"));
        list.setParameter(QStringLiteral("key"), QLatin1Char('%') + escaped + QLatin1Char('%'));
    }
    list.open();
}

QStringList users(db::Connection& connection)
{
    return distinctValues(connection, QStringLiteral("user_id"));
}

QStringList actions(db::Connection& connection)
{
    return distinctValues(connection, QStringLiteral("act_name"));
}

} // namespace OperationLog
