#pragma once

#include "shop/StyleAnalysis.h"
#include "statistics/AnalysisWindow.h"

// 周转: per 款号 (or brand, category, 款式) over a date range the cost of the
// pieces sold, the stock at cost at the range's ends, the turnover (cost of
// goods sold ÷ average stock at cost) and the days today's stock lasts.
class TFrmTurnover : public AnalysisWindow {
    Q_OBJECT
public:
    explicit TFrmTurnover(QWidget* parent = nullptr);

    QComboBox* GroupBox;
    QDateEdit* fromDateEdit;
    QDateEdit* toDateEdit;

protected:
    Reading reading() override;
    void showResult() override;
    QString choiceText() const override;

private:
    QString m_keyCaption;
    QList<StyleAnalysis::TurnoverRow> m_rows;
};
