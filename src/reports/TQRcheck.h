#pragma once

#include "reports/StockListLayout.h"

// 库存调整表: the stock adjustment list over ChektempQ.
class TQRcheck : public StockListLayout {
    Q_OBJECT
public:
    explicit TQRcheck(QObject* parent = nullptr);
};
