#pragma once

#include "reports/ReportLayout.h"

// A list with its title and ruled headings once at the start (title band) and
// one ruled row per record: the stock, alarm, adjustment, count and movement lists.
class StockListLayout : public ReportLayout {
    Q_OBJECT
protected:
    StockListLayout(const QString& title, db::Dataset* dataset, QObject* parent);

    // Builds the bands; totals, when given, form one line of named labels under the title.
    void build(const QList<Pair>& totals, const QList<ReportColumn>& columns, bool pageFooter);
};
