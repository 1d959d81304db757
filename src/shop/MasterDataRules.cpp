#include "shop/MasterDataRules.h"

#include <QRegularExpression>

#include <cstddef>

namespace MasterDataRules {

namespace {

struct NotNegative {
    const char* field;
    const char* caption;
};

// Prices, costs and stock limits: what a window lets be typed is never below zero.
const NotNegative goodsNotNegative[] = {
    {"agent_pric", "代理价"}, {"batch_out", "批发价"}, {"valu_in", "建议进价"}, {"valu_out", "建议售价"},
    {"mate_pric", "材料费用"}, {"mach_pric", "费用"},  {"max_amou", "库存上限"}, {"min_amou", "库存下限"},
};

const NotNegative companyNotNegative[] = {{"cred_limit", "信用额度"}};

bool isGoods(const QString& table)
{
    return table == QLatin1String("goods");
}

// A mainland mobile number: 11 digits starting with 1.
bool isMobile(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^1\\d{10}$"));
    return re.match(text).hasMatch();
}

template <std::size_t N>
void checkNotNegative(const NotNegative (&rules)[N], const QHash<QString, QVariant>& values, QList<Refusal>& refusals)
{
    for (const NotNegative& rule : rules) {
        const QVariant value = values.value(QLatin1String(rule.field));
        if (!value.isNull() && value.toDouble() < 0)
            refusals.append({QLatin1String(rule.field), QString::fromUtf8(rule.caption), QStringLiteral("不能为负数")});
    }
}

} // namespace

QString Refusal::message(const QString& shown) const
{
    return QStringLiteral("%1“%2”%3").arg(caption, shown, reason);
}

const QStringList& fields(const QString& table)
{
    static const QStringList goods = [] {
        QStringList list;
        for (const NotNegative& rule : goodsNotNegative)
            list.append(QLatin1String(rule.field));
        return list;
    }();
    static const QStringList company = {QStringLiteral("cred_limit")};
    static const QStringList member = {QStringLiteral("mobile")};
    static const QStringList none;
    if (table == QLatin1String("member"))
        return member;
    if (table == QLatin1String("company"))
        return company;
    return isGoods(table) ? goods : none;
}

QList<Refusal> check(const QString& table, const QHash<QString, QVariant>& values)
{
    QList<Refusal> refusals;
    if (table == QLatin1String("member")) {
        const QString mobile = values.value(QStringLiteral("mobile")).toString().trimmed();
        if (!mobile.isEmpty() && !isMobile(mobile))
            refusals.append({QStringLiteral("mobile"), QStringLiteral("手机"), QStringLiteral("不是 11 位手机号码")});
        return refusals;
    }
    if (table == QLatin1String("company")) {
        checkNotNegative(companyNotNegative, values, refusals);
        return refusals;
    }
    if (!isGoods(table))
        return refusals;
    checkNotNegative(goodsNotNegative, values, refusals);
    const QVariant upper = values.value(QStringLiteral("max_amou"));
    const QVariant lower = values.value(QStringLiteral("min_amou"));
    if (!upper.isNull() && !lower.isNull() && lower.toDouble() > upper.toDouble())
        refusals.append({QStringLiteral("min_amou"), QStringLiteral("库存下限"),
                         QStringLiteral("不能高于库存上限“%1”").arg(numberText(upper))});
    return refusals;
}

QString numberText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString)
        return value.toString().trimmed();
    // Amounts stay far below 15 digits, where 'g' would turn to an exponent.
    return QString::number(value.toDouble(), 'g', 15);
}

} // namespace MasterDataRules
