#pragma once

#include "reports/ListingLayout.h"

// The purchase or sales listing: one ruled row per bill line of the listing's
// dataset, under the goods, period, company and bill type it was drawn up for.
// Named labels: title, gods_code, gods_name, datea, dateb, comp_no, comp_name,
// the bill type (named by each listing), hjsl, hjje.
class BillLinesLayout : public ListingLayout {
    Q_OBJECT
protected:
    BillLinesLayout(const QString& title, db::Dataset* lines, const QString& billTypeLabel, QObject* parent);
};
