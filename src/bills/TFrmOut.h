#pragma once

#include "bills/BillWindow.h"

// "销售管理": sales out-bills (outmain "out"); saving lowers stock, the cost stays.
class TFrmOut : public BillWindow {
    Q_OBJECT
public:
    explicit TFrmOut(QWidget* parent = nullptr);
};
