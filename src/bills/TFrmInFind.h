#pragma once

#include "bills/BillFinder.h"

// "单据查询": purchase bills or customer returns of inmain, through InFindQ.
class TFrmInFind : public BillFinder {
    Q_OBJECT
public:
    explicit TFrmInFind(QWidget* parent = nullptr);
};
