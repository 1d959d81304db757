#pragma once

#include "reports/ListingLayout.h"

// 进货统计: purchase lines over InListQ. Named labels: title, gods_code, gods_name, datea, dateb, comp_no, comp_name, list_type, hjsl, hjje.
class TQRinstat : public ListingLayout {
    Q_OBJECT
public:
    explicit TQRinstat(QObject* parent = nullptr);
};
