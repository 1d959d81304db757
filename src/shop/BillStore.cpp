#include "shop/BillStore.h"

#include "core/Clock.h"
#include "core/DataHelpers.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/BillRules.h"
#include "shop/MemberPoints.h"
#include "shop/OperationLog.h"

#include <QDateTime>

namespace BillStore {

namespace {

double total(const QList<BillLine>& lines)
{
    return BillRules::totals(lines).amount;
}

// One line of the log's detail per bill line: code, quantity × price, remark.
QString describe(const QList<BillLine>& lines)
{
    QStringList text;
    for (const BillLine& line : lines)
        text << QStringLiteral("%1 %2×%3%4")
                    .arg(line.goodsCode, DataHelpers::amountText(line.quantity), DataHelpers::amountText(line.unitPrice),
                         line.remark.isEmpty() ? QString() : QStringLiteral(" ") + line.remark);
    return text.join(QLatin1Char('\n'));
}

// A member's points follow every sale and customer return stored, whichever
// window saved it; a new bill without a card has none to settle.
void settlePoints(db::Connection& connection, BillKind kind, const Bill& bill, const QString& billNo)
{
    if (kind != BillKind::Sale && kind != BillKind::CustomerReturn)
        return;
    QString card;
    for (const auto& [column, value] : bill.header)
        if (column == QLatin1String("card_no"))
            card = value.toString().trimmed();
    if (card.isEmpty() && bill.headerId == 0)
        return;
    if (kind == BillKind::Sale)
        MemberPoints::settleSaleBill(connection, card, billNo, Clock::now(), total(bill.lines));
    else
        MemberPoints::settleReturnBill(connection, card, billNo, Clock::now(), total(bill.lines));
}

void writeLines(db::Connection& connection, const KindInfo& where, const QString& billNo,
                const QList<BillLine>& lines)
{
    db::Statement clear(connection, QStringLiteral("delete from %1 where bill_no=:no").arg(where.lineTable));
    clear.bind(QStringLiteral("no"), billNo);
    clear.execute();
    db::Statement insert(connection, QStringLiteral("insert into %1 (bill_no,gods_code,sub_amou,unit_pric,remark,list_pric,mark_name) "
                                                    "values (:no,:code,:q,:p,:remark,:list,:mark)")
                                         .arg(where.lineTable));
    for (const BillLine& line : lines) {
        insert.reset();
        insert.bind(QStringLiteral("no"), billNo)
            .bind(QStringLiteral("code"), line.goodsCode)
            .bind(QStringLiteral("q"), line.quantity)
            .bind(QStringLiteral("p"), line.unitPrice)
            .bind(QStringLiteral("remark"), line.remark.isEmpty() ? QVariant() : QVariant(line.remark))
            .bind(QStringLiteral("list"), line.listPrice == 0 ? QVariant() : QVariant(line.listPrice))
            .bind(QStringLiteral("mark"), line.markName.isEmpty() ? QVariant() : QVariant(line.markName));
        insert.execute();
    }
}

void writeHeader(db::Connection& connection, const KindInfo& where, const QString& billNo, const Bill& bill)
{
    QStringList columns = {QStringLiteral("bill_no"), QStringLiteral("bill_type")};
    for (const auto& [column, value] : bill.header)
        columns << column;
    if (!bill.saveId.isEmpty())
        columns << QStringLiteral("save_id");   // the last value, after the header's
    QString sql;
    if (bill.headerId == 0) {
        QStringList names;
        for (int i = 0; i < columns.size(); ++i)
            names << QStringLiteral(":v%1").arg(i);
        sql = QStringLiteral("insert into %1 (%2) values (%3)")
                  .arg(where.headerTable, columns.join(QLatin1Char(',')), names.join(QLatin1Char(',')));
    } else {
        QStringList assignments;
        for (int i = 0; i < columns.size(); ++i)
            assignments << QStringLiteral("%1=:v%2").arg(columns.at(i)).arg(i);
        sql = QStringLiteral("update %1 set %2 where in_id=:id").arg(where.headerTable, assignments.join(QLatin1Char(',')));
    }
    db::Statement statement(connection, sql);
    statement.bind(QStringLiteral("v0"), billNo).bind(QStringLiteral("v1"), where.billType);
    for (int i = 0; i < bill.header.size(); ++i)
        statement.bind(QStringLiteral("v%1").arg(i + 2), bill.header.at(i).second);
    if (!bill.saveId.isEmpty())
        statement.bind(QStringLiteral("v%1").arg(columns.size() - 1), bill.saveId);
    if (bill.headerId != 0)
        statement.bind(QStringLiteral("id"), bill.headerId);
    if (statement.execute() == 0)
        throw db::Error(QStringLiteral("本单已被删除，无法保存修改"), 0, sql);
}

} // namespace

const KindInfo& info(BillKind kind)
{
    static const KindInfo purchase{QStringLiteral("inmain"), QStringLiteral("ingoods"), QStringLiteral("in")};
    static const KindInfo customerReturn{QStringLiteral("inmain"), QStringLiteral("ingoods"), QStringLiteral("retu")};
    static const KindInfo sale{QStringLiteral("outmain"), QStringLiteral("outgoods"), QStringLiteral("out")};
    static const KindInfo supplierReturn{QStringLiteral("outmain"), QStringLiteral("outgoods"), QStringLiteral("retu")};
    switch (kind) {
    case BillKind::Purchase:
        return purchase;
    case BillKind::CustomerReturn:
        return customerReturn;
    case BillKind::Sale:
        return sale;
    case BillKind::SupplierReturn:
        break;
    }
    return supplierReturn;
}

QString windowName(BillKind kind)
{
    switch (kind) {
    case BillKind::Purchase:
        return QStringLiteral("进货输入");
    case BillKind::Sale:
        return QStringLiteral("销售输入");
    case BillKind::CustomerReturn:
        return QStringLiteral("顾客退货");
    case BillKind::SupplierReturn:
        break;
    }
    return QStringLiteral("退货厂商");
}

void logPrint(db::Connection& connection, BillKind kind, const QString& billNo)
{
    db::Transaction transaction(connection);
    db::Statement printed(connection, QStringLiteral("select count(*) from oper_log where win_name=:window "
                                                     "and log_key=:no and act_name in (:printed,:reprinted)"));
    printed.bind(QStringLiteral("window"), windowName(kind))
        .bind(QStringLiteral("no"), billNo)
        .bind(QStringLiteral("printed"), OperationLog::printed)
        .bind(QStringLiteral("reprinted"), OperationLog::reprinted);
    const bool again = printed.next() && printed.intValue(0) > 0;
    OperationLog::write(connection, {windowName(kind), again ? OperationLog::reprinted : OperationLog::printed,
                                     billNo, {}, {}});
    transaction.commit();
}

QList<BillLine> storedLines(db::Connection& connection, BillKind kind, const QString& billNo)
{
    db::Statement query(connection, QStringLiteral("select gods_code,sub_amou,unit_pric,remark,list_pric,mark_name from %1 "
                                                   "where bill_no=:no order by in_id")
                                        .arg(info(kind).lineTable));
    query.bind(QStringLiteral("no"), billNo);
    QList<BillLine> lines;
    while (query.next())
        lines.append({query.textValue(0), query.doubleValue(1), query.doubleValue(2), query.textValue(3),
                      query.doubleValue(4), query.textValue(5)});
    return lines;
}

std::optional<QString> storedBy(db::Connection& connection, BillKind kind, const QString& saveId)
{
    db::Statement query(connection, QStringLiteral("select bill_no from %1 where save_id=:id and bill_type=:type")
                                        .arg(info(kind).headerTable));
    query.bind(QStringLiteral("id"), saveId).bind(QStringLiteral("type"), info(kind).billType);
    if (!query.next())
        return std::nullopt;
    return query.textValue(0);
}

QDate storedDate(db::Connection& connection, BillKind kind, const QString& billNo)
{
    db::Statement query(connection, QStringLiteral("select bill_date from %1 where bill_no=:no and bill_type=:type")
                                        .arg(info(kind).headerTable));
    query.bind(QStringLiteral("no"), billNo).bind(QStringLiteral("type"), info(kind).billType);
    if (!query.next() || query.isNull(0))
        return {};
    return QDate::fromString(query.textValue(0).left(10), QStringLiteral("yyyy-MM-dd"));
}

QString save(db::Connection& connection, BillKind kind, const Bill& given, const AlsoWrite& alsoWrite)
{
    const KindInfo& where = info(kind);
    db::Transaction transaction(connection, db::Transaction::Write);
    Bill bill = BillRules::checked(connection, given);
    QString billNo = bill.billNo;
    if (bill.headerId == 0) {
        // Taken under the write lock: no other program can take the same number now.
        QDateTime start = QDateTime::fromString(billNo, DataHelpers::timeStampFormat);
        if (!start.isValid())
            start = Clock::now();
        billNo = StockPosting::nextFreeBillNo(connection, start);
        bill.billNo = billNo;
    }
    // Under the write lock: no other sale can use up the customer's credit meanwhile.
    const QString overLimit =
        BillRules::creditRefusal(BillRules::creditCheck(connection, kind, bill), bill.overLimitConfirmed);
    if (!overLimit.isEmpty())
        throw BillRules::Refused({-1, BillRules::Column::Company, overLimit});
    QList<BillLine> before;
    if (bill.headerId != 0) {
        before = storedLines(connection, kind, billNo);
        StockPosting::takeBillBack(connection, kind, before);
    }
    writeLines(connection, where, billNo, bill.lines);
    writeHeader(connection, where, billNo, bill);
    StockPosting::applyBill(connection, kind, bill.lines);
    settlePoints(connection, kind, bill, billNo);
    if (alsoWrite)
        alsoWrite(connection, billNo);
    const bool isNew = bill.headerId == 0;
    OperationLog::write(connection, {windowName(kind), isNew ? OperationLog::added : OperationLog::edited, billNo,
                                     isNew ? QStringLiteral("金额 %1").arg(DataHelpers::amountText(total(bill.lines)))
                                           : QStringLiteral("金额 %1 → %2").arg(DataHelpers::amountText(total(before)),
                                                                               DataHelpers::amountText(total(bill.lines))),
                                     describe(bill.lines)});
    transaction.commit();
    return billNo;
}

void remove(db::Connection& connection, BillKind kind, const QString& billNo)
{
    const KindInfo& where = info(kind);
    db::Transaction transaction(connection, db::Transaction::Write);
    const QDate date = storedDate(connection, kind, billNo);
    if (date.isValid() && StockPosting::isMonthCounted(connection, date))
        throw db::Error(monthCountedMessage);
    const QList<BillLine> stored = storedLines(connection, kind, billNo);
    StockPosting::takeBillBack(connection, kind, stored);
    db::Statement lines(connection, QStringLiteral("delete from %1 where bill_no=:no").arg(where.lineTable));
    lines.bind(QStringLiteral("no"), billNo);
    lines.execute();
    db::Statement header(connection,
                         QStringLiteral("delete from %1 where bill_no=:no and bill_type=:type").arg(where.headerTable));
    header.bind(QStringLiteral("no"), billNo).bind(QStringLiteral("type"), where.billType);
    header.execute();
    if (kind == BillKind::Sale || kind == BillKind::CustomerReturn)
        MemberPoints::forget(connection, billNo,
                             kind == BillKind::Sale ? MemberPoints::saleKinds : MemberPoints::returnKinds);
    // The deleted bill's lines live on in the log.
    OperationLog::write(connection, {windowName(kind), OperationLog::deleted, billNo,
                                     QStringLiteral("金额 %1 → 0").arg(DataHelpers::amountText(total(stored))),
                                     describe(stored)});
    transaction.commit();
}

} // namespace BillStore
