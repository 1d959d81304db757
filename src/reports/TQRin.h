#pragma once

#include "reports/BillLayout.h"

// 进货单: purchase in-bills and customer returns, over InGoodsQ with the header of InMainQ.
class TQRin : public BillLayout {
    Q_OBJECT
public:
    explicit TQRin(QObject* parent = nullptr);
};
