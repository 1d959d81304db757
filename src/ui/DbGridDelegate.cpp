#include "ui/DbGridDelegate.h"

#include "db/Dataset.h"
#include "ui/DatasetModel.h"
#include "ui/FieldValue.h"

#include <QLineEdit>

namespace ui {

namespace {

const db::Field* fieldOf(const QModelIndex& index)
{
    const auto* model = qobject_cast<const DatasetModel*>(index.model());
    if (!model || !model->dataset())
        return nullptr;
    const int fieldIndex = model->fieldIndexOfColumn(index.column());
    return fieldIndex >= 0 ? &model->dataset()->field(fieldIndex) : nullptr;
}

} // namespace

QWidget* DbGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    if (const db::Field* field = fieldOf(index)) {
        if (field->size > 0)
            editor->setMaxLength(field->size);
        if (field->type == db::FieldType::Double || field->type == db::FieldType::Integer)
            editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    const QPersistentModelIndex persistent(index);
    auto* self = const_cast<DbGridDelegate*>(this);   // createEditor is const in Qt's interface
    connect(editor, &QLineEdit::textEdited, self, [self, persistent] {
        if (persistent.isValid())
            emit self->edited(persistent);
    });
    m_editor = editor;
    m_index = index;
    return editor;
}

void DbGridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    if (editor == m_editor) {
        m_editor.clear();
        m_index = QPersistentModelIndex();
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}

void DbGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* lineEdit = qobject_cast<QLineEdit*>(editor);
    const db::Field* field = fieldOf(index);
    // A change elsewhere in the row must not wipe what the user is typing.
    if (!lineEdit || !field || lineEdit->isModified())
        return;
    lineEdit->setText(editText(index.data(Qt::EditRole), *field));
}

void DbGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* lineEdit = qobject_cast<QLineEdit*>(editor))
        model->setData(index, lineEdit->text(), Qt::EditRole);
}

} // namespace ui
