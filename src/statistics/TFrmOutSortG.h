#pragma once

#include "statistics/RankingWindow.h"

// "出货排行-按货品": sales and returns to suppliers summed per goods item.
class TFrmOutSortG : public RankingWindow {
    Q_OBJECT
public:
    explicit TFrmOutSortG(QWidget* parent = nullptr);
};
