#pragma once

#include "core/SheetWriter.h"

#include <QPointer>
#include <QTableView>
#include <functional>

class QLineEdit;

namespace db {
class Dataset;
}

namespace ui {

class DatasetModel;
class DbGridDelegate;

// A grid over a dataset: its current row is the dataset's current row, both ways.
class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(QWidget* parent = nullptr);

    void setDataset(db::Dataset* dataset);
    db::Dataset* dataset() const;
    DatasetModel* datasetModel() const { return m_model; }
    // Columns, read-only settings and widths may be given before or after setDataset.
    void addColumn(const QString& field, const QString& title, int width = -1);
    void setReadOnly(bool readOnly);
    void setColumnReadOnly(const QString& field, bool readOnly);
    void setRowSelect(bool rowSelect);
    bool rowSelect() const { return m_rowSelect; }

    // What the grid's export writes instead of its visible columns: fields of the
    // dataset by name, each under its caption (a master-data window exports what
    // it edits, under the captions the import reads).
    void setExportFields(const QList<QPair<QString, QString>>& fieldCaptions) { m_exportFields = fieldCaptions; }
    const QList<QPair<QString, QString>>& exportFields() const { return m_exportFields; }
    // The lines an export writes around the rows (a report's title, date and
    // totals), asked for when the export is made; none unless set.
    void setExportFrame(std::function<SheetFrame()> frame) { m_exportFrame = std::move(frame); }
    SheetFrame exportFrame() const { return m_exportFrame ? m_exportFrame() : SheetFrame(); }

    // The open cell editor, or nullptr.
    QLineEdit* openEditor() const;
    // Writes the open editor's text into the dataset, as every way of saving must
    // first; false when the value was refused (the user has been told).
    bool commitEditor();
    // Closes the open editor and drops its text.
    void dropEditor();
    // Opens the editor of a cell with the given text, all of it selected.
    QLineEdit* editCell(int row, int column, const QString& text);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    struct PendingColumn {
        QString field;
        QString title;
        int width;
    };

    void followDataset();
    void applyWidths();
    void closeOpenEditor();
    void takeEditorValue(db::Dataset& dataset);
    void startEditing(const QModelIndex& index);

    QPointer<db::Dataset> m_dataset;
    DatasetModel* m_model = nullptr;
    DbGridDelegate* m_delegate;
    QList<PendingColumn> m_columns;
    QList<QPair<QString, bool>> m_columnReadOnly;
    QList<QPair<QString, QString>> m_exportFields;
    std::function<SheetFrame()> m_exportFrame;
    bool m_readOnly = false;
    bool m_rowSelect = false;
    bool m_following = false;        // the grid is being moved to the dataset's row
    int m_datasetChanging = 0;       // inside a reset, insert or remove of the dataset
    QWidget* m_committing = nullptr; // the editor whose text is being written
    bool m_closeAfterCommit = false; // its closing waits for the commit to end
};

} // namespace ui
