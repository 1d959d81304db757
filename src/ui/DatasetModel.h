#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QSet>

namespace db {
class Dataset;
}

namespace ui {

// A table model over a dataset's rows. Its signals follow the dataset's own
// one for one, so views stay consistent through appends, deletes and re-queries.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(db::Dataset* dataset, QObject* parent = nullptr);

    db::Dataset* dataset() const;
    // With no column added, every field is shown under its name.
    void addColumn(const QString& field, const QString& title, int width = -1);
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    void setColumnReadOnly(const QString& field, bool readOnly);
    int fieldIndexOfColumn(int column) const;   // -1 when the dataset lacks the field
    int columnOfField(const QString& field) const;
    int columnWidth(int column) const;          // -1 when not given

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    struct Column {
        QString field;
        QString title;
        int width = -1;
        int fieldIndex = -1;
    };

    bool isCell(const QModelIndex& index) const;
    void resolveColumns();
    void watchLookupSources();
    void lookupSourceChanged();

    QPointer<db::Dataset> m_dataset;
    QList<Column> m_declared;
    QList<Column> m_columns;
    QSet<QString> m_readOnlyFields;   // lower-case names
    bool m_readOnly = false;
    // Rows as last announced: while the dataset's controls are disabled its
    // rows change silently, and views must not see a count they were not told of.
    int m_rowCount = 0;
    QList<QMetaObject::Connection> m_sourceConnections;
};

} // namespace ui
