#pragma once

#include "accounts/VoucherFinder.h"

// "收款单查询": finds stored receipts; on OK the caller takes GathMainQ's current row.
class TFrmGathFind : public VoucherFinder {
    Q_OBJECT
public:
    explicit TFrmGathFind(QWidget* parent = nullptr);
};
