#include "db/Dataset.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Schema.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QVarLengthArray>

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

int digits(const QString& text, int from, int count)
{
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        const QChar c = text.at(i);
        if (!c.isDigit())
            return -1;
        value = value * 10 + c.digitValue();
    }
    return value;
}

// Reads the stored "yyyy-MM-dd hh:mm:ss" form without the cost of a format parser.
QVariant parseStoredDateTime(const QString& text)
{
    if (text.size() >= 10) {
        const int year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2);
        int hour = 0, minute = 0, second = 0;
        if (text.size() >= 19) {
            hour = digits(text, 11, 2);
            minute = digits(text, 14, 2);
            second = digits(text, 17, 2);
        }
        const QDate date(year, month, day);
        const QTime time(hour, minute, second);
        if (date.isValid() && time.isValid())
            return QDateTime(date, time);
    }
    return {};
}

// The text under which a value is indexed; a null text for an empty value.
QString indexKey(const QVariant& value, FieldType type)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (type) {
    case FieldType::String:
        return value.toString();
    case FieldType::Double:
    case FieldType::Integer:
        return formatNumber(value.toDouble(), {});
    case FieldType::DateTime:
        return toStoredDateTime(value);
    }
    return {};
}

} // namespace

size_t qHash(const IndexKey& key, size_t seed) noexcept
{
    QVarLengthArray<char16_t, 64> folded(key.text.size());
    for (qsizetype i = 0; i < key.text.size(); ++i)
        folded[i] = key.text.at(i).toCaseFolded().unicode();
    return qHash(QStringView(folded.constData(), folded.size()), seed);
}

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
    for (Field& f : m_fields)
        if (f.kind == FieldKind::Lookup)
            f.keyIndex = m_fieldByName.value(f.keyField.toLower(), -1);
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
    if (!match.hasMatch() || !Schema::table(match.captured(1)) || multiTable.match(m_sql).hasMatch())
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
                QStringLiteral("select %1.rowid as __rowid__, ").arg(alias));
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

    QList<Record> rows;
    const int slotCount = m_columnOfSlot.size();
    QList<FieldType> slotTypes;
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_slotOfField.at(i) >= 0)
            slotTypes.append(m_fields.at(i).type);
    while (statement.next()) {
        Record record;
        record.values.reserve(slotCount);
        for (int s = 0; s < slotCount; ++s) {
            const int column = m_columnOfSlot.at(s);
            if (statement.isNull(column)) {
                record.values.append(QVariant());
                continue;
            }
            switch (slotTypes.at(s)) {
            case FieldType::String:
                record.values.append(statement.textValue(column));
                break;
            case FieldType::Double:
                record.values.append(statement.doubleValue(column));
                break;
            case FieldType::Integer:
                record.values.append(statement.intValue(column));
                break;
            case FieldType::DateTime:
                record.values.append(parseStoredDateTime(statement.textValue(column)));
                break;
            }
        }
        if (m_rowIdColumn)
            record.rowId = statement.intValue(0);
        rows.append(std::move(record));
    }

    if (!m_disableCount)
        emit aboutToReset();
    m_rows = std::move(rows);
    m_deleted.clear();
    invalidateIndexes();
    m_state = State::Browse;
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    if (!m_disableCount) {
        emit reset();
        emit stateChanged();
        emit currentRowChanged(m_current);
    }
    emit scrolled();
    runHooks(Hook::AfterScroll);
}

void Dataset::close()
{
    if (!isOpen())
        return;
    if (!m_disableCount)
        emit aboutToReset();
    m_rows.clear();
    m_deleted.clear();
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
    setCurrent(m_rows.isEmpty() ? -1 : 0);
    m_bof = true;
    m_eof = m_rows.isEmpty();
}

void Dataset::next()
{
    ensureActive();
    checkBrowseMode();
    if (m_current + 1 < m_rows.size()) {
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
    setCurrent(m_rows.size() - 1);
    m_eof = true;
    m_bof = m_rows.isEmpty();
}

void Dataset::moveTo(int row)
{
    ensureActive();
    if (row < 0 || row >= m_rows.size())
        throw Error(QStringLiteral("%1: 行号 %2 超出范围").arg(objectName()).arg(row));
    if (row != m_current)
        checkBrowseMode();
    setCurrent(row);
    m_eof = m_bof = false;
}

void Dataset::invalidateIndexes()
{
    m_indexes.clear();
}

const QHash<IndexKey, int>& Dataset::indexOf(int fieldIndex) const
{
    auto it = m_indexes.find(fieldIndex);
    if (it == m_indexes.end()) {
        QHash<IndexKey, int> index;
        index.reserve(m_rows.size());
        const FieldType type = m_fields.at(fieldIndex).type;
        for (int row = 0; row < m_rows.size(); ++row) {
            const QString key = indexKey(value(row, fieldIndex), type);
            if (!key.isNull()) {
                IndexKey indexed{key};
                if (!index.contains(indexed))
                    index.insert(indexed, row);
            }
        }
        it = m_indexes.insert(fieldIndex, index);
    }
    return *it;
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
    return indexOf(index).value(IndexKey{key}, -1);
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

QVariant Dataset::rowValue(const Record& record, int fieldIndex) const
{
    const int slot = m_slotOfField.value(fieldIndex, -1);
    return slot >= 0 ? record.values.at(slot) : QVariant();
}

QVariant Dataset::lookupValue(int row, const Field& f) const
{
    if (!f.source || !f.source->isOpen() || f.keyIndex < 0)
        return {};
    const QVariant key = value(row, f.keyIndex);
    if (key.isNull())
        return {};
    // The source's field positions change only when it is reopened.
    if (f.sourceFieldsVersion != f.source->m_fieldsVersion) {
        f.sourceKeyIndex = f.source->fieldIndex(f.sourceKey);
        f.resultIndex = f.source->fieldIndex(f.resultColumn);
        f.sourceFieldsVersion = f.source->m_fieldsVersion;
    }
    if (f.sourceKeyIndex < 0 || f.resultIndex < 0)
        return {};
    const Field& sourceKey = f.source->m_fields.at(f.sourceKeyIndex);
    const QString wanted = indexKey(sourceKey.type == m_fields.at(f.keyIndex).type ? key
                                        : convertToFieldType(key, sourceKey.type), sourceKey.type);
    const int sourceRow = f.source->indexOf(f.sourceKeyIndex).value(IndexKey{wanted}, -1);
    return sourceRow < 0 ? QVariant() : f.source->value(sourceRow, f.resultIndex);
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
    if (row < 0 || row >= m_rows.size() || fieldIndex < 0 || fieldIndex >= m_fields.size())
        return {};
    const Field& f = m_fields.at(fieldIndex);
    switch (f.kind) {
    case FieldKind::Data:
        return rowValue(m_rows.at(row), fieldIndex);
    case FieldKind::Lookup:
        return lookupValue(row, f);
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
    m_rows[m_current].values[slot] = converted;
    invalidateIndexes();
    if (!m_disableCount)
        emit rowChanged(m_current);
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
    Record record;
    record.values.resize(m_columnOfSlot.size());
    record.status = Status::Inserted;
    const int row = m_rows.size();
    if (!m_disableCount)
        emit rowAboutToBeInserted(row);
    m_rows.append(record);
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
    m_editBackup = m_rows.at(m_current);
    setState(State::Edit);
}

void Dataset::post()
{
    if (!isEditing())
        return;
    runHooks(Hook::BeforePost);
    Record& record = m_rows[m_current];
    if (m_locking == Locking::Optimistic) {
        if (m_state == State::Insert) {
            Record written = record;
            writeInsert(written);
            takeNewRowId(record, written.rowId);
        } else {
            Record identity = record;
            identity.original = m_editBackup.values;
            writeUpdate(identity);
        }
        record.status = Status::Unchanged;
        record.original.clear();
    } else if (m_state == State::Edit && record.status == Status::Unchanged) {
        record.status = Status::Modified;
        record.original = m_editBackup.values;
    }
    m_editBackup = Record();
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
    if (m_state == State::Insert) {
        if (!m_disableCount)
            emit rowAboutToBeRemoved(row);
        m_rows.removeAt(row);
        invalidateIndexes();
        if (!m_disableCount)
            emit rowRemoved(row);
        m_state = State::Browse;
        m_current = -2;   // forces the move below to report the new current row
        setCurrent(qMin(row, int(m_rows.size()) - 1));
    } else {
        m_rows[row] = m_editBackup;
        invalidateIndexes();
        m_state = State::Browse;
        if (!m_disableCount)
            emit rowChanged(row);
    }
    m_editBackup = Record();
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
    Record record = m_rows.at(row);
    if (m_locking == Locking::Optimistic)
        writeDelete(record);
    else if (record.status != Status::Inserted)
        m_deleted.append({record, row});
    if (!m_disableCount)
        emit rowAboutToBeRemoved(row);
    m_rows.removeAt(row);
    invalidateIndexes();
    if (!m_disableCount)
        emit rowRemoved(row);
    m_current = -2;
    setCurrent(qMin(row, int(m_rows.size()) - 1));
    m_eof = m_rows.isEmpty();
    runHooks(Hook::AfterDelete);
}

bool Dataset::hasPendingChanges() const
{
    if (!m_deleted.isEmpty() || isEditing())
        return true;
    for (const Record& r : m_rows)
        if (r.status != Status::Unchanged)
            return true;
    return false;
}

void Dataset::updateBatch()
{
    ensureActive();
    checkBrowseMode();
    QList<QPair<int, qint64>> newRowIds;
    {
        Transaction transaction(*m_connection);
        for (const DeletedRecord& d : m_deleted)
            writeDelete(d.record);
        for (int row = 0; row < m_rows.size(); ++row) {
            Record& record = m_rows[row];
            if (record.status == Status::Modified) {
                writeUpdate(record);
            } else if (record.status == Status::Inserted) {
                Record copy = record;
                writeInsert(copy);
                newRowIds.append({row, copy.rowId});
            }
        }
        transaction.commit();
    }
    // Only now, with everything written, does memory take on the new state.
    for (const auto& [row, rowId] : newRowIds)
        takeNewRowId(m_rows[row], rowId);
    for (Record& r : m_rows) {
        r.status = Status::Unchanged;
        r.original.clear();
    }
    m_deleted.clear();
    invalidateIndexes();
    if (!m_disableCount)
        for (const auto& [row, rowId] : newRowIds)
            emit rowChanged(row);
}

void Dataset::cancelBatch()
{
    ensureActive();
    if (isEditing())
        cancel();
    if (!m_disableCount)
        emit aboutToReset();
    for (int row = m_rows.size() - 1; row >= 0; --row) {
        Record& r = m_rows[row];
        if (r.status == Status::Inserted) {
            m_rows.removeAt(row);
        } else if (r.status == Status::Modified) {
            r.values = r.original;
            r.original.clear();
            r.status = Status::Unchanged;
        }
    }
    for (int i = m_deleted.size() - 1; i >= 0; --i) {
        const DeletedRecord& d = m_deleted.at(i);
        m_rows.insert(qMin(d.position, int(m_rows.size())), d.record);
    }
    m_deleted.clear();
    invalidateIndexes();
    m_current = m_rows.isEmpty() ? -1 : qBound(0, m_current, int(m_rows.size()) - 1);
    m_eof = m_rows.isEmpty();
    if (!m_disableCount) {
        emit reset();
        emit currentRowChanged(m_current);
    }
    emit scrolled();
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
