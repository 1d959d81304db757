#pragma once

#include "reports/GoodsStockLayout.h"

// Prints 库存调整表, the stock adjustment over ChektempQ: book and adjusted quantity per goods.
class TQRcheck : public GoodsStockLayout {
    Q_OBJECT
public:
    explicit TQRcheck(QObject* parent = nullptr);
};
