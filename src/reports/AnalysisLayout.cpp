#include "reports/AnalysisLayout.h"

#include <QAbstractItemModel>

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

void AnalysisLayout::previewTable(const QString& title, const QString& choices, const QAbstractItemModel& model,
                                  const std::function<bool(int)>& isNumber, QWidget* parent)
{
    // A column as wide as its longest text; a Chinese character takes two places.
    const auto width = [](const QString& text) {
        double places = 0;
        for (const QChar c : text)
            places += c.unicode() < 0x2e80 ? 1 : 2;
        return places;
    };
    QStringList captions;
    QList<bool> numbers;
    QList<double> widths;
    for (int column = 0; column < model.columnCount(); ++column) {
        captions << model.headerData(column, Qt::Horizontal).toString();
        numbers << isNumber(column);
        double widest = width(captions.last());
        for (int row = 0; row < model.rowCount(); ++row)
            widest = std::max(widest, width(model.index(row, column).data().toString()));
        widths << widest;
    }
    setTable(title, choices, captions, numbers, widths, model.rowCount(),
             [&model](int row, const QString& field) { return model.index(row, field.toInt()).data().toString(); });
    preview(parent);
    setRows(0, {});
}
