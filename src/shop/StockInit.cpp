#include "shop/StockInit.h"

#include "core/DataHelpers.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/OperationLog.h"

namespace StockInit {

int importGoods(db::Connection& connection)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    connection.execute(QStringLiteral(
        "insert into storemain(gods_code,gods_amou,cost_pric) "
        "select distinct g.gods_code,0,0 from goods g where g.gods_code is not null "
        "and not exists (select 1 from storemain s where s.gods_code=g.gods_code) order by g.gods_code"));
    const int added = connection.changes();
    transaction.commit();
    return added;
}

namespace {

// Goods, quantity and value of the whole opening stock, as the log writes them.
QString stockTotals(db::Connection& connection)
{
    db::Statement query(connection, QStringLiteral("select count(*),coalesce(sum(gods_amou),0),"
                                                   "coalesce(sum(gods_amou*cost_pric),0) from storemain"));
    query.next();
    return QStringLiteral("%1 种，数量 %2，金额 %3")
        .arg(query.intValue(0))
        .arg(DataHelpers::amountText(query.doubleValue(1)), DataHelpers::amountText(query.doubleValue(2)));
}

} // namespace

void save(db::Dataset& stock, const QString& action)
{
    db::Connection& connection = stock.connection();
    db::Transaction transaction(connection, db::Transaction::Write);
    const QString before = stockTotals(connection);
    stock.updateBatch();
    OperationLog::write(connection, {QStringLiteral("库存初始化"), action, {},
                                     before + QStringLiteral(" → ") + stockTotals(connection), {}});
    transaction.commit();
}

int firstEmptyChangedRow(const db::Dataset& dataset)
{
    const int amount = dataset.fieldIndex(QStringLiteral("gods_amou"));
    const int cost = dataset.fieldIndex(QStringLiteral("cost_pric"));
    for (int row = 0; row < dataset.recordCount(); ++row)
        if (dataset.isRowChanged(row) && (dataset.value(row, amount).isNull() || dataset.value(row, cost).isNull()))
            return row;
    return -1;
}

QList<int> negativeChangedRows(const db::Dataset& dataset)
{
    const int amount = dataset.fieldIndex(QStringLiteral("gods_amou"));
    QList<int> rows;
    for (int row = 0; row < dataset.recordCount(); ++row)
        if (dataset.isRowChanged(row) && dataset.value(row, amount).toDouble() < 0)
            rows.append(row);
    return rows;
}

} // namespace StockInit
