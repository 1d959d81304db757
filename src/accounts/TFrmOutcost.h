#pragma once

#include "accounts/StatementWindow.h"

// "出货对帐单": the sales statement over the bill headers of outmain.
class TFrmOutcost : public StatementWindow {
    Q_OBJECT
public:
    explicit TFrmOutcost(QWidget* parent = nullptr);
};
