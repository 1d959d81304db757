#pragma once

#include "warehouse/StockSheetWindow.h"

// "库存调整": overwrites book quantities directly, without a bill or a count.
class TFrmStorChg : public StockSheetWindow {
    Q_OBJECT
public:
    explicit TFrmStorChg(QWidget* parent = nullptr);

public slots:
    void cmd_findClick() override;
    void cmd_editClick() override;
    void cmd_saveClick() override;

protected:
    ReportLayout& report() override;
};
