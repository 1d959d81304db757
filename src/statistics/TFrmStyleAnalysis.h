#pragma once

#include "shop/StyleAnalysis.h"
#include "statistics/AnalysisWindow.h"

// 款式分析: per 款号 (or brand, category, 款式, season) over a date range the pieces
// received, sold, returned and in stock, sell-through, sales and margin, first
// receipt and weeks on sale, highest sell-through first. Enter or a double click
// on a style opens its size × colour grid and size curve.
class TFrmStyleAnalysis : public AnalysisWindow {
    Q_OBJECT
public:
    explicit TFrmStyleAnalysis(QWidget* parent = nullptr);

    QComboBox* GroupBox;
    QDateEdit* fromDateEdit;
    QDateEdit* toDateEdit;

    const QList<StyleAnalysis::StyleRow>& rows() const { return m_rows; }

public slots:
    // Opens the grid of the current row's style (only when grouped by 款号).
    void openStyle();

protected:
    Reading reading() override;
    void showResult() override;
    QString choiceText() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    StyleAnalysis::Grouping grouping() const;

    QList<StyleAnalysis::StyleRow> m_rows;
    StyleAnalysis::Grouping m_shownGrouping = StyleAnalysis::Grouping::Style;
    StyleAnalysis::DateRange m_shownDates;
};
