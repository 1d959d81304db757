#pragma once

#include "accounts/SettlementWindow.h"

// "付款单": payments to suppliers over the purchase bills of inmain, vouchers in paymain.
class TFrmPay : public SettlementWindow {
    Q_OBJECT
public:
    explicit TFrmPay(QWidget* parent = nullptr);
};
