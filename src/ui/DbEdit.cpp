#include "ui/DbEdit.h"

#include "db/Field.h"
#include "ui/FieldLink.h"
#include "ui/FieldValue.h"

#include <QKeyEvent>

namespace ui {

namespace {
constexpr int unlimitedLength = 32767;   // QLineEdit's own default
}

DbEdit::DbEdit(QWidget* parent)
    : QLineEdit(parent)
{
    FieldLink::Editor editor;
    editor.show = [this](const QVariant& value, const db::Field* field) {
        setText(field ? editText(value, *field) : QString());
        const bool number = field && (field->type == db::FieldType::Double || field->type == db::FieldType::Integer);
        setAlignment(number ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    };
    editor.read = [this] { return QVariant(text()); };
    editor.configure = [this](const db::Field* field) {
        setMaxLength(field && field->size > 0 ? field->size : unlimitedLength);
        setReadOnly(field && (field->readOnly || field->kind != db::FieldKind::Data));
    };
    m_link = new FieldLink(this, editor);
    connect(this, &QLineEdit::textEdited, m_link, &FieldLink::userEdited);
    connect(this, &QLineEdit::editingFinished, m_link, &FieldLink::commit);
}

void DbEdit::bind(db::Dataset* dataset, const QString& field)
{
    m_link->bind(dataset, field);
}

db::Dataset* DbEdit::dataset() const
{
    return m_link->dataset();
}

QString DbEdit::fieldName() const
{
    return m_link->fieldName();
}

bool DbEdit::commit()
{
    return m_link->commit();
}

void DbEdit::keyPressEvent(QKeyEvent* event)
{
    // Escape gives the stored value back, e.g. instead of correcting a refused number.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && m_link->isModified()) {
        m_link->refresh();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace ui
