#pragma once

#include "statistics/RankingWindow.h"

// "出货排行-按客户": sales and returns to suppliers summed per company.
class TFrmOutSortC : public RankingWindow {
    Q_OBJECT
public:
    explicit TFrmOutSortC(QWidget* parent = nullptr);
};
