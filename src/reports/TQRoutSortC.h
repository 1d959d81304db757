#pragma once

#include "reports/ListingLayout.h"

// 出货排行-按客户: sales ranked by customer over OutSortCQ. Named labels: title, sort_type, out_type, datea, dateb, hjsl, hjje.
class TQRoutSortC : public ListingLayout {
    Q_OBJECT
public:
    explicit TQRoutSortC(QObject* parent = nullptr);
};
