#include "statistics/TFrmMarkdownEffect.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"

#include <QDateEdit>
#include <QTableView>

using namespace MemberAnalysis;

TFrmMarkdownEffect::TFrmMarkdownEffect(QWidget* parent)
    : AnalysisWindow(QStringLiteral("促销效果"), QStringLiteral("FrmMarkdownEffect"), parent)
{
    fromDateEdit = datePicker("DP1", Clock::today().addDays(-89));
    toDateEdit = datePicker("DP2", Clock::today());
    layOut({}, {{QStringLiteral("起始日期"), fromDateEdit}, {QStringLiteral("截止日期"), toDateEdit}});
}

AnalysisWindow::Reading TFrmMarkdownEffect::reading()
{
    const DateRange dates{fromDateEdit->date(), toDateEdit->date()};
    const QDate today = Clock::today();
    return [this, dates, today](db::Connection& connection) { m_rows = markdownEffects(connection, dates, today); };
}

void TFrmMarkdownEffect::showResult()
{
    // The margin is for those who may see it, as on every report.
    const bool margin = hasRight(Right::Use, Function::GrossProfit);
    QStringList captions{QStringLiteral("促销名称"), QStringLiteral("开始日期"), QStringLiteral("结束日期"),
                         QStringLiteral("范围"), QStringLiteral("周数"), QStringLiteral("件数"), QStringLiteral("金额"),
                         QStringLiteral("让利")};
    if (margin)
        captions << QStringLiteral("毛利");
    captions << QStringLiteral("之前件数") << QStringLiteral("之前金额");
    if (margin)
        captions << QStringLiteral("之前毛利");
    startTable(captions);
    for (const EffectRow& row : std::as_const(m_rows)) {
        const QString scope = row.scopeValue.isEmpty() ? row.scope : row.scope + QLatin1Char(' ') + row.scopeValue;
        QVariantList cells{row.name, row.start, row.end, scope, double(row.weeks), row.during.pieces, row.during.amount,
                           row.during.discount};
        if (margin)
            cells << row.during.margin();
        cells << row.before.pieces << row.before.amount;
        if (margin)
            cells << row.before.margin();
        addRow(cells);
    }
    ResultGrid->resizeColumnsToContents();
    if (!m_rows.isEmpty())
        ResultGrid->selectRow(0);
}

QString TFrmMarkdownEffect::choiceText() const
{
    return QStringLiteral("%1 至 %2").arg(fromDateEdit->date().toString(QStringLiteral("yyyy-MM-dd")),
                                         toDateEdit->date().toString(QStringLiteral("yyyy-MM-dd")));
}
