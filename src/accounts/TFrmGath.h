#pragma once

#include "accounts/SettlementWindow.h"

// "收款单": receipts from customers over the sales bills of outmain, vouchers in gathmain.
class TFrmGath : public SettlementWindow {
    Q_OBJECT
public:
    explicit TFrmGath(QWidget* parent = nullptr);
};
