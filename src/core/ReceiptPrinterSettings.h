#pragma once

#include <QString>

// Where this PC sends till receipts, kept in its own system.ini ([receipt]):
// a printer of its own belongs to the PC, not to the shared database.
struct ReceiptPrinterSettings {
    enum class Output {
        Page,     // through the report engine on a normal printer's page (target: its name, empty: the default)
        Queue,    // ESC/POS bytes to a CUPS queue, sent raw (target: the queue)
        Device    // ESC/POS bytes written to a device file (target: its path, /dev/usb/lp0)
    };

    Output output = Output::Page;
    QString target;
    int paperMm = 80;   // 58 or 80

    // Characters across the roll: 32 on 58 mm, 48 on 80 mm.
    int columns() const { return paperMm == 58 ? 32 : 48; }

    static ReceiptPrinterSettings load();
    // False when system.ini cannot be written.
    bool save() const;
};
