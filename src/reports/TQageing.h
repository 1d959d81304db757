#pragma once

#include "reports/ListingLayout.h"

// 应收账龄 / 应付账龄: the ageing over AgeingQ, one row per company. Named labels:
// title, asof (ageing date), hjje (total open), hjye (total credit).
class TQageing : public ListingLayout {
    Q_OBJECT
public:
    explicit TQageing(QObject* parent = nullptr);
};
