#include "masterdata/CodeListGrid.h"

#include "db/Dataset.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"

#include <QKeyEvent>

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
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
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
