#include "shop/MarkdownRules.h"

#include "db/Statement.h"

#include <QDateTime>

namespace MarkdownRules {

namespace {

MasterDataRules::Refusal refusal(const char* field, const char* caption, const QString& reason)
{
    return {QString::fromLatin1(field), QString::fromUtf8(caption), reason};
}

QDate dateOf(const QVariant& value)
{
    return value.typeId() == QMetaType::QDate ? value.toDate() : value.toDateTime().date();
}

} // namespace

const QStringList& scopes()
{
    static const QStringList all = {QStringLiteral("款号"), QStringLiteral("品牌"), QStringLiteral("分类"), everyGoods};
    return all;
}

QString scopeColumn(const QString& scope)
{
    static const QStringList columns = {QStringLiteral("styl_code"), QStringLiteral("gods_spec"),
                                        QStringLiteral("gods_kind")};
    return columns.value(int(scopes().indexOf(scope)));
}

QStringList scopeValues(db::Connection& connection, const QString& scope)
{
    const QString column = scopeColumn(scope);
    if (column.isEmpty())
        return {};
    db::Statement read(connection, QStringLiteral("select distinct %1 from goods where %1 is not null and trim(%1)<>'' "
                                                  "order by %1").arg(column));
    QStringList values;
    while (read.next())
        values.append(read.textValue(0).trimmed());
    values.removeDuplicates();
    return values;
}

QList<MasterDataRules::Refusal> check(db::Connection& connection, const QHash<QString, QVariant>& values)
{
    QList<MasterDataRules::Refusal> refusals;
    if (values.value(QStringLiteral("mark_name")).toString().trimmed().isEmpty())
        refusals.append(refusal("mark_name", "名称", QStringLiteral("不能为空")));
    const QDate start = dateOf(values.value(QStringLiteral("start_date")));
    const QDate end = dateOf(values.value(QStringLiteral("end_date")));
    if (!start.isValid())
        refusals.append(refusal("start_date", "开始日期", QStringLiteral("不能为空")));
    if (!end.isValid())
        refusals.append(refusal("end_date", "结束日期", QStringLiteral("不能为空")));
    else if (start.isValid() && end < start)
        refusals.append(refusal("end_date", "结束日期",
                                QStringLiteral("不能早于开始日期“%1”").arg(start.toString(QStringLiteral("yyyy-MM-dd")))));
    const QString scope = values.value(QStringLiteral("scope")).toString().trimmed();
    const QString value = values.value(QStringLiteral("scope_value")).toString().trimmed();
    if (!scopes().contains(scope)) {
        refusals.append(refusal("scope", "范围", QStringLiteral("只能是款号、品牌、分类或全部")));
    } else if (scope != everyGoods) {
        if (value.isEmpty())
            refusals.append({QStringLiteral("scope_value"), scope, QStringLiteral("不能为空")});
        else if (!scopeValues(connection, scope).contains(value, Qt::CaseInsensitive))
            refusals.append({QStringLiteral("scope_value"), scope, QStringLiteral("不是货品资料中已有的值")});
    }
    const QVariant discount = values.value(QStringLiteral("discount"));
    const QVariant fixed = values.value(QStringLiteral("fixed_pric"));
    const bool hasDiscount = !discount.isNull() && discount.toDouble() != 0;
    const bool hasFixed = !fixed.isNull() && fixed.toDouble() != 0;
    if (hasDiscount == hasFixed)
        refusals.append(refusal("discount", "折扣%", hasDiscount ? QStringLiteral("与一口价只能填一个")
                                                                  : QStringLiteral("与一口价必须填一个")));
    else if (hasDiscount && (discount.toDouble() < 1 || discount.toDouble() > 99))
        refusals.append(refusal("discount", "折扣%", QStringLiteral("应在 1 到 99 之间")));
    else if (hasFixed && fixed.toDouble() < 0)
        refusals.append(refusal("fixed_pric", "一口价", QStringLiteral("应大于 0")));
    return refusals;
}

} // namespace MarkdownRules
