#pragma once

#include "reports/ListingLayout.h"

// 客户往来明细: a company's statement over CompDetailQ, one row per movement.
// Named labels: title, khbm and khmc (company), rqfw (period), sqjy (brought
// forward), qmye (closing balance).
class TQcompdetail : public ListingLayout {
    Q_OBJECT
public:
    explicit TQcompdetail(QObject* parent = nullptr);
};
