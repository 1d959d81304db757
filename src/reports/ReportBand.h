#pragma once

#include "reports/ReportItem.h"

#include <QList>

// A horizontal strip of a layout with its items; its kind says when it prints.
struct ReportBand {
    enum class Kind { Title, PageHeader, Detail, Summary, PageFooter };
    static constexpr int kindCount = 5;

    Kind kind = Kind::Detail;
    double height = 0;   // millimetres
    QList<ReportItem> items;
};
