#pragma once

#include "warehouse/StockSheetWindow.h"

class CountScan;
class QDateEdit;

// "库存盘点": the monthly stock count. A saved count is stored in storchek,
// sets the book quantities and locks its month.
class TFrmStorChk : public StockSheetWindow {
    Q_OBJECT
public:
    explicit TFrmStorChk(QWidget* parent = nullptr);

    QDateEdit* monthEdit;
    QLineEdit* countedTotalEdit;
    CountScan* scan = nullptr;

public slots:
    void cmd_findClick() override;
    void cmd_editClick() override;
    void cmd_saveClick() override;

protected:
    ReportLayout& report() override;
    void updateExtraControls(bool editing) override;
};
