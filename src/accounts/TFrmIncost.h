#pragma once

#include "accounts/StatementWindow.h"

// "进货对帐单": the purchase statement over the bill headers of inmain.
class TFrmIncost : public StatementWindow {
    Q_OBJECT
public:
    explicit TFrmIncost(QWidget* parent = nullptr);
};
