#include "reports/ListingLayout.h"

ListingLayout::ListingLayout(const QString& title, db::Dataset* dataset, QObject* parent)
    : ReportLayout(parent)
{
    setTitle(title);
    setMasterDataset(dataset);
    setDefaultFont(ReportFont{QStringLiteral("宋体"), 10, false});
}

void ListingLayout::build(const QList<QList<Pair>>& lines, const QList<ReportColumn>& columns,
                          const QList<Pair>& summary)
{
    const double lineHeight = 5.5;
    const double headingTop = 11.5 + lines.size() * (lineHeight + 0.5) + 1;
    const double headingHeight = 7;
    addBand(Kind::PageHeader, headingTop + headingHeight);
    addBand(Kind::Detail, 6);
    addBand(Kind::Summary, 8);
    addBand(Kind::PageFooter, 5);

    addTitleLabel(Kind::PageHeader, 0, 10, 15);
    double y = 11.5;
    for (const QList<Pair>& line : lines) {
        addPairs(Kind::PageHeader, 0, y, lineHeight, line);
        y += lineHeight + 0.5;
    }
    addTable(Kind::PageHeader, headingTop, headingHeight, columns, masterDataset());

    addPairs(Kind::Summary, 0, 1.5, lineHeight, summary);
}
