#pragma once

#include "warehouse/StockListWindow.h"

// "库存查询": stock records with quantity, cost and value, their totals, and the stock report.
class TFrmStore : public StockListWindow {
    Q_OBJECT
public:
    explicit TFrmStore(QWidget* parent = nullptr);

protected:
    void prepareQuery() override;
    ReportLayout& prepareReport() override;
    void hideEvent(QHideEvent* event) override;
};
