#pragma once

#include "reports/StockListLayout.h"

// 进销存表: the month's stock movement over MiosQ.
class TQRiss : public StockListLayout {
    Q_OBJECT
public:
    explicit TQRiss(QObject* parent = nullptr);
};
