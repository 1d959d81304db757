#include "shop/StatisticsQuery.h"

#include "core/DataHelpers.h"
#include "db/Dataset.h"
#include "db/Field.h"

namespace statistics {

namespace {


// The range and the bill type, on the header aliased "a". A bill dated at any
// time of the last day still counts: the end is the start of the next day.
QString rangeAndType(const DateRange& dates, BillType type, const BillTables& tables, QVariantHash& parameters)
{
    QString where = QStringLiteral(" where a.bill_date>=:date1 and a.bill_date<:date2");
    parameters.insert(QStringLiteral("date1"), dates.from);
    parameters.insert(QStringLiteral("date2"), dates.to.addDays(1));
    if (type != BillType::All) {
        where += QStringLiteral(" and a.bill_type=:bill_type");
        parameters.insert(QStringLiteral("bill_type"),
                          type == BillType::Own ? tables.ownType : QStringLiteral("retu"));
    }
    return where;
}

// Rows of a dataset read by position: the current row, and so any grid, stays put.
template <typename Add>
Totals sumRows(const db::Dataset& dataset, const QString& quantityField, Add amountOf)
{
    Totals totals;
    const int quantity = dataset.fieldIndex(quantityField);
    for (int row = 0; row < dataset.recordCount(); ++row) {
        const double q = dataset.value(row, quantity).toDouble();
        totals.quantity += q;
        totals.amount += amountOf(row, q);
    }
    return totals;
}

} // namespace

BillTables inBills()
{
    return {QStringLiteral("inmain"), QStringLiteral("ingoods"), QStringLiteral("in")};
}

BillTables outBills()
{
    return {QStringLiteral("outmain"), QStringLiteral("outgoods"), QStringLiteral("out")};
}

void Query::applyTo(db::Dataset& dataset) const
{
    dataset.close();
    dataset.setSql(sql);
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
        dataset.setParameter(it.key(), it.value());
}

Query listingQuery(const BillTables& tables, const ListingFilter& filter)
{
    Query query;
    // Every line counts: two equal lines of one bill are two rows.
    query.sql = QStringLiteral("select b.bill_no,a.comp_code,b.gods_code,b.unit_pric,b.sub_amou "
                               "from %1 a inner join %2 b on a.bill_no=b.bill_no")
                    .arg(tables.header, tables.lines);
    query.sql += rangeAndType(filter.dates, filter.type, tables, query.parameters);
    if (filter.byGoods) {
        query.sql += QStringLiteral(" and b.gods_code=:gods_code");
        query.parameters.insert(QStringLiteral("gods_code"), filter.goodsCode);
    }
    if (filter.byCompany) {
        query.sql += QStringLiteral(" and a.comp_code=:comp_code");
        query.parameters.insert(QStringLiteral("comp_code"), filter.companyCode);
    }
    query.sql += QStringLiteral(" order by a.bill_date,a.bill_no,b.in_id");
    return query;
}

Query rankingQuery(RankingKey key, RankingOrder order, BillType type, const DateRange& dates)
{
    Query query;
    const bool byGoods = key == RankingKey::Goods;
    const QString keyColumn = byGoods ? QStringLiteral("b.gods_code") : QStringLiteral("a.comp_code");
    query.sql = QStringLiteral("select %1,sum(b.sub_amou) as sub_amou,").arg(keyColumn);
    if (byGoods)
        // The price a goods was sold at on average: amount over quantity, not a mean of unit prices.
        query.sql += QStringLiteral("case when sum(b.sub_amou)=0 then null else "
                                    "sum(b.unit_pric*b.sub_amou)/sum(b.sub_amou) end as unit_pric,");
    query.sql += QStringLiteral("sum(b.unit_pric*b.sub_amou) as sub_tota from outmain a inner join outgoods b "
                                "on a.bill_no=b.bill_no");
    query.sql += rangeAndType(dates, type, outBills(), query.parameters);
    // Equal sums keep one order from run to run: by the code.
    query.sql += QStringLiteral(" group by %1 order by %2 desc,%1")
                     .arg(keyColumn, order == RankingOrder::ByAmount ? QStringLiteral("sub_tota")
                                                                     : QStringLiteral("sub_amou"));
    return query;
}

Query salesSummaryQuery(BillType type, const DateRange& dates)
{
    Query query;
    query.sql = QStringLiteral("select count(distinct a.bill_no),sum(b.sub_amou),sum(b.unit_pric*b.sub_amou),"
                               "sum(b.sub_amou*coalesce((select s.cost_pric from storemain s "
                               "where s.gods_code=b.gods_code limit 1),0)) "
                               "from outmain a inner join outgoods b on a.bill_no=b.bill_no")
                + rangeAndType(dates, type, outBills(), query.parameters);
    return query;
}

Query dailySalesQuery(BillType type, const DateRange& dates)
{
    Query query;
    query.sql = QStringLiteral("select a.bill_date,sum(b.unit_pric*b.sub_amou) as sub_tota "
                               "from outmain a inner join outgoods b on a.bill_no=b.bill_no")
                + rangeAndType(dates, type, outBills(), query.parameters)
                + QStringLiteral(" group by a.bill_date order by a.bill_date");
    return query;
}

Totals listingTotals(const db::Dataset& listing)
{
    const int price = listing.fieldIndex(QStringLiteral("unit_pric"));
    return sumRows(listing, QStringLiteral("sub_amou"),
                   [&](int row, double quantity) { return listing.value(row, price).toDouble() * quantity; });
}

Totals rankingTotals(const db::Dataset& ranking)
{
    const int amount = ranking.fieldIndex(QStringLiteral("sub_tota"));
    return sumRows(ranking, QStringLiteral("sub_amou"),
                   [&](int row, double) { return ranking.value(row, amount).toDouble(); });
}

QString totalText(double value)
{
    return DataHelpers::amountText(value);
}

} // namespace statistics
