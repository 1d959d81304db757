#include "statistics/TFrmSizeShare.h"

#include "core/Clock.h"
#include "core/TFrmDataMod.h"
#include "db/Statement.h"
#include "statistics/BarChart.h"
#include "ui/WindowParts.h"

#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QTableView>

using namespace StyleAnalysis;

namespace {

const QList<std::pair<Grouping, QString>> groupings{
    {Grouping::Brand, QStringLiteral("gods_spec")}, {Grouping::Category, QStringLiteral("gods_kind")},
    {Grouping::Kind, QStringLiteral("gods_type")}};

} // namespace

TFrmSizeShare::TFrmSizeShare(QWidget* parent)
    : AnalysisWindow(QStringLiteral("尺码分布"), QStringLiteral("FrmSizeShare"), parent)
{
    GroupBox = choiceBox("GroupBox", {groupingName(Grouping::Brand), groupingName(Grouping::Category),
                                      groupingName(Grouping::Kind)});
    ValueBox = choiceBox("ValueBox", {});
    ValueBox->setEditable(true);
    ValueBox->setMinimumWidth(140);
    fromDateEdit = datePicker("DP1", Clock::today().addDays(-364));
    toDateEdit = datePicker("DP2", Clock::today());
    ShareChart = WindowParts::named<QChartView>("ShareChart");
    ShareChart->setRenderHint(QPainter::Antialiasing);
    ShareChart->setMinimumHeight(260);
    layOut({},
           {{QStringLiteral("范围"), GroupBox}, {QStringLiteral("名称"), ValueBox}, {QStringLiteral("起始日期"), fromDateEdit},
            {QStringLiteral("截止日期"), toDateEdit}},
           ShareChart);
    connect(GroupBox, &QComboBox::currentIndexChanged, this, &TFrmSizeShare::fillValues);
    fillValues();
}

void TFrmSizeShare::fillValues()
{
    // An empty first entry: every goods.
    ValueBox->clear();
    ValueBox->addItem(QString());
    db::Statement read(dataModule().AdoConn,
                       QStringLiteral("select distinct %1 from goods where trim(%1)<>'' order by %1")
                           .arg(groupings.value(GroupBox->currentIndex()).second));
    while (read.next())
        ValueBox->addItem(read.textValue(0));
}

AnalysisWindow::Reading TFrmSizeShare::reading()
{
    const Grouping g = groupings.value(GroupBox->currentIndex()).first;
    const QString value = ValueBox->currentText();
    const DateRange dates{fromDateEdit->date(), toDateEdit->date()};
    return [this, g, value, dates](db::Connection& connection) { m_shares = sizeShares(connection, g, value, dates); };
}

void TFrmSizeShare::showResult()
{
    startTable({QStringLiteral("尺码"), QStringLiteral("进货"), QStringLiteral("进货占比%"), QStringLiteral("净销售"),
                QStringLiteral("销售占比%")});
    BarChart::Set bought{QStringLiteral("进货占比%"), {}};
    BarChart::Set sold{QStringLiteral("销售占比%"), {}};
    QStringList sizes;
    for (const SizeShare& s : std::as_const(m_shares)) {
        addRow({s.size, s.bought, s.boughtShare, s.sold, s.soldShare});
        sizes << s.size;
        bought.values << s.boughtShare;
        sold.values << s.soldShare;
    }
    ResultGrid->resizeColumnsToContents();
    ShareChart->setChart(BarChart::make(QStringLiteral("尺码占比：进货与销售"), sizes, {bought, sold},
                                        QStringLiteral("%.0f%%")));
}

QString TFrmSizeShare::choiceText() const
{
    const QString value = ValueBox->currentText().trimmed();
    return QStringLiteral("%1  %2 至 %3")
        .arg(value.isEmpty() ? QStringLiteral("全部货品") : GroupBox->currentText() + QStringLiteral("：") + value,
             fromDateEdit->date().toString(QStringLiteral("yyyy-MM-dd")), toDateEdit->date().toString(QStringLiteral("yyyy-MM-dd")));
}
