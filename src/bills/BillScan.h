#pragma once

#include <QObject>

class BillLineEntry;

namespace db {
class Dataset;
}

namespace ui {
class ScanBar;
}

// Scanning into a bill: a scanned code (a barcode, else a goods code) adds one
// piece, to the goods' line when the bill has one, else on a new line with the
// goods' price, the way a typed code fills it.
class BillScan : public QObject {
    Q_OBJECT
public:
    BillScan(BillLineEntry* entry, db::Dataset* lines, QWidget* window);

    ui::ScanBar* bar() const { return m_bar; }
    // One scan; false when it changed nothing (the banner says why).
    bool take(const QString& scanned);

private:
    double addPiece(const QString& goods);

    BillLineEntry* m_entry;
    db::Dataset* m_lines;
    ui::ScanBar* m_bar;
};
