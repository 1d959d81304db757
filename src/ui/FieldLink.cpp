#include "ui/FieldLink.h"

#include "db/Dataset.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/WindowParts.h"

#include <QScopedValueRollback>
#include <QTimer>
#include <QWidget>

namespace ui {

FieldLink::FieldLink(QWidget* widget, Editor editor)
    : QObject(widget), m_widget(widget), m_editor(std::move(editor))
{
}

void FieldLink::bind(db::Dataset* dataset, const QString& field)
{
    if (m_dataset) {
        disconnect(m_dataset, nullptr, this, nullptr);
        m_dataset->removeHooks(m_widget);
    }
    m_dataset = dataset;
    m_field = field;
    m_configuredSize = -2;
    if (dataset) {
        connect(dataset, &db::Dataset::reset, this, [this] {
            configure();
            refresh();
        });
        connect(dataset, &db::Dataset::currentRowChanged, this, &FieldLink::refresh);
        connect(dataset, &db::Dataset::rowChanged, this, &FieldLink::onRowChanged);
        connect(dataset, &db::Dataset::stateChanged, this, &FieldLink::onStateChanged);
        // Owned by the widget, so it goes when the widget does.
        QPointer<FieldLink> self(this);
        dataset->addHook(db::Dataset::Hook::BeforePost, m_widget, [self](db::Dataset&) {
            if (self)
                self->write();
        });
    }
    configure();
    refresh();
}

db::Dataset* FieldLink::dataset() const
{
    return m_dataset;
}

const db::Field* FieldLink::field() const
{
    if (!m_dataset)
        return nullptr;
    const int index = m_dataset->fieldIndex(m_field);
    return index >= 0 ? &m_dataset->field(index) : nullptr;
}

bool FieldLink::canModify() const
{
    const db::Field* f = field();
    return f && m_dataset->isOpen() && m_dataset->currentRow() >= 0 && f->kind == db::FieldKind::Data
           && !f->readOnly;
}

void FieldLink::configure()
{
    const db::Field* f = field();
    const int size = f ? f->size : -1;
    const bool readOnly = f && (f->readOnly || f->kind != db::FieldKind::Data);
    // Only a change of field touches the widget, so a window's own settings stay.
    if (size == m_configuredSize && readOnly == m_configuredReadOnly)
        return;
    m_configuredSize = size;
    m_configuredReadOnly = readOnly;
    m_editor.configure(f);
}

void FieldLink::refresh()
{
    const db::Field* f = field();
    QVariant value;
    if (f && m_dataset->isOpen() && m_dataset->currentRow() >= 0)
        value = m_dataset->value(m_field);
    m_editor.show(value, f);
    m_shown = m_editor.read();
}

bool FieldLink::isModified() const
{
    return m_editor.read() != m_shown;
}

void FieldLink::onRowChanged(int row)
{
    if (m_dataset && row == m_dataset->currentRow() && !isModified())
        refresh();
}

void FieldLink::onStateChanged()
{
    // Back in browse the row was posted (taking the typed text) or cancelled (dropping it).
    if (!m_dataset || !m_dataset->isEditing() || !isModified())
        refresh();
}

void FieldLink::userEdited()
{
    if (!canModify() || m_dataset->isEditing())
        return;
    try {
        m_dataset->edit();
    } catch (const std::exception& e) {
        showError(errorText(e), m_widget);
    }
}

void FieldLink::write()
{
    if (!isModified())
        return;
    if (!canModify()) {
        refresh();
        return;
    }
    const db::Field* f = field();
    const QVariant typed = typedValue(m_editor.read(), *f);
    const QVariant converted = db::convertToFieldType(typed, f->type);
    if (!sameValue(converted, m_dataset->value(m_field)))
        m_dataset->setValue(m_field, typed);
    refresh();
}

bool FieldLink::commit()
{
    // The message box below takes the focus, which finishes the editing once more;
    // so does the Tab that follows an Enter. One refusal, one message.
    if (m_reporting || (m_refused && m_editor.read() == m_refusedText))
        return false;
    try {
        write();
        return true;
    } catch (const std::exception& e) {
        {
            const QScopedValueRollback guard(m_reporting, true);
            showError(errorText(e), m_widget);
        }
        // What was typed stays, selected, with the focus, to be corrected rather than typed again.
        m_refused = true;
        m_refusedText = m_editor.read();
        WindowParts::focusBox(m_widget);
        QTimer::singleShot(0, this, [this] { m_refused = false; });
        return false;
    }
}

} // namespace ui
