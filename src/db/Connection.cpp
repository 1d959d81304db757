#include "db/Connection.h"

#include "db/Error.h"

#include <sqlite3.h>

#include <QFileInfo>

namespace db {

namespace {

// Dates are stored as "yyyy-MM-dd hh:mm:ss"; year() and month() read the text directly.
void datePart(sqlite3_context* context, int argc, sqlite3_value** argv, int from, int length)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int size = sqlite3_value_bytes(argv[0]);
    if (!text || size < from + length) {
        sqlite3_result_null(context);
        return;
    }
    int value = 0;
    for (int i = from; i < from + length; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            sqlite3_result_null(context);
            return;
        }
        value = value * 10 + (text[i] - '0');
    }
    sqlite3_result_int(context, value);
}

void yearFunction(sqlite3_context* c, int argc, sqlite3_value** argv) { datePart(c, argc, argv, 0, 4); }
void monthFunction(sqlite3_context* c, int argc, sqlite3_value** argv) { datePart(c, argc, argv, 5, 2); }

// Another copy of the program may save bill after bill; a save waits up to
// writeWaitMs for its turn. The pauses grow but stay short, so a waiting save
// looks again soon after the other one commits instead of sleeping through it.
constexpr int writeWaitMs = 10000;

int pauseMs(int attempt) { return qMin(1 << qMin(attempt, 5), 25); }   // 1, 2, 4 … 25 ms

int waitForTurn(void*, int attempt)
{
    // The pauses so far: 1 + 2 + 4 + 8 + 16, then 25 each.
    const int waited = attempt <= 5 ? (1 << attempt) - 1 : 31 + 25 * (attempt - 5);
    if (waited >= writeWaitMs)
        return 0;
    sqlite3_sleep(pauseMs(attempt));
    return 1;
}

// The extended code tells "the file was replaced" apart from "the file is read-only".
int errorCode(sqlite3* handle, int resultCode)
{
    return handle ? sqlite3_extended_errcode(handle) : resultCode;
}

} // namespace

void check(sqlite3* handle, int resultCode, const QString& sql)
{
    if (resultCode == SQLITE_OK || resultCode == SQLITE_ROW || resultCode == SQLITE_DONE)
        return;
    const QString message = handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                                   : QString::fromUtf8(sqlite3_errstr(resultCode));
    throw Error(message, errorCode(handle, resultCode), sql);
}

Connection::~Connection()
{
    close();
}

void Connection::open(const QString& path, const QString& key, bool create)
{
    close();
    if (!create && !QFileInfo::exists(path))
        throw Error(QStringLiteral("数据库文件不存在: %1").arg(path), SQLITE_CANTOPEN);

    sqlite3* handle = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                                       : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(handle);
        throw Error(message, rc);
    }
    try {
        const QByteArray keyBytes = key.toUtf8();
        check(handle, sqlite3_key(handle, keyBytes.constData(), keyBytes.size()));
        sqlite3_busy_handler(handle, waitForTurn, nullptr);
        // Reading the catalogue is the first read that needs the key: a wrong key or a
        // file that is no database fails here.
        check(handle, sqlite3_exec(handle, "select count(*) from sqlite_master", nullptr, nullptr, nullptr),
              QStringLiteral("select count(*) from sqlite_master"));
        check(handle, sqlite3_create_function(handle, "year", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                              nullptr, yearFunction, nullptr, nullptr));
        check(handle, sqlite3_create_function(handle, "month", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                              nullptr, monthFunction, nullptr, nullptr));
    } catch (...) {
        sqlite3_close(handle);
        throw;
    }
    m_handle = handle;
    m_path = path;
    m_savepointDepth = 0;
    m_writeBegun = false;
}

void Connection::close()
{
    if (m_handle) {
        sqlite3_close_v2(m_handle);
        m_handle = nullptr;
    }
    m_savepointDepth = 0;
    m_writeBegun = false;
}

sqlite3* Connection::handle() const
{
    if (!m_handle)
        throw Error(QStringLiteral("数据库未连接"));
    return m_handle;
}

void Connection::execute(const QString& sql)
{
    char* errorText = nullptr;
    const int rc = sqlite3_exec(handle(), sql.toUtf8().constData(), nullptr, nullptr, &errorText);
    if (rc != SQLITE_OK) {
        const QString message = errorText ? QString::fromUtf8(errorText) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(errorText);
        throw Error(message, errorCode(m_handle, rc), sql);
    }
}

qint64 Connection::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(handle());
}

int Connection::changes() const
{
    return sqlite3_changes(handle());
}

int Connection::beginSavepoint(bool write)
{
    const bool beginWrite = write && m_savepointDepth == 0;
    if (beginWrite) {
        execute(QStringLiteral("begin immediate"));
        m_writeBegun = true;
    }
    const int level = ++m_savepointDepth;
    try {
        execute(QStringLiteral("savepoint sp%1").arg(level));
    } catch (...) {
        --m_savepointDepth;
        if (beginWrite) {
            sqlite3_exec(m_handle, "rollback", nullptr, nullptr, nullptr);
            m_writeBegun = false;
        }
        throw;
    }
    return level;
}

void Connection::releaseSavepoint(int level)
{
    execute(QStringLiteral("release sp%1").arg(level));
    m_savepointDepth = level - 1;
    if (level == 1 && m_writeBegun) {
        m_writeBegun = false;
        try {
            execute(QStringLiteral("commit"));
        } catch (...) {
            sqlite3_exec(m_handle, "rollback", nullptr, nullptr, nullptr);
            throw;
        }
    }
}

void Connection::rollbackSavepoint(int level)
{
    if (!m_handle)
        return;
    const QByteArray sql = QStringLiteral("rollback to sp%1; release sp%1").arg(level).toUtf8();
    sqlite3_exec(m_handle, sql.constData(), nullptr, nullptr, nullptr);
    m_savepointDepth = level - 1;
    if (level == 1 && m_writeBegun) {
        sqlite3_exec(m_handle, "rollback", nullptr, nullptr, nullptr);
        m_writeBegun = false;
    }
}

} // namespace db
