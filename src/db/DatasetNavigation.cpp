// Moving through a dataset, its hash indexes and reading values, look-ups included.
#include "db/Dataset.h"

#include "db/Error.h"
#include "db/Statement.h"

#include <algorithm>
#include <cmath>

namespace db {

namespace {

constexpr int unresolved = -2;

// The text under which a value is indexed; a null text for an empty value.
QString indexKey(const QVariant& value, FieldType type)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (type) {
    case FieldType::String:
        return value.toString();
    case FieldType::Double:
    case FieldType::Integer: {
        // Whole numbers, by far the most common keys, skip the general formatting.
        const double number = value.toDouble();
        if (std::abs(number) < 1e15 && number == std::trunc(number))
            return QString::number(qint64(number));
        return formatNumber(number, {});
    }
    case FieldType::DateTime:
        return toStoredDateTime(value);
    }
    return {};
}

quint64 nextGeneration()
{
    static quint64 generation = 0;
    return ++generation;
}

} // namespace

// ---------------------------------------------------------------- navigation

void Dataset::setCurrent(int row)
{
    if (row == m_current)
        return;
    m_current = row;
    if (!m_disableCount)
        emit currentRowChanged(row);
    emit scrolled();
    runHooks(Hook::AfterScroll);
}

void Dataset::checkBrowseMode()
{
    if (isEditing())
        post();
}

void Dataset::first()
{
    ensureActive();
    checkBrowseMode();
    setCurrent(isEmpty() ? -1 : 0);
    m_bof = true;
    m_eof = isEmpty();
}

void Dataset::next()
{
    ensureActive();
    checkBrowseMode();
    if (m_current + 1 < recordCount()) {
        setCurrent(m_current + 1);
        m_bof = false;
        m_eof = false;
    } else {
        m_eof = true;
    }
}

void Dataset::prior()
{
    ensureActive();
    checkBrowseMode();
    if (m_current > 0) {
        setCurrent(m_current - 1);
        m_eof = false;
        m_bof = false;
    } else {
        m_bof = true;
    }
}

void Dataset::last()
{
    ensureActive();
    checkBrowseMode();
    setCurrent(recordCount() - 1);
    m_eof = true;
    m_bof = isEmpty();
}

void Dataset::moveTo(int row)
{
    ensureActive();
    if (row < 0 || row >= recordCount())
        throw Error(QStringLiteral("%1: 行号 %2 超出范围").arg(objectName()).arg(row));
    if (row != m_current)
        checkBrowseMode();
    setCurrent(row);
    m_eof = m_bof = false;
}

int Dataset::rowOf(int record) const
{
    const auto it = std::lower_bound(m_order.begin(), m_order.end(), record);
    return it != m_order.end() && *it == record ? int(it - m_order.begin()) : -1;
}

// ---------------------------------------------------------------- indexes

void Dataset::invalidateIndexes()
{
    m_indexes.clear();
    ++m_indexDrops;
}

// A changed value leaves the indexes of other stored fields as they are.
void Dataset::fieldChanged(int fieldIndex, int record)
{
    ++m_indexDrops;
    for (auto it = m_indexes.begin(); it != m_indexes.end();) {
        if (it.key() == fieldIndex || m_slotOfField.value(it.key(), -1) < 0)
            it = m_indexes.erase(it);
        else
            ++it;
    }
    forgetLookups(record, fieldIndex);
}

// Drops what look-ups found for a record whose key (any key, for -1) changed.
void Dataset::forgetLookups(int record, int keyIndex)
{
    for (const LookupGroup& group : std::as_const(m_lookupGroups))
        if ((keyIndex < 0 || group.keyIndex == keyIndex) && size_t(record) < group.sourceRows.size())
            group.sourceRows[size_t(record)] = unresolved;
}

QString Dataset::indexKeyOf(int row, int fieldIndex) const
{
    const int slot = m_slotOfField.value(fieldIndex, -1);
    if (slot >= 0 && m_fields.at(fieldIndex).type == FieldType::String)
        return m_columns[size_t(slot)].text(recordOf(row));
    return indexKey(value(row, fieldIndex), m_fields.at(fieldIndex).type);
}

const Dataset::Index& Dataset::indexOf(int fieldIndex) const
{
    auto it = m_indexes.constFind(fieldIndex);
    if (it != m_indexes.constEnd())
        return *it;
    Index index;
    index.generation = nextGeneration();
    index.rows.reserve(recordCount());
    for (int row = 0; row < recordCount(); ++row) {
        const QString key = indexKeyOf(row, fieldIndex);
        if (!key.isNull())
            index.rows.insert(key, row);
    }
    return *m_indexes.insert(fieldIndex, std::move(index));
}

int Dataset::find(const QString& fieldName, const QVariant& wanted) const
{
    if (!isOpen())
        return -1;
    const int index = fieldIndex(fieldName);
    if (index < 0)
        throw Error(QStringLiteral("%1: 字段 %2 不存在").arg(objectName(), fieldName));
    QVariant converted;
    try {
        converted = convertToFieldType(wanted, m_fields.at(index).type);
    } catch (const Error&) {
        return -1;
    }
    const QString key = indexKey(converted, m_fields.at(index).type);
    if (key.isNull())
        return -1;
    return indexOf(index).rows.find(key);
}

int Dataset::findStarting(const QString& fieldName, const QString& prefix) const
{
    if (!isOpen())
        return -1;
    const int index = fieldIndex(fieldName);
    if (index < 0)
        throw Error(QStringLiteral("%1: 字段 %2 不存在").arg(objectName(), fieldName));
    if (const int exact = find(fieldName, prefix); exact >= 0)
        return exact;
    for (int row = 0; row < recordCount(); ++row)
        if (value(row, index).toString().startsWith(prefix, Qt::CaseInsensitive))
            return row;
    return -1;
}

bool Dataset::locate(const QString& fieldName, const QVariant& wanted)
{
    ensureActive();
    checkBrowseMode();
    const int row = find(fieldName, wanted);
    if (row < 0)
        return false;
    moveTo(row);
    return true;
}

// ---------------------------------------------------------------- values

int Dataset::activeRow() const
{
    return m_calculatingRow >= 0 ? m_calculatingRow : m_current;
}

// The source row a look-up group finds for a row, or -1.
int Dataset::lookupRow(int row, const LookupGroup& group) const
{
    const Dataset* source = group.source;
    if (!source || !source->isOpen() || group.keyIndex < 0)
        return -1;
    if (group.sourceFieldsVersion != source->m_fieldsVersion) {
        group.sourceKeyIndex = source->fieldIndex(group.sourceKey);
        group.sourceFieldsVersion = source->m_fieldsVersion;
        group.sourceRows.clear();
        group.generation = 0;
    }
    if (group.sourceKeyIndex < 0)
        return -1;
    // A stored text key is kept by its text, so that rows sharing it find it once;
    // another stored key is kept by record; a computed key is not kept at all.
    const int slot = m_slotOfField.value(group.keyIndex, -1);
    const FieldType keyType = m_fields.at(group.keyIndex).type;
    const int record = recordOf(row);
    size_t cacheSlot = 0, cacheSize = 0;
    if (slot >= 0) {
        const DatasetColumn& column = m_columns[size_t(slot)];
        if (column.isNull(record))
            return -1;
        if (keyType == FieldType::String) {
            cacheSlot = column.textId(record);
            cacheSize = size_t(column.textCount());
        } else {
            cacheSlot = size_t(record);
            cacheSize = size_t(column.size());
        }
        // Only a dropped index can have been rebuilt since the last look.
        if (group.generation == 0 || group.sourceIndexDrops != source->m_indexDrops) {
            const quint64 generation = source->indexOf(group.sourceKeyIndex).generation;
            if (generation != group.generation) {
                group.sourceRows.clear();
                group.generation = generation;
            }
            group.sourceIndexDrops = source->m_indexDrops;
        }
        if (cacheSlot < group.sourceRows.size() && group.sourceRows[cacheSlot] != unresolved)
            return group.sourceRows[cacheSlot];
    }

    const FieldType sourceType = source->m_fields.at(group.sourceKeyIndex).type;
    QString wanted;
    if (keyType == sourceType) {
        wanted = indexKeyOf(row, group.keyIndex);
    } else {
        try {
            wanted = indexKey(convertToFieldType(value(row, group.keyIndex), sourceType), sourceType);
        } catch (const Error&) {
            // a key that is no value of the source's type finds nothing
        }
    }
    const int sourceRow = wanted.isNull() ? -1 : source->indexOf(group.sourceKeyIndex).rows.find(wanted);
    if (slot >= 0) {
        if (group.sourceRows.size() <= cacheSlot)
            group.sourceRows.resize(std::max(cacheSize, cacheSlot + 1), unresolved);
        group.sourceRows[cacheSlot] = sourceRow;
    }
    return sourceRow;
}

QVariant Dataset::lookupValue(int row, int fieldIndex) const
{
    const Field& f = m_fields.at(fieldIndex);
    const int group = m_groupOfField.value(fieldIndex, -1);
    if (group < 0)
        return {};
    const int sourceRow = lookupRow(row, m_lookupGroups.at(group));
    if (sourceRow < 0)
        return {};
    // The source's field positions change only when it is reopened.
    if (f.sourceFieldsVersion != f.source->m_fieldsVersion) {
        f.resultIndex = f.source->fieldIndex(f.resultColumn);
        f.sourceFieldsVersion = f.source->m_fieldsVersion;
    }
    return f.resultIndex < 0 ? QVariant() : f.source->value(sourceRow, f.resultIndex);
}

QVariant Dataset::calculatedValue(int row, int fieldIndex) const
{
    if (m_calculated && m_calculatingRow == row)
        return m_calculated->value(fieldIndex);
    QList<QVariant> results(m_fields.size());
    const int savedRow = m_calculatingRow;
    QList<QVariant>* savedResults = m_calculated;
    m_calculatingRow = row;
    m_calculated = &results;
    try {
        const QList<HookEntry> hooks = m_hooks;
        for (const HookEntry& h : hooks)
            if (h.hook == Hook::Calculate && h.owner)
                h.function(const_cast<Dataset&>(*this));
    } catch (...) {
        m_calculatingRow = savedRow;
        m_calculated = savedResults;
        throw;
    }
    m_calculatingRow = savedRow;
    m_calculated = savedResults;
    return results.value(fieldIndex);
}

QVariant Dataset::value(int row, int fieldIndex) const
{
    if (row < 0 || row >= recordCount() || fieldIndex < 0 || fieldIndex >= m_fields.size())
        return {};
    switch (m_fields.at(fieldIndex).kind) {
    case FieldKind::Data: {
        const int slot = m_slotOfField.value(fieldIndex, -1);
        return slot >= 0 ? slotValue(recordOf(row), slot) : QVariant();
    }
    case FieldKind::Lookup:
        return lookupValue(row, fieldIndex);
    case FieldKind::Calculated:
        return calculatedValue(row, fieldIndex);
    }
    return {};
}

QString Dataset::displayText(int row, int fieldIndex) const
{
    if (fieldIndex < 0 || fieldIndex >= m_fields.size())
        return {};
    return db::displayText(value(row, fieldIndex), m_fields.at(fieldIndex));
}

QVariant Dataset::value(const QString& fieldName) const
{
    const int index = fieldIndex(fieldName);
    if (index < 0)
        throw Error(QStringLiteral("%1: 字段 %2 不存在").arg(objectName(), fieldName));
    return value(activeRow(), index);
}

QString Dataset::text(const QString& fieldName) const
{
    const QVariant v = value(fieldName);
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDateTime)
        return db::displayText(v, field(fieldName));
    if (v.typeId() == QMetaType::Double)
        return formatNumber(v.toDouble(), {});
    return v.toString();
}

double Dataset::number(const QString& fieldName) const
{
    return value(fieldName).toDouble();
}

bool Dataset::isNull(const QString& fieldName) const
{
    return value(fieldName).isNull();
}

QString Dataset::displayText(const QString& fieldName) const
{
    return displayText(activeRow(), fieldIndex(fieldName));
}

QList<QVariant> Dataset::recordValues(int record) const
{
    QList<QVariant> values;
    values.reserve(qsizetype(m_columns.size()));
    for (const DatasetColumn& column : m_columns)
        values.append(column.value(record));
    return values;
}

void Dataset::setRecordValues(int record, const QList<QVariant>& values)
{
    for (size_t slot = 0; slot < m_columns.size() && qsizetype(slot) < values.size(); ++slot)
        m_columns[slot].setValue(record, values.at(qsizetype(slot)));
}

} // namespace db
