#include "reports/StockListLayout.h"

StockListLayout::StockListLayout(const QString& title, db::Dataset* dataset, QObject* parent)
    : ReportLayout(parent)
{
    setTitle(title);
    setMasterDataset(dataset);
    setDefaultFont(ReportFont{QStringLiteral("宋体"), 10, false});
}

void StockListLayout::build(const QList<Pair>& totals, const QList<ReportColumn>& columns, bool pageFooter)
{
    const double headingTop = totals.isEmpty() ? 12 : 18;
    const double headingHeight = 7;
    addBand(Kind::Title, headingTop + headingHeight);
    addBand(Kind::Detail, 6);
    if (pageFooter)
        addBand(Kind::PageFooter, 5);

    addTitleLabel(Kind::Title, 0, 10, 15);
    if (!totals.isEmpty())
        addPairs(Kind::Title, 0, 11.5, 5.5, totals);
    addTable(Kind::Title, headingTop, headingHeight, columns, masterDataset());
}
