// Writing a dataset's rows back to its base table: by rowid, or by the
// original values of a row of a distinct list.
#include "db/Dataset.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Schema.h"
#include "db/Statement.h"

namespace db {

namespace {

bool allNull(const QList<QVariant>& values)
{
    for (const QVariant& v : values)
        if (v.isValid() && !v.isNull())
            return false;
    return true;
}

} // namespace

QList<int> Dataset::writableSlots(bool includeCounter) const
{
    QList<int> writable;
    for (int s = 0; s < m_baseColumnOfSlot.size(); ++s) {
        const QString& column = m_baseColumnOfSlot.at(s);
        if (column.isEmpty())
            continue;
        const Column* c = Schema::column(m_baseTable, column);
        if (!includeCounter && c && c->type == ColumnType::Counter)
            continue;
        writable.append(s);
    }
    return writable;
}

// The condition that finds a record's base rows: its rowid, or for a distinct
// list every one of its original values, NULL included.
QString Dataset::identityCondition(int record, const QList<QVariant>& original, QVariantList* values) const
{
    if (m_identity == Identity::RowId) {
        values->append(m_rowIds[size_t(record)]);
        return Schema::rowIdColumn(m_baseTable) + QStringLiteral("=:k0");
    }
    QStringList parts;
    for (int s : writableSlots(true)) {
        parts << m_connection->same(m_baseColumnOfSlot.at(s), QStringLiteral(":k%1").arg(values->size()));
        values->append(original.at(s));
    }
    return parts.join(QStringLiteral(" and "));
}

qint64 Dataset::writeInsert(int record)
{
    if (!isWritable())
        throw Error(QStringLiteral("%1: 该数据不能修改").arg(objectName()), 0, m_sql);
    QStringList columns, names;
    const QList<int> writable = writableSlots(false);
    for (int s : writable) {
        columns << m_baseColumnOfSlot.at(s);
        names << QStringLiteral(":v%1").arg(s);
    }
    const QString sql = columns.isEmpty()
                            ? QStringLiteral("insert into %1 default values").arg(m_baseTable)
                            : QStringLiteral("insert into %1 (%2) values (%3)")
                                  .arg(m_baseTable, columns.join(QLatin1Char(',')), names.join(QLatin1Char(',')));
    Statement statement(*m_connection, sql);
    for (int s : writable)
        statement.bind(QStringLiteral("v%1").arg(s), slotValue(record, s));
    statement.execute();
    return m_connection->lastInsertRowId();
}

void Dataset::writeUpdate(int record, const QList<QVariant>& original)
{
    if (!isWritable())
        throw Error(QStringLiteral("%1: 该数据不能修改").arg(objectName()), 0, m_sql);
    // The blank row of a distinct list stands for rows of other lists: filling it in adds a row.
    if (m_identity == Identity::Values && allNull(original)) {
        writeInsert(record);
        return;
    }
    QStringList assignments;
    const QList<int> writable = writableSlots(false);
    for (int s : writable)
        assignments << QStringLiteral("%1=:v%2").arg(m_baseColumnOfSlot.at(s)).arg(s);
    if (assignments.isEmpty())
        return;
    QVariantList keys;
    const QString condition = identityCondition(record, original, &keys);
    const QString sql = QStringLiteral("update %1 set %2 where %3")
                            .arg(m_baseTable, assignments.join(QLatin1Char(',')), condition);
    Statement statement(*m_connection, sql);
    for (int s : writable)
        statement.bind(QStringLiteral("v%1").arg(s), slotValue(record, s));
    for (int k = 0; k < keys.size(); ++k)
        statement.bind(QStringLiteral("k%1").arg(k), keys.at(k));
    if (statement.execute() == 0)
        throw Error(QStringLiteral("%1: 要修改的记录已不存在").arg(objectName()), 0, sql);
}

void Dataset::writeDelete(int record, const QList<QVariant>& original)
{
    if (!isWritable())
        throw Error(QStringLiteral("%1: 该数据不能修改").arg(objectName()), 0, m_sql);
    if (m_identity == Identity::Values && allNull(original))
        return;
    QVariantList keys;
    const QString condition = identityCondition(record, original, &keys);
    const QString sql = QStringLiteral("delete from %1 where %2").arg(m_baseTable, condition);
    Statement statement(*m_connection, sql);
    for (int k = 0; k < keys.size(); ++k)
        statement.bind(QStringLiteral("k%1").arg(k), keys.at(k));
    if (statement.execute() == 0)
        throw Error(QStringLiteral("%1: 要删除的记录已不存在").arg(objectName()), 0, sql);
}

// A row the engine has just numbered shows its counter column too.
void Dataset::takeNewRowId(int record, qint64 rowId)
{
    if (m_rowIdColumn)
        m_rowIds[size_t(record)] = rowId;
    if (!rowId)
        return;
    for (int slot = 0; slot < m_baseColumnOfSlot.size(); ++slot) {
        const QString& column = m_baseColumnOfSlot.at(slot);
        const Column* c = column.isEmpty() ? nullptr : Schema::column(m_baseTable, column);
        if (c && c->type == ColumnType::Counter)
            m_columns[size_t(slot)].setValue(record, rowId);
    }
}

} // namespace db
