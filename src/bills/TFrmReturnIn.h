#pragma once

#include "bills/BillWindow.h"

// "顾客退货单": customer returns (inmain "retu"); lines marked "不入库" move no stock.
class TFrmReturnIn : public BillWindow {
    Q_OBJECT
public:
    explicit TFrmReturnIn(QWidget* parent = nullptr);
};
