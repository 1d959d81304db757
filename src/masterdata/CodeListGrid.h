#pragma once

#include "ui/DbGrid.h"

// A grid over one code list held for a batch update. While editable, Insert,
// Down on the last row or a click below it adds a row, Ctrl+Delete deletes one
// after a question, and a new row left untouched is dropped rather than kept as
// an empty entry. Tab and Enter walk the cells row by row; Enter after the last
// cell adds a row and never leaves the grid, Tab there moves on to the next box.
class CodeListGrid : public ui::DbGrid {
    Q_OBJECT
public:
    explicit CodeListGrid(QWidget* parent = nullptr);

    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }

    void appendRow();
    void deleteRow();
    // Ends the row being typed: posts it into the pending changes, or drops an untouched new row.
    void finishEditing();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    bool onUntouchedNewRow() const;

    bool m_editable = false;
    // An Enter is being handled: the Tab that follows it must not leave the grid.
    bool m_enter = false;
};
