#pragma once

#include "core/ReceiptPrinterSettings.h"
#include "reports/ReceiptText.h"
#include "shop/Receipt.h"

class QPrinter;

// Prints till receipts (and 交班单) where this PC's settings send them. The sale is stored
// before it is printed; a printer that is off, out of paper or missing only
// costs the paper, and the caller shows the returned words and offers 重打小票.
class ReceiptPrinter {
public:
    explicit ReceiptPrinter(const ReceiptPrinterSettings& settings = ReceiptPrinterSettings::load());

    // Empty when the receipt went out, else what failed, for the cashier.
    QString print(const shop::Receipt& receipt) const;
    // A shift's 交班单, the same way.
    QString print(const TillShift::Report& report) const;
    // The slip through the report engine on the printer's page.
    QString printOnPage(const ReceiptText::Slip& slip, QPrinter& printer) const;

    // A queue or device that takes no more than this is taken to be stuck.
    static constexpr int waitMs = 5000;

private:
    QString print(const ReceiptText::Slip& slip) const;
    QString sendToQueue(const QByteArray& bytes) const;
    QString writeToDevice(const QByteArray& bytes) const;

    ReceiptPrinterSettings m_settings;
};
