#include "shop/Receivables.h"

#include "core/DataHelpers.h"
#include "shop/Amounts.h"
#include "shop/Settlement.h"
#include "db/Dataset.h"
#include "db/Statement.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

namespace Receivables {

namespace {

using shop::amounts::cents;

// One kind of bill of a side: its header table, which of its bills count, the
// table of what vouchers paid on them, and the sign it gives the balance.
struct BillKindOfSide {
    const char* table;
    const char* condition;
    const char* voucherLines;
    int sign;
    const char* billText;
    const char* paidOnBillText;
    const char* voucherText;
};

struct Book {
    BillKindOfSide own;
    BillKindOfSide returns;
};

const Book& book(Side side)
{
    static const Book receivable{
        {"outmain", "coalesce(m.bill_type,'')<>'retu'", "gathbill", 1, "销售", "开单实收", "收款"},
        {"inmain", "m.bill_type='retu'", "paybill", -1, "退货", "退货退款", "付款"}};
    static const Book payable{
        {"inmain", "coalesce(m.bill_type,'')<>'retu'", "paybill", 1, "进货", "开单实付", "付款"},
        {"outmain", "m.bill_type='retu'", "gathbill", -1, "退货", "退货收回", "收款"}};
    return side == Side::Receivable ? receivable : payable;
}

// The ageing's buckets of an amount by its bill's date, as columns a30, a60,
// a90 and aover, then the amount itself as open_amou; each summed when `sum`.
QString bucketColumns(const QString& amount, bool sum)
{
    const QStringList edges{QStringLiteral("m.bill_date>=:d30"), QStringLiteral("m.bill_date<:d30 and m.bill_date>=:d60"),
                            QStringLiteral("m.bill_date<:d60 and m.bill_date>=:d90"), QStringLiteral("m.bill_date<:d90")};
    const QStringList names{QStringLiteral("a30"), QStringLiteral("a60"), QStringLiteral("a90"), QStringLiteral("aover")};
    const QString summed = sum ? QStringLiteral("sum(%1)") : QStringLiteral("%1");
    QStringList columns;
    for (int i = 0; i < bucketCount; ++i)
        columns << summed.arg(QStringLiteral("case when %1 then %2 else 0 end").arg(edges.at(i), amount))
                       + QStringLiteral(" as ") + names.at(i);
    columns << summed.arg(amount) + QStringLiteral(" as open_amou");
    return columns.join(QLatin1Char(','));
}

// What the bills of `kind` still owed at the end of :asof, in rows of
// (comp_code, the four buckets, open_amou) to be summed: what they owe now,
// already summed per company, and again each payment of a voucher dated later.
// Both read through an index: the bills still open (covering, in company order,
// so they are summed as they are read) and the later voucher lines by date,
// which lead the join ("cross join" keeps that order in SQLite whatever its
// statistics say; it is an inner join all the same); the many bills long
// settled are never visited.
QString openBills(const BillKindOfSide& kind)
{
    const QString sign = QString::number(kind.sign);
    const QString table = QLatin1String(kind.table);
    const QString condition = QLatin1String(kind.condition);
    return QStringLiteral("select m.comp_code,%1 from %2 m where coalesce(m.shou_tota,0)<>coalesce(m.fact_tota,0) and %3 "
                          "and m.bill_date<=:asof group by m.comp_code "
                          "union all select m.comp_code,%4 from %5 l cross join %2 m "
                          "where m.bill_no=l.bill_no and l.fei_date>:asof and %3 and m.bill_date<=:asof")
        .arg(bucketColumns(sign + QStringLiteral("*(coalesce(m.shou_tota,0)-coalesce(m.fact_tota,0))"), true), table,
             condition, bucketColumns(sign + QStringLiteral("*l.paid_amou"), false), QLatin1String(kind.voucherLines));
}

QDateTime endOf(const QDate& day)
{
    return QDateTime(day, QTime(23, 59, 59));
}

// The side's own voucher table, whose credit counts on this side.
QString ownVouchers(Side side)
{
    return side == Side::Receivable ? QStringLiteral("gathmain") : QStringLiteral("paymain");
}

QString otherVouchers(Side side)
{
    return side == Side::Receivable ? QStringLiteral("paymain") : QStringLiteral("gathmain");
}

// A company's vouchers of both tables as rows (fei_date, fei_no, last_tota,
// rest_tota, own), own being 1 for this side's table; `where` filters both.
QString vouchersOf(Side side, const QString& company, const QString& where)
{
    const QString part = QStringLiteral("select fei_date,fei_no,last_tota,rest_tota,%1 as own from %2 where comp_code=%3%4");
    return part.arg(QStringLiteral("1"), ownVouchers(side), company, where) + QStringLiteral(" union all ")
           + part.arg(QStringLiteral("0"), otherVouchers(side), company, where);
}

// A company's credit at the end of :asof on this side: what the last voucher
// dated up to then left (a voucher of the other side leaves none here); before
// any voucher, what the first one found; with no voucher at all, the stored
// credit, a customer's advance.
QString creditAsOf(Side side, const QString& company)
{
    const QString stored = side == Side::Receivable
                               ? QStringLiteral("(select case when c.rest_tota>0 then c.rest_tota else 0 end from company c "
                                                "where c.comp_code=%1 limit 1)")
                                     .arg(company)
                               : QStringLiteral("0");
    return QStringLiteral("coalesce((select case when v.own=1 and v.rest_tota>0 then v.rest_tota else 0 end from (%1) v "
                          "order by v.fei_date desc,v.fei_no desc limit 1),"
                          "(select case when v.own=1 and v.last_tota>0 then v.last_tota else 0 end from (%2) v "
                          "order by v.fei_date,v.fei_no limit 1),%3,0)")
        .arg(vouchersOf(side, company, QStringLiteral(" and fei_date<=:asof")), vouchersOf(side, company, QString()), stored);
}

// The ageing's statement: each company's open bills summed by age, its credit
// on the date, and what it owes: the bills less the credit.
QString ageingSql(Side side)
{
    const Book& b = book(side);
    return QStringLiteral(
               "select h.comp_code as comp_code,h.comp_name as comp_name,h.age_30 as age_30,h.age_60 as age_60,"
               "h.age_90 as age_90,h.age_over as age_over,round(h.bills-h.rest_tota,2) as open_tota,h.rest_tota as rest_tota "
               "from (select g.comp_code as comp_code,"
               "(select c.comp_name from company c where c.comp_code=g.comp_code limit 1) as comp_name,g.age_30 as age_30,g.age_60 as age_60,g.age_90 as age_90,g.age_over as age_over,g.bills as bills,"
               "round(%3,2) as rest_tota "
               "from (select t.comp_code as comp_code,round(sum(t.a30),2) as age_30,round(sum(t.a60),2) as age_60,"
               "round(sum(t.a90),2) as age_90,round(sum(t.aover),2) as age_over,round(sum(t.open_amou),2) as bills "
               "from (%1 union all %2 union all select comp_code,0,0,0,0,0 from company) t "
               "group by t.comp_code) g) h where h.bills<>0 or h.age_30<>0 or h.age_60<>0 or h.age_90<>0 "
               "or h.age_over<>0 or h.rest_tota<>0 order by open_tota desc,h.comp_code")
        .arg(openBills(b.own), openBills(b.returns), creditAsOf(side, QStringLiteral("g.comp_code")));
}

// The bucket edges are the first days of 0-30, 31-60 and 61-90 days.
template <typename Bind>
void bindAgeing(const QDate& asOf, Bind bind)
{
    bind(QStringLiteral("asof"), endOf(asOf));
    bind(QStringLiteral("d30"), asOf.addDays(-30));
    bind(QStringLiteral("d60"), asOf.addDays(-60));
    bind(QStringLiteral("d90"), asOf.addDays(-90));
}

} // namespace

void prepareAgeing(db::Dataset& dataset, Side side, const QDate& asOf)
{
    dataset.close();
    dataset.setSql(ageingSql(side));
    bindAgeing(asOf, [&dataset](const QString& name, const QVariant& value) { dataset.setParameter(name, value); });
}

QList<AgeingRow> ageing(db::Connection& connection, Side side, const QDate& asOf)
{
    db::Statement query(connection, ageingSql(side));
    bindAgeing(asOf, [&query](const QString& name, const QVariant& value) { query.bind(name, value); });
    QList<AgeingRow> rows;
    while (query.next()) {
        AgeingRow row;
        row.compCode = query.textValue(0);
        row.compName = query.textValue(1);
        for (int i = 0; i < bucketCount; ++i)
            row.buckets[i] = query.doubleValue(2 + i);
        row.total = query.doubleValue(6);
        row.credit = query.doubleValue(7);
        rows.append(row);
    }
    return rows;
}

AgeingRow ageingTotal(const QList<AgeingRow>& rows)
{
    AgeingRow sum;
    for (const AgeingRow& row : rows) {
        for (int i = 0; i < bucketCount; ++i)
            sum.buckets[i] += row.buckets[i];
        sum.total += row.total;
        sum.credit += row.credit;
    }
    for (double& value : sum.buckets)
        value = cents(value);
    sum.total = cents(sum.total);
    sum.credit = cents(sum.credit);
    return sum;
}

double creditOn(db::Connection& connection, Side side, const QString& compCode, const QDate& asOf)
{
    const QList<AgeingRow> rows = ageing(connection, side, asOf);
    if (compCode.trimmed().isEmpty())
        return ageingTotal(rows).credit;
    for (const AgeingRow& row : rows)
        if (row.compCode.compare(compCode.trimmed(), Qt::CaseInsensitive) == 0)
            return row.credit;
    return 0;
}

CompanyStatement statement(db::Connection& connection, Side side, const QString& compCode, const QDate& from,
                           const QDate& to)
{
    // Every movement up to `to`: bills, what was paid on a bill when it was
    // made, and what vouchers paid on it (dated no earlier than the bill, as
    // the ageing counts them). Kinds: 0 bill, 1 paid on the bill, 2 voucher.
    const auto movements = [](const BillKindOfSide& kind, int part) {
        const QString lines = QLatin1String(kind.voucherLines);
        const QString where = QStringLiteral(" where m.comp_code=:comp_code and %1 and m.bill_date<=:asof")
                                  .arg(QLatin1String(kind.condition));
        const QString head = QStringLiteral("select %1 as day,%2 as part,%3 as number,%4 as amount,%5 as sign ");
        const QString sign = QString::number(kind.sign);
        const QString table = QLatin1String(kind.table);
        if (part == 0)
            return head.arg(QStringLiteral("m.bill_date"), QStringLiteral("0"), QStringLiteral("m.bill_no"),
                            QStringLiteral("coalesce(m.shou_tota,0)"), sign)
                   + QStringLiteral("from ") + table + QStringLiteral(" m") + where;
        if (part == 1)
            return head.arg(QStringLiteral("m.bill_date"), QStringLiteral("1"), QStringLiteral("m.bill_no"),
                            QStringLiteral("coalesce((select sum(l.paid_amou) from %1 l where l.bill_no=m.bill_no),0)"
                                           "-coalesce(m.fact_tota,0)")
                                .arg(lines),
                            sign)
                   + QStringLiteral("from ") + table + QStringLiteral(" m") + where;
        return head.arg(QStringLiteral("case when l.fei_date>m.bill_date then l.fei_date else m.bill_date end"),
                        QStringLiteral("2"), QStringLiteral("l.fei_no"), QStringLiteral("-l.paid_amou"), sign)
               + QStringLiteral("from ") + lines + QStringLiteral(" l join ") + table
               + QStringLiteral(" m on m.bill_no=l.bill_no") + where + QStringLiteral(" and l.fei_date<=:asof");
    };
    const Book& b = book(side);
    QStringList parts;
    for (const BillKindOfSide* kind : {&b.own, &b.returns})
        for (int part = 0; part < 3; ++part)
            parts << movements(*kind, part);
    const auto dayOf = [](const QString& text) {
        return QDateTime::fromString(text.left(19), QStringLiteral("yyyy-MM-dd hh:mm:ss")).date();
    };

    struct Movement {
        QDate day;
        int part = 0;
        int sign = 1;
        QString number;
        double amount = 0;      // raises what is owed when above 0
        double credit = 0;      // the voucher's change of this side's credit
    };
    QList<Movement> moves;
    db::Statement query(connection, parts.join(QStringLiteral(" union all ")));
    query.bind(QStringLiteral("comp_code"), compCode).bind(QStringLiteral("asof"), endOf(to));
    while (query.next())
        moves.append({dayOf(query.textValue(0)), int(query.intValue(1)), int(query.intValue(4)), query.textValue(2),
                      query.doubleValue(3) * query.intValue(4), 0});

    // The company's credit through its vouchers: what each one left on this
    // side less what it found, as the ageing counts the credit on a date.
    db::Statement vouchers(connection, QStringLiteral("select v.fei_date,v.fei_no,v.last_tota,v.rest_tota,v.own from (%1) v "
                                                      "order by v.fei_date,v.fei_no")
                                           .arg(vouchersOf(side, QStringLiteral(":comp_code"), QString())));
    vouchers.bind(QStringLiteral("comp_code"), compCode);
    double credit = 0;
    bool first = true;
    CompanyStatement result;
    while (vouchers.next()) {
        const bool own = vouchers.intValue(4) == 1;
        // The credit the first voucher found was there before everything.
        if (first && own)
            credit = std::max(vouchers.doubleValue(2), 0.0);
        if (first)
            result.broughtForward = -cents(credit);
        first = false;
        const QDate day = dayOf(vouchers.textValue(0));
        if (day > to)
            break;
        const double left = own ? std::max(vouchers.doubleValue(3), 0.0) : 0.0;
        if (left != credit)
            moves.append({day, 2, 1, vouchers.textValue(1), credit - left, left - credit});
        credit = left;
    }
    // With no voucher at all, a stored credit is a customer's advance.
    if (first && side == Side::Receivable)
        result.broughtForward = -cents(Settlement::credit(connection, compCode));

    // In order of date; on a day, bills before what was paid on them before
    // vouchers, a sale before a return; a voucher's parts come together.
    std::stable_sort(moves.begin(), moves.end(), [](const Movement& x, const Movement& y) {
        const auto key = [](const Movement& m) { return std::make_tuple(m.day, m.part, m.part == 2 ? 0 : -m.sign, m.number); };
        return key(x) < key(y);
    });
    std::set<QString> ownNumbers;
    {
        db::Statement numbers(connection, QStringLiteral("select fei_no from %1 where fei_date<=:asof").arg(ownVouchers(side)));
        numbers.bind(QStringLiteral("asof"), endOf(to));
        while (numbers.next())
            ownNumbers.insert(numbers.textValue(0));
    }
    double balance = result.broughtForward;
    for (const Movement& move : std::as_const(moves)) {
        const double amount = cents(move.amount);
        if (amount == 0 && move.credit == 0)
            continue;
        balance = cents(balance + amount);
        if (move.day < from) {
            result.broughtForward = balance;
            continue;
        }
        // A voucher is one line, whatever bills it paid and the credit it left.
        if (move.part == 2 && !result.lines.isEmpty() && result.lines.last().number == move.number
            && result.lines.last().date == move.day && result.lines.last().voucher) {
            StatementLine& last = result.lines.last();
            const double net = cents(last.increase - last.decrease + amount);
            last.increase = net > 0 ? net : 0;
            last.decrease = net < 0 ? -net : 0;
            last.credit = cents(last.credit + move.credit);
            last.balance = balance;
            continue;
        }
        const BillKindOfSide& kind = move.sign > 0 ? b.own : b.returns;
        StatementLine line;
        line.date = move.day;
        line.number = move.number;
        line.voucher = move.part == 2;
        if (move.part == 2)
            line.kind = QString::fromUtf8(ownNumbers.count(move.number) ? b.own.voucherText : b.returns.voucherText);
        else
            line.kind = QString::fromUtf8(move.part == 0 ? kind.billText : kind.paidOnBillText);
        (amount > 0 ? line.increase : line.decrease) = std::abs(amount);
        line.credit = cents(move.credit);
        line.balance = balance;
        result.lines.append(line);
    }
    result.closing = balance;
    return result;
}

bool LimitCheck::exceeded() const
{
    return limit > 0 && cents(open + bill) > cents(limit);
}

LimitCheck checkLimit(db::Connection& connection, const QString& compCode, const QString& billNo, double billOpen)
{
    LimitCheck check;
    check.bill = cents(billOpen);
    if (compCode.trimmed().isEmpty())
        return check;
    const Book& b = book(Side::Receivable);
    // Open now: every bill, whatever its date, less the credit already paid in.
    const QString open = QStringLiteral("(select coalesce(sum(coalesce(m.shou_tota,0)-coalesce(m.fact_tota,0)),0) "
                                        "from %1 m where m.comp_code=:comp_code and %2%3)");
    db::Statement query(
        connection,
        QStringLiteral("select c.cred_limit,coalesce(c.rest_tota,0),%1,%2 from company c where c.comp_code=:comp_code limit 1")
            .arg(open.arg(QLatin1String(b.own.table), QLatin1String(b.own.condition), QStringLiteral(" and m.bill_no<>:bill_no")),
                 open.arg(QLatin1String(b.returns.table), QLatin1String(b.returns.condition), QString())));
    query.bind(QStringLiteral("comp_code"), compCode).bind(QStringLiteral("bill_no"), billNo);
    if (!query.next())
        return check;
    check.limit = cents(query.doubleValue(0));
    const double credit = query.doubleValue(1) > 0 ? query.doubleValue(1) : 0;
    check.open = cents(query.doubleValue(2) - query.doubleValue(3) - credit);
    return check;
}

QString limitMessage(const LimitCheck& check)
{
    return QStringLiteral("超出客户信用额度：\n信用额度 %1\n已欠款 %2\n本单欠款 %3\n合计 %4")
        .arg(DataHelpers::amountText(check.limit), DataHelpers::amountText(check.open),
             DataHelpers::amountText(check.bill), DataHelpers::amountText(cents(check.open + check.bill)));
}

} // namespace Receivables
