#pragma once

#include "reports/StockListLayout.h"

// 盘 点 表: the stock count over ChektempQ.
class TQRpd : public StockListLayout {
    Q_OBJECT
public:
    explicit TQRpd(QObject* parent = nullptr);
};
