#pragma once

#include "shop/Barcodes.h"

#include <QString>

// The benches' goods: code i and its shop-internal EAN-13.
inline QString code(int i)
{
    return QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0'));
}

inline QString barcode(int i)
{
    const QString body = QString::number(200000000000LL + i);
    return body + QString::number(Barcodes::checkDigit(body));
}
