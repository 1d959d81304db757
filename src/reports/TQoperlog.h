#pragma once

#include "reports/ListingLayout.h"

// 操作日志: the change log's lines over OperLogQ. Named labels: title, datea, dateb, user, action, keytext, hjts (lines).
class TQoperlog : public ListingLayout {
    Q_OBJECT
public:
    explicit TQoperlog(QObject* parent = nullptr);
};
