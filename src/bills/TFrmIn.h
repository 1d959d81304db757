#pragma once

#include "bills/BillWindow.h"

// "进货管理": purchase in-bills (inmain "in"); saving raises stock and re-averages the cost.
class TFrmIn : public BillWindow {
    Q_OBJECT
public:
    explicit TFrmIn(QWidget* parent = nullptr);
};
