#pragma once

#include "reports/BillLayout.h"

// 销售单: sales out-bills and returns to suppliers, over OutTempQ with the header of OutMainQ; custom 218 × 140 mm paper.
class TQRout : public BillLayout {
    Q_OBJECT
public:
    explicit TQRout(QObject* parent = nullptr);
};
