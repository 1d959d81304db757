#include "shop/TillSale.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/DataHelpers.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/Amounts.h"
#include "shop/BillRules.h"
#include "shop/BillStore.h"
#include "shop/Barcodes.h"
#include "shop/LinePricing.h"
#include "shop/MemberPoints.h"
#include "shop/TillShift.h"

#include <cmath>

namespace TillSale {

namespace {

QString joinedName(const QString& name, const QString& colour, const QString& size)
{
    QStringList parts;
    for (const QString& part : {name, colour, size})
        if (!part.trimmed().isEmpty())
            parts << part.trimmed();
    return parts.join(QLatin1Char(' '));
}

} // namespace

QString methodOfBill(const QList<Payment>& payments)
{
    return payments.size() == 1 ? payments.first().method : QStringLiteral("组合支付");
}

void writePayments(db::Connection& connection, const QString& billNo, const QList<Payment>& payments, int sign)
{
    db::Statement insert(connection, QStringLiteral("insert into outpay (bill_no,fee_type,paid_amou) values (:no,:method,:amount)"));
    for (const Payment& payment : payments) {
        insert.reset();
        insert.bind(QStringLiteral("no"), billNo)
            .bind(QStringLiteral("method"), payment.method)
            .bind(QStringLiteral("amount"), sign * shop::amounts::cents(payment.amount));
        insert.execute();
    }
}

void addWalkInCustomer(db::Connection& connection)
{
    db::Statement company(connection, QStringLiteral("insert into company (comp_code, comp_name, comp_note) "
                                                     "select :code, :code, :note where not exists "
                                                     "(select 1 from company where comp_code=:code)"));
    company.bind(QStringLiteral("code"), walkInCompany).bind(QStringLiteral("note"), QStringLiteral("零售收银的顾客"));
    company.execute();
}

std::optional<Goods> goods(db::Connection& connection, const QString& scanned)
{
    const QString code = Barcodes::goodsFor(connection, Barcodes::cleaned(scanned));
    if (code.isEmpty())
        return std::nullopt;
    db::Statement query(connection, QStringLiteral("select gods_code,gods_name,gods_color,gods_size,valu_out from goods "
                                                   "where gods_code=:code order by in_id limit 1"));
    query.bind(QStringLiteral("code"), code);
    if (!query.next())
        return std::nullopt;
    return Goods{query.textValue(0), joinedName(query.textValue(1), query.textValue(2), query.textValue(3)),
                 query.doubleValue(4)};
}

Settings settings(db::Connection& connection)
{
    Settings result;
    db::Statement query(connection, QStringLiteral("select disc_limit,round_unit from userinfo order by rowid limit 1"));
    if (query.next()) {
        if (!query.isNull(0))
            result.discountLimit = query.doubleValue(0);
        result.roundingUnit = query.doubleValue(1);
    }
    return result;
}

QString discountLimitRefusal(const QVariant& percent)
{
    if (percent.isNull() || (percent.toDouble() >= 0 && percent.toDouble() <= 100))
        return {};
    return QStringLiteral("收银最低折扣%“%1”应在0到100之间").arg(DataHelpers::amountText(percent.toDouble()));
}

QString roundingUnitRefusal(const QVariant& unit)
{
    const double cents = shop::amounts::cents(unit.toDouble());
    if (unit.isNull() || cents == 0 || cents == 0.1 || cents == 1)
        return {};
    return QStringLiteral("收银抹零“%1”只能是0、0.1或1元").arg(DataHelpers::amountText(unit.toDouble()));
}

double total(const QList<Line>& lines)
{
    QList<StockPosting::BillLine> billLines;
    for (const Line& line : lines)
        billLines.append({line.code, line.quantity, line.price, {}, 0, {}});
    return BillRules::totals(billLines).amount;
}

double rounding(double total, double unit)
{
    if (unit <= 0 || total <= 0)
        return 0;
    // In cents, so 12.30 rounded to 0.1 takes nothing off.
    const qint64 totalCents = std::llround(total * 100);
    const qint64 unitCents = std::llround(unit * 100);
    return double(totalCents % unitCents) / 100.0;
}

double due(const QList<Line>& lines, const Settings& settings)
{
    const double sum = total(lines);
    return shop::amounts::cents(sum - rounding(sum, settings.roundingUnit));
}

double discounted(double retailPrice, double percent)
{
    return shop::amounts::cents(retailPrice * percent / 100.0);
}

QString priceRefusal(const Settings& settings, int row, const Line& line, bool mayChangePrice, double rulePrice)
{
    const QString where = QStringLiteral("第%1行：").arg(row + 1);
    if (line.price < 0 || !shop::amounts::fits(line.price))
        return where + QStringLiteral("价格“%1”不合适").arg(DataHelpers::amountText(line.price));
    double lowest = discounted(line.retailPrice, settings.discountLimit);
    // A markdown or a member's level may go below what a cashier may give by hand.
    if (rulePrice > 0)
        lowest = qMin(lowest, rulePrice);
    if (mayChangePrice || line.price >= lowest)
        return {};
    return where + QStringLiteral("价格%1低于售价%2的%3%（%4），需要“改价”权限")
                       .arg(DataHelpers::amountText(line.price), DataHelpers::amountText(line.retailPrice),
                            DataHelpers::amountText(settings.discountLimit), DataHelpers::amountText(lowest));
}

bool mayChangePrice()
{
    return hasRight(Right::Use, Function::ChangePrice);
}

QStringList methods(db::Connection& connection)
{
    db::Statement query(connection, QStringLiteral("select fee_type, min(fee_code) from baseitem where coalesce(fee_type,'')<>'' "
                                                   "group by fee_type order by 2, 1"));
    QStringList result;
    while (query.next())
        result << query.textValue(0);
    if (result.isEmpty())
        return {cash, QStringLiteral("微信"), QStringLiteral("支付宝"), QStringLiteral("银行卡")};
    return result;
}

QString sell(db::Connection& connection, const Sale& sale)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    if (!sale.saveId.isEmpty())
        if (const auto stored = BillStore::storedBy(connection, StockPosting::BillKind::Sale, sale.saveId))
            return *stored;
    TillShift::requireOpen(connection, sale.shiftId);
    const Settings rules = settings(connection);
    const bool mayChange = mayChangePrice();
    std::optional<MemberPoints::Member> member;
    if (!sale.cardNo.trimmed().isEmpty()) {
        member = MemberPoints::byCard(connection, sale.cardNo);
        if (!member)
            throw BillRules::Refused({-1, BillRules::Column::None, QStringLiteral("会员卡“%1”不存在").arg(sale.cardNo.trimmed())});
    }
    const QDateTime now = Clock::now();
    const LinePricing::Terms terms = LinePricing::termsFor(connection, member ? member->cardNo : QString());
    BillStore::Bill bill;
    for (int row = 0; row < sale.lines.size(); ++row) {
        const Line& line = sale.lines.at(row);
        // The limit is checked on the goods' stored retail price, not the one the till showed.
        Line stored = line;
        if (const auto found = goods(connection, line.code))
            stored.retailPrice = found->retailPrice;
        const double rulePrice = LinePricing::price(connection, line.code, stored.retailPrice, now.date(), terms).price;
        if (const QString why = priceRefusal(rules, row, stored, mayChange, rulePrice); !why.isEmpty())
            throw BillRules::Refused({row, BillRules::Column::Price, why});
        bill.lines.append({line.code, line.quantity, line.price, {}, stored.retailPrice, line.rule});
    }
    const double amount = total(sale.lines);
    const double owed = due(sale.lines, rules);
    double paid = 0;
    double byPoints = 0;
    for (const Payment& payment : sale.payments) {
        if (payment.amount <= 0 || !shop::amounts::fits(payment.amount) || payment.method.trimmed().isEmpty())
            throw BillRules::Refused({-1, BillRules::Column::None,
                                      QStringLiteral("收款“%1 %2”不合适")
                                          .arg(payment.method, DataHelpers::amountText(payment.amount))});
        paid += payment.amount;
        if (payment.method == MemberPoints::pointsMethod)
            byPoints += payment.amount;
    }
    if (byPoints > 0) {
        if (!member)
            throw BillRules::Refused({-1, BillRules::Column::None, QStringLiteral("只有会员可以用积分抵现")});
        const QString why = MemberPoints::redemptionRefusal(*member, byPoints, owed, MemberPoints::settings(connection).pointValue);
        if (!why.isEmpty())
            throw BillRules::Refused({-1, BillRules::Column::None, why});
    }
    if (shop::amounts::cents(paid) != owed)
        throw BillRules::Refused({-1, BillRules::Column::None,
                                  QStringLiteral("收款合计%1不等于应收%2").arg(DataHelpers::amountText(shop::amounts::cents(paid)),
                                                                        DataHelpers::amountText(owed))});
    addWalkInCustomer(connection);
    bill.billNo = now.toString(DataHelpers::timeStampFormat);
    bill.saveId = sale.saveId;
    bill.header = {{QStringLiteral("bill_date"), now},
                   {QStringLiteral("comp_code"), walkInCompany},
                   {QStringLiteral("fee_type"), methodOfBill(sale.payments)},
                   {QStringLiteral("oper_code"), sale.cashier},
                   {QStringLiteral("oper_name"), sale.cashier},
                   {QStringLiteral("fact_tota"), owed},
                   {QStringLiteral("disc_tota"), shop::amounts::cents(amount - owed)},
                   {QStringLiteral("shift_id"), sale.shiftId},
                   {QStringLiteral("card_no"), member ? QVariant(member->cardNo) : QVariant()}};
    // Points are earned on what was paid other than by points.
    const auto alsoWrite = [&](db::Connection& c, const QString& no) {
        writePayments(c, no, sale.payments, 1);
        if (member)
            MemberPoints::settleSale(c, member->cardNo, no, now, owed - byPoints, byPoints);
    };
    const QString billNo = BillStore::save(connection, StockPosting::BillKind::Sale, bill, alsoWrite);
    transaction.commit();
    return billNo;
}

QList<Payment> payments(db::Connection& connection, const QString& billNo)
{
    db::Statement query(connection, QStringLiteral("select fee_type,paid_amou from outpay where bill_no=:no order by pay_id"));
    query.bind(QStringLiteral("no"), billNo);
    QList<Payment> result;
    while (query.next())
        result.append({query.textValue(0), query.doubleValue(1)});
    return result;
}

shop::Receipt heading(db::Connection& connection)
{
    shop::Receipt result;
    db::Statement shop(connection, QStringLiteral("select comp_name,user_addr,user_tele from userinfo order by rowid limit 1"));
    if (shop.next()) {
        result.shopName = shop.textValue(0);
        result.shopAddress = shop.textValue(1);
        result.shopPhone = shop.textValue(2);
    }
    return result;
}

shop::Receipt receipt(db::Connection& connection, const QString& billNo)
{
    shop::Receipt result = heading(connection);
    // A sale is in outmain; a till return in inmain, linked to its sale.
    QString linesTable = QStringLiteral("outgoods");
    {
        db::Statement header(connection,
                             QStringLiteral("select bill_date,oper_code,shou_tota,disc_tota,0 from outmain where bill_no=:no and bill_type='out' "
                                            "union all select bill_date,oper_code,shou_tota,disc_tota,1 from inmain "
                                            "where bill_no=:no and bill_type='retu' and sale_no is not null"));
        header.bind(QStringLiteral("no"), billNo);
        if (!header.next())
            return {};
        result.when = QDateTime::fromString(header.textValue(0).left(19), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        result.cashier = header.textValue(1);
        result.total = header.doubleValue(2);
        result.discount = header.doubleValue(3);
        result.isReturn = header.intValue(4) == 1;
        if (result.isReturn)
            linesTable = QStringLiteral("ingoods");
    }
    result.number = billNo;
    db::Statement lines(connection, QStringLiteral("select l.gods_code,l.sub_amou,l.unit_pric,g.gods_name,g.gods_color,g.gods_size "
                                                   "from %1 l left join goods g on g.gods_code=l.gods_code "
                                                   "where l.bill_no=:no order by l.in_id")
                                        .arg(linesTable));
    lines.bind(QStringLiteral("no"), billNo);
    while (lines.next()) {
        const QString name = joinedName(lines.textValue(3), lines.textValue(4), lines.textValue(5));
        const double quantity = lines.doubleValue(1);
        const double price = lines.doubleValue(2);
        result.lines.append({name.isEmpty() ? lines.textValue(0) : name, quantity, price,
                             shop::amounts::cents(quantity * price)});
    }
    for (const Payment& payment : payments(connection, billNo)) {
        result.payments.append({payment.method, std::abs(payment.amount)});
        if (payment.method == cash)
            result.cashTaken = true;
    }
    return result;
}

} // namespace TillSale
