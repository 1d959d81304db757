#pragma once

#include <QObject>

class EnteredGoods;
class QWidget;

namespace db {
class Dataset;
}
namespace ui {
class DbGrid;
class ScanBar;
}

// Counting a shelf by scanning: each scan is one piece of the goods. A line
// nobody has entered in this count starts from the book quantity, so its first
// scan replaces that by 1; once a line was typed or scanned, a scan adds 1 to
// what it holds. Goods neither typed nor scanned keep their book quantity
// unless the review at the save sets them to 0.
class CountScan : public QObject {
    Q_OBJECT
public:
    // What the review answers.
    enum Review { Back = 0, ZeroUnscanned = 1, KeepUnscanned = 2 };

    CountScan(db::Dataset* sheet, EnteredGoods* entered, ui::DbGrid* grid, QWidget* window);

    ui::ScanBar* bar() const { return m_bar; }
    void setCounting(bool counting);
    bool take(const QString& scanned);

    // Before the save of a count that was scanned: lists the goods neither
    // scanned nor typed, says what each answer does to them and asks. False
    // when the user goes back.
    bool review();

private:
    db::Dataset* m_sheet;
    EnteredGoods* m_entered;
    ui::DbGrid* m_grid;
    ui::ScanBar* m_bar;
    bool m_counting = false;
    bool m_scanned = false;   // a piece was scanned in this count
};
