// Changing a dataset's rows: edit states, appends, deletes and batch changes.
#include "db/Dataset.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"

#include <algorithm>

namespace db {

void Dataset::setCalculated(const QString& fieldName, const QVariant& v)
{
    if (!m_calculated)
        throw Error(QStringLiteral("%1: 只能在计算字段时设置 %2").arg(objectName(), fieldName));
    const int index = fieldIndex(fieldName);
    if (index >= 0)
        (*m_calculated)[index] = v;
}

void Dataset::setValue(const QString& fieldName, const QVariant& v)
{
    ensureActive();
    const int index = fieldIndex(fieldName);
    if (index < 0)
        throw Error(QStringLiteral("%1: 字段 %2 不存在").arg(objectName(), fieldName));
    const Field& f = m_fields.at(index);
    const int slot = m_slotOfField.at(index);
    if (slot < 0)
        throw Error(QStringLiteral("%1: 字段 %2 不能修改").arg(objectName(), fieldName));
    if (m_current < 0)
        throw Error(QStringLiteral("%1: 没有当前记录").arg(objectName()));
    const QVariant converted = convertToFieldType(v, f.type);
    if (m_state == State::Browse)
        edit();
    const int record = recordOf(m_current);
    m_columns[size_t(slot)].setValue(record, converted);
    fieldChanged(index, record);
    if (!m_disableCount)
        emit rowChanged(m_current);
}

// ---------------------------------------------------------------- records

// A new record at the end of storage, every value NULL.
int Dataset::addRecord()
{
    for (DatasetColumn& column : m_columns)
        column.appendNull();
    const int record = m_columns.empty() ? int(m_rowIds.size()) : int(m_columns.front().size()) - 1;
    if (m_rowIdColumn)
        m_rowIds.push_back(0);
    // A record number can come back after a drop: forget what was found for the old one.
    forgetLookups(record);
    return record;
}

// Storage of a record no row shows any more; only the last one is given back.
void Dataset::dropRecord(int record)
{
    if (m_columns.empty() || record != m_columns.front().size() - 1)
        return;
    for (DatasetColumn& column : m_columns)
        column.removeLast();
    if (m_rowIdColumn)
        m_rowIds.pop_back();
}

// ---------------------------------------------------------------- editing

void Dataset::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    if (!m_disableCount)
        emit stateChanged();
}

void Dataset::append()
{
    ensureActive();
    checkBrowseMode();
    const int row = recordCount();
    if (!m_disableCount)
        emit rowAboutToBeInserted(row);
    const int record = addRecord();
    m_order.push_back(record);
    m_pending.insert(record, {Status::Inserted, {}});
    invalidateIndexes();
    if (!m_disableCount)
        emit rowInserted(row);
    m_state = State::Insert;
    setCurrent(row);
    m_eof = m_bof = false;
    runHooks(Hook::NewRecord);
    if (!m_disableCount) {
        emit stateChanged();
        emit rowChanged(row);
    }
}

void Dataset::edit()
{
    ensureActive();
    if (isEditing())
        return;
    if (m_current < 0)
        throw Error(QStringLiteral("%1: 没有可修改的记录").arg(objectName()));
    m_editBackup = recordValues(recordOf(m_current));
    setState(State::Edit);
}

void Dataset::post()
{
    if (!isEditing())
        return;
    runHooks(Hook::BeforePost);
    const int record = recordOf(m_current);
    if (m_locking == Locking::Optimistic) {
        if (m_state == State::Insert)
            takeNewRowId(record, writeInsert(record));
        else
            writeUpdate(record, m_editBackup);
        m_pending.remove(record);
    } else if (m_state == State::Edit && statusOf(record) == Status::Unchanged) {
        m_pending.insert(record, {Status::Modified, m_editBackup});
    }
    m_editBackup.clear();
    const int row = m_current;
    setState(State::Browse);
    runHooks(Hook::AfterPost);
    if (!m_disableCount)
        emit rowChanged(row);
}

void Dataset::cancel()
{
    if (!isEditing())
        return;
    const int row = m_current;
    const int record = recordOf(row);
    if (m_state == State::Insert) {
        if (!m_disableCount)
            emit rowAboutToBeRemoved(row);
        m_order.erase(m_order.begin() + row);
        m_pending.remove(record);
        dropRecord(record);
        invalidateIndexes();
        if (!m_disableCount)
            emit rowRemoved(row);
        m_state = State::Browse;
        m_current = -2;   // forces the move below to report the new current row
        setCurrent(qMin(row, recordCount() - 1));
    } else {
        setRecordValues(record, m_editBackup);
        invalidateIndexes();
        forgetLookups(record);
        m_state = State::Browse;
        if (!m_disableCount)
            emit rowChanged(row);
    }
    m_editBackup.clear();
    if (!m_disableCount)
        emit stateChanged();
}

void Dataset::remove()
{
    ensureActive();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_state == State::Edit)
        cancel();
    if (m_current < 0)
        throw Error(QStringLiteral("%1: 没有可删除的记录").arg(objectName()));
    const int row = m_current;
    const int record = recordOf(row);
    const Status status = statusOf(record);
    if (m_locking == Locking::Optimistic)
        writeDelete(record, recordValues(record));
    else if (status != Status::Inserted)
        m_deleted.append({record, m_pending.value(record).original});
    if (!m_disableCount)
        emit rowAboutToBeRemoved(row);
    m_order.erase(m_order.begin() + row);
    m_pending.remove(record);
    if (m_locking == Locking::Optimistic || status == Status::Inserted)
        dropRecord(record);
    invalidateIndexes();
    if (!m_disableCount)
        emit rowRemoved(row);
    m_current = -2;
    setCurrent(qMin(row, recordCount() - 1));
    m_eof = isEmpty();
    runHooks(Hook::AfterDelete);
}

bool Dataset::hasPendingChanges() const
{
    return !m_deleted.isEmpty() || isEditing() || !m_pending.isEmpty();
}

bool Dataset::isRowChanged(int row) const
{
    const int record = recordOf(row);
    if (statusOf(record) == Status::Inserted || (row == m_current && m_state == State::Insert))
        return true;
    if (row == m_current && m_state == State::Edit)
        return recordValues(record) != (statusOf(record) == Status::Modified ? m_pending.value(record).original
                                                                               : m_editBackup);
    return statusOf(record) == Status::Modified && recordValues(record) != m_pending.value(record).original;
}

void Dataset::updateBatch()
{
    ensureActive();
    checkBrowseMode();
    QList<int> changed = m_pending.keys();
    std::sort(changed.begin(), changed.end());
    QList<QPair<int, qint64>> newRowIds;
    {
        Transaction transaction(*m_connection);
        for (const DeletedRecord& d : std::as_const(m_deleted))
            writeDelete(d.record, d.original.isEmpty() ? recordValues(d.record) : d.original);
        for (int record : std::as_const(changed)) {
            const Pending& pending = m_pending[record];
            if (pending.status == Status::Modified)
                writeUpdate(record, pending.original);
            else if (pending.status == Status::Inserted)
                newRowIds.append({record, writeInsert(record)});
        }
        transaction.commit();
    }
    // Only now, with everything written, does memory take on the new state.
    for (const auto& [record, rowId] : newRowIds)
        takeNewRowId(record, rowId);
    m_pending.clear();
    m_deleted.clear();
    invalidateIndexes();
    if (!m_disableCount)
        for (const auto& [record, rowId] : newRowIds)
            emit rowChanged(rowOf(record));
}

void Dataset::cancelBatch()
{
    ensureActive();
    if (isEditing())
        cancel();
    if (!m_disableCount)
        emit aboutToReset();
    QList<int> inserted;
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it) {
        if (it->status == Status::Inserted)
            inserted.append(it.key());
        else if (it->status == Status::Modified)
            setRecordValues(it.key(), it->original);
    }
    std::sort(inserted.begin(), inserted.end());
    std::erase_if(m_order, [&inserted](int record) {
        return std::binary_search(inserted.cbegin(), inserted.cend(), record);
    });
    for (const DeletedRecord& d : std::as_const(m_deleted)) {
        if (!d.original.isEmpty())
            setRecordValues(d.record, d.original);
        m_order.insert(std::lower_bound(m_order.begin(), m_order.end(), d.record), d.record);
    }
    for (auto it = inserted.crbegin(); it != inserted.crend(); ++it)
        dropRecord(*it);
    m_pending.clear();
    m_deleted.clear();
    invalidateIndexes();
    for (const LookupGroup& group : std::as_const(m_lookupGroups))
        group.sourceRows.clear();
    m_current = isEmpty() ? -1 : qBound(0, m_current, recordCount() - 1);
    m_eof = isEmpty();
    if (!m_disableCount) {
        emit reset();
        emit currentRowChanged(m_current);
    }
    emit scrolled();
}

} // namespace db
