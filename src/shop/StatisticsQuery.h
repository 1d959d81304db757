#pragma once

#include <QDate>
#include <QString>
#include <QVariantHash>

namespace db {
class Dataset;
}

// The statements of the listings and rankings, and their totals: window-free,
// so that what a list counts can be tested without a screen.
namespace statistics {

// Which bills of a table count: all of them, the table's own kind (purchases,
// sales) or its returns.
enum class BillType { All, Own, Return };

// One side of the books: the bill headers, their lines and the code of the
// table's own kind of bill ("in" or "out"; both tables call returns "retu").
struct BillTables {
    QString header;
    QString lines;
    QString ownType;
};
BillTables inBills();
BillTables outBills();

// Whole days, both ends included, whatever time of day a bill date carries.
struct DateRange {
    QDate from;
    QDate to;
};

// A statement with its parameters, ready for a dataset.
struct Query {
    QString sql;
    QVariantHash parameters;
    // Closes the dataset and gives it this statement and these parameters.
    void applyTo(db::Dataset& dataset) const;
};

struct ListingFilter {
    DateRange dates;
    BillType type = BillType::All;
    bool byGoods = false;     // only the lines of goodsCode
    QString goodsCode;
    bool byCompany = false;   // only the bills of companyCode
    QString companyCode;
};

// Every bill line of the range, in bill order; columns bill_no, comp_code,
// gods_code, unit_pric, sub_amou.
Query listingQuery(const BillTables& tables, const ListingFilter& filter);

enum class RankingKey { Goods, Company };
enum class RankingOrder { ByAmount, ByQuantity };

// The out-bill lines of the range summed per goods (gods_code, sub_amou, unit_pric
// as sub_tota / sub_amou, empty when the quantities sum to 0, sub_tota) or per company (comp_code,
// sub_amou, sub_tota), largest first.
Query rankingQuery(RankingKey key, RankingOrder order, BillType type, const DateRange& dates);

// The out-bills of the range summed in one row: bills, sub_amou, sub_tota and
// cost_tota (each quantity at its goods' moving-average cost in stock).
Query salesSummaryQuery(BillType type, const DateRange& dates);
// The amount of the range's out-bills per bill date: bill_date, sub_tota, by date.
Query dailySalesQuery(BillType type, const DateRange& dates);

struct Totals {
    double quantity = 0;
    double amount = 0;
};
// Σ sub_amou and Σ unit_pric × sub_amou over every row of an open listing.
Totals listingTotals(const db::Dataset& listing);
// Σ sub_amou and Σ sub_tota over every row of an open ranking.
Totals rankingTotals(const db::Dataset& ranking);

// A total as the lists show it ("#0.##").
QString totalText(double value);

} // namespace statistics
