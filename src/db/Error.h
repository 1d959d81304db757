#pragma once

#include <QString>
#include <stdexcept>

namespace db {

// The one error type of the database layer: what kind of failure, the engine's
// code and message, and the SQL.
class Error : public std::runtime_error {
public:
    // What a caller may do about it: retry a unique key with the next value,
    // ask the user to try again after a lock or a lost connection. A lost
    // connection that could not be made anew is Unreachable. A server that
    // would not let a connection in says why: it wants a password, or refused
    // the one given, has no such database, or refuses the user (no such user,
    // or not from this PC); one that never let it that far did not answer in
    // time, has a name that names no computer, or has nothing taking
    // connections at its address.
    enum Kind {
        Other, UniqueViolation, LockTimeout, ConnectionLost, Unreachable,
        PasswordNeeded, PasswordWrong, NoSuchDatabase, UserRefused, NoAnswer, UnknownHost, NotListening,
    };

    Error(const QString& message, int code = 0, const QString& sql = {}, Kind kind = Other)
        : std::runtime_error(message.toStdString()), m_message(message), m_code(code), m_sql(sql), m_kind(kind) {}

    QString message() const { return m_message; }
    // The file engine's extended result code; 0 from a server.
    int code() const { return m_code; }
    QString sql() const { return m_sql; }
    Kind kind() const { return m_kind; }
    // Asking the user for the server's password may get the connection in.
    bool wantsPassword() const { return m_kind == PasswordNeeded || m_kind == PasswordWrong; }

private:
    QString m_message;
    int m_code;
    QString m_sql;
    Kind m_kind;
};

// What the user is told: for the engine's common failures a Chinese sentence,
// with the engine's own text as the detail; otherwise the message as it is.
QString userText(const Error& error);

} // namespace db
