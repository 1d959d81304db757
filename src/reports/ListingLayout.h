#pragma once

#include "reports/ReportLayout.h"

// A statistics list: title, filter lines and ruled headings repeated on every page
// (page header), one ruled row per record, and the totals hjsl and hjje after the
// last row; the page footer only keeps its space.
class ListingLayout : public ReportLayout {
    Q_OBJECT
protected:
    ListingLayout(const QString& title, db::Dataset* dataset, QObject* parent);

    // Each entry of lines is one line of caption and named value pairs.
    void build(const QList<QList<Pair>>& lines, const QList<ReportColumn>& columns);
};
