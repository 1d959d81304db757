#include "statistics/TFrmStyleAnalysis.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "statistics/StyleCellsDialog.h"
#include "ui/Dialogs.h"

#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QStandardItemModel>
#include <QTableView>
#include <cmath>

using namespace StyleAnalysis;

namespace {

const QList<Grouping> groupings{Grouping::Style, Grouping::Brand, Grouping::Category, Grouping::Kind, Grouping::Season};

QStringList groupingNames()
{
    QStringList names;
    for (Grouping g : groupings)
        names << groupingName(g);
    return names;
}

} // namespace

TFrmStyleAnalysis::TFrmStyleAnalysis(QWidget* parent)
    : AnalysisWindow(QStringLiteral("款式分析"), QStringLiteral("FrmStyleAnalysis"), parent)
{
    GroupBox = choiceBox("GroupBox", groupingNames());
    fromDateEdit = datePicker("DP1", Clock::today().addDays(-89));
    toDateEdit = datePicker("DP2", Clock::today());
    layOut({}, {{QStringLiteral("分组"), GroupBox}, {QStringLiteral("起始日期"), fromDateEdit}, {QStringLiteral("截止日期"), toDateEdit}});
    ResultGrid->installEventFilter(this);
    connect(ResultGrid, &QTableView::doubleClicked, this, &TFrmStyleAnalysis::openStyle);
}

Grouping TFrmStyleAnalysis::grouping() const
{
    return groupings.value(GroupBox->currentIndex(), Grouping::Style);
}

AnalysisWindow::Reading TFrmStyleAnalysis::reading()
{
    const Grouping g = grouping();
    const DateRange dates{fromDateEdit->date(), toDateEdit->date()};
    m_shownGrouping = g;
    m_shownDates = dates;
    return [this, g, dates](db::Connection& connection) { m_rows = styles(connection, g, dates); };
}

void TFrmStyleAnalysis::showResult()
{
    const bool margin = hasRight(Right::Use, Function::GrossProfit);
    QStringList captions{groupingName(m_shownGrouping), QStringLiteral("进货"), QStringLiteral("销售"),
                         QStringLiteral("退货"), QStringLiteral("库存"), QStringLiteral("售罄率%"),
                         QStringLiteral("销售额")};
    if (margin)
        captions << QStringLiteral("毛利");
    captions << QStringLiteral("首次进货") << QStringLiteral("上市周数");
    startTable(captions);
    const double none = std::nan("");
    for (const StyleRow& row : std::as_const(m_rows)) {
        const Figures& f = row.figures;
        QVariantList cells{row.key, f.received, f.sold, f.returned, f.stock, percent(f.sellThrough()), f.amount};
        if (margin)
            cells << f.margin();
        cells << (row.firstReceipt.isValid() ? QVariant(row.firstReceipt) : QVariant(QString()))
              << (row.weeksOnSale ? double(*row.weeksOnSale) : none);
        addRow(cells);
    }
    ResultGrid->resizeColumnsToContents();
    if (!m_rows.isEmpty())
        ResultGrid->selectRow(0);
}

void TFrmStyleAnalysis::openStyle()
{
    const int row = ResultGrid->currentIndex().row();
    if (m_shownGrouping != Grouping::Style || row < 0 || row >= m_rows.size())
        return;
    StyleCellsDialog dialog(dataModule().AdoConn, m_rows.at(row).key, m_shownDates, this);
    ui::dialogs().exec(&dialog);
}

bool TFrmStyleAnalysis::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ResultGrid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openStyle();
            return true;
        }
    }
    return AnalysisWindow::eventFilter(watched, event);
}

QString TFrmStyleAnalysis::choiceText() const
{
    return QStringLiteral("按%1  %2 至 %3").arg(GroupBox->currentText(), fromDateEdit->date().toString(QStringLiteral("yyyy-MM-dd")), toDateEdit->date().toString(QStringLiteral("yyyy-MM-dd")));
}
