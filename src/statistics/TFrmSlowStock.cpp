#include "statistics/TFrmSlowStock.h"

#include "core/Clock.h"
#include "statistics/BarChart.h"
#include "ui/WindowParts.h"

#include <QChartView>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <cmath>

using namespace StyleAnalysis;
using WindowParts::named;

namespace {

const QList<std::optional<Grouping>> groupings{std::nullopt, Grouping::Style, Grouping::Brand, Grouping::Category,
                                               Grouping::Kind};

QString keyCaption(const std::optional<Grouping>& grouping)
{
    return grouping ? groupingName(*grouping) : QStringLiteral("货品编码");
}

} // namespace

TFrmSlowStock::TFrmSlowStock(QWidget* parent)
    : AnalysisWindow(QStringLiteral("滞销与库龄"), QStringLiteral("FrmSlowStock"), parent)
{
    SlowButton = named<QRadioButton>("SlowButton");
    SlowButton->setText(QStringLiteral("滞销"));
    SlowButton->setChecked(true);
    AgeButton = named<QRadioButton>("AgeButton");
    AgeButton->setText(QStringLiteral("库龄"));
    QStringList names;
    for (const auto& g : groupings)
        names << (g ? groupingName(*g) : QStringLiteral("货品"));
    GroupBox = choiceBox("GroupBox", names);
    DaysBox = named<QSpinBox>("DaysBox");
    DaysBox->setRange(1, 3650);
    DaysBox->setValue(defaultIdleDays);
    DaysBox->setSuffix(QStringLiteral(" 天"));
    AgeChart = named<QChartView>("AgeChart");
    AgeChart->setRenderHint(QPainter::Antialiasing);
    AgeChart->setMinimumHeight(240);
    AgeChart->hide();

    layOut({SlowButton, AgeButton}, {{QStringLiteral("分组"), GroupBox}, {QStringLiteral("未销售天数"), DaysBox}}, AgeChart);
    connect(AgeButton, &QRadioButton::toggled, DaysBox, &QWidget::setDisabled);
}

std::optional<Grouping> TFrmSlowStock::grouping() const
{
    return groupings.value(GroupBox->currentIndex());
}

AnalysisWindow::Reading TFrmSlowStock::reading()
{
    const auto g = grouping();
    const int days = DaysBox->value();
    const QDate today = Clock::today();
    m_readSlow = SlowButton->isChecked();
    m_keyCaption = keyCaption(g);
    if (m_readSlow)
        return [this, g, days, today](db::Connection& connection) { m_slow = slowMovers(connection, g, days, today); };
    return [this, g, today](db::Connection& connection) { m_ages = stockAge(connection, g, today); };
}

void TFrmSlowStock::showResult()
{
    const double none = std::nan("");
    AgeChart->setVisible(!m_readSlow);
    if (m_readSlow) {
        startTable({m_keyCaption, QStringLiteral("库存"), QStringLiteral("库存金额"), QStringLiteral("最后销售"),
                    QStringLiteral("未销售天数")});
        for (const SlowMover& s : std::as_const(m_slow))
            addRow({s.key, s.stock, s.stockValue, s.lastSale.isValid() ? QVariant(s.lastSale) : QVariant(QStringLiteral("从未销售")),
                    s.idleDays ? double(*s.idleDays) : none});
        ResultGrid->resizeColumnsToContents();
        return;
    }
    QStringList captions{m_keyCaption};
    for (int b = 0; b < ageBucketCount; ++b)
        captions << ageBucketName(AgeBucket(b)) + QStringLiteral("数量") << ageBucketName(AgeBucket(b)) + QStringLiteral("金额");
    captions << QStringLiteral("库存") << QStringLiteral("库存金额");
    startTable(captions);
    AgeRow total;
    total.key = QStringLiteral("合计");
    for (const AgeRow& row : std::as_const(m_ages)) {
        QVariantList cells{row.key};
        for (int b = 0; b < ageBucketCount; ++b) {
            cells << row.quantity[b] << row.value[b];
            total.quantity[b] += row.quantity[b];
            total.value[b] += row.value[b];
        }
        addRow(cells << row.totalQuantity() << row.totalValue());
    }
    QVariantList cells{total.key};
    for (int b = 0; b < ageBucketCount; ++b)
        cells << total.quantity[b] << total.value[b];
    addRow(cells << total.totalQuantity() << total.totalValue());
    ResultGrid->resizeColumnsToContents();

    BarChart::Set values{QStringLiteral("库存金额"), {}};
    QStringList buckets;
    for (int b = 0; b < ageBucketCount; ++b) {
        values.values << total.value[b];
        buckets << ageBucketName(AgeBucket(b));
    }
    AgeChart->setChart(BarChart::make(QStringLiteral("库龄：各段库存金额（成本）"), buckets, {values}));
}

QString TFrmSlowStock::choiceText() const
{
    const QString day = Clock::today().toString(QStringLiteral("yyyy-MM-dd"));
    if (AgeButton->isChecked())
        return QStringLiteral("库龄  按%1  截至 %2（先进先出）").arg(GroupBox->currentText(), day);
    return QStringLiteral("滞销  按%1  %2 天未销售  截至 %3").arg(GroupBox->currentText()).arg(DaysBox->value()).arg(day);
}
