#pragma once

#include "shop/StyleAnalysis.h"

#include <QDialog>

class QChartView;
class QComboBox;
class QTableWidget;

namespace db {
class Connection;
}

// One style over a range: its size × colour grid as the entry grid lays it out
// (colours down, sizes across, totals at the ends) showing pieces sold, in
// stock, received or the sell-through, and the size curve as bars of what
// each size received and sold.
class StyleCellsDialog : public QDialog {
    Q_OBJECT
public:
    StyleCellsDialog(db::Connection& connection, const QString& style, const StyleAnalysis::DateRange& dates,
                     QWidget* parent = nullptr);

    enum class Shown { Sold, Stock, Received, SellThrough };

    QComboBox* FigureBox;     // which figure the cells show
    QTableWidget* CellGrid;
    QChartView* SizeCurve;

    const StyleAnalysis::StyleCells& cells() const { return m_cells; }
    // The text a cell shows for a figure; empty where no goods is.
    static QString cellText(const std::optional<StyleAnalysis::Figures>& figures, Shown shown);

private:
    void showCells();
    void buildChart();

    StyleAnalysis::StyleCells m_cells;
};
