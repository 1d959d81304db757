#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

namespace db {
class Connection;
class Dataset;
}

// The opening stock's rules: what the window's typed quantities and costs may
// be, and storing them. Window-free.
namespace StockInit {

// Adds, in one transaction, a stock record with quantity and cost 0 for every goods
// code that has none; existing records are not touched. Returns how many were added.
int importGoods(db::Connection& connection);
// Why the books refuse the row (no goods code, an empty quantity or cost, a value
// beyond shop/Amounts, a cost below zero), or "". Asked of every row the user changed;
// rows nobody touched are left as they are, empty values and all.
QString rowRefusal(const db::Dataset& stock, int row);
// A row the books refuse and why; row -1 when they take every row.
struct Refusal {
    int row = -1;
    QString message;
};
// The first changed row the books refuse.
Refusal firstRefusal(const db::Dataset& stock);
// The rows the user changed whose quantity is below zero.
QList<int> negativeChangedRows(const db::Dataset& dataset);
// Writes the stock dataset's held changes and their line in the change log
// (action "保存" or "删除") in one write transaction, unless a changed row is
// refused: then nothing is written and the refusal is returned. Throws db::Error.
Refusal save(db::Dataset& stock, const QString& action);

// One goods' opening quantity and cost from an import; a value not given
// leaves the stored one (a new record starts at 0).
struct OpeningLine {
    QString code;
    QVariant amount;
    QVariant cost;
    bool hasAmount = true;
    bool hasCost = true;
};
// Sets the lines' stock records, updating the existing record or adding one,
// with the change log's line, in one write transaction. Returns false when the
// progress (done, total) said stop: nothing is written then. Throws db::Error.
bool importLines(db::Connection& connection, const QList<OpeningLine>& lines,
                 const std::function<bool(int, int)>& progress = {});

} // namespace StockInit
