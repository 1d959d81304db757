#include "shop/StockRules.h"

#include "db/Statement.h"
#include "shop/Amounts.h"

namespace StockRules {

namespace {

// The value as given, every digit kept: a refusal must show what was refused.
QString shown(const QVariant& value)
{
    return QString::number(value.toDouble(), 'g', 15);
}

QString numberRefusal(const QString& goods, const QString& column, const QVariant& value, int places,
                      bool negativeRefused)
{
    if (value.isNull() || !value.isValid())
        return QStringLiteral("货品“%1”的%2为空，请输入后再保存").arg(goods, column);
    if (negativeRefused && value.toDouble() < 0)
        return QStringLiteral("货品“%1”的%2“%3”不能为负数").arg(goods, column, shown(value));
    if (!shop::amounts::fits(value.toDouble(), places))
        return QStringLiteral("货品“%1”的%2").arg(goods, column) + shop::amounts::refusal(shown(value), places);
    return {};
}

} // namespace

QString quantityColumn(Sheet sheet)
{
    switch (sheet) {
    case Sheet::Count:
        return QStringLiteral("实盘数量");
    case Sheet::Adjustment:
        return QStringLiteral("调整数量");
    case Sheet::Opening:
        break;
    }
    return QStringLiteral("数量");
}

QString quantityRefusal(Sheet sheet, const QString& goods, const QVariant& quantity)
{
    return numberRefusal(goods, quantityColumn(sheet), quantity, shop::amounts::decimals, sheet == Sheet::Count);
}

QString costRefusal(const QString& goods, const QVariant& cost)
{
    return numberRefusal(goods, costColumn, cost, shop::amounts::priceDecimals, true);
}

QString storedCode(db::Connection& connection, const QString& code)
{
    // Codes compare without case in both tables, so either finds the stored spelling.
    for (const char* sql : {"select gods_code from goods where gods_code=:code order by in_id limit 1",
                            "select gods_code from storemain where gods_code=:code limit 1"}) {
        db::Statement query(connection, QString::fromLatin1(sql));
        query.bind(QStringLiteral("code"), code);
        if (query.next()) {
            const QString stored = query.textValue(0);
            return stored.isNull() ? QStringLiteral("") : stored;
        }
    }
    return {};
}

QString unknownGoods(const QString& code)
{
    return QStringLiteral("货品编码“%1”不存在").arg(code);
}

} // namespace StockRules
