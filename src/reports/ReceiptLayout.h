#pragma once

#include "reports/ReportLayout.h"
#include "shop/Receipt.h"

// A till receipt on a normal printer's page: the lines of the roll in a font
// that keeps their columns, the number's barcode below them, at the top of the
// page and as wide as the roll would be (or the page, when narrower).
class ReceiptLayout : public ReportLayout {
    Q_OBJECT
public:
    ReceiptLayout(const shop::Receipt& receipt, int columns, QSizeF pageMm, QObject* parent = nullptr);

    // Width of the printed roll this receipt stands for, in millimetres.
    static double rollWidthMm(int columns);
};
