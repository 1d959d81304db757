#pragma once

#include "shop/BillRules.h"
#include "shop/LinePricing.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QKeyEvent;
class QLineEdit;
class QWidget;

namespace db {
class Dataset;
}

namespace ui {
class DbGrid;
}

// The keyboard side of a bill's lines, shared by the four bill windows: the
// Enter walk (code, price, quantity, the stock remark on returns, then the next
// line, a new one after the last), goods codes checked where they are typed,
// the goods picker from the code cell (F4, Alt+Down), and the checks every
// line must pass before the bill is saved.
class BillLineEntry : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString priceColumn;       // goods column proposed as unit price
        bool unknownPriceClears;   // an empty proposed price clears the unit price
        bool stockRemarks;         // the remark column takes "入库" / "不入库"
        // Prices a sale's new line by the markdowns and the member (instead of priceColumn).
        std::function<LinePricing::Priced(const QString& code)> pricer;
    };

    BillLineEntry(ui::DbGrid* grid, db::Dataset* lines, const Options& options, QWidget* window);

    // Lines are typed only while the bill is added or edited.
    void setEditing(bool editing) { m_editing = editing; }
    bool isEditing() const { return m_editing; }
    // Where Enter on an empty code leaves the lines for.
    void setExit(QWidget* widget) { m_exit = widget; }

    // Writes the open cell editor into the line; false when its value was refused.
    bool commit();
    // The goods picker for the current line, opened on the code typed so far.
    void pickGoods(const QString& typed = {});
    // The size and colour grid (F7) for the style typed in the code cell or of
    // the current line; OK makes the lines hold the grid's quantities.
    void enterByStyle();
    // The first refusal among the lines (naming the line and the value), or empty.
    BillRules::Refusal refusal() const;
    // Tells the refusal and puts the focus on the line and column it names.
    void refuse(const BillRules::Refusal& refusal);
    // A line nobody typed anything into.
    bool isBlank(int row) const;
    // The goods' proposed price into the current line (with its list price and markdown on a sale).
    void fillPrice(const QString& code);
    // The sale's member changed: each line still at the price `before` gave it
    // takes the price the pricer gives now; a price typed by hand stays.
    void reprice(const std::function<LinePricing::Priced(const QString& code)>& before);

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void failed(const QString& what, const QString& why);

private:
    // Where the grid shows a field of the lines, whatever order its columns come in.
    int columnOf(const QString& field) const;
    bool enter(QLineEdit* editor);
    bool moveBelowLast(int key);
    void prepareEditor(QLineEdit* editor);
    void showStockChoices(QLineEdit* editor);
    void moveTo(int row, int column);
    // Clears the line's markdown when its price was changed by hand.
    void keepRuleOnlyAtItsPrice(int row);
    void nextLine(int row);
    bool takeCode(int row, const QString& code);
    BillRules::Refusal lineRefusal(int row) const;
    void refuse(const QString& message, int row, int column);

    ui::DbGrid* m_grid;
    db::Dataset* m_lines;
    Options m_options;
    QWidget* m_window;
    QPointer<QWidget> m_exit;
    bool m_editing = false;
};
