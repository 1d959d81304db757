#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>

// A cell that holds no value Excel could compute: an error value such as
// "#N/A", or a formula saved without its result.
struct SheetError {
    QString value;     // "#N/A"; empty for a formula without a result
    QString formula;   // without its "="; empty for a typed error value
};
Q_DECLARE_METATYPE(SheetError)

// One row of a sheet that holds anything: its number as the spreadsheet shows
// it (blank rows are left out but keep their numbers) and its cells by column,
// each a QString, a double (a number cell), a QDateTime (a date cell) or a
// SheetError; an empty cell is an invalid QVariant.
struct SheetRow {
    int number = 0;
    QList<QVariant> cells;
};

// Reads the first sheet of an .xlsx file (minizip and the XML reader) or a CSV
// file (UTF-8 with or without a BOM, or GB18030 as Chinese Excel saves it).
// Window-free; throws std::runtime_error with a message for the user.
namespace SheetReader {

QList<SheetRow> read(const QString& fileName);
QList<SheetRow> readXlsx(const QString& fileName);
QList<SheetRow> readCsv(const QByteArray& bytes);
// The text of CSV bytes: UTF-8 when they are valid UTF-8, otherwise GB18030.
QString decodeCsv(const QByteArray& bytes);

} // namespace SheetReader
