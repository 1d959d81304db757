#pragma once

#include "reports/StockListLayout.h"

// 库存报表: the stock list over StoreQ. Named labels: title, hjsl total quantity, hjcb total cost.
class TRptstore : public StockListLayout {
    Q_OBJECT
public:
    explicit TRptstore(QObject* parent = nullptr);
};
