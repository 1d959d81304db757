#pragma once

#include "reports/ReceiptText.h"
#include "reports/ReportLayout.h"

// A till slip (a receipt, a 交班单) on a normal printer's page: the lines of the roll in a font
// that keeps their columns, the number's barcode below them, at the top of the
// page and as wide as the roll would be (or the page, when narrower). A slip
// longer than the page goes on over more pages, one layout each.
class ReceiptLayout : public ReportLayout {
    Q_OBJECT
public:
    // Page `page` (from 0) of the slip, laid out for a roll of `columns`.
    ReceiptLayout(const ReceiptText::Slip& slip, int columns, QSizeF pageMm, int page = 0, QObject* parent = nullptr);

    static int pageCount(const ReceiptText::Slip& slip, int columns, QSizeF pageMm);
    // Width of the printed roll a slip stands for, in millimetres.
    static double rollWidthMm(int columns);
};
