#pragma once

#include <QDate>
#include <QString>
#include <functional>

namespace db {
class Connection;
}

// The working sheet `chektemp` that the stock adjustment and the stock count
// share: filled from the book quantities, typed over, and written back into
// storemain as one unit. Window-free.
namespace StockSheet {

// Reports how far a long step has come: rows done of all rows.
using Progress = std::function<void(int done, int total)>;

enum class Outcome { Saved, EmptyQuantity, MonthCounted };
struct SaveResult {
    Outcome outcome = Outcome::Saved;
    QString goods;   // the goods whose quantity is empty
    int rows = 0;    // stock rows written
};

// Empties the sheet.
void clear(db::Connection& connection);
// Empties the sheet and copies every stock record's code and book quantity into it.
// A count starts its counted quantities at the book quantities, dated `countDate`;
// an adjustment (no date) leaves them empty until it starts.
int fillFromStock(db::Connection& connection, const QDate& countDate = {});
// Every new quantity of an adjustment starts equal to the book quantity.
void startAdjusting(db::Connection& connection);
// The first goods (in code order) whose counted quantity is empty; null when none is.
QString firstEmptyQuantity(db::Connection& connection);

// Writes every typed quantity into storemain in one write transaction; cost untouched.
// A sheet with an empty quantity is refused before anything is written.
SaveResult saveAdjustment(db::Connection& connection, const Progress& progress = {});

// Starts a count of the date's month: false, with the sheet untouched, when the month is already counted.
bool startCount(db::Connection& connection, const QDate& date);
// Stores the count in storchek and sets the book quantities, all in one write
// transaction: refused when the month got counted meanwhile or a quantity is empty.
SaveResult saveCount(db::Connection& connection, const QDate& date, const Progress& progress = {});
// Copies the month's stored count into the sheet; returns its row count.
int loadCount(db::Connection& connection, const QDate& date);

// The first and the day after the last day of the date's month, as stored date-times.
QString monthStart(int year, int month);
QString nextMonthStart(int year, int month);

} // namespace StockSheet
