#include "app/StockPosting.h"

#include "db/Statement.h"
#include "db/Transaction.h"

#include <QDateTime>

namespace StockPosting {

namespace {

const QString stamp = QStringLiteral("yyyyMMddhhmmss");

// Old quantity A and cost C as stored; an empty value counts as 0.
#define OLD_QTY "coalesce(gods_amou,0)"
#define OLD_VALUE "coalesce(gods_amou,0)*coalesce(cost_pric,0)"

// With no stock (A <= 0) the average means nothing: the purchase price is the cost.
// A quantity or value that would not stay above zero keeps the old cost.
const QString receiveSql = QStringLiteral(
    "update storemain set cost_pric=case"
    " when " OLD_QTY "<=0 then :p"
    " when " OLD_QTY "+:q<=0 or " OLD_VALUE "+:p*:q<0 then cost_pric"
    " else (" OLD_VALUE "+:p*:q)/(" OLD_QTY "+:q) end,"
    " gods_amou=" OLD_QTY "+:q where gods_code=:code");

const QString unreceiveSql = QStringLiteral(
    "update storemain set cost_pric=case"
    " when " OLD_QTY "-:q>0 and " OLD_VALUE "-:p*:q>=0 then (" OLD_VALUE "-:p*:q)/(" OLD_QTY "-:q)"
    " else cost_pric end,"
    " gods_amou=" OLD_QTY "-:q where gods_code=:code");

const QString moveSql = QStringLiteral("update storemain set gods_amou=" OLD_QTY "+:q where gods_code=:code");

#undef OLD_QTY
#undef OLD_VALUE

int runOnStock(db::Connection& connection, const QString& sql, const QString& goodsCode, double quantity,
               const double* price = nullptr)
{
    db::Statement update(connection, sql);
    update.bind(QStringLiteral("code"), goodsCode).bind(QStringLiteral("q"), quantity);
    if (price)
        update.bind(QStringLiteral("p"), *price);
    return update.execute();
}

void insertRecord(db::Connection& connection, const QString& goodsCode, double quantity, const QVariant& cost)
{
    db::Statement insert(connection,
                         QStringLiteral("insert into storemain (gods_code,gods_amou,cost_pric) values (:code,:q,:c)"));
    insert.bind(QStringLiteral("code"), goodsCode).bind(QStringLiteral("q"), quantity).bind(QStringLiteral("c"), cost);
    insert.execute();
}

} // namespace

bool isMonthCounted(db::Connection& connection, int year, int month)
{
    db::Statement query(connection,
                        QStringLiteral("select 1 from storchek where year(chek_date)=:cyear and "
                                       "month(chek_date)=:cmonth limit 1"));
    query.bind(QStringLiteral("cyear"), year).bind(QStringLiteral("cmonth"), month);
    return query.next();
}

bool raisesStock(BillKind kind)
{
    return kind == BillKind::Purchase || kind == BillKind::CustomerReturn;
}

bool movesStock(BillKind kind, const BillLine& line)
{
    // A line without goods has no stock to move.
    if (line.goodsCode.trimmed().isEmpty())
        return false;
    return !(kind == BillKind::CustomerReturn && line.remark == notIntoStock);
}

void receive(db::Connection& connection, const QString& goodsCode, double quantity, double price)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    if (runOnStock(connection, receiveSql, goodsCode, quantity, &price) == 0)
        insertRecord(connection, goodsCode, quantity, price);
    transaction.commit();
}

void unreceive(db::Connection& connection, const QString& goodsCode, double quantity, double price)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    runOnStock(connection, unreceiveSql, goodsCode, quantity, &price);
    transaction.commit();
}

void issue(db::Connection& connection, const QString& goodsCode, double quantity)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    if (runOnStock(connection, moveSql, goodsCode, -quantity) == 0)
        insertRecord(connection, goodsCode, -quantity, QVariant());
    transaction.commit();
}

void unissue(db::Connection& connection, const QString& goodsCode, double quantity)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    runOnStock(connection, moveSql, goodsCode, quantity);
    transaction.commit();
}

void applyBill(db::Connection& connection, BillKind kind, const QList<BillLine>& lines)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    for (const BillLine& line : lines) {
        if (!movesStock(kind, line))
            continue;
        if (raisesStock(kind))
            receive(connection, line.goodsCode, line.quantity, line.unitPrice);
        else
            issue(connection, line.goodsCode, line.quantity);
    }
    transaction.commit();
}

void takeBillBack(db::Connection& connection, BillKind kind, const QList<BillLine>& lines)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    // In reverse, so each line leaves the average as it found it.
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        if (!movesStock(kind, *it))
            continue;
        if (raisesStock(kind))
            unreceive(connection, it->goodsCode, it->quantity, it->unitPrice);
        else
            unissue(connection, it->goodsCode, it->quantity);
    }
    transaction.commit();
}

QString nextFreeBillNo(db::Connection& connection, const QDateTime& start)
{
    db::Statement used(connection,
                       QStringLiteral("select 1 from inmain where bill_no=:no union all "
                                      "select 1 from ingoods where bill_no=:no union all "
                                      "select 1 from outmain where bill_no=:no union all "
                                      "select 1 from outgoods where bill_no=:no limit 1"));
    QDateTime moment = start;
    for (;;) {
        const QString number = moment.toString(stamp);
        used.reset();
        used.bind(QStringLiteral("no"), number);
        if (!used.next())
            return number;
        moment = moment.addSecs(1);
    }
}

} // namespace StockPosting
