#include "ui/DbMemo.h"

#include "db/Field.h"
#include "ui/FieldLink.h"
#include "ui/FieldValue.h"

#include <QTextCursor>

namespace ui {

DbMemo::DbMemo(QWidget* parent)
    : QPlainTextEdit(parent)
{
    FieldLink::Editor editor;
    editor.show = [this](const QVariant& value, const db::Field* field) {
        m_showing = true;
        setPlainText(field ? editText(value, *field) : QString());
        m_showing = false;
    };
    editor.read = [this] { return QVariant(toPlainText()); };
    editor.configure = [this](const db::Field* field) {
        m_maxLength = field ? field->size : 0;
        setReadOnly(field && (field->readOnly || field->kind != db::FieldKind::Data));
    };
    m_link = new FieldLink(this, editor);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (m_showing)
            return;
        limitLength();
        m_link->userEdited();
    });
}

// A plain text edit has no maximum length of its own; the column's width is the limit.
void DbMemo::limitLength()
{
    if (m_maxLength <= 0 || toPlainText().size() <= m_maxLength)
        return;
    const QSignalBlocker blocker(this);
    QTextCursor cursor = textCursor();
    const int position = qMin(cursor.position(), m_maxLength);
    setPlainText(toPlainText().left(m_maxLength));
    cursor = textCursor();
    cursor.setPosition(position);
    setTextCursor(cursor);
}

void DbMemo::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    m_link->commit();
}

void DbMemo::bind(db::Dataset* dataset, const QString& field)
{
    m_link->bind(dataset, field);
}

db::Dataset* DbMemo::dataset() const
{
    return m_link->dataset();
}

QString DbMemo::fieldName() const
{
    return m_link->fieldName();
}

bool DbMemo::commit()
{
    return m_link->commit();
}

} // namespace ui
