#pragma once

#include "db/Connection.h"
#include "db/Schema.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace db {

// What one engine (the encrypted file, or a PostgreSQL server) does behind
// Connection and Statement. Only the db layer sees it.
class Cursor {
public:
    virtual ~Cursor() = default;
    // 1-based index of a named parameter (":name"); 0 when the statement has none.
    virtual int parameterIndex(const QByteArray& colonName) const = 0;
    // Also puts a statement that has run back to before its first row.
    virtual void bind(int index, const QVariant& value) = 0;
    virtual bool next() = 0;
    // Runs to the end; the number of rows the statement changed.
    virtual int execute() = 0;
    // Back to before the first row; the bound values stay.
    virtual void reset() = 0;

    virtual int columnCount() = 0;
    virtual QString columnName(int column) = 0;
    virtual QString originTable(int column) = 0;
    virtual QString originColumn(int column) = 0;
    virtual QString declaredType(int column) = 0;
    virtual bool isNull(int column) const = 0;
    virtual double doubleValue(int column) const = 0;
    virtual qint64 intValue(int column) const = 0;
    virtual QByteArrayView utf8Text(int column) const = 0;
    virtual QVariant value(int column) const = 0;
};

class Engine {
public:
    virtual ~Engine() = default;
    virtual std::unique_ptr<Cursor> prepare(const QString& sql) = 0;
    virtual void execute(const QString& sql) = 0;
    virtual qint64 lastInsertRowId() = 0;
    virtual int changes() = 0;
    // The outermost transaction (see TransactionKind).
    virtual void begin(TransactionKind kind) = 0;
    virtual void commit() = 0;
    // Never throws: it runs on the way out of a failure.
    virtual void rollback() noexcept = 0;
    // Runs `sql` (a savepoint's rollback) and ignores its failure.
    virtual void executeQuietly(const QString& sql) noexcept = 0;
    // Runs `sql` now, and again whenever the engine has to connect anew.
    virtual void executeEverySession(const QString& sql) { execute(sql); }

    // "a is b" with NULL equal to NULL.
    virtual QString same(const QString& left, const QString& right) const = 0;
    // The shape version the database is marked with; 0 when it carries none.
    virtual int shapeVersion() = 0;
    virtual void setShapeVersion(int version) = 0;
    // The database's own tables, those this login may not read too; lower case.
    virtual QStringList tableNames() = 0;
    // A table's columns in table order, lower case; none when there is no such table.
    virtual QStringList columnsOf(const QString& table) = 0;
    virtual bool hasIndex(const QString& name) = 0;
    // Empty when the engine finds the database sound; else its verdict.
    virtual QString integrityProblem() = 0;
    // What the database needs before the program works on it.
    virtual void prepareForWork() = 0;
    // After rows came in with their counter values: new rows number on after the highest.
    virtual void counterFollowsRows(const QString& table, const QString& counter) = 0;

    // Before the first table: what the engine lacks of what the statements use.
    virtual void prepareShape() = 0;
    // Makes the table; one that is only appended to refuses every other change.
    virtual void createTable(const Table& table) = 0;
    // The connection's own working copy of a table, hiding the shared one.
    virtual void createWorkingTable(const Table& table) = 0;
    virtual void addColumn(const QString& table, const Column& column) = 0;
};

// A column as the engine declares it in a table.
QString columnDefinition(const Column& column, bool server);

} // namespace db
