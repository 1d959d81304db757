#include "statistics/StyleCellsDialog.h"

#include "core/DataHelpers.h"
#include "statistics/BarChart.h"
#include "ui/WindowParts.h"

#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

using namespace StyleAnalysis;
using WindowParts::named;

StyleCellsDialog::StyleCellsDialog(db::Connection& connection, const QString& style, const DateRange& dates,
                                   QWidget* parent)
    : QDialog(parent), m_cells(styleCells(connection, style, dates))
{
    setObjectName(QStringLiteral("StyleCellsDialog"));
    setWindowTitle(QStringLiteral("款号 %1  %2 至 %3")
                       .arg(m_cells.style, dates.from.toString(QStringLiteral("yyyy-MM-dd")),
                            dates.to.toString(QStringLiteral("yyyy-MM-dd"))));
    resize(760, 620);
    FigureBox = named<QComboBox>("FigureBox");
    FigureBox->addItems({QStringLiteral("净销售"), QStringLiteral("库存"), QStringLiteral("进货"), QStringLiteral("售罄率%")});
    CellGrid = named<QTableWidget>("CellGrid");
    CellGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SizeCurve = named<QChartView>("SizeCurve");
    SizeCurve->setRenderHint(QPainter::Antialiasing);
    SizeCurve->setMinimumHeight(260);
    auto* close = named<QPushButton>("cmd_exit");
    close->setText(QStringLiteral("关闭"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(WindowParts::caption(QStringLiteral("显示"), FigureBox));
    top->addWidget(FigureBox);
    top->addStretch();
    top->addWidget(close);
    auto* rows = new QVBoxLayout(this);
    rows->addLayout(top);
    rows->addWidget(CellGrid, 1);
    rows->addWidget(SizeCurve, 1);
    connect(FigureBox, &QComboBox::currentIndexChanged, this, &StyleCellsDialog::showCells);
    showCells();
    buildChart();
}

QString StyleCellsDialog::cellText(const std::optional<Figures>& figures, Shown shown)
{
    if (!figures)
        return {};
    switch (shown) {
    case Shown::Sold: return DataHelpers::amountText(figures->kept());
    case Shown::Stock: return DataHelpers::amountText(figures->stock);
    case Shown::Received: return DataHelpers::amountText(figures->received);
    case Shown::SellThrough: {
        const auto share = figures->sellThrough();
        return share ? QString::number(*share, 'f', 1) : QStringLiteral("-");
    }
    }
    return {};
}

void StyleCellsDialog::showCells()
{
    const auto shown = Shown(FigureBox->currentIndex());
    const int colors = int(m_cells.colors.size());
    const int sizes = int(m_cells.sizes.size());
    CellGrid->clear();
    CellGrid->setRowCount(colors + 1);
    CellGrid->setColumnCount(sizes + 1);
    CellGrid->setHorizontalHeaderLabels(QStringList(m_cells.sizes) << QStringLiteral("合计"));
    CellGrid->setVerticalHeaderLabels(QStringList(m_cells.colors) << QStringLiteral("合计"));
    auto put = [this](int row, int column, const QString& text, bool total) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (total)
            item->setBackground(palette().alternateBase());
        CellGrid->setItem(row, column, item);
    };
    for (int color = 0; color < colors; ++color) {
        for (int size = 0; size < sizes; ++size) {
            const auto cell = m_cells.cell(color, size);
            put(color, size, cellText(cell, shown), false);
            if (!cell)   // no goods of this colour and size: greyed as in the entry grid
                CellGrid->item(color, size)->setBackground(palette().window());
        }
        put(color, sizes, cellText(m_cells.colorTotal(color), shown), true);
    }
    for (int size = 0; size < sizes; ++size)
        put(colors, size, cellText(m_cells.sizeTotal(size), shown), true);
    put(colors, sizes, cellText(m_cells.total(), shown), true);
}

void StyleCellsDialog::buildChart()
{
    BarChart::Set received{QStringLiteral("进货"), {}};
    BarChart::Set kept{QStringLiteral("净销售"), {}};
    for (int size = 0; size < m_cells.sizes.size(); ++size) {
        const Figures f = m_cells.sizeTotal(size);
        received.values << f.received;
        kept.values << f.kept();
    }
    SizeCurve->setChart(BarChart::make(QStringLiteral("尺码曲线"), m_cells.sizes, {received, kept}));
}
