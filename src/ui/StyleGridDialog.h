#pragma once

#include "shop/StyleGrid.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTableWidget;

namespace db {
class Connection;
}

namespace ui {

class StyleCellDelegate;

// "尺码颜色录入": one style's quantities as a grid, colours down and sizes
// across, with row, column and grand totals. Only cells that are goods take a
// quantity; Tab and Enter move across, then down. Read-only, it shows a
// style's stock.
class StyleGridDialog : public QDialog {
    Q_OBJECT
public:
    StyleGridDialog(const StyleGrid& grid, bool editable, QWidget* parent = nullptr);

    // The style's grid for what was typed; "款号“X”没有货品" and an empty grid when it has none.
    static StyleGrid loadTyped(db::Connection& connection, const QString& typed, QWidget* parent);

    const StyleGrid& grid() const { return m_grid; }

    QTableWidget* table;
    QPushButton* cmd_ok;
    QPushButton* cmd_canc;   // "关闭" when read-only

    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void cmd_okClick();

private:
    friend class StyleCellDelegate;
    void fill();
    void showTotals();
    // Why a cell's typed text is no quantity (naming the cell and the text); empty when it is one.
    QString refusal(int color, int size, const QString& text, double* quantity = nullptr) const;
    // Takes a cell's typed text; false when it is refused.
    bool take(int color, int size, const QString& text);
    // Tells the refusal and puts the refused text back into its cell to be typed over.
    void refuse(const QModelIndex& at, const QString& text, const QString& why);
    // The editor's text into its cell; false (and told) when refused.
    bool takeOpenEditor();
    void move(bool forward);

    StyleGrid m_grid;
    bool m_editable;
    StyleCellDelegate* m_delegate;
};

} // namespace ui
