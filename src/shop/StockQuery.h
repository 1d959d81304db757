#pragma once

#include <QString>

namespace db {
class Dataset;
}

// The statements of the stock query and the stock alarm. A goods code and a
// goods kind given together must both hold; with neither, stock records with a
// blank code are left out. Every filter value is bound, never spliced. Window-free.
namespace StockQuery {

struct Filter {
    QString code;   // trimmed by the query
    QString kind;
};

struct Totals {
    double quantity = 0;
    double cost = 0;   // Σ quantity × cost price
};

// Sets the dataset's statement and parameters for the stock list (storemain rows).
void prepareStock(db::Dataset& dataset, const Filter& filter);
// The same for the goods whose stock lies strictly above the upper or below the lower limit.
void prepareAlarm(db::Dataset& dataset, const Filter& filter);
// The alarm's rule on storemain "a" joined with goods "b": strictly above the
// upper or below the lower limit; a missing goods row or an empty limit never alarms.
QString alarmCondition();
// Sums gods_amou and gods_amou × cost_pric (when the dataset has it) over all rows; empty counts as 0.
Totals sum(const db::Dataset& dataset);

} // namespace StockQuery
