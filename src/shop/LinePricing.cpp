#include "shop/LinePricing.h"

#include "db/Statement.h"
#include "shop/Amounts.h"
#include "shop/MemberPoints.h"

namespace LinePricing {

Priced priced(double retailPrice, const std::optional<Markdowns::Offer>& markdown, const Terms& terms)
{
    const auto atLevel = [&](double price) { return shop::amounts::cents(price * terms.levelDiscount / 100.0); };
    Priced result{shop::amounts::cents(retailPrice), shop::amounts::cents(retailPrice), {}};
    if (markdown) {
        result.price = markdown->price;
        result.rule = markdown->rule;
        if (terms.discountOnDiscount)
            result.price = atLevel(markdown->price);
    }
    if (const double byLevel = atLevel(retailPrice); byLevel < result.price) {
        result.price = byLevel;
        result.rule.clear();
    }
    return result;
}

Terms termsFor(db::Connection& connection, const QString& cardNo)
{
    Terms terms;
    terms.discountOnDiscount = MemberPoints::settings(connection).discountOnDiscount;
    if (!cardNo.trimmed().isEmpty())
        if (const auto member = MemberPoints::byCard(connection, cardNo))
            terms.levelDiscount = member->discount;
    return terms;
}

Priced price(db::Connection& connection, const QString& goodsCode, double retailPrice, const QDate& day,
             const Terms& terms)
{
    return priced(retailPrice, Markdowns::best(connection, goodsCode, retailPrice, day), terms);
}

Priced price(db::Connection& connection, const QString& goodsCode, const QDate& day, const QString& cardNo)
{
    db::Statement goods(connection, QStringLiteral("select valu_out from goods where gods_code=:code order by in_id limit 1"));
    goods.bind(QStringLiteral("code"), goodsCode);
    const double retail = goods.next() ? goods.doubleValue(0) : 0;
    return price(connection, goodsCode, retail, day, termsFor(connection, cardNo));
}

} // namespace LinePricing
