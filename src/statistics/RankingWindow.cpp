#include "statistics/RankingWindow.h"

#include "core/DataHelpers.h"
#include "ui/WindowParts.h"
#include "ui/DbGrid.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

RankingWindow::RankingWindow(Kind kind, QWidget* parent)
    : StatisticsWindow(kind.caption, kind.name, kind.dataset, kind.rightPosition, parent), m_kind(std::move(kind))
{
    DataHelpers::adjustComboBoxes(this);
    byAmountRadio = radio("RadioButton1", QStringLiteral("按金额排序"), true);
    byQuantityRadio = radio("RadioButton2", QStringLiteral("按数量排序"));
    allRadio = radio("RadioButton3", QStringLiteral("全部"), true);
    salesRadio = radio("RadioButton4", QStringLiteral("销售"));
    returnsRadio = radio("RadioButton5", QStringLiteral("退货厂商"));

    auto* dateGroup = new QGroupBox(QStringLiteral("日期范围"));
    WindowParts::addLabelled(new QGridLayout(dateGroup),
                             {{QStringLiteral("起始日期"), fromDateEdit}, {QStringLiteral("截止日期"), toDateEdit}}, 1);
    auto* resultGroup = new QGroupBox(QStringLiteral("统计结果"));
    WindowParts::addLabelled(new QGridLayout(resultGroup),
                             {{QStringLiteral("合计数量"), quantityTotalEdit}, {QStringLiteral("合计金额"), amountTotalEdit}}, 1);

    auto* choices = new QHBoxLayout;
    choices->addWidget(dateGroup, 2);
    choices->addWidget(radioGroup(QStringLiteral("排序方式"), {byAmountRadio, byQuantityRadio}), 1);
    choices->addWidget(radioGroup(QStringLiteral("出货方式"), {allRadio, salesRadio, returnsRadio}), 1);
    choices->addWidget(resultGroup, 2);

    setColumns(m_kind.columns);

    auto* rows = new QVBoxLayout(this);
    rows->addLayout(toolBar());
    rows->addLayout(choices);
    rows->addWidget(resultGrid, 1);
}

statistics::Query RankingWindow::query() const
{
    const auto order = byAmountRadio->isChecked() ? statistics::RankingOrder::ByAmount
                                                 : statistics::RankingOrder::ByQuantity;
    return statistics::rankingQuery(m_kind.key, order, billType(salesRadio, returnsRadio), dates());
}

statistics::Totals RankingWindow::totals() const
{
    return statistics::rankingTotals(*dataset());
}

ReportLayout& RankingWindow::reportLayout() const
{
    return m_kind.report();
}

StatisticsWindow::Labels RankingWindow::choiceLabels() const
{
    static const QStringList typeTexts = {QString(), QStringLiteral("出货"), QStringLiteral("退货厂商")};
    return {{QStringLiteral("sort_type"), byAmountRadio->isChecked() ? byAmountRadio->text() : byQuantityRadio->text()},
            {QStringLiteral("out_type"), typeTexts.value(int(billType(salesRadio, returnsRadio)))}};
}
