#include "reports/AnalysisLayout.h"

#include <algorithm>

AnalysisLayout::AnalysisLayout(QObject* parent)
    : ListingLayout(QStringLiteral("分析报表"), nullptr, parent)
{
    setObjectName(QStringLiteral("AnalysisLayout"));
    setTable(QStringLiteral("分析报表"), {}, {}, {}, {}, 0, {});
}

void AnalysisLayout::setTable(const QString& title, const QString& choices, const QStringList& captions,
                              const QList<bool>& numbers, const QList<double>& widths, int rows, RowText text)
{
    clearBands();
    double total = 0;
    for (int c = 0; c < captions.size(); ++c)
        total += std::max(1.0, widths.value(c));
    QList<ReportColumn> columns;
    for (int c = 0; c < captions.size(); ++c)
        columns.append({captions.at(c), QString::number(c), contentWidth() * std::max(1.0, widths.value(c)) / total,
                        numbers.value(c) ? Qt::AlignRight : Qt::AlignLeft});
    build({{{QStringLiteral("条件："), 14, QStringLiteral("choices"), contentWidth() - 14}}}, columns, {});
    setLabelText(QStringLiteral("title"), title);
    setLabelText(QStringLiteral("choices"), choices);
    setRows(rows, std::move(text));
}
