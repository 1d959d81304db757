#pragma once

#include <QString>

class QComboBox;
class QWidget;

// Helpers many windows share. The two list helpers run on the data module's
// TempQ and so replace whatever it held.
namespace DataHelpers {

// Replaces the box's list with the distinct non-blank values of table.column.
void fillCombo(const QString& table, const QString& column, QComboBox* box);
// Adds the distinct non-blank values of table.column that the list lacks.
void mergeCombo(const QString& table, const QString& column, QComboBox* box);
// The result column's value for the key (the key compared as the column
// compares), empty when no row holds the key or the value is empty. A failure
// throws db::Error: it is never taken for "not found".
QString lookup(const QString& table, const QString& keyColumn, const QString& keyValue,
               const QString& resultColumn);
// Bill and voucher numbers are time stamps in this form.
inline const QString timeStampFormat = QStringLiteral("yyyyMMddhhmmss");
// The current local time as a time stamp.
QString timeStamp();
// An amount in capital Chinese numerals as accounting writes it ("陆佰零肆圆整",
// "壹仟零伍拾圆伍角整", "伍分"); empty from a trillion up.
QString capitalAmount(double amount);

// Quantities and amounts as every window, list and log shows them: at most two decimals.
inline const QString amountFormat = QStringLiteral("#0.##");
QString amountText(double value);
// Only older Windows needed its combo boxes adjusted; here there is nothing to do.
void adjustComboBoxes(QWidget* window);

// A LIKE pattern (escape '\') for text containing `typed`, in lower case to match lower(column).
QString containingPattern(const QString& typed);

} // namespace DataHelpers
