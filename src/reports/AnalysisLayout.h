#pragma once

#include "reports/ListingLayout.h"

// The analysis reports (款式分析, 尺码分布, 滞销与库龄, 周转): a listing whose
// columns are those of the table the window read, its rows given by the window.
// Named labels: title, choices.
class AnalysisLayout : public ListingLayout {
    Q_OBJECT
public:
    explicit AnalysisLayout(QObject* parent = nullptr);

    // Lays the table out across the page, each column as wide as its share of
    // `widths` (its longest text), numbers right-aligned. `text` gives the cell of a
    // row and a column (the field is the column's number).
    void setTable(const QString& title, const QString& choices, const QStringList& captions,
                  const QList<bool>& numbers, const QList<double>& widths, int rows, RowText text);
};
