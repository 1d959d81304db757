#include "shop/BillRules.h"

#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "db/Statement.h"
#include "shop/Amounts.h"

namespace BillRules {

namespace {

const QString companyColumn = QStringLiteral("comp_code");
const QString dueColumn = QStringLiteral("shou_tota");
const QString paidColumn = QStringLiteral("fact_tota");
const QString discountColumn = QStringLiteral("disc_tota");

QString shown(const QVariant& value)
{
    return value.isNull() ? QString() : QString::number(value.toDouble(), 'g', 15);
}

QString ownCode(db::Connection& connection, const QString& table, const QString& column, const QString& typed)
{
    const QString code = typed.trimmed();
    if (code.isEmpty())
        return {};
    // The column compares without case on both engines; the stored spelling is the code.
    db::Statement query(connection, QStringLiteral("select %1 from %2 where %1=:code order by %1 limit 1").arg(column, table));
    query.bind(QStringLiteral("code"), code);
    return query.next() ? query.textValue(0) : QString();
}

// Where the header holds a column, -1 when it does not.
int headerIndex(const BillStore::Bill& bill, const QString& column)
{
    for (int i = 0; i < bill.header.size(); ++i)
        if (bill.header.at(i).first.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant headerValue(const BillStore::Bill& bill, const QString& column)
{
    const int i = headerIndex(bill, column);
    return i < 0 ? QVariant() : bill.header.at(i).second;
}

void setHeaderValue(BillStore::Bill& bill, const QString& column, const QVariant& value)
{
    const int i = headerIndex(bill, column);
    if (i < 0)
        bill.header.append({column, value});
    else
        bill.header[i].second = value;
}

// What the customer has paid on the bill: as given, else as stored (an edit
// that leaves the paid amount to receipts saved meanwhile).
double paidOn(db::Connection& connection, StockPosting::BillKind kind, const BillStore::Bill& bill)
{
    if (headerIndex(bill, paidColumn) >= 0 || bill.headerId == 0)
        return headerValue(bill, paidColumn).toDouble();
    db::Statement stored(connection, QStringLiteral("select %1 from %2 where in_id=:id")
                                         .arg(paidColumn, BillStore::info(kind).headerTable));
    stored.bind(QStringLiteral("id"), bill.headerId);
    return stored.next() ? stored.doubleValue(0) : 0;
}

} // namespace

Refused::Refused(const Refusal& refusal) : std::runtime_error(refusal.message.toStdString()), m_refusal(refusal)
{
}

Totals totals(const QList<StockPosting::BillLine>& lines)
{
    Totals sum;
    for (const StockPosting::BillLine& line : lines) {
        sum.quantity += line.quantity;
        sum.amount += line.quantity * line.unitPrice;
    }
    sum.quantity = shop::amounts::cents(sum.quantity);
    sum.amount = shop::amounts::cents(sum.amount);
    return sum;
}

QString goodsCode(db::Connection& connection, const QString& typed)
{
    return ownCode(connection, QStringLiteral("goods"), QStringLiteral("gods_code"), typed);
}

QString companyCode(db::Connection& connection, const QString& typed)
{
    return ownCode(connection, QStringLiteral("company"), companyColumn, typed);
}

QString quantityRefusal(const QVariant& quantity)
{
    if (quantity.isNull() || quantity.toDouble() <= 0)
        return QStringLiteral("数量“%1”必须大于0").arg(shown(quantity));
    return {};
}

Refusal lineRefusal(db::Connection& connection, int row, const QString& code, const QVariant& quantity,
                    const QVariant& price)
{
    const QString line = QStringLiteral("第%1行：").arg(row + 1);
    const QString typed = code.trimmed();
    if (typed.isEmpty())
        return {row, Column::Code, line + QStringLiteral("没有货品编码")};
    if (goodsCode(connection, typed).isEmpty())
        return {row, Column::Code, line + QStringLiteral("货品编码“%1”不存在").arg(typed)};
    if (const QString why = quantityRefusal(quantity); !why.isEmpty())
        return {row, Column::Quantity, line + why};
    if (price.toDouble() < 0)
        return {row, Column::Price, line + QStringLiteral("单价“%1”不能为负数").arg(shown(price))};
    if (!shop::amounts::fits(quantity.toDouble()))
        return {row, Column::Quantity, line + shop::amounts::refusal(shown(quantity))};
    if (!shop::amounts::fits(price.toDouble(), shop::amounts::priceDecimals))
        return {row, Column::Price, line + shop::amounts::refusal(shown(price), shop::amounts::priceDecimals)};
    return {};
}

BillStore::Bill checked(db::Connection& connection, const BillStore::Bill& bill)
{
    BillStore::Bill result = bill;
    const QString company = headerValue(bill, companyColumn).toString().trimmed();
    if (!company.isEmpty()) {
        const QString own = companyCode(connection, company);
        if (own.isEmpty())
            throw Refused({-1, Column::Company, QStringLiteral("客户编码“%1”不存在").arg(company)});
        setHeaderValue(result, companyColumn, own);
    }
    for (int row = 0; row < result.lines.size(); ++row) {
        StockPosting::BillLine& line = result.lines[row];
        const Refusal refusal = lineRefusal(connection, row, line.goodsCode, line.quantity, line.unitPrice);
        if (!refusal.isEmpty())
            throw Refused(refusal);
        line.goodsCode = goodsCode(connection, line.goodsCode);
    }
    const Totals sum = totals(result.lines);
    if (sum.quantity <= 0)
        throw Refused({-1, Column::Quantity, QStringLiteral("数量不能为0")});
    if (!shop::amounts::fits(sum.amount))
        throw Refused({-1, Column::None, QStringLiteral("合计金额") + shop::amounts::refusal(DataHelpers::amountText(sum.amount))});
    const QVariant discount = headerValue(result, discountColumn);
    if (!discount.isNull()
        && (discount.toDouble() < 0 || discount.toDouble() > sum.amount || !shop::amounts::fits(discount.toDouble())))
        throw Refused({-1, Column::None, QStringLiteral("优惠金额“%1”必须在0和合计金额%2之间")
                                             .arg(shown(discount), DataHelpers::amountText(sum.amount))});
    setHeaderValue(result, dueColumn, shop::amounts::cents(sum.amount - discount.toDouble()));
    return result;
}

Receivables::LimitCheck creditCheck(db::Connection& connection, StockPosting::BillKind kind, const BillStore::Bill& bill)
{
    const QString company = headerValue(bill, companyColumn).toString().trimmed();
    if (kind != StockPosting::BillKind::Sale || company.isEmpty())
        return {};
    const double due = totals(bill.lines).amount - headerValue(bill, discountColumn).toDouble();
    const double open = shop::amounts::cents(due - paidOn(connection, kind, bill));
    // A bill paid in full adds no debt: it is never over a limit (and a till's walk-in
    // customer's many bills need not be summed at every sale).
    if (open <= 0)
        return {};
    return Receivables::checkLimit(connection, company, bill.billNo, open);
}

bool mayExceedLimit()
{
    return hasRight(Right::Use, Function::SaleOverCreditLimit);
}

QString creditRefusal(const Receivables::LimitCheck& check, bool confirmed)
{
    if (!check.exceeded())
        return {};
    const QString message = Receivables::limitMessage(check);
    if (!mayExceedLimit())
        return message + QStringLiteral("\n\n没有“超信用额度销售”的权限，本单不能保存。");
    if (!confirmed)
        return message + QStringLiteral("\n\n超出信用额度的销售须经确认才能保存。");
    return {};
}

} // namespace BillRules
