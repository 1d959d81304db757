#include "db/Statement.h"

#include "db/Connection.h"
#include "db/Engine.h"
#include "db/Error.h"

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
    : m_cursor(connection.engine().prepare(sql)), m_sql(sql)
{
}

Statement::~Statement() = default;
Statement::Statement(Statement&& other) noexcept = default;
Statement& Statement::operator=(Statement&& other) noexcept = default;

static QByteArray parameterKey(const QString& name)
{
    return (name.startsWith(QLatin1Char(':')) ? name : QLatin1Char(':') + name).toUtf8();
}

bool Statement::hasParameter(const QString& name) const
{
    return m_cursor->parameterIndex(parameterKey(name)) > 0;
}

Statement& Statement::bind(const QString& name, const QVariant& value)
{
    const int index = m_cursor->parameterIndex(parameterKey(name));
    if (index <= 0)
        throw Error(QStringLiteral("未知参数: %1").arg(name), 0, m_sql);
    m_cursor->bind(index, value);
    return *this;
}

bool Statement::next() { return m_cursor->next(); }
int Statement::execute() { return m_cursor->execute(); }
void Statement::reset() { m_cursor->reset(); }
int Statement::columnCount() const { return m_cursor->columnCount(); }
QString Statement::columnName(int column) const { return m_cursor->columnName(column); }
QString Statement::originTable(int column) const { return m_cursor->originTable(column); }
QString Statement::originColumn(int column) const { return m_cursor->originColumn(column); }
QString Statement::declaredType(int column) const { return m_cursor->declaredType(column); }
QVariant Statement::value(int column) const { return m_cursor->value(column); }
bool Statement::isNull(int column) const { return m_cursor->isNull(column); }
double Statement::doubleValue(int column) const { return m_cursor->doubleValue(column); }
qint64 Statement::intValue(int column) const { return m_cursor->intValue(column); }
QByteArrayView Statement::utf8Text(int column) const { return m_cursor->utf8Text(column); }

QString Statement::textValue(int column) const
{
    const QByteArrayView text = m_cursor->utf8Text(column);
    return text.isNull() ? QString() : QString::fromUtf8(text.data(), text.size());
}

} // namespace db
