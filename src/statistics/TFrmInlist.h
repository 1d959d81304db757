#pragma once

#include "statistics/ListingWindow.h"

// "进货统计": the lines of purchases and customer returns.
class TFrmInlist : public ListingWindow {
    Q_OBJECT
public:
    explicit TFrmInlist(QWidget* parent = nullptr);
};
