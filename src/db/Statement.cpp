#include "db/Statement.h"

#include "db/Connection.h"
#include "db/Error.h"

#include <sqlite3.h>

#include <QDate>
#include <QDateTime>

namespace db {

QString toStoredDateTime(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
    return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

Statement::Statement(Connection& connection, const QString& sql)
    : m_connection(&connection), m_sql(sql)
{
    const QByteArray text = sql.toUtf8();
    sqlite3* handle = connection.handle();
    const char* tail = nullptr;
    check(handle, sqlite3_prepare_v2(handle, text.constData(), text.size(), &m_statement, &tail), sql);
    if (!m_statement)
        throw Error(QStringLiteral("空语句"), SQLITE_MISUSE, sql);
}

Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

Statement::Statement(Statement&& other) noexcept
    : m_connection(other.m_connection), m_statement(other.m_statement), m_sql(std::move(other.m_sql))
{
    other.m_statement = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_connection = other.m_connection;
        m_statement = other.m_statement;
        m_sql = std::move(other.m_sql);
        other.m_statement = nullptr;
    }
    return *this;
}

static QByteArray parameterKey(const QString& name)
{
    return (name.startsWith(QLatin1Char(':')) ? name : QLatin1Char(':') + name).toUtf8();
}

bool Statement::hasParameter(const QString& name) const
{
    return sqlite3_bind_parameter_index(m_statement, parameterKey(name).constData()) > 0;
}

Statement& Statement::bind(const QString& name, const QVariant& value)
{
    const int index = sqlite3_bind_parameter_index(m_statement, parameterKey(name).constData());
    if (index <= 0)
        throw Error(QStringLiteral("未知参数: %1").arg(name), SQLITE_RANGE, m_sql);
    sqlite3* handle = m_connection->handle();
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(m_statement, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_statement, index, value.toDouble());
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(m_statement, index, value.toLongLong());
            break;
        case QMetaType::QDate:
        case QMetaType::QDateTime: {
            const QByteArray text = toStoredDateTime(value).toUtf8();
            rc = sqlite3_bind_text(m_statement, index, text.constData(), text.size(), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(m_statement, index, text.constData(), text.size(), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    check(handle, rc, m_sql);
    return *this;
}

bool Statement::next()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(m_statement);
    check(m_connection->handle(), rc, m_sql);
    return false;
}

int Statement::execute()
{
    while (next()) {
    }
    return sqlite3_changes(m_connection->handle());
}

void Statement::reset()
{
    sqlite3_reset(m_statement);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_statement, column));
}

QString Statement::originTable(int column) const
{
    return QString::fromUtf8(sqlite3_column_table_name(m_statement, column));
}

QString Statement::originColumn(int column) const
{
    return QString::fromUtf8(sqlite3_column_origin_name(m_statement, column));
}

QString Statement::declaredType(int column) const
{
    return QString::fromUtf8(sqlite3_column_decltype(m_statement, column));
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

double Statement::doubleValue(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

qint64 Statement::intValue(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

QString Statement::textValue(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column)) : QString();
}

QByteArrayView Statement::utf8Text(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return text ? QByteArrayView(text, sqlite3_column_bytes(m_statement, column)) : QByteArrayView();
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(intValue(column));
    case SQLITE_FLOAT:
        return QVariant(doubleValue(column));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(textValue(column));
    }
}

} // namespace db
