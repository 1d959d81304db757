#include "shop/TillReturn.h"

#include "core/Clock.h"
#include "core/DataHelpers.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/Amounts.h"
#include "shop/BillRules.h"
#include "shop/BillStore.h"
#include "shop/MemberPoints.h"
#include "shop/TillShift.h"

#include <algorithm>
#include <cmath>

namespace TillReturn {

namespace {

double pricePer(double amount, double quantity)
{
    const double scale = std::pow(10.0, shop::amounts::priceDecimals);
    return quantity == 0 ? 0 : std::round(amount / quantity * scale) / scale;
}

double paidTotal(const Sold& sold)
{
    double sum = 0;
    for (const TillSale::Payment& payment : sold.paid)
        sum += payment.amount;
    return shop::amounts::cents(sum);
}

BillRules::Refused refusal(int row, BillRules::Column column, const QString& message)
{
    return BillRules::Refused({row, column, message});
}

// The member's points for goods coming back: those earned on them taken back,
// those spent on the sale and refunded given back.
void givePointsBack(db::Connection& connection, const Sold& receipt, const QList<double>& quantities,
                    const QList<TillSale::Payment>& refunds, const QString& returnNo, const QDateTime& when)
{
    double saleAmount = 0, before = 0, now = 0;
    for (int i = 0; i < receipt.lines.size(); ++i) {
        const SoldLine& line = receipt.lines.at(i);
        saleAmount += line.quantity * line.price;
        before += line.returned * line.price;
        if (i < quantities.size())
            now += quantities.at(i) * line.price;
    }
    db::Statement earned(connection, QStringLiteral("select coalesce(sum(points),0) from membpoint where bill_no=:no and kind=:kind"));
    earned.bind(QStringLiteral("no"), receipt.saleNo).bind(QStringLiteral("kind"), MemberPoints::earnedKind);
    const qint64 earnedOnSale = earned.next() ? earned.intValue(0) : 0;
    // The receipt's share replaces what the store took back by the return's amount alone.
    MemberPoints::forget(connection, returnNo, MemberPoints::returnKinds);
    MemberPoints::record(connection, receipt.cardNo, returnNo, when, MemberPoints::takenBackKind,
                         -MemberPoints::takenBack(earnedOnSale, shop::amounts::cents(saleAmount), shop::amounts::cents(before),
                                                  shop::amounts::cents(now)));
    for (const TillSale::Payment& refund : refunds)
        if (refund.method == MemberPoints::pointsMethod)
            MemberPoints::record(connection, receipt.cardNo, returnNo, when, MemberPoints::refundedKind,
                                 MemberPoints::pointsFor(refund.amount, MemberPoints::settings(connection).pointValue));
}

} // namespace

Sold sold(db::Connection& connection, const QString& saleNo)
{
    const QString number = saleNo.trimmed();
    Sold result;
    {
        db::Statement sale(connection, QStringLiteral("select card_no from outmain where bill_no=:no and bill_type='out' "
                                                      "and shift_id is not null"));
        sale.bind(QStringLiteral("no"), number);
        if (!sale.next())
            throw refusal(-1, BillRules::Column::None, QStringLiteral("小票“%1”不是本店的零售小票").arg(number));
        result.cardNo = sale.textValue(0);
    }
    result.saleNo = number;
    {
        db::Statement lines(connection, QStringLiteral("select l.gods_code,sum(l.sub_amou),sum(l.sub_amou*l.unit_pric),"
                                                       "(select gods_name from goods g where g.gods_code=l.gods_code limit 1),"
                                                       "(select gods_color from goods g where g.gods_code=l.gods_code limit 1),"
                                                       "(select gods_size from goods g where g.gods_code=l.gods_code limit 1) "
                                                       "from outgoods l where l.bill_no=:no group by l.gods_code "
                                                       "order by min(l.in_id)"));
        lines.bind(QStringLiteral("no"), number);
        while (lines.next()) {
            QStringList name;
            for (int c : {3, 4, 5})
                if (!lines.textValue(c).trimmed().isEmpty())
                    name << lines.textValue(c).trimmed();
            result.lines.append({lines.textValue(0), name.join(QLatin1Char(' ')), lines.doubleValue(1),
                                 pricePer(lines.doubleValue(2), lines.doubleValue(1)), 0});
        }
    }
    {
        db::Statement returned(connection, QStringLiteral("select l.gods_code,sum(l.sub_amou) from ingoods l join inmain h "
                                                          "on h.bill_no=l.bill_no where h.bill_type='retu' and h.sale_no=:no "
                                                          "group by l.gods_code"));
        returned.bind(QStringLiteral("no"), number);
        while (returned.next())
            for (SoldLine& line : result.lines)
                if (line.code == returned.textValue(0))
                    line.returned = returned.doubleValue(1);
    }
    db::Statement paid(connection, QStringLiteral("select fee_type,sum(paid_amou) from outpay where bill_no=:no or bill_no in "
                                                  "(select bill_no from inmain where sale_no=:no and bill_type='retu') "
                                                  "group by fee_type order by min(pay_id)"));
    paid.bind(QStringLiteral("no"), number);
    while (paid.next())
        result.paid.append({paid.textValue(0), shop::amounts::cents(paid.doubleValue(1))});
    return result;
}

double refundDue(const Sold& sold, const QList<double>& quantities)
{
    double sum = 0;
    for (int i = 0; i < sold.lines.size() && i < quantities.size(); ++i)
        sum += shop::amounts::cents(quantities.at(i) * sold.lines.at(i).price);
    // A rounded-down sale never gives back more than was paid.
    return qMin(shop::amounts::cents(sum), paidTotal(sold));
}

QList<TillSale::Payment> refundPlan(const Sold& sold, double amount, const QString& first)
{
    QList<TillSale::Payment> order = sold.paid;
    const QString firstMethod = first.isEmpty() ? TillSale::cash : first;
    std::stable_partition(order.begin(), order.end(),
                          [&](const TillSale::Payment& p) { return p.method == firstMethod; });
    QList<TillSale::Payment> plan;
    double left = shop::amounts::cents(amount);
    for (const TillSale::Payment& payment : order) {
        const double part = qMin(left, payment.amount);
        if (part <= 0)
            continue;
        plan.append({payment.method, part});
        left = shop::amounts::cents(left - part);
    }
    return plan;
}

QString giveBack(db::Connection& connection, const Return& goodsBack)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    if (!goodsBack.saveId.isEmpty())
        if (const auto stored = BillStore::storedBy(connection, StockPosting::BillKind::CustomerReturn, goodsBack.saveId))
            return *stored;
    TillShift::requireOpen(connection, goodsBack.shiftId);
    // Read under the write lock: another till cannot return the same pieces meanwhile.
    const Sold receipt = sold(connection, goodsBack.saleNo);
    BillStore::Bill bill;
    for (int row = 0; row < goodsBack.quantities.size(); ++row) {
        const double quantity = goodsBack.quantities.at(row);
        if (quantity == 0)
            continue;
        if (row >= receipt.lines.size())
            throw refusal(row, BillRules::Column::Code, QStringLiteral("第%1行：小票上没有这一行").arg(row + 1));
        const SoldLine& line = receipt.lines.at(row);
        if (quantity < 0 || quantity > line.returnable())
            throw refusal(row, BillRules::Column::Quantity,
                          QStringLiteral("第%1行 %2：退货数量%3超过可退数量%4（已售%5，已退%6）")
                              .arg(row + 1)
                              .arg(line.name.isEmpty() ? line.code : line.name, DataHelpers::amountText(quantity),
                                   DataHelpers::amountText(line.returnable()), DataHelpers::amountText(line.quantity),
                                   DataHelpers::amountText(line.returned)));
        bill.lines.append({line.code, quantity, line.price, StockPosting::atCost, 0, {}});
    }
    if (bill.lines.isEmpty())
        throw refusal(-1, BillRules::Column::Quantity, QStringLiteral("没有选择要退的货品"));
    const double refund = refundDue(receipt, goodsBack.quantities);
    double refunded = 0;
    QList<TillSale::Payment> refunds;
    for (const TillSale::Payment& payment : goodsBack.refunds) {
        if (payment.amount == 0)
            continue;
        double paidBy = 0;
        for (const TillSale::Payment& paid : receipt.paid)
            if (paid.method == payment.method)
                paidBy = paid.amount;
        if (payment.amount < 0 || payment.amount > paidBy)
            throw refusal(-1, BillRules::Column::None,
                          QStringLiteral("退款“%1 %2”超过这张小票用%1付的%3")
                              .arg(payment.method, DataHelpers::amountText(payment.amount), DataHelpers::amountText(paidBy)));
        refunded += payment.amount;
        refunds.append(payment);
    }
    if (shop::amounts::cents(refunded) != refund)
        throw refusal(-1, BillRules::Column::None,
                      QStringLiteral("退款合计%1不等于应退%2").arg(DataHelpers::amountText(shop::amounts::cents(refunded)),
                                                              DataHelpers::amountText(refund)));
    TillSale::addWalkInCustomer(connection);
    const QDateTime now = Clock::now();
    bill.billNo = now.toString(DataHelpers::timeStampFormat);
    bill.saveId = goodsBack.saveId;
    bill.header = {{QStringLiteral("bill_date"), now},
                   {QStringLiteral("comp_code"), TillSale::walkInCompany},
                   {QStringLiteral("fee_type"), TillSale::methodOfBill(refunds)},
                   {QStringLiteral("oper_code"), goodsBack.cashier},
                   {QStringLiteral("oper_name"), goodsBack.cashier},
                   {QStringLiteral("fact_tota"), refund},
                   {QStringLiteral("disc_tota"), shop::amounts::cents(BillRules::totals(bill.lines).amount - refund)},
                   {QStringLiteral("shift_id"), goodsBack.shiftId},
                   {QStringLiteral("sale_no"), receipt.saleNo},
                   {QStringLiteral("card_no"), receipt.cardNo.isEmpty() ? QVariant() : QVariant(receipt.cardNo)}};
    const auto alsoWrite = [&](db::Connection& c, const QString& no) {
        TillSale::writePayments(c, no, refunds, -1);
        if (!receipt.cardNo.isEmpty())
            givePointsBack(c, receipt, goodsBack.quantities, refunds, no, now);
    };
    const QString billNo = BillStore::save(connection, StockPosting::BillKind::CustomerReturn, bill, alsoWrite);
    transaction.commit();
    return billNo;
}

} // namespace TillReturn
