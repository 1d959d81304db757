#pragma once

#include "shop/StatisticsQuery.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace db {
class Connection;
}

// What sells, in which size and colour: per style (or brand, category, 款式, season)
// the pieces received and sold over a range, sell-through, margin, the size
// curve, slow movers, the age of the stock and its turnover. Every figure is
// summed from the bills and the stock records the same way 出货统计 and
// 库存查询 count them. Window-free; a failure throws db::Error.
namespace StyleAnalysis {

using statistics::DateRange;

// What the goods are grouped by. A goods without a 款号 is a style of its own,
// under its own code; goods without a season are grouped under noSeason.
enum class Grouping { Style, Brand, Category, Kind, Season };
inline const QString noSeason = QStringLiteral("未分季节");
// The grouping's name as the windows show it ("款号").
QString groupingName(Grouping grouping);

// The sums of one goods or group.
struct Figures {
    double received = 0;    // purchases less returns to suppliers in the range
    double sold = 0;        // sales in the range, as 出货统计 counts them
    double returned = 0;    // customer returns in the range, stock-moving or not
    double stock = 0;       // now, as 库存查询 shows it
    double stockValue = 0;  // stock × moving-average cost
    double amount = 0;      // sales less customer returns, at their prices
    double cost = 0;        // the pieces kept (sold − returned) at moving-average cost

    double kept() const { return sold - returned; }
    // Pieces kept ÷ pieces received, in percent; none when nothing was received.
    std::optional<double> sellThrough() const;
    double margin() const { return amount - cost; }
    Figures& operator+=(const Figures& other);
};

struct StyleRow {
    QString key;           // the 款号 (or brand, category, 款式, season)
    Figures figures;
    QDate firstReceipt;    // the first purchase ever; null: never bought
    // Whole weeks from the first receipt to the end of the range; none when never bought.
    std::optional<int> weeksOnSale;
};

// Every group with a movement in the range or stock now, highest sell-through
// first (groups never bought last), equal ones by key.
QList<StyleRow> styles(db::Connection& connection, Grouping grouping, const DateRange& dates);

// One style's goods as its size × colour grid (colours down, sizes across, in
// their code lists' order) with each cell's figures over the range. A key that
// is a goods code without a 款号 gives that goods alone.
struct StyleCells {
    QString style;
    QStringList colors;
    QStringList sizes;
    QList<std::optional<Figures>> cells;   // colour-major; none where no goods is

    std::optional<Figures> cell(int color, int size) const { return cells.value(color * sizes.size() + size); }
    Figures colorTotal(int color) const;
    Figures sizeTotal(int size) const;
    Figures total() const;
};
StyleCells styleCells(db::Connection& connection, const QString& style, const DateRange& dates);

// Each size's share of what was bought and of what was sold (pieces kept) over
// the goods of one brand, category or 款式 (or all goods with an empty value).
struct SizeShare {
    QString size;
    double bought = 0;
    double sold = 0;
    double boughtShare = 0;   // percent, one decimal; the column sums to 100
    double soldShare = 0;
};
QList<SizeShare> sizeShares(db::Connection& connection, Grouping grouping, const QString& value,
                            const DateRange& dates);
// Percent shares of the values to one decimal that sum to exactly 100 (largest
// remainder); all zero when the values sum to nothing. Negative values count as 0.
QList<double> percentShares(const QList<double>& values);

// Goods (or groups) in stock that sold nothing in the `days` days up to `today`.
inline constexpr int defaultIdleDays = 30;
struct SlowMover {
    QString key;
    double stock = 0;
    double stockValue = 0;
    QDate lastSale;        // null: never sold
    std::optional<int> idleDays;   // days from the last sale to today; none: never sold
};
// `grouping` none: goods by goods.
QList<SlowMover> slowMovers(db::Connection& connection, std::optional<Grouping> grouping, int days,
                            const QDate& today);

// Stock by age, first in first out: what is in stock is what came in last, so
// each goods' stock is laid on its purchases from the newest back. Stock that
// no purchase covers (opening stock, counts) has no known age.
enum class AgeBucket { UpTo30, UpTo90, UpTo180, Over180, Unknown };
inline constexpr int ageBucketCount = 5;
QString ageBucketName(AgeBucket bucket);
AgeBucket ageBucket(int days);
struct AgeRow {
    QString key;
    std::array<double, ageBucketCount> quantity{};
    std::array<double, ageBucketCount> value{};   // at moving-average cost
    double totalQuantity() const;
    double totalValue() const;
};
QList<AgeRow> stockAge(db::Connection& connection, std::optional<Grouping> grouping, const QDate& today);
// The value at cost of the stock over 180 days old: the home page's card.
double oldStockValue(db::Connection& connection, const QDate& today);

// Cost of goods sold ÷ average stock at cost over the range, and the days the
// stock now lasts at the range's rate of sale. The stock at the range's ends is
// today's stock less what bills, counts and adjustments moved since; a change
// to the opening stock keeps no goods' figures to take back and stays in.
struct TurnoverRow {
    QString key;
    double costOfSales = 0;
    double openingValue = 0;
    double closingValue = 0;
    double stock = 0;
    double kept = 0;                    // pieces sold less returned in the range
    std::optional<double> turnover;     // none: no stock on average
    std::optional<double> daysOfStock;  // none: nothing sold
};
QList<TurnoverRow> turnover(db::Connection& connection, Grouping grouping, const DateRange& dates);

} // namespace StyleAnalysis
