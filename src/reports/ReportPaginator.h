#pragma once

#include "reports/ReportPage.h"

#include <QList>
#include <QSizeF>

class ReportLayout;

// Turns a layout and a number of master rows into pages of placed bands. Knows
// nothing of painting, so page breaks can be checked without a device.
class ReportPaginator {
public:
    static QList<ReportPage> paginate(const ReportLayout& layout, QSizeF pageMm, int rowCount);
};
