#pragma once

#include "shop/MasterDataRules.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariant>

namespace db {
class Connection;
}

// What a markdown rule may be: a name, a date range, what it covers and either
// a discount percent or a fixed price. Window-free.
namespace MarkdownRules {

// "款号", "品牌", "分类", "全部", in this order.
const QStringList& scopes();
inline const QString everyGoods = QStringLiteral("全部");
// The goods column a scope names its value in; empty for every goods.
QString scopeColumn(const QString& scope);
// The values the goods hold for a scope, in order.
QStringList scopeValues(db::Connection& connection, const QString& scope);

// Every refusal of a rule's row (mark_name, start_date, end_date, scope,
// scope_value, discount, fixed_pric), in field order.
QList<MasterDataRules::Refusal> check(db::Connection& connection, const QHash<QString, QVariant>& values);

} // namespace MarkdownRules
