#pragma once

#include <QString>
#include <stdexcept>

namespace db {

// The one error type of the database layer: the engine's code, its message and the SQL.
class Error : public std::runtime_error {
public:
    Error(const QString& message, int code = 0, const QString& sql = {})
        : std::runtime_error(message.toStdString()), m_message(message), m_code(code), m_sql(sql) {}

    QString message() const { return m_message; }
    int code() const { return m_code; }
    QString sql() const { return m_sql; }

private:
    QString m_message;
    int m_code;
    QString m_sql;
};

// What the user is told: for the engine's common failures a Chinese sentence,
// with the engine's own text as the detail; otherwise the message as it is.
QString userText(const Error& error);

} // namespace db
