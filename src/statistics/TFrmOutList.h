#pragma once

#include "statistics/ListingWindow.h"

// "出货统计": the lines of sales and returns to suppliers.
class TFrmOutList : public ListingWindow {
    Q_OBJECT
public:
    explicit TFrmOutList(QWidget* parent = nullptr);
};
