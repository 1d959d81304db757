#include "reports/AnalysisLayout.h"

AnalysisLayout::AnalysisLayout(QObject* parent)
    : ListingLayout(QStringLiteral("分析报表"), nullptr, parent)
{
    setObjectName(QStringLiteral("AnalysisLayout"));
    setTable(QStringLiteral("分析报表"), {}, {}, {}, 0, {});
}

void AnalysisLayout::setTable(const QString& title, const QString& choices, const QStringList& captions,
                              const QList<bool>& numbers, int rows, RowText text)
{
    clearBands();
    QList<ReportColumn> columns;
    const double first = captions.size() > 1 ? 24 : contentWidth();
    const double rest = captions.size() > 1 ? (contentWidth() - first) / double(captions.size() - 1) : 0;
    for (int c = 0; c < captions.size(); ++c)
        columns.append({captions.at(c), QString::number(c), c == 0 ? first : rest,
                        numbers.value(c) ? Qt::AlignRight : Qt::AlignLeft});
    build({{{QStringLiteral("条件："), 14, QStringLiteral("choices"), contentWidth() - 14}}}, columns, {});
    setLabelText(QStringLiteral("title"), title);
    setLabelText(QStringLiteral("choices"), choices);
    setRows(rows, std::move(text));
}
