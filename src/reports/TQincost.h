#pragma once

#include "reports/SettlementLayout.h"

// 进货对帐单: the purchase statement over PayQ. Named labels: title, khbm, khmc, rqfw1, rqfw2, ysjea, ysjeb, qkje.
class TQincost : public SettlementLayout {
    Q_OBJECT
public:
    explicit TQincost(QObject* parent = nullptr);
};
