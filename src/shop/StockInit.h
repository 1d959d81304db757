#pragma once

namespace db {
class Connection;
class Dataset;
}

// The opening stock's rules. Window-free.
namespace StockInit {

// Adds, in one transaction, a stock record with quantity and cost 0 for every goods
// code that has none; existing records are not touched. Returns how many were added.
int importGoods(db::Connection& connection);
// The first row of a stock dataset whose quantity or cost is empty, or -1.
int firstEmptyRow(const db::Dataset& dataset);

} // namespace StockInit
