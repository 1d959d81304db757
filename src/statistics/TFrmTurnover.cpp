#include "statistics/TFrmTurnover.h"

#include "core/Clock.h"

#include <QComboBox>
#include <QDateEdit>
#include <QTableView>
#include <cmath>

using namespace StyleAnalysis;

namespace {

const QList<Grouping> groupings{Grouping::Style, Grouping::Brand, Grouping::Category, Grouping::Kind};

} // namespace

TFrmTurnover::TFrmTurnover(QWidget* parent)
    : AnalysisWindow(QStringLiteral("周转"), QStringLiteral("FrmTurnover"), parent)
{
    QStringList names;
    for (Grouping g : groupings)
        names << groupingName(g);
    GroupBox = choiceBox("GroupBox", names);
    fromDateEdit = datePicker("DP1", Clock::today().addDays(-89));
    toDateEdit = datePicker("DP2", Clock::today());
    layOut({}, {{QStringLiteral("分组"), GroupBox}, {QStringLiteral("起始日期"), fromDateEdit}, {QStringLiteral("截止日期"), toDateEdit}});
}

AnalysisWindow::Reading TFrmTurnover::reading()
{
    const Grouping g = groupings.value(GroupBox->currentIndex());
    const DateRange dates{fromDateEdit->date(), toDateEdit->date()};
    m_keyCaption = groupingName(g);
    return [this, g, dates](db::Connection& connection) { m_rows = turnover(connection, g, dates); };
}

void TFrmTurnover::showResult()
{
    startTable({m_keyCaption, QStringLiteral("销售成本"), QStringLiteral("期初库存金额"), QStringLiteral("期末库存金额"),
                QStringLiteral("周转次数"), QStringLiteral("当前库存"), QStringLiteral("库存天数")});
    const double none = std::nan("");
    for (const TurnoverRow& r : std::as_const(m_rows))
        addRow({r.key, r.costOfSales, r.openingValue, r.closingValue, r.turnover ? *r.turnover : none, r.stock,
                r.daysOfStock ? std::round(*r.daysOfStock) : none});
    ResultGrid->resizeColumnsToContents();
}

QString TFrmTurnover::choiceText() const
{
    return QStringLiteral("按%1  %2 至 %3").arg(GroupBox->currentText(), fromDateEdit->date().toString(QStringLiteral("yyyy-MM-dd")), toDateEdit->date().toString(QStringLiteral("yyyy-MM-dd")));
}
