#pragma once

#include "shop/Settlement.h"

#include <QString>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QObject;
class QWidget;
class ReportLayout;

namespace db {
class Dataset;
}

namespace ui {
class DbGrid;
}

// Pieces the receipt, payment and statement windows share.
namespace AccountsParts {

// A typed amount in the locale's form; ok is false when the box holds no number.
double amountOf(const QLineEdit* box, bool* ok);

// A date picker with the long date form and up-down buttons, showing `date`.
QDateEdit* makeDatePicker(const char* name, const QDate& date, QWidget* parent);

// The settlement list's columns; `verb` is "收" or "付" ("应收款", "实收款", "欠收款").
void addListColumns(ui::DbGrid* grid, const QString& verb);
// Keeps `margin` (due - paid) of every row; the hook goes when `owner` does.
void addMarginHook(db::Dataset& list, QObject* owner);
// Shows the totals, and the owing amount, in the three boxes.
void showTotals(const Settlement::Totals& totals, QLineEdit* due, QLineEdit* paid, QLineEdit* owing);

// The company boxes: every stored code and name, and each box showing the
// other's partner after the user changed it. Texts put in by the window do not
// set off the look-up: put them with the signals blocked.
void fillCompanyLists(QComboBox* code, QComboBox* name);
void showNameOfCode(QComboBox* code, QComboBox* name);
void showCodeOfName(QComboBox* code, QComboBox* name);
void setTextQuietly(QComboBox* box, const QString& text);

// Previews `layout` with the grids bound to `list` held still while it reads
// the rows; they move again afterwards, also when the preview throws.
void previewList(ReportLayout& layout, db::Dataset* list, QWidget* parent);

} // namespace AccountsParts
