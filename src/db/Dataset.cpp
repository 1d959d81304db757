#include "db/Dataset.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Schema.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QRegularExpression>

namespace db {

namespace {

FieldType fieldTypeOf(ColumnType type)
{
    switch (type) {
    case ColumnType::Text:
        return FieldType::String;
    case ColumnType::Double:
        return FieldType::Double;
    case ColumnType::DateTime:
        return FieldType::DateTime;
    case ColumnType::Counter:
    case ColumnType::Decimal:
        return FieldType::Integer;
    }
    return FieldType::String;
}

Field fieldFromSchema(const QString& name, const Column* column)
{
    Field f;
    f.name = name;
    if (column) {
        f.type = fieldTypeOf(column->type);
        f.size = column->size;
        f.readOnly = column->type == ColumnType::Counter;
    }
    return f;
}

} // namespace

Dataset::Dataset(Connection& connection, const QString& name, QObject* parent)
    : QObject(parent), m_connection(&connection)
{
    setObjectName(name);
}

Dataset::~Dataset() = default;

// ---------------------------------------------------------------- statement

void Dataset::setSql(const QString& sql)
{
    close();
    m_sql = sql;
    m_parameters.clear();
}

void Dataset::setParameter(const QString& name, const QVariant& value)
{
    m_parameters.insert(name.startsWith(QLatin1Char(':')) ? name.mid(1) : name, value);
}

// ---------------------------------------------------------------- fields

void Dataset::setFields(const QList<Field>& fields)
{
    m_fields = fields;
    ++m_fieldsVersion;
    m_fieldByName.clear();
    m_fieldByExactName.clear();
    for (int i = 0; i < m_fields.size(); ++i) {
        m_fieldByName.insert(m_fields.at(i).name.toLower(), i);
        m_fieldByExactName.insert(m_fields.at(i).name, i);
    }
    m_lookupGroups.clear();
    m_groupOfField.fill(-1, m_fields.size());
    for (int i = 0; i < m_fields.size(); ++i) {
        Field& f = m_fields[i];
        if (f.kind != FieldKind::Lookup)
            continue;
        f.keyIndex = m_fieldByName.value(f.keyField.toLower(), -1);
        for (int g = 0; g < m_lookupGroups.size() && m_groupOfField.at(i) < 0; ++g) {
            const LookupGroup& group = m_lookupGroups.at(g);
            if (group.keyIndex == f.keyIndex && group.source == f.source
                && group.sourceKey.compare(f.sourceKey, Qt::CaseInsensitive) == 0)
                m_groupOfField[i] = g;
        }
        if (m_groupOfField.at(i) < 0) {
            LookupGroup group;
            group.keyIndex = f.keyIndex;
            group.source = f.source;
            group.sourceKey = f.sourceKey;
            m_groupOfField[i] = m_lookupGroups.size();
            m_lookupGroups.append(group);
        }
    }
}

Field& Dataset::addField(const QString& name)
{
    return addField(name, fieldFromSchema(name, Schema::column(name)).type);
}

Field& Dataset::addField(const QString& name, FieldType type)
{
    if (isOpen())
        throw Error(QStringLiteral("数据集 %1 已打开，不能增加字段").arg(objectName()));
    Field f = fieldFromSchema(name, Schema::column(name));
    f.type = type;
    m_declared.append(f);
    m_declaredData = true;
    setFields(m_declared);
    return m_declared.last();
}

Field& Dataset::addLookupField(const QString& name, const QString& keyField, Dataset* source,
                               const QString& sourceKey, const QString& resultColumn, FieldType type)
{
    if (isOpen())
        throw Error(QStringLiteral("数据集 %1 已打开，不能增加字段").arg(objectName()));
    Field f;
    f.name = name;
    f.type = type;
    f.kind = FieldKind::Lookup;
    f.readOnly = true;
    f.keyField = keyField;
    f.source = source;
    f.sourceKey = sourceKey;
    f.resultColumn = resultColumn;
    m_declared.append(f);
    setFields(m_declared);
    return m_declared.last();
}

Field& Dataset::addCalculatedField(const QString& name, FieldType type)
{
    if (isOpen())
        throw Error(QStringLiteral("数据集 %1 已打开，不能增加字段").arg(objectName()));
    Field f;
    f.name = name;
    f.type = type;
    f.kind = FieldKind::Calculated;
    f.readOnly = true;
    m_declared.append(f);
    setFields(m_declared);
    return m_declared.last();
}

void Dataset::setDisplayFormat(const QString& name, const QString& format)
{
    for (Field& f : m_declared)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            f.displayFormat = format;
    const int index = fieldIndex(name);
    if (index >= 0)
        m_fields[index].displayFormat = format;
}

int Dataset::fieldIndex(const QString& name) const
{
    // Names usually come spelt as declared; only then is case folding needed.
    const auto exact = m_fieldByExactName.constFind(name);
    if (exact != m_fieldByExactName.constEnd())
        return *exact;
    return m_fieldByName.value(name.toLower(), -1);
}

const Field& Dataset::field(const QString& name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw Error(QStringLiteral("%1: 字段 %2 不存在").arg(objectName(), name));
    return m_fields.at(index);
}

QStringList Dataset::fieldNames() const
{
    QStringList names;
    for (const Field& f : m_fields)
        names << f.name;
    return names;
}

// ---------------------------------------------------------------- opening

// Finds the base table and how rows are identified for writing, and adds the
// rowid to a plain single-table select.
QString Dataset::effectiveSql()
{
    static const QRegularExpression fromClause(
        QStringLiteral("\\bfrom\\s+([A-Za-z_]\\w*)(?:\\s+(?:as\\s+)?([A-Za-z_]\\w*))?"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression multiTable(QStringLiteral("\\bjoin\\b|\\bgroup\\s+by\\b|\\bunion\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    // A total over the table is no row of it (and a server takes no rowid beside it).
    static const QRegularExpression aggregate(QStringLiteral("\\b(count|sum|total|min|max|avg)\\s*\\("),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression leadingSelect(QStringLiteral("^\\s*select\\s+"),
                                                  QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression leadingDistinct(QStringLiteral("^\\s*select\\s+distinct\\b"),
                                                    QRegularExpression::CaseInsensitiveOption);
    static const QStringList keywords = {QStringLiteral("where"), QStringLiteral("order"),
                                         QStringLiteral("group"), QStringLiteral("limit"),
                                         QStringLiteral("inner"), QStringLiteral("left"),
                                         QStringLiteral("join"), QStringLiteral("union")};

    m_baseTable.clear();
    m_identity = Identity::ReadOnly;
    m_rowIdColumn = false;
    const QRegularExpressionMatch match = fromClause.match(m_sql);
    if (!match.hasMatch() || !Schema::table(match.captured(1)) || multiTable.match(m_sql).hasMatch()
        || aggregate.match(m_sql.left(match.capturedStart(0))).hasMatch())
        return m_sql;
    // "from a, b" lists more than one table.
    const int afterFrom = match.capturedEnd(0);
    if (m_sql.mid(afterFrom).trimmed().startsWith(QLatin1Char(',')))
        return m_sql;
    m_baseTable = match.captured(1).toLower();
    if (leadingDistinct.match(m_sql).hasMatch()) {
        m_identity = Identity::Values;
        return m_sql;
    }
    QString alias = match.captured(2);
    if (alias.isEmpty() || keywords.contains(alias.toLower()))
        alias = match.captured(1);
    QString sql = m_sql;
    const QRegularExpressionMatch select = leadingSelect.match(sql);
    if (!select.hasMatch())
        return m_sql;
    sql.replace(select.capturedStart(), select.capturedLength(),
                QStringLiteral("select %1.%2 as __rowid__, ").arg(alias, Schema::rowIdColumn(m_baseTable)));
    m_identity = Identity::RowId;
    m_rowIdColumn = true;
    return sql;
}

void Dataset::prepareFields(Statement& statement)
{
    const int first = m_rowIdColumn ? 1 : 0;
    QHash<QString, int> columnByName;
    for (int c = statement.columnCount() - 1; c >= first; --c)
        columnByName.insert(statement.columnName(c).toLower(), c);

    QList<Field> fields;
    if (m_declaredData) {
        fields = m_declared;
    } else {
        for (int c = first; c < statement.columnCount(); ++c) {
            const QString name = statement.columnName(c);
            // The row identity a table without a counter has is no field of it.
            if (name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0
                && !Schema::column(statement.originTable(c), name))
                continue;
            const Column* column = Schema::column(statement.originTable(c), statement.originColumn(c));
            if (!column)
                column = Schema::column(name);
            Field f = fieldFromSchema(name, column);
            if (!column) {
                const QString declared = statement.declaredType(c).toUpper();
                if (declared.contains(QLatin1String("INT")))
                    f.type = FieldType::Integer;
                else if (declared.contains(QLatin1String("REAL")) || declared.contains(QLatin1String("DOUB")))
                    f.type = FieldType::Double;
            }
            fields.append(f);
        }
        for (const Field& f : m_declared)
            fields.append(f);
    }
    setFields(fields);

    m_slotOfField.clear();
    m_columnOfSlot.clear();
    m_baseColumnOfSlot.clear();
    for (const Field& f : m_fields) {
        if (f.kind != FieldKind::Data) {
            m_slotOfField.append(-1);
            continue;
        }
        const int column = columnByName.value(f.name.toLower(), -1);
        if (column < 0)
            throw Error(QStringLiteral("%1: 字段 %2 不存在").arg(objectName(), f.name), 0, m_sql);
        m_slotOfField.append(m_columnOfSlot.size());
        m_columnOfSlot.append(column);
        const bool fromBase = !m_baseTable.isEmpty()
                              && statement.originTable(column).compare(m_baseTable, Qt::CaseInsensitive) == 0;
        m_baseColumnOfSlot.append(fromBase ? statement.originColumn(column) : QString());
    }
}

void Dataset::open()
{
    if (isOpen())
        return;
    // A look-up shows nothing while its source is closed, so its sources open first.
    for (const Field& f : m_declared)
        if (f.kind == FieldKind::Lookup && f.source && f.source != this && !f.source->isOpen())
            f.source->open();
    if (m_master)
        followMaster();

    const QString sql = effectiveSql();
    Statement statement(*m_connection, sql);
    for (auto it = m_parameters.constBegin(); it != m_parameters.constEnd(); ++it)
        statement.bind(it.key(), it.value());
    prepareFields(statement);

    readRows(statement);

    m_state = State::Browse;
    m_current = isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = isEmpty();
    if (!m_disableCount) {
        emit reset();
        emit stateChanged();
        emit currentRowChanged(m_current);
    }
    emit scrolled();
    runHooks(Hook::AfterScroll);
}

// Reads every row into typed columns; the dataset changes only once all are read.
void Dataset::readRows(Statement& statement)
{
    const int slotCount = m_columnOfSlot.size();
    std::vector<DatasetColumn> columns;
    columns.reserve(size_t(slotCount));
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_slotOfField.at(i) >= 0)
            columns.emplace_back(m_fields.at(i).type);
    std::vector<qint64> rowIds;
    while (statement.next()) {
        for (int s = 0; s < slotCount; ++s) {
            const int column = m_columnOfSlot.at(s);
            DatasetColumn& target = columns[size_t(s)];
            if (statement.isNull(column)) {
                target.appendNull();
                continue;
            }
            switch (target.type()) {
            case FieldType::String:
                target.appendText(statement.utf8Text(column));
                break;
            case FieldType::Double:
                target.appendDouble(statement.doubleValue(column));
                break;
            case FieldType::Integer:
                target.appendInteger(statement.intValue(column));
                break;
            case FieldType::DateTime:
                target.appendStoredDateTime(statement.utf8Text(column));
                break;
            }
        }
        if (m_rowIdColumn)
            rowIds.push_back(statement.intValue(0));
    }
    const qsizetype records = columns.empty() ? qsizetype(rowIds.size()) : columns.front().size();

    if (!m_disableCount)
        emit aboutToReset();
    m_columns = std::move(columns);
    m_rowIds = std::move(rowIds);
    m_order.resize(size_t(records));
    for (qsizetype r = 0; r < records; ++r)
        m_order[size_t(r)] = int(r);
    m_pending.clear();
    m_deleted.clear();
    invalidateIndexes();
}

void Dataset::close()
{
    if (!isOpen())
        return;
    if (!m_disableCount)
        emit aboutToReset();
    m_columns.clear();
    m_rowIds.clear();
    m_order.clear();
    m_pending.clear();
    m_deleted.clear();
    m_editBackup.clear();
    invalidateIndexes();
    m_current = -1;
    m_eof = m_bof = true;
    m_state = State::Inactive;
    setFields(m_declared);
    m_slotOfField.clear();
    if (!m_disableCount) {
        emit reset();
        emit stateChanged();
        emit currentRowChanged(-1);
    }
    emit scrolled();
}

void Dataset::requery()
{
    close();
    open();
}

void Dataset::ensureActive() const
{
    if (!isOpen())
        throw Error(QStringLiteral("数据集 %1 未打开").arg(objectName()));
}

// ---------------------------------------------------------------- controls, master, hooks

void Dataset::disableControls()
{
    ++m_disableCount;
}

void Dataset::enableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount == 0) {
        emit aboutToReset();
        emit reset();
        emit stateChanged();
        emit currentRowChanged(m_current);
    }
}

void Dataset::setMaster(Dataset* master, const QString& masterField, const QString& parameter)
{
    for (const auto& c : m_masterConnections)
        disconnect(c);
    m_masterConnections.clear();
    m_master = master;
    m_masterField = masterField;
    m_masterParameter = parameter;
    if (!master)
        return;
    m_masterConnections << connect(master, &Dataset::scrolled, this, [this] {
        followMaster();
        if (isOpen() && !isEditing())
            requery();
    });
}

void Dataset::followMaster()
{
    QVariant key;
    if (m_master && m_master->isOpen() && m_master->currentRow() >= 0)
        key = m_master->value(m_masterField);
    setParameter(m_masterParameter, key);
}

void Dataset::addHook(Hook hook, QObject* owner, HookFunction function)
{
    if (!owner)
        throw Error(QStringLiteral("%1: 钩子必须有所属窗口").arg(objectName()));
    m_hooks.append({hook, owner, std::move(function)});
    connect(owner, &QObject::destroyed, this, [this, owner] { removeHooks(owner); });
}

void Dataset::removeHooks(QObject* owner)
{
    m_hooks.removeIf([owner](const HookEntry& h) { return h.owner.isNull() || h.owner == owner; });
}

void Dataset::runHooks(Hook hook)
{
    const QList<HookEntry> hooks = m_hooks;
    for (const HookEntry& h : hooks)
        if (h.hook == hook && h.owner)
            h.function(*this);
}

} // namespace db
