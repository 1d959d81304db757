#include "shop/Settlement.h"

#include "core/DataHelpers.h"
#include "shop/Amounts.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/OperationLog.h"
#include "shop/StockPosting.h"

#include <QDateTime>
#include <cmath>

namespace Settlement {

namespace {

using shop::amounts::cents;

QString voucherName(const Ledger& ledger)
{
    return ledger.voucherTable == receipts().voucherTable ? QStringLiteral("收款") : QStringLiteral("付款");
}

// The conditions of a settlement list, with its parameters named as bound below.
QString conditions(const Filter& filter)
{
    QString sql = QStringLiteral("where bill_date between :date1 and :date2 ");
    if (filter.byCompany)
        sql += QStringLiteral("and comp_code=:comp_code ");
    if (!filter.billNo.trimmed().isEmpty())
        sql += QStringLiteral("and bill_no=:bill_no ");
    // A bill never paid has no paid amount: it is still open.
    if (filter.onlyOpen)
        sql += QStringLiteral("and coalesce(shou_tota,0)<>coalesce(fact_tota,0) ");
    return sql;
}

// The other table's returns of this ledger's companies: customer returns beside
// the sales, returns to suppliers beside the purchases. A return lowers what the
// company owes, so it is listed with its amounts negated.
QString offsetTable(const QString& billTable)
{
    return billTable == receipts().billTable ? payments().billTable : receipts().billTable;
}

QString lineTableOf(const QString& billTable)
{
    return billTable == receipts().billTable ? receipts().lineTable : payments().lineTable;
}

// The ledger's bills and the offsetting returns, in order of date, then number.
// In `columns`, %sign stands for -1 on a return and 1 otherwise, %kind for 1 on
// a return and 0 otherwise.
QString billsSql(const QString& billTable, const Filter& filter, const QString& columns)
{
    const auto part = [&](const QString& table, bool offset) {
        QString picked = columns;
        picked.replace(QStringLiteral("%sign"), offset ? QStringLiteral("-1") : QStringLiteral("1"))
            .replace(QStringLiteral("%kind"), offset ? QStringLiteral("1") : QStringLiteral("0"));
        return QStringLiteral("select ") + picked + QStringLiteral(" from ") + table + QLatin1Char(' ') + conditions(filter);
    };
    return part(billTable, false) + QStringLiteral("union all ") + part(offsetTable(billTable), true)
           + QStringLiteral("and bill_type='retu' order by bill_date, bill_no, kind, in_id");
}

// Whole days: from the first day's start to the last second of the last day.
template <typename Bind>
void bindFilter(const Filter& filter, Bind bind)
{
    bind(QStringLiteral("date1"), QVariant(filter.from));
    bind(QStringLiteral("date2"), QVariant(QDateTime(filter.to, QTime(23, 59, 59))));
    if (filter.byCompany)
        bind(QStringLiteral("comp_code"), QVariant(filter.compCode));
    if (!filter.billNo.trimmed().isEmpty())
        bind(QStringLiteral("bill_no"), QVariant(filter.billNo));
}

// The voucher's number, free in its table. A proposed time stamp that another
// voucher took meanwhile moves on to the next free second; a typed number is the
// user's own and is refused.
QString freeNumber(db::Connection& connection, const Ledger& ledger, const Voucher& voucher)
{
    db::Statement taken(connection, QStringLiteral("select 1 from %1 where fei_no=:no limit 1").arg(ledger.voucherTable));
    taken.bind(QStringLiteral("no"), voucher.number);
    if (!taken.next())
        return voucher.number;
    const QDateTime stamp = QDateTime::fromString(voucher.number, DataHelpers::timeStampFormat);
    if (!voucher.numberProposed || !stamp.isValid())
        throw db::Error(QStringLiteral("%1单号 %2 已经用过，请换一个单号").arg(voucherName(ledger), voucher.number));
    return StockPosting::nextFreeNumber(connection, {{ledger.voucherTable, QStringLiteral("fei_no")}}, stamp);
}

} // namespace

const Ledger& receipts()
{
    static const Ledger ledger{QStringLiteral("outmain"), QStringLiteral("gathmain"), QStringLiteral("gathbill")};
    return ledger;
}

const Ledger& payments()
{
    static const Ledger ledger{QStringLiteral("inmain"), QStringLiteral("paymain"), QStringLiteral("paybill")};
    return ledger;
}

QString listSql(const QString& billTable, const Filter& filter)
{
    return billsSql(billTable, filter,
                    QStringLiteral("bill_no,bill_date,oper_name,comp_code,%sign*shou_tota as shou_tota,"
                                   "%sign*fact_tota as fact_tota,%kind as kind,in_id"));
}

void openList(db::Dataset& list, const QString& billTable, const Filter& filter)
{
    list.close();
    list.setSql(listSql(billTable, filter));
    bindFilter(filter, [&list](const QString& name, const QVariant& value) { list.setParameter(name, value); });
    list.open();
}

QList<Bill> readBills(db::Connection& connection, const QString& billTable, const Filter& filter)
{
    db::Statement query(connection, billsSql(billTable, filter,
                                             QStringLiteral("in_id,bill_no,%sign*coalesce(shou_tota,0) as shou_tota,"
                                                            "%sign*coalesce(fact_tota,0) as fact_tota,%kind as kind,bill_date")));
    bindFilter(filter, [&query](const QString& name, const QVariant& value) { query.bind(name, value); });
    QList<Bill> bills;
    while (query.next())
        bills.append({query.intValue(0), query.textValue(1), query.doubleValue(2), query.doubleValue(3),
                      query.intValue(4) == 1});
    return bills;
}

Totals totals(const QList<Bill>& bills)
{
    Totals sum;
    for (const Bill& bill : bills) {
        sum.due += bill.due;
        sum.paid += bill.paid;
    }
    return sum;
}

Totals totals(const db::Dataset& list)
{
    Totals sum;
    const int due = list.fieldIndex(QStringLiteral("shou_tota"));
    const int paid = list.fieldIndex(QStringLiteral("fact_tota"));
    for (int row = 0; row < list.recordCount(); ++row) {
        sum.due += list.value(row, due).toDouble();
        sum.paid += list.value(row, paid).toDouble();
    }
    return sum;
}

double credit(db::Connection& connection, const QString& compCode)
{
    if (compCode.trimmed().isEmpty())
        return 0;
    db::Statement query(connection,
                        QStringLiteral("select rest_tota from company where rest_tota>0 and comp_code=:comp_code limit 1"));
    query.bind(QStringLiteral("comp_code"), compCode);
    return query.next() ? query.doubleValue(0) : 0;
}

double newBalance(double amount, double credit, double owing)
{
    return cents(amount + (credit > 0 ? credit : 0) - owing);
}

QList<double> spread(double money, const QList<Bill>& bills)
{
    for (const Bill& bill : bills)
        if (bill.owing() < 0)
            money -= bill.owing();
    QList<double> paid;
    paid.reserve(bills.size());
    for (const Bill& bill : bills) {
        const double owing = bill.owing();
        if (owing < 0) {
            paid.append(bill.due);
        } else if (owing > 0 && money >= owing) {
            money -= owing;
            paid.append(bill.due);
        } else if (owing > 0 && money > 0) {
            paid.append(bill.paid + money);
            money = 0;
        } else {
            paid.append(bill.paid);
        }
    }
    return paid;
}

Saved save(db::Connection& connection, const Ledger& ledger, const Filter& filter, const Voucher& voucher)
{
    if (!(voucher.amount > 0))
        throw db::Error(QStringLiteral("金额必须大于0"));
    db::Transaction transaction(connection, db::Transaction::Write);
    Saved saved;
    saved.number = freeNumber(connection, ledger, voucher);
    // The bills and the credit as they stand now, not as a window last showed them.
    const QList<Bill> bills = readBills(connection, ledger.billTable, filter);
    const QString company = filter.byCompany ? filter.compCode : QString();
    saved.totals = totals(bills);
    saved.credit = credit(connection, company);
    saved.balance = newBalance(voucher.amount, saved.credit, saved.totals.owing());

    const QList<double> paid = spread(voucher.amount + saved.credit, bills);
    QStringList settled;
    for (int i = 0; i < bills.size(); ++i) {
        const Bill& bill = bills.at(i);
        if (paid.at(i) == bill.paid)
            continue;
        // A return is stored with its own sign: what it is brought to is negated back.
        const double sign = bill.offset ? -1 : 1;
        const QString table = bill.offset ? offsetTable(ledger.billTable) : ledger.billTable;
        settled << QStringLiteral("%1 已付 %2 → %3")
                       .arg(bill.billNo, DataHelpers::amountText(sign * bill.paid), DataHelpers::amountText(sign * paid.at(i)));
        db::Statement update(connection,
                             paid.at(i) == bill.due
                                 ? QStringLiteral("update %1 set fact_tota=coalesce(shou_tota,0) where in_id=:id").arg(table)
                                 : QStringLiteral("update %1 set fact_tota=coalesce(fact_tota,0)+:amount where in_id=:id").arg(table));
        update.bind(QStringLiteral("id"), bill.id);
        if (paid.at(i) != bill.due)
            update.bind(QStringLiteral("amount"), sign * (paid.at(i) - bill.paid));
        if (update.execute() != 1)
            throw db::Error(QStringLiteral("单据 %1 已不存在").arg(bill.billNo));
        db::Statement line(connection, QStringLiteral("insert into %1 (fei_no,fei_date,bill_no,paid_amou) "
                                                      "values (:fei_no,:fei_date,:bill_no,:paid_amou)")
                                           .arg(lineTableOf(table)));
        line.bind(QStringLiteral("fei_no"), saved.number)
            .bind(QStringLiteral("fei_date"), voucher.date)
            .bind(QStringLiteral("bill_no"), bill.billNo)
            .bind(QStringLiteral("paid_amou"), sign * (paid.at(i) - bill.paid));
        line.execute();
    }

    db::Statement insert(
        connection,
        QStringLiteral("insert into %1 (fei_no,fei_date,comp_code,comp_name,bill_no,start_date,end_date,shou_tota,"
                       "fact_tota,lack_tota,last_tota,fei_tota,rest_tota,oper_name,fei_name,chek_name,invo_no,re_mark,"
                       "save_id) "
                       "values (:fei_no,:fei_date,:comp_code,:comp_name,:bill_no,:start_date,:end_date,:shou_tota,"
                       ":fact_tota,:lack_tota,:last_tota,:fei_tota,:rest_tota,:oper_name,:fei_name,:chek_name,"
                       ":invo_no,:re_mark,:save_id)")
            .arg(ledger.voucherTable));
    insert.bind(QStringLiteral("fei_no"), saved.number)
        .bind(QStringLiteral("fei_date"), voucher.date)
        .bind(QStringLiteral("comp_code"), company)
        .bind(QStringLiteral("comp_name"), voucher.compName)
        .bind(QStringLiteral("bill_no"), filter.billNo)
        .bind(QStringLiteral("start_date"), filter.from)
        .bind(QStringLiteral("end_date"), filter.to)
        .bind(QStringLiteral("shou_tota"), saved.totals.due)
        .bind(QStringLiteral("fact_tota"), saved.totals.paid)
        .bind(QStringLiteral("lack_tota"), saved.totals.owing())
        .bind(QStringLiteral("last_tota"), saved.credit)
        .bind(QStringLiteral("fei_tota"), voucher.amount)
        .bind(QStringLiteral("rest_tota"), saved.balance)
        .bind(QStringLiteral("oper_name"), voucher.operName)
        .bind(QStringLiteral("fei_name"), voucher.feiName)
        .bind(QStringLiteral("chek_name"), voucher.chekName)
        .bind(QStringLiteral("invo_no"), voucher.invoiceNo)
        .bind(QStringLiteral("re_mark"), voucher.remark)
        .bind(QStringLiteral("save_id"), voucher.saveId.isEmpty() ? QVariant() : QVariant(voucher.saveId));
    insert.execute();

    // Credit the voucher used up becomes 0, so it cannot be spent again.
    if (!company.trimmed().isEmpty() && (saved.credit > 0 || saved.balance > 0)) {
        db::Statement keep(connection, QStringLiteral("update company set rest_tota=:rest_tota where comp_code=:comp_code"));
        keep.bind(QStringLiteral("rest_tota"), saved.balance > 0 ? saved.balance : 0.0)
            .bind(QStringLiteral("comp_code"), company);
        if (keep.execute() == 0 && saved.balance > 0)
            throw db::Error(QStringLiteral("公司资料中没有编码 %1，结余无法记入").arg(company));
    }
    // What changed: the stored credit, when it did, and what the company still owes.
    QString summary = QStringLiteral("%1 金额 %2").arg(voucher.compName, DataHelpers::amountText(voucher.amount));
    const double keptCredit = company.trimmed().isEmpty() ? saved.credit : (saved.balance > 0 ? saved.balance : 0.0);
    if (keptCredit != saved.credit)
        summary += QStringLiteral("，结余 %1 → %2").arg(DataHelpers::amountText(saved.credit), DataHelpers::amountText(keptCredit));
    if (saved.balance < 0)
        summary += QStringLiteral("，仍欠 %1").arg(DataHelpers::amountText(-saved.balance));
    OperationLog::write(connection, {voucherName(ledger) + QStringLiteral("单"), OperationLog::added, saved.number, summary,
                                     settled.join(QLatin1Char('\n'))});
    transaction.commit();
    return saved;
}

std::optional<Saved> storedBy(db::Connection& connection, const Ledger& ledger, const QString& saveId)
{
    db::Statement query(connection, QStringLiteral("select fei_no,shou_tota,fact_tota,last_tota,rest_tota from %1 "
                                                   "where save_id=:id")
                                        .arg(ledger.voucherTable));
    query.bind(QStringLiteral("id"), saveId);
    if (!query.next())
        return std::nullopt;
    Saved saved;
    saved.number = query.textValue(0);
    saved.totals = {query.doubleValue(1), query.doubleValue(2)};
    saved.credit = query.doubleValue(3);
    saved.balance = query.doubleValue(4);
    return saved;
}

} // namespace Settlement
