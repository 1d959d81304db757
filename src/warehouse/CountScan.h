#pragma once

#include <QHash>
#include <QObject>

class QWidget;

namespace db {
class Dataset;
}
namespace ui {
class DbGrid;
class ScanBar;
}

// Counting a shelf by scanning: each scan is one piece of the goods, so its
// first scan replaces the book quantity by 1 and every further scan adds 1.
// Goods not scanned keep their book quantity unless the review at the save
// sets them to 0.
class CountScan : public QObject {
    Q_OBJECT
public:
    // What the review answers.
    enum Review { Back = 0, ZeroUnscanned = 1, KeepUnscanned = 2 };

    CountScan(db::Dataset* sheet, ui::DbGrid* grid, QWidget* window);

    ui::ScanBar* bar() const { return m_bar; }
    void setCounting(bool counting);
    bool take(const QString& scanned);

    // Before the save of a scanned count: lists the goods not scanned and asks
    // whether they count as 0. False when the user goes back.
    bool review();

private:
    db::Dataset* m_sheet;
    ui::DbGrid* m_grid;
    ui::ScanBar* m_bar;
    QHash<QString, int> m_pieces;   // goods code -> pieces scanned in this count
    bool m_counting = false;
};
