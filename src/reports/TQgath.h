#pragma once

#include "reports/SettlementLayout.h"

// 收款单: the receipt voucher with its settlement list over GathQ. Named labels: title, khbm, khmc, lsdh, rqfw1, rqfw2, ysjea, ysjeb, qkje, skje, zhje, skdh, skri, kdr, skr, fhr, pzh, bz, sqjy.
class TQgath : public SettlementLayout {
    Q_OBJECT
public:
    explicit TQgath(QObject* parent = nullptr);
};
