#pragma once

#include "reports/BillLinesLayout.h"

// Prints 进货统计, the purchase lines over InListQ; its bill type label is list_type.
class TQRinstat : public BillLinesLayout {
    Q_OBJECT
public:
    explicit TQRinstat(QObject* parent = nullptr);
};
