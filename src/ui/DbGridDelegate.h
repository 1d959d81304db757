#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

class QLineEdit;

namespace ui {

// Edits every cell of a dataset grid as text (the dataset converts and checks
// it), limited to the field's width, and keeps track of the open editor.
class DbGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

    QLineEdit* openEditor() const { return m_editor; }
    QModelIndex openEditorIndex() const { return m_index; }

signals:
    void edited(const QModelIndex& index);   // the user changed the open editor's text

private:
    mutable QPointer<QLineEdit> m_editor;
    mutable QPersistentModelIndex m_index;
};

} // namespace ui
