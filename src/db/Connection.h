#pragma once

#include <QString>

struct sqlite3;

namespace db {

// One encrypted database file. Owns the engine handle; every connection
// knows the SQL functions year() and month() over stored date-times.
class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing file (or creates one when `create` is set) with the key.
    // Fails with db::Error when the file is missing, not a database or the key is wrong.
    void open(const QString& path, const QString& key, bool create = false);
    void close();
    bool isOpen() const { return m_handle != nullptr; }
    QString path() const { return m_path; }

    // Runs one or more statements that take no parameters and return no rows.
    void execute(const QString& sql);
    qint64 lastInsertRowId() const;
    int changes() const;

    // Transactions nest through savepoints; see Transaction. An outermost
    // `write` one takes the write lock at once (begin immediate), so what it
    // reads cannot be changed by another connection before it writes.
    int beginSavepoint(bool write = false);
    void releaseSavepoint(int level);
    void rollbackSavepoint(int level);
    bool inTransaction() const { return m_savepointDepth > 0; }

    sqlite3* handle() const;

private:
    sqlite3* m_handle = nullptr;
    QString m_path;
    int m_savepointDepth = 0;
    bool m_writeBegun = false;
};

// Throws db::Error for an engine result code that is not a success.
void check(sqlite3* handle, int resultCode, const QString& sql = {});

} // namespace db
