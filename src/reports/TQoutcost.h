#pragma once

#include "reports/SettlementLayout.h"

// 出货对帐单: the sales statement over GathQ. Named labels as 进货对帐单.
class TQoutcost : public SettlementLayout {
    Q_OBJECT
public:
    explicit TQoutcost(QObject* parent = nullptr);
};
