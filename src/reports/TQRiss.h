#pragma once

#include "reports/StockListLayout.h"

// 进销存表: the month's stock movement over MiosQ. Named labels: "title" (the
// window puts the month into it) and, in the totals row under the table,
// "last_tota", "in_tota", "out_tota" and "now_tota".
class TQRiss : public StockListLayout {
    Q_OBJECT
public:
    explicit TQRiss(QObject* parent = nullptr);
};
