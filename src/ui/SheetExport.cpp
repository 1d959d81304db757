#include "ui/SheetExport.h"

#include "core/Clock.h"
#include "db/Dataset.h"
#include "ui/CancelProgress.h"
#include "ui/DatasetModel.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QRegularExpression>
#include <QStandardPaths>
#include <functional>

namespace ui::SheetExport {

namespace {

QString lastFolder;

QString folder()
{
    if (!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir())
        return lastFolder;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

// Grid widths are pixels; a spreadsheet counts characters of about 7 pixels.
constexpr double pixelsPerCharacter = 7.0;

} // namespace

QString askFileName(QWidget* parent, const QString& baseName, bool xlsx)
{
    QString base = baseName.trimmed();
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\s]+"));
    base.replace(unsafe, QStringLiteral("_"));
    if (base.isEmpty())
        base = QStringLiteral("导出");
    const QString suffix = xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".csv");
    const QString offered = QDir(folder()).filePath(base + QLatin1Char('_')
                                                    + Clock::today().toString(QStringLiteral("yyyyMMdd")) + suffix);
    const QString excel = QStringLiteral("Excel 文件 (*.xlsx)");
    const QString csv = QStringLiteral("CSV 文件 (*.csv)");
    QString fileName = dialogs().saveFileName(parent, xlsx ? QStringLiteral("导出Excel") : QStringLiteral("导出CSV"),
                                              offered, xlsx ? excel + QStringLiteral(";;") + csv
                                                            : csv + QStringLiteral(";;") + excel);
    if (fileName.isEmpty())
        return {};
    if (!fileName.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)
        && !fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        fileName += suffix;
    lastFolder = QFileInfo(fileName).absolutePath();
    return fileName;
}

bool write(QWidget* parent, const QString& fileName, const QString& sheetName, const QList<SheetColumn>& columns,
           int rowCount, const SheetWriter::CellValue& value, const SheetFrame& frame)
{
    CancelProgress progress(QStringLiteral("正在导出 %1 行…").arg(rowCount), parent);
    try {
        return SheetWriter::write(fileName, sheetName, columns, rowCount, value, std::ref(progress), frame);
    } catch (const std::exception& e) {
        progress.close();
        showError(QString::fromUtf8(e.what()), parent);
        return false;
    }
}

QList<int> shownColumns(const DbGrid& grid)
{
    QList<int> fields;
    const DatasetModel* model = grid.datasetModel();
    if (!model)
        return fields;
    const QHeaderView* header = grid.horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!grid.isColumnHidden(logical) && model->fieldIndexOfColumn(logical) >= 0)
            fields.append(logical);
    }
    return fields;
}

namespace {

SheetColumn columnFor(const db::Field& field, const QString& caption, double width)
{
    SheetColumn column;
    column.caption = caption;
    column.width = width;
    switch (field.type) {
    case db::FieldType::Double:
    case db::FieldType::Integer:
        column.kind = SheetColumn::Kind::Number;
        column.format = field.displayFormat;
        break;
    case db::FieldType::DateTime:
        column.kind = SheetColumn::Kind::Date;
        column.format = field.displayFormat;
        break;
    case db::FieldType::String:
        break;
    }
    return column;
}

} // namespace

QList<SheetColumn> gridColumns(const DbGrid& grid)
{
    QList<SheetColumn> columns;
    const DatasetModel* model = grid.datasetModel();
    const db::Dataset* dataset = grid.dataset();
    if (!model || !dataset)
        return columns;
    for (int logical : shownColumns(grid))
        columns.append(columnFor(dataset->field(model->fieldIndexOfColumn(logical)),
                                 model->headerData(logical, Qt::Horizontal).toString(),
                                 grid.columnWidth(logical) / pixelsPerCharacter));
    return columns;
}

bool exportGrid(DbGrid& grid, bool xlsx)
{
    db::Dataset* dataset = grid.dataset();
    if (!dataset || !dataset->isOpen() || !grid.datasetModel())
        return false;
    grid.commitEditor();
    const QString title = grid.window()->windowTitle();
    const QString fileName = askFileName(&grid, title, xlsx);
    if (fileName.isEmpty())
        return false;
    QList<SheetColumn> columns;
    QList<int> fields;
    if (grid.exportFields().isEmpty()) {
        columns = gridColumns(grid);
        for (int logical : shownColumns(grid))
            fields.append(grid.datasetModel()->fieldIndexOfColumn(logical));
    }
    for (const auto& [name, caption] : grid.exportFields()) {
        const int index = dataset->fieldIndex(name);
        SheetColumn column = columnFor(dataset->field(index), caption, qMax(10, int(caption.size()) * 2 + 2));
        // Every digit the field holds, so that the file comes back as it was.
        column.format.clear();
        columns.append(column);
        fields.append(index);
    }
    return write(
        &grid, fileName, title, columns, dataset->recordCount(),
        [&](int row, int column) {
            const QVariant v = dataset->value(row, fields[column]);
            return columns[column].kind == SheetColumn::Kind::Text && !v.isNull()
                       ? QVariant(dataset->displayText(row, fields[column]))
                       : v;
        },
        grid.exportFrame());
}

} // namespace ui::SheetExport
