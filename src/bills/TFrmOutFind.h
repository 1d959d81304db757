#pragma once

#include "bills/BillFinder.h"

// "出货单查询": sales or returns to suppliers of outmain, through OutFindQ.
class TFrmOutFind : public BillFinder {
    Q_OBJECT
public:
    explicit TFrmOutFind(QWidget* parent = nullptr);
};
