#include "ui/DbGrid.h"

#include "db/Dataset.h"
#include "ui/DatasetModel.h"
#include "ui/DbGridDelegate.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/SheetExport.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QScopedValueRollback>

namespace ui {

DbGrid::DbGrid(QWidget* parent)
    : QTableView(parent), m_delegate(new DbGridDelegate(this))
{
    setShowGrid(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::DoubleClicked);
    setItemDelegate(m_delegate);
    horizontalHeader()->setHighlightSections(false);
    connect(m_delegate, &DbGridDelegate::edited, this, &DbGrid::startEditing);

    // Right-click and Ctrl+E: what the grid shows, to a spreadsheet.
    auto* excel = new QAction(QStringLiteral("导出Excel"), this);
    excel->setObjectName(QStringLiteral("actExportExcel"));
    excel->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    excel->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(excel, &QAction::triggered, this, [this] { SheetExport::exportGrid(*this, true); });
    auto* csv = new QAction(QStringLiteral("导出CSV"), this);
    csv->setObjectName(QStringLiteral("actExportCsv"));
    connect(csv, &QAction::triggered, this, [this] { SheetExport::exportGrid(*this, false); });
    addAction(excel);
    addAction(csv);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void DbGrid::setDataset(db::Dataset* dataset)
{
    if (m_dataset) {
        disconnect(m_dataset, nullptr, this, nullptr);
        m_dataset->removeHooks(this);
    }
    QItemSelectionModel* oldSelection = selectionModel();
    DatasetModel* oldModel = m_model;
    m_dataset = dataset;
    m_model = nullptr;
    m_datasetChanging = 0;
    if (dataset) {
        // Connected before the model's own slots: moves of the current index that
        // the model's structural signals cause are then not taken for the user's.
        const auto begin = [this] { ++m_datasetChanging; };
        connect(dataset, &db::Dataset::aboutToReset, this, begin);
        connect(dataset, &db::Dataset::rowAboutToBeInserted, this, begin);
        connect(dataset, &db::Dataset::rowAboutToBeRemoved, this, begin);

        m_model = new DatasetModel(dataset, this);
        for (const PendingColumn& c : std::as_const(m_columns))
            m_model->addColumn(c.field, c.title, c.width);
        m_model->setReadOnly(m_readOnly);
        for (const auto& [field, readOnly] : std::as_const(m_columnReadOnly))
            m_model->setColumnReadOnly(field, readOnly);

        const auto end = [this] {
            m_datasetChanging = qMax(0, m_datasetChanging - 1);
            followDataset();
        };
        connect(dataset, &db::Dataset::reset, this, end);
        connect(dataset, &db::Dataset::rowInserted, this, end);
        connect(dataset, &db::Dataset::rowRemoved, this, end);
        connect(dataset, &db::Dataset::currentRowChanged, this, &DbGrid::followDataset);
        connect(dataset, &db::Dataset::stateChanged, this, [this] {
            // Back in browse: the open editor's text was posted or cancelled.
            if (m_dataset && !m_dataset->isEditing())
                closeOpenEditor();
        });
        dataset->addHook(db::Dataset::Hook::BeforePost, this, [this](db::Dataset& d) { takeEditorValue(d); });
    }
    setModel(m_model);
    if (m_model)
        connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
            applyWidths();
            followDataset();
        });
    delete oldSelection;
    delete oldModel;
    applyWidths();
    followDataset();
}

db::Dataset* DbGrid::dataset() const
{
    return m_dataset;
}

void DbGrid::addColumn(const QString& field, const QString& title, int width)
{
    m_columns.append({field, title, width});
    if (m_model)
        m_model->addColumn(field, title, width);
}

void DbGrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    if (m_model)
        m_model->setReadOnly(readOnly);
}

void DbGrid::setColumnReadOnly(const QString& field, bool readOnly)
{
    m_columnReadOnly.append({field, readOnly});
    if (m_model)
        m_model->setColumnReadOnly(field, readOnly);
}

void DbGrid::setRowSelect(bool rowSelect)
{
    m_rowSelect = rowSelect;
    setSelectionBehavior(rowSelect ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

void DbGrid::applyWidths()
{
    if (!m_model)
        return;
    for (int c = 0; c < m_model->columnCount(); ++c)
        if (m_model->columnWidth(c) > 0)
            setColumnWidth(c, m_model->columnWidth(c));
}

void DbGrid::followDataset()
{
    if (!m_model || m_datasetChanging > 0)
        return;
    const QScopedValueRollback guard(m_following, true);
    const int row = m_dataset && m_dataset->isOpen() ? m_dataset->currentRow() : -1;
    if (row < 0 || row >= m_model->rowCount() || m_model->columnCount() == 0) {
        closeOpenEditor();
        selectionModel()->clear();
        return;
    }
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() == row)
        return;
    // Any text of the editor was taken by the post that the move made.
    closeOpenEditor();
    const QModelIndex target = m_model->index(row, current.isValid() ? current.column() : 0);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect
                                                  | (m_rowSelect ? QItemSelectionModel::Rows
                                                                 : QItemSelectionModel::NoUpdate));
    scrollTo(target);
}

void DbGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (m_following || m_datasetChanging > 0 || !m_dataset || !m_dataset->isOpen() || !current.isValid())
        return;
    if (current.row() == m_dataset->currentRow() || current.row() >= m_dataset->recordCount())
        return;
    try {
        m_dataset->moveTo(current.row());
    } catch (const std::exception& e) {
        // The row could not be left (its post failed): the grid goes back to it.
        showError(errorText(e), this);
        followDataset();
    }
}

void DbGrid::commitData(QWidget* editor)
{
    const QPointer<QWidget> guard(editor);
    {
        const QScopedValueRollback committing(m_committing, editor);
        QTableView::commitData(editor);
    }
    if (m_closeAfterCommit && guard && guard == m_delegate->openEditor()) {
        QTableView::closeEditor(guard, QAbstractItemDelegate::NoHint);
        // The box took the focus from the editor; the user goes on in the grid, not on a button.
        setFocus();
    }
    m_closeAfterCommit = false;
}

// A message box shown while a cell is written runs its own event loop and takes
// the focus: the editor would be closed and deleted under the commit that still
// uses it. It is closed once the commit is over.
void DbGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (editor && editor == m_committing) {
        m_closeAfterCommit = true;
        return;
    }
    QTableView::closeEditor(editor, hint);
}

QLineEdit* DbGrid::openEditor() const
{
    return m_delegate->openEditor();
}

bool DbGrid::commitEditor()
{
    QLineEdit* editor = m_delegate->openEditor();
    const QModelIndex index = m_delegate->openEditorIndex();
    if (!editor || !index.isValid() || !m_dataset || !(m_model->flags(index) & Qt::ItemIsEditable))
        return true;
    const QString text = editor->text();
    commitData(editor);
    // Refused when the dataset does not hold what was typed.
    const int fieldIndex = m_model->fieldIndexOfColumn(index.column());
    const db::Field& field = m_dataset->field(fieldIndex);
    try {
        const QVariant typed = db::convertToFieldType(typedValue(text, field), field.type);
        return index.row() < m_dataset->recordCount() && sameValue(typed, m_dataset->value(index.row(), fieldIndex));
    } catch (const std::exception&) {
        return false;
    }
}

void DbGrid::dropEditor()
{
    if (QLineEdit* editor = m_delegate->openEditor())
        QTableView::closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

QLineEdit* DbGrid::editCell(int row, int column, const QString& text)
{
    const QModelIndex index = m_model ? m_model->index(row, column) : QModelIndex();
    if (!index.isValid())
        return nullptr;
    setCurrentIndex(index);
    edit(index);
    QLineEdit* editor = m_delegate->openEditor();
    if (editor) {
        editor->setText(text);
        editor->selectAll();
        editor->setFocus();
    }
    return editor;
}

void DbGrid::closeOpenEditor()
{
    if (QLineEdit* editor = m_delegate->openEditor())
        closeEditor(editor, QAbstractItemDelegate::NoHint);
}

// Typing in a cell puts the dataset into Edit, so a post from anywhere takes the text.
void DbGrid::startEditing(const QModelIndex& index)
{
    if (!m_dataset || !m_dataset->isOpen() || m_dataset->isEditing() || index.row() != m_dataset->currentRow())
        return;
    try {
        m_dataset->edit();
    } catch (const std::exception& e) {
        showError(errorText(e), this);
    }
}

void DbGrid::takeEditorValue(db::Dataset& dataset)
{
    QLineEdit* editor = m_delegate->openEditor();
    const QModelIndex index = m_delegate->openEditorIndex();
    if (!editor || !index.isValid() || index.row() != dataset.currentRow()
        || !(m_model->flags(index) & Qt::ItemIsEditable))
        return;
    const db::Field& field = dataset.field(m_model->fieldIndexOfColumn(index.column()));
    const QVariant text = typedValue(editor->text(), field);
    // Throws on a bad number, which stops the post.
    const QVariant typed = db::convertToFieldType(text, field.type);
    if (!sameValue(typed, dataset.value(index.row(), m_model->fieldIndexOfColumn(index.column()))))
        dataset.setValue(field.name, text);
}

} // namespace ui
