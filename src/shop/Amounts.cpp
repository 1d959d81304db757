#include "shop/Amounts.h"

#include <cmath>

namespace shop::amounts {

bool fits(double value, int places)
{
    if (!std::isfinite(value) || std::abs(value) >= std::pow(10.0, integerDigits))
        return false;
    const double scaled = std::abs(value) * std::pow(10.0, places);
    // Tolerance for the binary form of decimals such as 0.1.
    return std::abs(scaled - std::round(scaled)) < 1e-6;
}

double cents(double amount)
{
    return std::round(amount * 100.0) / 100.0;
}

int placesOf(const QString& column)
{
    const QString name = column.toLower();
    if (name == QLatin1String("mone_rate"))
        return rateDecimals;
    if (name == QLatin1String("unit_pric") || name == QLatin1String("cost_pric"))
        return priceDecimals;
    return decimals;
}

QString refusal(const QString& typed, int places)
{
    if (places == 0)
        return QStringLiteral("“%1”超出范围：最多 %2 位整数，不能有小数").arg(typed).arg(integerDigits);
    return QStringLiteral("“%1”超出范围：最多 %2 位整数、%3 位小数").arg(typed).arg(integerDigits).arg(places);
}

} // namespace shop::amounts
