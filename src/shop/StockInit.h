#pragma once

#include <QList>

namespace db {
class Connection;
class Dataset;
}

// The opening stock's rules. Window-free.
namespace StockInit {

// Adds, in one transaction, a stock record with quantity and cost 0 for every goods
// code that has none; existing records are not touched. Returns how many were added.
int importGoods(db::Connection& connection);
// The first row the user changed whose quantity or cost is empty, or -1. Rows nobody
// touched are left as they are, empty values and all.
int firstEmptyChangedRow(const db::Dataset& dataset);
// The rows the user changed whose quantity is below zero.
QList<int> negativeChangedRows(const db::Dataset& dataset);

} // namespace StockInit
