#include "ui/DbComboBox.h"

#include "db/Field.h"
#include "ui/FieldLink.h"
#include "ui/FieldValue.h"

#include <QLineEdit>

namespace ui {

DbComboBox::DbComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    FieldLink::Editor editor;
    editor.show = [this](const QVariant& value, const db::Field* field) {
        setEditText(field ? editText(value, *field) : QString());
    };
    editor.read = [this] { return QVariant(currentText()); };
    editor.configure = [this](const db::Field* field) {
        lineEdit()->setMaxLength(field && field->size > 0 ? field->size : 32767);
        lineEdit()->setReadOnly(field && (field->readOnly || field->kind != db::FieldKind::Data));
    };
    m_link = new FieldLink(this, editor);
    connect(lineEdit(), &QLineEdit::textEdited, m_link, &FieldLink::userEdited);
    connect(lineEdit(), &QLineEdit::editingFinished, m_link, &FieldLink::commit);
    connect(this, &QComboBox::activated, m_link, [this] {
        m_link->userEdited();
        m_link->commit();
    });
    watchItems();
}

// Filling or clearing the list moves the edit text to the first item or to
// nothing; the field's value comes back unless the user had typed something.
void DbComboBox::watchItems()
{
    QAbstractItemModel* items = model();
    const auto before = [this] { m_modifiedBeforeItemsChanged = m_link->isModified(); };
    const auto after = [this] {
        if (!m_modifiedBeforeItemsChanged)
            m_link->refresh();
    };
    connect(items, &QAbstractItemModel::rowsAboutToBeInserted, this, before);
    connect(items, &QAbstractItemModel::rowsAboutToBeRemoved, this, before);
    connect(items, &QAbstractItemModel::modelAboutToBeReset, this, before);
    connect(items, &QAbstractItemModel::rowsInserted, this, after);
    connect(items, &QAbstractItemModel::rowsRemoved, this, after);
    connect(items, &QAbstractItemModel::modelReset, this, after);
}

void DbComboBox::bind(db::Dataset* dataset, const QString& field)
{
    m_link->bind(dataset, field);
}

db::Dataset* DbComboBox::dataset() const
{
    return m_link->dataset();
}

QString DbComboBox::fieldName() const
{
    return m_link->fieldName();
}

bool DbComboBox::commit()
{
    return m_link->commit();
}

} // namespace ui
