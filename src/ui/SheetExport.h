#pragma once

#include "core/SheetWriter.h"

#include <QString>

class QWidget;

namespace ui {

class DbGrid;

// Exporting to .xlsx or CSV as the user asks for it: the file name through the
// dialog seam, a progress dialog with 取消 for long work, errors in a box.
namespace SheetExport {

// Asks where to save; `baseName` (a window's or report's title) and today's
// date make the name offered, as .xlsx or .csv; the name chosen decides the
// format. Empty when cancelled.
QString askFileName(QWidget* parent, const QString& baseName, bool xlsx);

// Writes with progress; false when cancelled or failed (the user has been told).
bool write(QWidget* parent, const QString& fileName, const QString& sheetName, const QList<SheetColumn>& columns,
           int rowCount, const SheetWriter::CellValue& value, const SheetFrame& frame = {});

// What a grid shows, in the order on screen: its visible columns with their
// captions, kinds, formats and widths.
QList<SheetColumn> gridColumns(const DbGrid& grid);
// The model columns a grid shows, in the order on screen.
QList<int> shownColumns(const DbGrid& grid);

// The grid's rows, inside its export frame, to a file the user picks.
bool exportGrid(DbGrid& grid, bool xlsx);

} // namespace SheetExport

} // namespace ui
