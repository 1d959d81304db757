#pragma once

#include "reports/GoodsStockLayout.h"

// Prints 库存报表, the stock list over StoreQ: quantity, cost price and value per goods.
// Named labels: title, hjsl total quantity, hjcb total cost.
class TRptstore : public GoodsStockLayout {
    Q_OBJECT
public:
    explicit TRptstore(QObject* parent = nullptr);
};
