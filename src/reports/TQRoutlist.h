#pragma once

#include "reports/ListingLayout.h"

// 出货统计: sales lines over OutListQ. Named labels: title, gods_code, gods_name, datea, dateb, comp_no, comp_name, QRLabel5 (bill type), hjsl, hjje.
class TQRoutlist : public ListingLayout {
    Q_OBJECT
public:
    explicit TQRoutlist(QObject* parent = nullptr);
};
