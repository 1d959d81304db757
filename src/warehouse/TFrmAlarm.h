#pragma once

#include "warehouse/StockListWindow.h"

// "库存报警": the goods whose stock lies above the upper or below the lower limit.
class TFrmAlarm : public StockListWindow {
    Q_OBJECT
public:
    explicit TFrmAlarm(QWidget* parent = nullptr);

protected:
    void prepareQuery() override;
    ReportLayout& prepareReport() override;
};
