#pragma once

#include <QString>
#include <exception>

class QWidget;

namespace db {
class Dataset;
}
namespace ui {
class DbGrid;
}

// Pieces every warehouse window shares.
namespace WarehouseParts {

// The eight goods columns every warehouse list starts with: code, name, kind,
// brand, style, colour, size, unit.
void addGoodsColumns(ui::DbGrid* grid);
// Moves to the goods whose code is the code typed, else to the first whose code starts with it
// (case ignored); stays put when none does.
bool moveToCode(db::Dataset& dataset, const QString& code);
// The message a failed step shows: what failed and the database's reason.
void reportFailure(const QString& what, const std::exception& error, QWidget* parent);

} // namespace WarehouseParts
