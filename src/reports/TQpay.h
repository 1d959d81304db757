#pragma once

#include "reports/SettlementLayout.h"

// 付款单: the payment voucher with its settlement list over PayQ. Named labels as 收款单.
class TQpay : public SettlementLayout {
    Q_OBJECT
public:
    explicit TQpay(QObject* parent = nullptr);
};
