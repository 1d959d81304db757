#pragma once

#include "reports/BillLinesLayout.h"

// Prints 出货统计, the sales lines over OutListQ; its bill type label is QRLabel5.
class TQRoutlist : public BillLinesLayout {
    Q_OBJECT
public:
    explicit TQRoutlist(QObject* parent = nullptr);
};
