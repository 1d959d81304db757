#pragma once

#include "core/SheetReader.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace db {
class Connection;
}

// Goods, companies, employees, opening stock and members read from a sheet: the header
// is matched to fields by the windows' captions, every row is checked before
// anything is written, and a clean sheet is written in one transaction. Window-free.
namespace SheetImport {

enum class Kind { Goods, Companies, Employees, OpeningStock, Members };

// A caption the header may carry and the field it fills; an empty field marks a
// column that is shown (a name looked up by code) but not imported.
struct Caption {
    QString caption;
    QString field;
};

QString kindName(Kind kind);
QString tableOf(Kind kind);
const QList<Caption>& captions(Kind kind);
// One caption per imported field, in the window's order: the template's header
// and the columns a master-data window exports.
QList<Caption> templateColumns(Kind kind);
QStringList templateCaptions(Kind kind);

struct Problem {
    int row = 0;       // as the spreadsheet numbers it; 0 for the header
    QString column;    // the caption
    QString value;
    QString reason;
};

// A code-list value (品牌, 颜色 …) that its list lacks.
struct ListValue {
    int row = 0;       // the first row that holds it
    QString caption;
    QString field;
    QString value;
};

struct Checked {
    Kind kind = Kind::Goods;
    QString refusal;               // set when the sheet was refused before its rows were read
    QStringList unknownColumns;    // listed and ignored
    QList<Problem> problems;       // any → nothing may be written
    QList<ListValue> newListValues;
    bool cancelled = false;
    bool updateExisting = false;
    // What would be written: the fields and each row's values.
    QStringList fields;
    QList<QVariantList> rows;
    QList<bool> existing;          // the row's code is already in the database

    bool clean() const { return refusal.isEmpty() && problems.isEmpty() && !cancelled; }
    int updateCount() const { return int(existing.count(true)); }
};

// Called now and then with the rows done; false stops the work.
using Progress = std::function<bool(int done, int total)>;

// Checks every row of the sheet (its first row is the header) against the
// rules of the kind; nothing is written.
Checked check(db::Connection& connection, Kind kind, const QList<SheetRow>& sheet, bool updateExisting,
              const Progress& progress = {});

// Why a code-list value is reported when the user does not add it.
QString listReason(const ListValue& value);

// Writes a clean check in one write transaction with its line in the change
// log, adding the missing code-list values first when asked. Returns false when
// the progress stopped it: nothing is written then. Throws db::Error.
bool write(db::Connection& connection, const Checked& checked, bool addListValues, const Progress& progress = {});

} // namespace SheetImport
