#include "db/Connection.h"

#include "db/Engine.h"
#include "db/Error.h"
#include "db/ServerEngine.h"
#include "db/SqliteEngine.h"

namespace db {

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

void Connection::open(const QString& path, const QString& key, bool create)
{
    close();
    m_engine = openFileEngine(path, key, create);
    m_server = false;
    m_path = path;
}

void Connection::openServer(const ServerAddress& address)
{
    close();
    m_engine = openServerEngine(address);
    m_server = true;
    m_address = address;
    m_path = QStringLiteral("server:%1").arg(address.database);
}

void Connection::close()
{
    m_engine.reset();
    m_savepointDepth = 0;
}

Engine& Connection::engine() const
{
    if (!m_engine)
        throw Error(QStringLiteral("数据库未连接"));
    return *m_engine;
}

sqlite3* Connection::handle() const
{
    return fileHandle(engine());
}

void Connection::execute(const QString& sql)
{
    engine().execute(sql);
}

void Connection::executeEverySession(const QString& sql)
{
    engine().executeEverySession(sql);
}

qint64 Connection::lastInsertRowId() const
{
    return engine().lastInsertRowId();
}

int Connection::changes() const
{
    return engine().changes();
}

QString Connection::same(const QString& left, const QString& right) const
{
    return engine().same(left, right);
}

QStringList Connection::tableNames()
{
    return engine().tableNames();
}

QString Connection::integrityProblem()
{
    return engine().integrityProblem();
}

void Connection::prepareForWork()
{
    engine().prepareForWork();
}

// Level 1 is the transaction itself; deeper levels are savepoints in it. A
// savepoint cannot take the write lock its outer transaction did not take, so a
// write nested in a read is a fault of the caller, refused before anything runs.
int Connection::beginSavepoint(TransactionKind kind)
{
    Engine& e = engine();
    if (m_savepointDepth == 0) {
        e.begin(kind);
        m_outerKind = kind;
    } else if (kind == TransactionKind::Write && m_outerKind != TransactionKind::Write) {
        throw std::logic_error("a write transaction nested in a read transaction");
    } else {
        e.execute(QStringLiteral("savepoint sp%1").arg(m_savepointDepth + 1));
    }
    return ++m_savepointDepth;
}

void Connection::releaseSavepoint(int level)
{
    if (level != m_savepointDepth)
        throw std::logic_error("a transaction ended out of turn or twice");
    Engine& e = engine();
    m_savepointDepth = level - 1;
    if (level == 1)
        e.commit();
    else
        e.execute(QStringLiteral("release sp%1").arg(level));
}

void Connection::rollbackSavepoint(int level)
{
    if (!m_engine)
        return;
    m_savepointDepth = level - 1;
    if (level == 1)
        m_engine->rollback();
    else
        m_engine->executeQuietly(QStringLiteral("rollback to sp%1; release sp%1").arg(level));
}

} // namespace db
