#pragma once

#include "shop/StyleAnalysis.h"
#include "statistics/AnalysisWindow.h"

class QChartView;

// 尺码分布: over one brand, category or 款式 (or all goods), each size's share
// of the pieces bought and of the pieces sold in a date range, as a table and
// as bars side by side, so the next order's ratio can be read off.
class TFrmSizeShare : public AnalysisWindow {
    Q_OBJECT
public:
    explicit TFrmSizeShare(QWidget* parent = nullptr);

    QComboBox* GroupBox;   // 品牌, 分类, 款式
    QComboBox* ValueBox;   // the brand (...) chosen; empty: all goods
    QDateEdit* fromDateEdit;
    QDateEdit* toDateEdit;
    QChartView* ShareChart;

    const QList<StyleAnalysis::SizeShare>& shares() const { return m_shares; }

protected:
    Reading reading() override;
    void showResult() override;
    QString choiceText() const override;

private:
    // The values the chosen goods column holds, for the value box.
    void fillValues();

    QList<StyleAnalysis::SizeShare> m_shares;
};
