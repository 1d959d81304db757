#pragma once

#include "reports/ListingLayout.h"

// 出货排行-按货品: sales ranked by goods over OutSortQ. Named labels: title, sort_type, out_type, datea, dateb, hjsl, hjje.
class TQRoutSortG : public ListingLayout {
    Q_OBJECT
public:
    explicit TQRoutSortG(QObject* parent = nullptr);
};
