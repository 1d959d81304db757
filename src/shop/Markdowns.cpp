#include "shop/Markdowns.h"

#include "db/Statement.h"
#include "shop/Amounts.h"

namespace Markdowns {

double priceBy(const Rule& rule, double retailPrice)
{
    if (rule.fixedPrice > 0)
        return shop::amounts::cents(rule.fixedPrice);
    return shop::amounts::cents(retailPrice * rule.discount / 100.0);
}

std::optional<Offer> lowest(const QList<Rule>& rules, double retailPrice)
{
    std::optional<Offer> result;
    for (const Rule& rule : rules) {
        const double price = priceBy(rule, retailPrice);
        // A rule without a discount, or one above the retail price, does not mark the goods down.
        if (price <= 0 || price >= retailPrice)
            continue;
        if (!result || price < result->price)
            result = Offer{rule.name, price};
    }
    return result;
}

QList<Rule> inForce(db::Connection& connection, const QString& goodsCode, const QDate& day)
{
    // Whole days: a rule starting at some hour of its first day covers all of it.
    db::Statement query(connection,
                        QStringLiteral("select m.mark_name,m.discount,m.fixed_pric from markdown m, goods g "
                                       "where g.gods_code=:code "
                                       "and (m.start_date is null or m.start_date<:next) "
                                       "and (m.end_date is null or m.end_date>=:day) "
                                       "and (m.scope=:all "
                                       "or (m.scope=:style and m.scope_value=g.styl_code and coalesce(g.styl_code,'')<>'') "
                                       "or (m.scope=:brand and m.scope_value=g.gods_spec and coalesce(g.gods_spec,'')<>'') "
                                       "or (m.scope=:kind and m.scope_value=g.gods_kind and coalesce(g.gods_kind,'')<>'')) "
                                       "order by m.mark_id"));
    query.bind(QStringLiteral("code"), goodsCode)
        .bind(QStringLiteral("day"), day)
        .bind(QStringLiteral("next"), day.addDays(1))
        .bind(QStringLiteral("all"), everything)
        .bind(QStringLiteral("style"), byStyle)
        .bind(QStringLiteral("brand"), byBrand)
        .bind(QStringLiteral("kind"), byKind);
    QList<Rule> rules;
    while (query.next())
        rules.append({query.textValue(0), query.doubleValue(1), query.doubleValue(2)});
    return rules;
}

std::optional<Offer> best(db::Connection& connection, const QString& goodsCode, double retailPrice, const QDate& day)
{
    return lowest(inForce(connection, goodsCode, day), retailPrice);
}

} // namespace Markdowns
