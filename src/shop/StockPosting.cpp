#include "shop/StockPosting.h"

#include "core/DataHelpers.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QDateTime>
#include <optional>

namespace StockPosting {

namespace {

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

// The stock statements of one operation, prepared once and run per line.
class StockWriter {
public:
    explicit StockWriter(db::Connection& connection) : m_connection(connection) {}

    void receive(const QString& goodsCode, double quantity, double price)
    {
        if (run(m_receive, receiveSql, goodsCode, quantity, &price) == 0)
            insert(goodsCode, quantity, price);
    }
    void unreceive(const QString& goodsCode, double quantity, double price)
    {
        run(m_unreceive, unreceiveSql, goodsCode, quantity, &price);
    }
    void issue(const QString& goodsCode, double quantity)
    {
        if (run(m_move, moveSql, goodsCode, -quantity) == 0)
            insert(goodsCode, -quantity, QVariant());
    }
    void unissue(const QString& goodsCode, double quantity) { run(m_move, moveSql, goodsCode, quantity); }
    // Goods back at the cost they have: a quantity only.
    void receiveAtCost(const QString& goodsCode, double quantity) { issue(goodsCode, -quantity); }
    void unreceiveAtCost(const QString& goodsCode, double quantity) { unissue(goodsCode, -quantity); }

private:
    int run(std::optional<db::Statement>& statement, const QString& sql, const QString& goodsCode, double quantity,
            const double* price = nullptr)
    {
        if (!statement)
            statement.emplace(m_connection, sql);
        statement->reset();
        statement->bind(QStringLiteral("code"), goodsCode).bind(QStringLiteral("q"), quantity);
        if (price)
            statement->bind(QStringLiteral("p"), *price);
        return statement->execute();
    }
    // An empty cost takes the goods' purchase price, or 0 when it has none.
    void insert(const QString& goodsCode, double quantity, const QVariant& cost)
    {
        if (!m_insert)
            m_insert.emplace(m_connection,
                             QStringLiteral("insert into storemain (gods_code,gods_amou,cost_pric) values (:code,:q,"
                                            "coalesce(:c,(select valu_in from goods where gods_code=:code limit 1),0))"));
        m_insert->reset();
        m_insert->bind(QStringLiteral("code"), goodsCode).bind(QStringLiteral("q"), quantity);
        m_insert->bind(QStringLiteral("c"), cost);
        m_insert->execute();
    }

    db::Connection& m_connection;
    std::optional<db::Statement> m_receive, m_unreceive, m_move, m_insert;
};

// Runs `work` with a writer inside a write transaction of its own (a savepoint when nested).
template <typename Work>
void write(db::Connection& connection, Work work)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    StockWriter writer(connection);
    work(writer);
    transaction.commit();
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

void applyBill(db::Connection& connection, BillKind kind, const QList<BillLine>& lines)
{
    write(connection, [&](StockWriter& w) {
        for (const BillLine& line : lines) {
            if (!movesStock(kind, line))
                continue;
            if (raisesStock(kind) && line.remark == atCost)
                w.receiveAtCost(line.goodsCode, line.quantity);
            else if (raisesStock(kind))
                w.receive(line.goodsCode, line.quantity, line.unitPrice);
            else
                w.issue(line.goodsCode, line.quantity);
        }
    });
}

void takeBillBack(db::Connection& connection, BillKind kind, const QList<BillLine>& lines)
{
    write(connection, [&](StockWriter& w) {
        // In reverse, so each line leaves the average as it found it.
        for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
            if (!movesStock(kind, *it))
                continue;
            if (raisesStock(kind) && it->remark == atCost)
                w.unreceiveAtCost(it->goodsCode, it->quantity);
            else if (raisesStock(kind))
                w.unreceive(it->goodsCode, it->quantity, it->unitPrice);
            else
                w.unissue(it->goodsCode, it->quantity);
        }
    });
}

void moveStock(db::Connection& connection, const QList<BillLine>& differences)
{
    write(connection, [&](StockWriter& w) {
        for (const BillLine& line : differences)
            w.issue(line.goodsCode, -line.quantity);
    });
}

QString nextFreeNumber(db::Connection& connection, const QList<NumberColumn>& columns, const QDateTime& start)
{
    // The numbers taken from `start` on, in order, read at once: a look per
    // second would cost a server a round trip for every bill of the same second.
    constexpr int batch = 1000;
    QStringList selects;
    for (const NumberColumn& c : columns)
        selects << QStringLiteral("select %2 from %1 where %2>=:no").arg(c.table, c.column);
    db::Statement taken(connection, selects.join(QStringLiteral(" union ")) + QStringLiteral(" order by 1 limit %1").arg(batch));
    QDateTime moment = start;
    QString number = moment.toString(DataHelpers::timeStampFormat);
    for (;;) {
        taken.reset();
        taken.bind(QStringLiteral("no"), number);
        int seen = 0;
        for (; taken.next(); ++seen) {
            const QString used = taken.textValue(0);
            if (used > number)
                return number;
            if (used == number) {
                moment = moment.addSecs(1);
                number = moment.toString(DataHelpers::timeStampFormat);
            }
        }
        if (seen < batch)
            return number;
    }
}

QString nextFreeBillNo(db::Connection& connection, const QDateTime& start)
{
    const QString no = QStringLiteral("bill_no");
    return nextFreeNumber(connection,
                          {{QStringLiteral("inmain"), no}, {QStringLiteral("ingoods"), no},
                           {QStringLiteral("outmain"), no}, {QStringLiteral("outgoods"), no}},
                          start);
}

} // namespace StockPosting
