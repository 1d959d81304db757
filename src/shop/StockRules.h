#pragma once

#include <QString>
#include <QVariant>

namespace db {
class Connection;
}

// What the books take from a stock sheet: a count, an adjustment or an opening
// stock. The sheets' saves refuse by these rules, and the windows ask them as
// a value is typed; every refusal names the goods, the column and the value.
// Window-free.
namespace StockRules {

enum class Sheet { Count, Adjustment, Opening };

// The caption of the sheet's quantity column: 实盘数量, 调整数量 or 数量.
QString quantityColumn(Sheet sheet);
inline const QString costColumn = QStringLiteral("成本");

// Why the books refuse the quantity entered for the goods, or "" when they take
// it: empty, beyond shop/Amounts, or below zero on a count (a shelf holds no
// negative pieces).
QString quantityRefusal(Sheet sheet, const QString& goods, const QVariant& quantity);
// Why the books refuse an opening cost, or "": empty, below zero or beyond shop/Amounts.
QString costRefusal(const QString& goods, const QVariant& cost);

// The code as the books hold it: the goods' own code whatever the case it was
// given in, else the code of an existing stock record; null when it names neither.
QString storedCode(db::Connection& connection, const QString& code);
// The refusal of a code that names no goods.
QString unknownGoods(const QString& code);

} // namespace StockRules
