#pragma once

#include "reports/ReportLayout.h"
#include "shop/Receipt.h"

// A till receipt on a normal printer's page: the lines of the roll in a font
// that keeps their columns, the number's barcode below them, at the top of the
// page and as wide as the roll would be (or the page, when narrower). A receipt
// longer than the page goes on over more pages, one layout each.
class ReceiptLayout : public ReportLayout {
    Q_OBJECT
public:
    // Page `page` (from 0) of the receipt.
    ReceiptLayout(const shop::Receipt& receipt, int columns, QSizeF pageMm, int page = 0, QObject* parent = nullptr);

    static int pageCount(const shop::Receipt& receipt, int columns, QSizeF pageMm);
    // Width of the printed roll this receipt stands for, in millimetres.
    static double rollWidthMm(int columns);
};
