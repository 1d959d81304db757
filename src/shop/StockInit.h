#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

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
// Writes the stock dataset's held changes and their line in the change log
// (action "保存" or "删除") in one write transaction. Throws db::Error.
void save(db::Dataset& stock, const QString& action);

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
