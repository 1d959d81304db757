#include "masterdata/CodeListGrid.h"

#include "db/Dataset.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <utility>

CodeListGrid::CodeListGrid(QWidget* parent)
    : ui::DbGrid(parent)
{
    setReadOnly(true);
}

void CodeListGrid::setEditable(bool editable)
{
    m_editable = editable;
    setReadOnly(!editable);
}

bool CodeListGrid::onUntouchedNewRow() const
{
    const db::Dataset* d = dataset();
    if (!d || d->state() != db::Dataset::State::Insert)
        return false;
    for (int i = 0; i < d->fieldCount(); ++i)
        if (!d->value(d->currentRow(), i).isNull())
            return false;
    return true;
}

void CodeListGrid::appendRow()
{
    db::Dataset* d = dataset();
    if (!m_editable || !d || !d->isOpen() || onUntouchedNewRow())
        return;
    try {
        d->append();
    } catch (const std::exception& e) {
        ui::showError(ui::errorText(e), this);
    }
}

void CodeListGrid::deleteRow()
{
    db::Dataset* d = dataset();
    if (!m_editable || !d || !d->isOpen() || d->currentRow() < 0)
        return;
    if (!ui::confirm(QStringLiteral("确认删除?"), this))
        return;
    try {
        d->remove();
    } catch (const std::exception& e) {
        ui::showError(ui::errorText(e), this);
    }
}

void CodeListGrid::finishEditing()
{
    db::Dataset* d = dataset();
    if (!d || !d->isEditing())
        return;
    if (onUntouchedNewRow())
        d->cancel();
    else
        d->post();
}

void CodeListGrid::keyPressEvent(QKeyEvent* event)
{
    db::Dataset* d = dataset();
    if (!m_editable || !d || !d->isOpen()) {
        ui::DbGrid::keyPressEvent(event);
        return;
    }
    const bool lastRow = d->currentRow() == d->recordCount() - 1;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter) {
        // The program follows Enter with a Tab (to the grid or its open editor) within this event.
        m_enter = true;
        QTimer::singleShot(0, this, [this] { m_enter = false; });
    }
    if (event->key() == Qt::Key_Tab && m_enter && event->modifiers() == Qt::NoModifier) {
        const QModelIndex next = moveCursor(MoveNext, Qt::NoModifier);
        if (next.isValid())
            setCurrentIndex(next);
        event->accept();
    } else if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        appendRow();
    } else if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
        deleteRow();
    } else if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Escape) && onUntouchedNewRow()) {
        d->cancel();
    } else if (event->key() == Qt::Key_Down && (lastRow || d->isEmpty()) && event->modifiers() == Qt::NoModifier) {
        appendRow();
    } else {
        ui::DbGrid::keyPressEvent(event);
    }
}

void CodeListGrid::mousePressEvent(QMouseEvent* event)
{
    db::Dataset* d = dataset();
    const bool belowRows = !indexAt(event->position().toPoint()).isValid()
                           && (d && (d->isEmpty()
                                     || event->position().y() > rowViewportPosition(d->recordCount() - 1)
                                                                    + rowHeight(d->recordCount() - 1)));
    if (m_editable && d && d->isOpen() && event->button() == Qt::LeftButton && belowRows) {
        setFocus();
        appendRow();
        event->accept();
        return;
    }
    ui::DbGrid::mousePressEvent(event);
}

// Row by row, never wrapping to the start of the same row or of the grid.
QModelIndex CodeListGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    const bool enter = action == MoveNext && std::exchange(m_enter, false);
    if (!m_editable || !model() || !current.isValid() || (action != MoveNext && action != MovePrevious))
        return ui::DbGrid::moveCursor(action, modifiers);
    const int lastColumn = model()->columnCount() - 1;
    const int lastRow = model()->rowCount() - 1;
    if (action == MovePrevious) {
        if (current.column() > 0)
            return current.siblingAtColumn(current.column() - 1);
        return current.row() > 0 ? model()->index(current.row() - 1, lastColumn) : QModelIndex();
    }
    if (current.column() < lastColumn)
        return current.siblingAtColumn(current.column() + 1);
    if (current.row() < lastRow)
        return model()->index(current.row() + 1, 0);
    if (!enter)
        return {};   // Tab moves on to the next box
    // Enter on the last cell starts a new row, unless this row is one nobody typed into.
    if (onUntouchedNewRow())
        return current;
    appendRow();
    return model()->rowCount() - 1 > lastRow ? model()->index(model()->rowCount() - 1, 0) : current;
}
