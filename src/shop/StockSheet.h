#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

#include "shop/StockRules.h"

namespace db {
class Connection;
class Dataset;
}

// The sheet that the stock adjustment and the stock count type over: the book
// quantities of the moment it was opened and the quantities entered. The sheet
// is held in memory by its dataset (ChektempQ, in batch mode) and never written
// back through it, so a connection made anew cannot take a count in progress;
// a save writes only what the lines change, in one transaction. Window-free.
namespace StockSheet {

// Reports how far a long step has come: rows done of all rows.
using Progress = std::function<void(int done, int total)>;

// AlreadySaved: the month is counted by this very save (a retry after its answer was lost).
enum class Outcome { Saved, NothingToSave, Refused, MonthCounted, AlreadySaved };
struct SaveResult {
    Outcome outcome = Outcome::Saved;
    QString goods;     // the goods refused
    QString message;   // why, naming the goods, the column and the value
    int rows = 0;      // goods whose stock changed
};

// One goods of a sheet: the book quantity the user was shown and what was entered.
struct Line {
    QString code;
    double shown = 0;
    QVariant entered;   // NULL when emptied
    bool operator==(const Line&) const = default;
};

// Opens the sheet over every stock record in code order, with its book quantity;
// with `entered` the book quantity is also the quantity entered, else that is empty.
void openBook(db::Dataset& sheet, bool entered);
// Opens the sheet empty.
void openEmpty(db::Dataset& sheet);
// Opens the sheet over the month's stored count; returns its rows.
int openStoredCount(db::Dataset& sheet, const QDate& date);
// The sheet's lines, the row being typed included.
QList<Line> lines(const db::Dataset& sheet);

// Why the books refuse the line, or "": asked of every line by the save and of
// each row by the windows as it is typed. A line entered as shown changes nothing
// and passes; an empty one never does.
QString lineRefusal(StockRules::Sheet sheet, const Line& line);

// Starts a count of the date's month from the book quantities: false, with the
// sheet untouched, when the month is already counted.
bool startCount(db::Dataset& sheet, const QDate& date);

// Moves each goods' stock by what was entered less what was shown, so that a
// sale or purchase saved meanwhile stays; cost untouched. A goods without a
// stock record gets one at its purchase price. One write transaction with its
// line in the change log; nothing to save when no line differs. The log line
// carries `saveId` (SaveIdentity), unique: the same save is never applied twice.
SaveResult saveAdjustment(db::Connection& connection, const QList<Line>& lines, const QString& saveId = {},
                          const Progress& progress = {});
// Stores the count in storchek and moves the stock as an adjustment does, in one
// write transaction; refused when the month got counted meanwhile. storchek
// holds, for every stock record, the book quantity at the save (gods_amou) and
// the quantity after it (chek_amou): their difference is what the count changed.
// Its log line carries `saveId` as the adjustment's does.
SaveResult saveCount(db::Connection& connection, const QDate& date, const QList<Line>& lines,
                     const QString& saveId = {}, const Progress& progress = {});
// Whether the count or adjustment of that identity is stored.
bool isStored(db::Connection& connection, const QString& saveId);

// One goods' stock moved by a saved adjustment, and when it was saved.
struct Adjustment {
    QDateTime time;
    QString code;
    double difference = 0;
};
// The adjustments saved on `from` or later, goods by goods, oldest first. An
// adjustment keeps no record but its log line, so they are read back from there.
QList<Adjustment> adjustmentsSince(db::Connection& connection, const QDate& from);

// The first and the day after the last day of the date's month, as stored date-times.
QString monthStart(int year, int month);
QString nextMonthStart(int year, int month);

} // namespace StockSheet
