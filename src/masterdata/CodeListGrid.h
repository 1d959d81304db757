#pragma once

#include "ui/DbGrid.h"

// A grid over one code list held for a batch update. While editable, Insert or
// Down on the last row adds a row, Ctrl+Delete deletes one after a question,
// and a new row left untouched is dropped rather than kept as an empty entry.
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

private:
    bool onUntouchedNewRow() const;

    bool m_editable = false;
};
