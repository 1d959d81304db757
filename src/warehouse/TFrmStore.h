#pragma once

#include "warehouse/StockListWindow.h"

// "库存查询": stock records with quantity, cost and value, their totals, and the stock report.
class TFrmStore : public StockListWindow {
    Q_OBJECT
public:
    explicit TFrmStore(QWidget* parent = nullptr);

    QPushButton* styleButton;

public slots:
    // The stock of the style in 产品编码 (or of the current row) as a size and colour grid.
    void showStyle();

protected:
    void prepareQuery() override;
    ReportLayout& prepareReport() override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
