#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

// One column of a sheet being written.
struct SheetColumn {
    enum class Kind { Text, Number, Date };
    QString caption;
    Kind kind = Kind::Text;
    QString format;       // a number's display format ("#0.##"); a date's Qt format
    double width = 0;     // characters; 0 lets the reader decide
};

// Lines around a table, as a print-out has them: the title and what it was drawn
// for above the column captions, the totals below the rows. Each line is its
// cells left to right: a QString or a number.
struct SheetFrame {
    QList<QList<QVariant>> above;
    QList<QList<QVariant>> below;
};

// Writes tables as .xlsx (libxlsxwriter) or CSV (UTF-8 with a BOM), chosen by
// the file's suffix. Window-free.
namespace SheetWriter {

// The cell of row, column: QString for text, a number, QDate or QDateTime; an
// invalid or NULL value leaves the cell empty.
using CellValue = std::function<QVariant(int row, int column)>;
// Called now and then with the rows done; false stops the work.
using Progress = std::function<bool(int done, int total)>;

bool isXlsx(const QString& fileName);

// Writes the frame's lines above, a bold, frozen header row of the captions, the
// rows, and the frame's lines below. Returns false when the progress stopped it
// (no file is left behind); throws std::runtime_error with a message for the
// user when the file cannot be written.
bool write(const QString& fileName, const QString& sheetName, const QList<SheetColumn>& columns,
           int rowCount, const CellValue& value, const Progress& progress = {}, const SheetFrame& frame = {});

// The Excel number format for a display format: formats whose decimals are all
// optional ("#0.##") become General, which Excel shows without a dangling point.
QString excelNumberFormat(const QString& displayFormat);

} // namespace SheetWriter
