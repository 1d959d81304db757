#pragma once

#include <QDate>

namespace db {
class Connection;
}

// The stock rules shared by the bill windows and the warehouse windows:
// applying a bill to storemain and taking it back out, the moving-average
// cost, the month lock and the next free bill number. Window-free.
namespace StockPosting {

// A month is locked once a stock count of it is stored in storchek.
bool isMonthCounted(db::Connection& connection, int year, int month);
inline bool isMonthCounted(db::Connection& connection, const QDate& date)
{
    return isMonthCounted(connection, date.year(), date.month());
}

} // namespace StockPosting
