#pragma once

#include "reports/ListingLayout.h"

#include <functional>

class QAbstractItemModel;
class QWidget;

// The analysis reports (款式分析, 尺码分布, 滞销与库龄, 周转, 日结): a listing whose
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

    // Previews `model` as its window shows it: its captions, its cells, each
    // column as wide as its longest text; `isNumber` right-aligns a column. The
    // rows are the window's: none is kept once the preview is closed.
    void previewTable(const QString& title, const QString& choices, const QAbstractItemModel& model,
                      const std::function<bool(int)>& isNumber, QWidget* parent);
};
