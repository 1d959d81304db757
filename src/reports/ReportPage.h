#pragma once

#include "reports/ReportBand.h"

#include <QList>

// One prepared page: the bands placed on it, top to bottom.
struct ReportPage {
    struct PlacedBand {
        ReportBand::Kind kind;
        double top;    // millimetres from the top edge of the paper
        int row;       // the master dataset's row of a detail band, else -1
        double left = 0;   // millimetres right of the margin: detail bands printed side by side
    };
    QList<PlacedBand> bands;

    int count(ReportBand::Kind kind) const
    {
        int n = 0;
        for (const PlacedBand& b : bands)
            n += b.kind == kind ? 1 : 0;
        return n;
    }
};
