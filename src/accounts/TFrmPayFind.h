#pragma once

#include "accounts/VoucherFinder.h"

// "付款单查询": finds stored payments; on OK the caller takes PayMainQ's current row.
class TFrmPayFind : public VoucherFinder {
    Q_OBJECT
public:
    explicit TFrmPayFind(QWidget* parent = nullptr);
};
