#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <memory>

namespace db {

class Connection;
class Cursor;

// A prepared statement with named parameters (":name"). Prepared in the
// constructor, so it is always valid; movable, not copyable. The same SQL runs
// on the file and on a server.
class Statement {
public:
    Statement(Connection& connection, const QString& sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds by name, with or without the leading colon; throws on an unknown name.
    Statement& bind(const QString& name, const QVariant& value);
    bool hasParameter(const QString& name) const;

    // Steps once: true while a row is available.
    bool next();
    // Runs a statement that returns no rows; returns the number of changed rows.
    int execute();
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    QString originTable(int column) const;
    QString originColumn(int column) const;
    QString declaredType(int column) const;
    QVariant value(int column) const;
    bool isNull(int column) const;
    double doubleValue(int column) const;
    qint64 intValue(int column) const;
    QString textValue(int column) const;
    // The column's text as the engine holds it, valid until the next step.
    QByteArrayView utf8Text(int column) const;

    QString sql() const { return m_sql; }

private:
    std::unique_ptr<Cursor> m_cursor;
    QString m_sql;
};

// The stored text form of a date-time; every date column holds exactly this form.
QString toStoredDateTime(const QVariant& value);

} // namespace db
