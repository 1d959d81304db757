#pragma once

#include <QGroupBox>

class QComboBox;

// 基本设置's 小票打印机: where this PC's till receipts go and the roll's width,
// kept in system.ini.
class ReceiptPrinterGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit ReceiptPrinterGroup(QWidget* parent = nullptr);

    QComboBox* output;   // a normal printer's page, a CUPS queue sent raw, a device file
    QComboBox* target;   // the printer, the queue or the device's path
    QComboBox* paper;    // 58 or 80 mm

    // Shows what system.ini holds.
    void load();
    // Refuses a queue or device without its name; the focus goes to it.
    bool check();
    // False (after saying so) when system.ini cannot be written.
    bool save();

private:
    void fillTargets();
};
