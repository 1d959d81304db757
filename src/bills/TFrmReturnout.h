#pragma once

#include "bills/BillWindow.h"

// "退货厂商": returns to suppliers (outmain "retu"); every line lowers stock.
class TFrmReturnout : public BillWindow {
    Q_OBJECT
public:
    explicit TFrmReturnout(QWidget* parent = nullptr);
};
