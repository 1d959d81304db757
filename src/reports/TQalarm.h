#pragma once

#include "reports/StockListLayout.h"

// 库存报警: goods outside their stock limits, over AlarmQ. Named labels: title, hjsl total quantity.
class TQalarm : public StockListLayout {
    Q_OBJECT
public:
    explicit TQalarm(QObject* parent = nullptr);
};
