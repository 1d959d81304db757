#include "shop/StockQuery.h"

#include "db/Dataset.h"

#include <QStringList>

namespace StockQuery {

namespace {

void prepare(db::Dataset& dataset, const QString& columns, QStringList conditions, const Filter& filter)
{
    const QString code = filter.code.trimmed();
    const QString kind = filter.kind.trimmed();
    if (!code.isEmpty())
        conditions << QStringLiteral("a.gods_code=:code");
    if (!kind.isEmpty())
        conditions << QStringLiteral("b.gods_kind=:kind");
    if (code.isEmpty() && kind.isEmpty())
        conditions << QStringLiteral("trim(a.gods_code)<>''");
    const bool needsGoods = !kind.isEmpty() || columns.contains(QLatin1String("b."))
                            || conditions.join(QString()).contains(QLatin1String("b."));
    QString sql = QStringLiteral("select %1 from storemain a").arg(columns);
    if (needsGoods)
        sql += QStringLiteral(" left outer join goods b on b.gods_code=a.gods_code");
    sql += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "))
           + QStringLiteral(" order by a.gods_code");
    dataset.close();
    dataset.setSql(sql);
    if (!code.isEmpty())
        dataset.setParameter(QStringLiteral("code"), code);
    if (!kind.isEmpty())
        dataset.setParameter(QStringLiteral("kind"), kind);
}

} // namespace

void prepareStock(db::Dataset& dataset, const Filter& filter)
{
    prepare(dataset, QStringLiteral("a.gods_code,a.gods_amou,a.cost_pric"), {}, filter);
}

QString alarmCondition()
{
    // A missing goods row or an empty limit compares as unknown and so never alarms.
    return QStringLiteral("(a.gods_amou>b.max_amou or a.gods_amou<b.min_amou)");
}

void prepareAlarm(db::Dataset& dataset, const Filter& filter)
{
    prepare(dataset, QStringLiteral("a.gods_code,a.gods_amou"), {alarmCondition()}, filter);
}

Totals sum(const db::Dataset& dataset)
{
    Totals totals;
    const int amount = dataset.fieldIndex(QStringLiteral("gods_amou"));
    const int price = dataset.fieldIndex(QStringLiteral("cost_pric"));
    for (int row = 0; row < dataset.recordCount(); ++row) {
        const double quantity = dataset.value(row, amount).toDouble();
        totals.quantity += quantity;
        if (price >= 0)
            totals.cost += quantity * dataset.value(row, price).toDouble();
    }
    return totals;
}

} // namespace StockQuery
