#include "core/SheetWriter.h"

#include "db/Field.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <stdexcept>
#include <xlsxwriter.h>

namespace SheetWriter {

namespace {

constexpr int progressEvery = 2000;

bool keepGoing(const Progress& progress, int done, int total)
{
    return !progress || done % progressEvery != 0 || progress(done, total);
}

QDateTime asDateTime(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().startOfDay();
    return value.toDateTime();
}

bool hasTime(const SheetColumn& column)
{
    return column.format.contains(QLatin1Char('h'), Qt::CaseInsensitive);
}

QString dateText(const QVariant& value, const SheetColumn& column)
{
    const QDateTime dt = asDateTime(value);
    if (!dt.isValid())
        return value.toString();
    if (!column.format.isEmpty())
        return dt.toString(column.format);
    return dt.toString(QStringLiteral("yyyy-MM-dd"));
}

QString numberText(const QVariant& value, const SheetColumn& column)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        return value.toString();
    if (!column.format.isEmpty())
        return db::formatNumber(number, column.format);
    return QString::number(number, 'g', 15);
}

// A sheet name Excel takes: at most 31 characters, none of []:*?/\.
QString sheetNameFor(const QString& name)
{
    QString result = name;
    result.replace(QRegularExpression(QStringLiteral("[\\[\\]:*?/\\\\]")), QStringLiteral("_"));
    result = result.left(31).trimmed();
    return result.isEmpty() ? QStringLiteral("Sheet1") : result;
}

QByteArray csvField(const QString& text)
{
    const bool quote = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
                       || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))
                       || (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quote)
        return text.toUtf8();
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return '"' + quoted.toUtf8() + '"';
}

QString cellText(const QVariant& value, const SheetColumn& column)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (column.kind) {
    case SheetColumn::Kind::Number:
        return numberText(value, column);
    case SheetColumn::Kind::Date:
        return dateText(value, column);
    case SheetColumn::Kind::Text:
        break;
    }
    return value.toString();
}

QByteArray csvLine(const QList<QVariant>& cells)
{
    QByteArray line;
    for (int c = 0; c < cells.size(); ++c) {
        if (c > 0)
            line += ',';
        const QVariant& cell = cells[c];
        line += csvField(cell.typeId() == QMetaType::Double ? QString::number(cell.toDouble(), 'g', 15) : cell.toString());
    }
    return line + "\r\n";
}

bool writeCsv(const QString& fileName, const QList<SheetColumn>& columns, int rowCount, const CellValue& value,
              const Progress& progress, const SheetFrame& frame)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(QStringLiteral("无法写入文件 %1：%2")
                                     .arg(QDir::toNativeSeparators(fileName), file.errorString())
                                     .toStdString());
    file.write("\xEF\xBB\xBF");
    for (const QList<QVariant>& cells : frame.above)
        file.write(csvLine(cells));
    QByteArray line;
    for (int c = 0; c < columns.size(); ++c) {
        if (c > 0)
            line += ',';
        line += csvField(columns[c].caption);
    }
    line += "\r\n";
    file.write(line);
    for (int row = 0; row < rowCount; ++row) {
        if (!keepGoing(progress, row, rowCount)) {
            file.cancelWriting();
            return false;
        }
        line.clear();
        for (int c = 0; c < columns.size(); ++c) {
            if (c > 0)
                line += ',';
            line += csvField(cellText(value(row, c), columns[c]));
        }
        line += "\r\n";
        file.write(line);
    }
    for (const QList<QVariant>& cells : frame.below)
        file.write(csvLine(cells));
    if (!file.commit())
        throw std::runtime_error(QStringLiteral("无法写入文件 %1：%2")
                                     .arg(QDir::toNativeSeparators(fileName), file.errorString())
                                     .toStdString());
    return true;
}

lxw_datetime excelDateTime(const QDateTime& dt)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), double(t.second()) + t.msec() / 1000.0};
}

void check(lxw_error error, const QString& fileName)
{
    if (error != LXW_NO_ERROR)
        throw std::runtime_error(QStringLiteral("无法写入文件 %1：%2")
                                     .arg(QDir::toNativeSeparators(fileName), QString::fromUtf8(lxw_strerror(error)))
                                     .toStdString());
}

// One frame line at `row`: numbers as numbers, the rest as text.
void writeFrameLine(lxw_worksheet* sheet, lxw_row_t row, const QList<QVariant>& cells, lxw_format* format)
{
    for (int c = 0; c < cells.size(); ++c) {
        const QVariant& cell = cells[c];
        if (cell.typeId() == QMetaType::Double)
            worksheet_write_number(sheet, row, lxw_col_t(c), cell.toDouble(), nullptr);
        else if (!cell.toString().isEmpty())
            worksheet_write_string(sheet, row, lxw_col_t(c), cell.toString().toUtf8().constData(), format);
    }
}

bool writeXlsx(const QString& fileName, const QString& sheetName, const QList<SheetColumn>& columns,
               int rowCount, const CellValue& value, const Progress& progress, const SheetFrame& frame)
{
    // Rows are written in order, so the constant-memory mode keeps a million rows
    // out of memory; the work file goes beside the target, not into a small /tmp.
    const QByteArray target = QFile::encodeName(fileName);
    const QByteArray tmpDir = QFile::encodeName(QFileInfo(fileName).absolutePath());
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(tmpDir.constData());
    options.use_zip64 = rowCount > 500000 ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(target.constData(), &options);
    if (!book)
        throw std::runtime_error(
            QStringLiteral("无法写入文件 %1").arg(QDir::toNativeSeparators(fileName)).toStdString());
    const QByteArray name = sheetNameFor(sheetName).toUtf8();
    lxw_worksheet* sheet = workbook_add_worksheet(book, name.constData());

    lxw_format* header = workbook_add_format(book);
    format_set_bold(header);
    lxw_format* text = workbook_add_format(book);
    format_set_num_format(text, "@");
    const lxw_row_t top = lxw_row_t(frame.above.size());
    for (lxw_row_t r = 0; r < top; ++r)
        writeFrameLine(sheet, r, frame.above[int(r)], r == 0 ? header : nullptr);
    QList<lxw_format*> formats;
    for (int c = 0; c < columns.size(); ++c) {
        const SheetColumn& column = columns[c];
        lxw_format* format = text;
        if (column.kind == SheetColumn::Kind::Number) {
            format = workbook_add_format(book);
            format_set_num_format(format, excelNumberFormat(column.format).toUtf8().constData());
        } else if (column.kind == SheetColumn::Kind::Date) {
            format = workbook_add_format(book);
            format_set_num_format(format, hasTime(column) ? "yyyy-mm-dd hh:mm:ss" : "yyyy-mm-dd");
        }
        formats.append(format);
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), column.width > 0 ? column.width : LXW_DEF_COL_WIDTH,
                             format);
        worksheet_write_string(sheet, top, lxw_col_t(c), column.caption.toUtf8().constData(), header);
    }
    worksheet_freeze_panes(sheet, top + 1, 0);

    for (int row = 0; row < rowCount; ++row) {
        if (!keepGoing(progress, row, rowCount)) {
            workbook_close(book);
            QFile::remove(fileName);
            return false;
        }
        const lxw_row_t excelRow = top + lxw_row_t(row + 1);
        for (int c = 0; c < columns.size(); ++c) {
            const QVariant v = value(row, c);
            if (!v.isValid() || v.isNull())
                continue;
            const lxw_col_t col = lxw_col_t(c);
            switch (columns[c].kind) {
            case SheetColumn::Kind::Number: {
                bool ok = false;
                const double number = v.toDouble(&ok);
                if (ok)
                    worksheet_write_number(sheet, excelRow, col, number, formats[c]);
                else
                    worksheet_write_string(sheet, excelRow, col, v.toString().toUtf8().constData(), text);
                break;
            }
            case SheetColumn::Kind::Date: {
                const QDateTime dt = asDateTime(v);
                if (dt.isValid()) {
                    lxw_datetime when = excelDateTime(dt);
                    worksheet_write_datetime(sheet, excelRow, col, &when, formats[c]);
                } else {
                    worksheet_write_string(sheet, excelRow, col, v.toString().toUtf8().constData(), text);
                }
                break;
            }
            case SheetColumn::Kind::Text: {
                const QString s = v.toString();
                if (!s.isEmpty())
                    worksheet_write_string(sheet, excelRow, col, s.toUtf8().constData(), text);
                break;
            }
            }
        }
    }
    for (int i = 0; i < frame.below.size(); ++i)
        writeFrameLine(sheet, top + lxw_row_t(rowCount + 1 + i), frame.below[i], nullptr);
    check(workbook_close(book), fileName);
    return true;
}

} // namespace

bool isXlsx(const QString& fileName)
{
    return fileName.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
}

QString excelNumberFormat(const QString& displayFormat)
{
    const qsizetype point = displayFormat.indexOf(QLatin1Char('.'));
    if (displayFormat.isEmpty() || (point >= 0 && !displayFormat.mid(point + 1).contains(QLatin1Char('0'))))
        return QStringLiteral("General");
    return displayFormat;
}

bool write(const QString& fileName, const QString& sheetName, const QList<SheetColumn>& columns, int rowCount,
           const CellValue& value, const Progress& progress, const SheetFrame& frame)
{
    const bool done = isXlsx(fileName) ? writeXlsx(fileName, sheetName, columns, rowCount, value, progress, frame)
                                       : writeCsv(fileName, columns, rowCount, value, progress, frame);
    if (done && progress)
        progress(rowCount, rowCount);
    return done;
}

} // namespace SheetWriter
