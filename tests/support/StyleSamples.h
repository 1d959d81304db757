#pragma once

// Goods of styles and bills saved through the shop rules, for the style analysis tests.
#include "TestSupport.h"

#include "shop/BillStore.h"

#include <QDate>

namespace StyleSamples {

// Goods of a style (or of none, with an empty style), colour, size and brand.
inline void addGoods(TestApp& app, const QString& code, const QString& style, const QString& color,
                     const QString& size, const QString& brand = QStringLiteral("BX"))
{
    app.exec("insert into goods(gods_code,gods_name,styl_code,gods_color,gods_size,gods_spec) "
             "values(:p1,:p1,:p2,:p3,:p4,:p5)",
             {code, style.isEmpty() ? QVariant() : QVariant(style), color, size, brand});
}

// A bill saved through the shop rules, numbered after its date and a serial,
// with more header columns when given (a member's card); returns its number.
inline QString save(TestApp& app, StockPosting::BillKind kind, const QDate& date,
                    const QList<StockPosting::BillLine>& lines, const QList<QPair<QString, QVariant>>& header = {})
{
    static int serial = 0;
    BillStore::Bill bill;
    bill.billNo = date.toString("yyyyMMdd") + QStringLiteral("%1").arg(++serial % 1000000, 6, 10, QLatin1Char('0'));
    bill.header = {{QStringLiteral("bill_date"), date}};
    bill.header.append(header);
    bill.lines = lines;
    return BillStore::save(app.dataModule().AdoConn, kind, bill);
}

} // namespace StyleSamples
