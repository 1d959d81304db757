#include "ui/DatasetModel.h"

#include "db/Dataset.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"

namespace ui {

DatasetModel::DatasetModel(db::Dataset* dataset, QObject* parent)
    : QAbstractTableModel(parent), m_dataset(dataset)
{
    if (!dataset)
        return;
    m_rowCount = dataset->recordCount();
    resolveColumns();

    connect(dataset, &db::Dataset::aboutToReset, this, [this] { beginResetModel(); });
    connect(dataset, &db::Dataset::reset, this, [this] {
        m_rowCount = m_dataset->recordCount();
        resolveColumns();
        endResetModel();
    });
    connect(dataset, &db::Dataset::rowAboutToBeInserted, this,
            [this](int row) { beginInsertRows({}, row, row); });
    connect(dataset, &db::Dataset::rowInserted, this, [this] {
        ++m_rowCount;
        endInsertRows();
    });
    connect(dataset, &db::Dataset::rowAboutToBeRemoved, this,
            [this](int row) { beginRemoveRows({}, row, row); });
    connect(dataset, &db::Dataset::rowRemoved, this, [this] {
        --m_rowCount;
        endRemoveRows();
    });
    connect(dataset, &db::Dataset::rowChanged, this, [this](int row) {
        if (row >= 0 && row < m_rowCount && !m_columns.isEmpty())
            emit dataChanged(index(row, 0), index(row, m_columns.size() - 1));
    });
    connect(dataset, &QObject::destroyed, this, [this] {
        beginResetModel();
        m_rowCount = 0;
        m_columns.clear();
        endResetModel();
    });
}

db::Dataset* DatasetModel::dataset() const
{
    return m_dataset;
}

void DatasetModel::addColumn(const QString& field, const QString& title, int width)
{
    beginResetModel();
    m_declared.append({field, title, width, -1});
    resolveColumns();
    endResetModel();
}

void DatasetModel::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
}

void DatasetModel::setColumnReadOnly(const QString& field, bool readOnly)
{
    if (readOnly)
        m_readOnlyFields.insert(field.toLower());
    else
        m_readOnlyFields.remove(field.toLower());
}

// Field positions change when a dataset without declared fields opens or closes.
void DatasetModel::resolveColumns()
{
    if (!m_dataset)
        return;
    if (m_declared.isEmpty()) {
        m_columns.clear();
        for (int i = 0; i < m_dataset->fieldCount(); ++i) {
            const QString name = m_dataset->field(i).name;
            m_columns.append({name, name, -1, i});
        }
    } else {
        m_columns = m_declared;
        for (Column& c : m_columns)
            c.fieldIndex = m_dataset->fieldIndex(c.field);
    }
    watchLookupSources();
}

// A look-up column changes when its source does, without any signal of our own dataset.
void DatasetModel::watchLookupSources()
{
    for (const auto& c : std::as_const(m_sourceConnections))
        disconnect(c);
    m_sourceConnections.clear();
    QSet<db::Dataset*> sources;
    for (const Column& c : std::as_const(m_columns)) {
        if (c.fieldIndex < 0)
            continue;
        const db::Field& f = m_dataset->field(c.fieldIndex);
        if (f.kind == db::FieldKind::Lookup && f.source && f.source != m_dataset)
            sources.insert(f.source);
    }
    for (db::Dataset* source : std::as_const(sources)) {
        m_sourceConnections << connect(source, &db::Dataset::reset, this, &DatasetModel::lookupSourceChanged)
                            << connect(source, &db::Dataset::rowChanged, this, &DatasetModel::lookupSourceChanged)
                            << connect(source, &db::Dataset::rowInserted, this, &DatasetModel::lookupSourceChanged)
                            << connect(source, &db::Dataset::rowRemoved, this, &DatasetModel::lookupSourceChanged);
    }
}

void DatasetModel::lookupSourceChanged()
{
    if (m_rowCount > 0 && !m_columns.isEmpty())
        emit dataChanged(index(0, 0), index(m_rowCount - 1, m_columns.size() - 1));
}

bool DatasetModel::isCell(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && index.row() < m_rowCount && index.column() < m_columns.size();
}

int DatasetModel::fieldIndexOfColumn(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns.at(column).fieldIndex : -1;
}

int DatasetModel::columnOfField(const QString& field) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns.at(i).field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DatasetModel::columnWidth(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns.at(column).width : -1;
}

int DatasetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int DatasetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const
{
    if (!isCell(index) || !m_dataset)
        return {};
    const int fieldIndex = m_columns.at(index.column()).fieldIndex;
    if (fieldIndex < 0 || index.row() >= m_dataset->recordCount())
        return {};
    const db::Field& f = m_dataset->field(fieldIndex);
    try {
        switch (role) {
        case Qt::DisplayRole:
            return m_dataset->displayText(index.row(), fieldIndex);
        case Qt::EditRole:
            return m_dataset->value(index.row(), fieldIndex);
        case Qt::TextAlignmentRole:
            if (f.type == db::FieldType::Integer || f.type == db::FieldType::Double)
                return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        default:
            return {};
        }
    } catch (const std::exception&) {
        // A failing calculation hook would fail again on every paint; the cell stays blank.
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_columns.at(section).title;
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const
{
    if (!isCell(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    const Column& c = m_columns.at(index.column());
    if (m_readOnly || !m_dataset || !m_dataset->isOpen() || c.fieldIndex < 0
        || m_readOnlyFields.contains(c.field.toLower()))
        return result;
    const db::Field& f = m_dataset->field(c.fieldIndex);
    if (f.kind == db::FieldKind::Data && !f.readOnly)
        result |= Qt::ItemIsEditable;
    return result;
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable) || index.row() >= m_dataset->recordCount())
        return false;
    const int fieldIndex = m_columns.at(index.column()).fieldIndex;
    try {
        const db::Field& f = m_dataset->field(fieldIndex);
        const QVariant typed = typedValue(value, f);
        // Closing an editor without a change must not put the dataset into Edit.
        if (sameValue(db::convertToFieldType(typed, f.type), m_dataset->value(index.row(), fieldIndex)))
            return true;
        const QString name = f.name;
        if (m_dataset->currentRow() != index.row())
            m_dataset->moveTo(index.row());
        m_dataset->setValue(name, typed);
    } catch (const std::exception& e) {
        showError(errorText(e));
        return false;
    }
    return true;
}

} // namespace ui
