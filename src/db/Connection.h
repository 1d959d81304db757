#pragma once

#include <QString>
#include <QStringList>

#include <memory>

struct sqlite3;

namespace db {

class Engine;

// How an outermost transaction begins. Write takes the single write lock at
// once, so what it reads cannot change before it writes. Snapshot reads every
// statement as of one moment and writes only the connection's working tables.
enum class TransactionKind { Deferred, Write, Snapshot };

// Where a shop server is and who logs in; the password is never written to disk here.
struct ServerAddress {
    QString host;            // a name, an address, or a socket directory
    int port = 5432;
    QString database;
    QString user;
    QString password;
    QString sslMode = QStringLiteral("prefer");   // prefer, require or verify-full
};

// One database: the encrypted file, or a PostgreSQL server of the shop. The
// rest of the program uses either through the same calls; every connection
// knows the SQL functions year() and month() over stored date-times.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing file (or creates one when `create` is set) with the key.
    // Fails with db::Error when the file is missing, not a database or the key is wrong.
    void open(const QString& path, const QString& key, bool create = false);
    // Connects to a server; fails within a few seconds when it cannot be reached.
    void openServer(const ServerAddress& address);
    void close();
    bool isOpen() const { return m_engine != nullptr; }
    bool isServer() const { return isOpen() && m_server; }
    // The shop's PCs share this database over the network: it is no file of
    // this PC to copy aside or replace, and what is done to it every PC sees.
    bool isShared() const { return isServer(); }
    // The file's path, or "server:database" for a server.
    QString path() const { return m_path; }
    // The server this connection reached (with its password, never written anywhere).
    ServerAddress serverAddress() const { return m_address; }

    // Runs one or more statements that take no parameters and return no rows.
    void execute(const QString& sql);
    // Runs `sql` now and again after a lost connection to a server is made anew
    // (what a session needs: its own working tables).
    void executeEverySession(const QString& sql);
    qint64 lastInsertRowId() const;
    int changes() const;

    // Transactions nest through savepoints; see Transaction. The kind is the
    // outermost one's: a Write inside a read one is refused (std::logic_error).
    int beginSavepoint(TransactionKind kind = TransactionKind::Deferred);
    void releaseSavepoint(int level);
    void rollbackSavepoint(int level);
    bool inTransaction() const { return m_savepointDepth > 0; }

    // "a is b" with NULL equal to NULL, as this engine writes it.
    QString same(const QString& left, const QString& right) const;

    // The database's own tables, lower case (those this login may not read too).
    QStringList tableNames();
    // Empty when the engine finds the database sound; else its verdict.
    QString integrityProblem();
    // Readies an open database for the program's work (a backup reading beside
    // a save must not hold it up).
    void prepareForWork();

    Engine& engine() const;
    // The file engine's handle, for what only the file has (online backup).
    sqlite3* handle() const;

private:
    std::unique_ptr<Engine> m_engine;
    bool m_server = false;
    ServerAddress m_address;
    QString m_path;
    int m_savepointDepth = 0;
    TransactionKind m_outerKind = TransactionKind::Deferred;
};

} // namespace db
