#pragma once

#include "reports/ReportLayout.h"

// The one-bill form shared by the in-bill and out-bill print-outs: bill header on
// every page, one ruled line per bill line, totals and people after the last line.
// Named labels: QRLabel1 title, QRLabel29 amount in words, QRLabel30 total
// quantity, QRLabel31 total amount, QRLabel11 bill footer.
class BillLayout : public ReportLayout {
    Q_OBJECT
protected:
    enum class Direction { In, Out };
    BillLayout(Direction direction, QObject* parent);
};
