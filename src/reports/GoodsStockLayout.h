#pragma once

#include "reports/StockListLayout.h"

// A stock list by goods: the goods' code, name, kind, brand, style, colour, size
// and unit, then the list's own quantity columns; its totals, if any, under the title.
class GoodsStockLayout : public StockListLayout {
    Q_OBJECT
protected:
    GoodsStockLayout(const QString& title, db::Dataset* dataset, const QList<Pair>& totals,
                     const QList<ReportColumn>& quantities, bool pageFooter, QObject* parent);
};
