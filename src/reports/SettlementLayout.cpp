#include "reports/SettlementLayout.h"

SettlementLayout::SettlementLayout(const QString& title, db::Dataset* dataset, QObject* parent)
    : ReportLayout(parent)
{
    setTitle(title);
    setMasterDataset(dataset);
    setDefaultFont(ReportFont{QStringLiteral("宋体"), ReportFont::pointsFromPixels(13), false});
}

SettlementLayout::Pair SettlementLayout::pair(const QString& caption, const QString& name, double valueWidth)
{
    return {caption, 17, name, valueWidth};
}

QList<SettlementLayout::Pair> SettlementLayout::dateRange()
{
    // Two short dates around a dash, then the rest of two slots left empty.
    return {pair(QStringLiteral("日期范围"), QStringLiteral("rqfw1"), 24), {QStringLiteral("-"), 4, QStringLiteral("rqfw2"), 24},
            {QString(), 26, QString(), 0}};
}

void SettlementLayout::build(const QList<QList<Pair>>& lines, const QStringList& amountHeadings)
{
    const double lineHeight = 5.5;
    const double linesTop = 11.5;
    const double headingTop = linesTop + lines.size() * (lineHeight + 0.5) + 1.5;
    const double headingHeight = 7;
    addBand(Kind::Title, headingTop + headingHeight);
    addBand(Kind::Detail, 6);

    addTitleLabel(Kind::Title, 0, 10, ReportFont::pointsFromPixels(20));
    double y = linesTop;
    for (const QList<Pair>& line : lines) {
        addPairs(Kind::Title, 0, y, lineHeight, line);
        y += lineHeight + 0.5;
    }

    const Qt::Alignment number = Qt::AlignRight;
    addTable(Kind::Title, headingTop, headingHeight,
             {{QStringLiteral("流水单号"), QStringLiteral("bill_no"), 30},
              {QStringLiteral("开单日期"), QStringLiteral("bill_date"), 21},
              {QStringLiteral("操作人"), QStringLiteral("oper_name"), 16},
              {QStringLiteral("公司编码"), QStringLiteral("comp_code"), 18},
              {QStringLiteral("公司名"), QStringLiteral("comp_name"), 41},
              {amountHeadings.value(0), QStringLiteral("shou_tota"), 21, number},
              {amountHeadings.value(1), QStringLiteral("fact_tota"), 21, number},
              {amountHeadings.value(2), QStringLiteral("margin"), 22, number}},
             masterDataset());
}
