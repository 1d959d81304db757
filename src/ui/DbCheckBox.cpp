#include "ui/DbCheckBox.h"

#include "db/Field.h"
#include "ui/FieldLink.h"
#include "ui/FieldValue.h"

namespace ui {

DbCheckBox::DbCheckBox(QWidget* parent)
    : QCheckBox(parent)
{
    FieldLink::Editor editor;
    editor.show = [this](const QVariant& value, const db::Field* field) {
        const QString text = field ? editText(value, *field) : QString();
        setChecked(text.compare(m_checked, Qt::CaseInsensitive) == 0);
    };
    editor.read = [this] { return QVariant(isChecked() ? m_checked : m_unchecked); };
    editor.configure = [this](const db::Field* field) {
        setEnabled(!(field && (field->readOnly || field->kind != db::FieldKind::Data)));
    };
    m_link = new FieldLink(this, editor);
    // clicked, unlike toggled, comes only from the user.
    connect(this, &QCheckBox::clicked, m_link, [this] {
        m_link->userEdited();
        m_link->commit();
    });
}

void DbCheckBox::setValues(const QString& checked, const QString& unchecked)
{
    m_checked = checked;
    m_unchecked = unchecked;
    m_link->refresh();
}

void DbCheckBox::bind(db::Dataset* dataset, const QString& field)
{
    m_link->bind(dataset, field);
}

db::Dataset* DbCheckBox::dataset() const
{
    return m_link->dataset();
}

QString DbCheckBox::fieldName() const
{
    return m_link->fieldName();
}

bool DbCheckBox::commit()
{
    return m_link->commit();
}

} // namespace ui
