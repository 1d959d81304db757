#pragma once

#include "shop/StyleAnalysis.h"
#include "statistics/AnalysisWindow.h"

class QChartView;
class QRadioButton;
class QSpinBox;

// 滞销与库龄: the goods (or styles, brands ...) in stock with no sale in the
// chosen number of days, or the stock's age in buckets, first in first out from
// the purchases, with its value at cost and a bar of each bucket's value.
class TFrmSlowStock : public AnalysisWindow {
    Q_OBJECT
public:
    explicit TFrmSlowStock(QWidget* parent = nullptr);

    QRadioButton* SlowButton;   // 滞销
    QRadioButton* AgeButton;    // 库龄
    QComboBox* GroupBox;        // 货品, 款号, 品牌, 分类, 款式
    QSpinBox* DaysBox;          // no sale in so many days
    QChartView* AgeChart;

protected:
    Reading reading() override;
    void showResult() override;
    QString choiceText() const override;

private:
    std::optional<StyleAnalysis::Grouping> grouping() const;

    bool m_readSlow = true;
    QString m_keyCaption;
    QList<StyleAnalysis::SlowMover> m_slow;
    QList<StyleAnalysis::AgeRow> m_ages;
};
