#pragma once

#include "reports/ReportLayout.h"

// A statistics list: title, filter lines and ruled headings repeated on every page
// (page header), one ruled row per record, and the totals hjsl and hjje after the
// last row; the page footer only keeps its space.
class ListingLayout : public ReportLayout {
    Q_OBJECT
protected:
    ListingLayout(const QString& title, db::Dataset* dataset, QObject* parent);

    // Each entry of lines is one line of caption and named value pairs; the summary
    // after the last row holds the totals hjsl and hjje unless a layout names its own.
    void build(const QList<QList<Pair>>& lines, const QList<ReportColumn>& columns,
               const QList<Pair>& summary = {{QStringLiteral("合计数量"), 18, QStringLiteral("hjsl"), 40},
                                             {QStringLiteral("合计金额"), 18, QStringLiteral("hjje"), 40}});
};
