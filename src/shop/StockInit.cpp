#include "shop/StockInit.h"

#include "core/DataHelpers.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/OperationLog.h"
#include "shop/StockRules.h"

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

Refusal save(db::Dataset& stock, const QString& action)
{
    if (const Refusal refused = firstRefusal(stock); refused.row >= 0)
        return refused;
    db::Connection& connection = stock.connection();
    db::Transaction transaction(connection, db::Transaction::Write);
    const QString before = stockTotals(connection);
    stock.updateBatch();
    OperationLog::write(connection, {QStringLiteral("库存初始化"), action, {},
                                     before + QStringLiteral(" → ") + stockTotals(connection), {}});
    transaction.commit();
    return {};
}

bool importLines(db::Connection& connection, const QList<OpeningLine>& lines,
                 const std::function<bool(int, int)>& progress)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    const QString before = stockTotals(connection);
    db::Statement update(connection, QStringLiteral("update storemain set gods_amou=case when :setAmount=1 "
                                                    "then :amount else gods_amou end,cost_pric=case when "
                                                    ":setCost=1 then :cost else cost_pric end where gods_code=:code"));
    db::Statement insert(connection, QStringLiteral("insert into storemain(gods_code,gods_amou,cost_pric) "
                                                    "values(:code,:amount,:cost)"));
    const int total = int(lines.size());
    for (int i = 0; i < total; ++i) {
        if (progress && i > 0 && i % 1000 == 0 && !progress(i, total))
            return false;
        const OpeningLine& line = lines[i];
        const QVariant amount = line.amount.isNull() ? QVariant(0.0) : line.amount;
        const QVariant cost = line.cost.isNull() ? QVariant(0.0) : line.cost;
        update.bind(QStringLiteral("setAmount"), line.hasAmount ? 1 : 0)
            .bind(QStringLiteral("amount"), amount)
            .bind(QStringLiteral("setCost"), line.hasCost ? 1 : 0)
            .bind(QStringLiteral("cost"), cost)
            .bind(QStringLiteral("code"), line.code);
        const int changed = update.execute();
        update.reset();
        if (changed == 0) {
            insert.bind(QStringLiteral("code"), line.code)
                .bind(QStringLiteral("amount"), line.hasAmount ? amount : QVariant(0.0))
                .bind(QStringLiteral("cost"), line.hasCost ? cost : QVariant(0.0))
                .execute();
            insert.reset();
        }
    }
    OperationLog::write(connection, {QStringLiteral("库存初始化"), QStringLiteral("导入"), {},
                                     before + QStringLiteral(" → ") + stockTotals(connection), {}});
    transaction.commit();
    if (progress)
        progress(total, total);
    return true;
}

QString rowRefusal(const db::Dataset& stock, int row)
{
    const QString goods = stock.value(row, stock.fieldIndex(QStringLiteral("gods_code"))).toString();
    // A stock row is the stock of one goods: without a code it is nobody's.
    if (goods.trimmed().isEmpty())
        return QStringLiteral("第%1行没有货品编码，请输入货品编码或删除这一行后再保存").arg(row + 1);
    const QString refusal = StockRules::quantityRefusal(StockRules::Sheet::Opening, goods,
                                                        stock.value(row, stock.fieldIndex(QStringLiteral("gods_amou"))));
    if (!refusal.isEmpty())
        return refusal;
    return StockRules::costRefusal(goods, stock.value(row, stock.fieldIndex(QStringLiteral("cost_pric"))));
}

Refusal firstRefusal(const db::Dataset& stock)
{
    for (int row = 0; row < stock.recordCount(); ++row)
        if (stock.isRowChanged(row))
            if (QString refusal = rowRefusal(stock, row); !refusal.isEmpty())
                return {row, refusal};
    return {};
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
