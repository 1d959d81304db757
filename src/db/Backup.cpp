#include "db/Backup.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/SqliteEngine.h"

#include <sqlite3.h>

#include <algorithm>

namespace db {

namespace {

// Holds a read transaction on the source for the whole copy, so every step
// reads the same snapshot and a writer elsewhere cannot make the copy restart.
class Snapshot {
public:
    explicit Snapshot(Connection& connection)
        : m_handle(connection.handle()), m_own(sqlite3_get_autocommit(m_handle) != 0)
    {
        if (m_own) {
            connection.execute(QStringLiteral("begin"));
            connection.execute(QStringLiteral("select count(*) from sqlite_master"));
        }
    }
    ~Snapshot()
    {
        if (m_own)
            sqlite3_exec(m_handle, "rollback", nullptr, nullptr, nullptr);
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

private:
    sqlite3* m_handle;
    bool m_own;
};

} // namespace

void backup(Connection& source, const QString& targetPath, const QString& key, const BackupProgress& progress)
{
    Connection target;
    target.open(targetPath, key, true);
    // The copy takes over the source's first page, which may mark a write-ahead-log
    // file. Locked exclusively the target never needs a -shm file, and it is turned
    // back to a rollback journal at the end: one self-contained file on any disk.
    target.execute(QStringLiteral("pragma locking_mode=exclusive"));
    const Snapshot snapshot(source);
    sqlite3* to = target.handle();
    sqlite3_backup* job = sqlite3_backup_init(to, "main", source.handle(), "main");
    if (!job)
        throw Error(QString::fromUtf8(sqlite3_errmsg(to)), sqlite3_errcode(to));

    // A first page tells the size; then about a hundredth of it per step.
    int rc = SQLITE_OK;
    bool stopped = false;
    try {
        rc = sqlite3_backup_step(job, 1);
        while (rc == SQLITE_OK || rc == SQLITE_DONE) {
            const int total = sqlite3_backup_pagecount(job);
            const int copied = total - sqlite3_backup_remaining(job);
            if (progress && !progress(copied, total)) {
                stopped = rc != SQLITE_DONE;
                break;
            }
            if (rc == SQLITE_DONE)
                break;
            rc = sqlite3_backup_step(job, std::max(1, total / 100));
        }
    } catch (...) {
        sqlite3_backup_finish(job);
        throw;
    }
    const int finished = sqlite3_backup_finish(job);
    if (stopped)
        throw Error(QStringLiteral("复制已取消"));
    if (rc != SQLITE_DONE) {
        // A busy or locked step leaves no message on the target; the code says it.
        if (finished != SQLITE_OK)
            check(to, finished);
        throw Error(QString::fromUtf8(sqlite3_errstr(rc)), rc);
    }
    target.execute(QStringLiteral("pragma journal_mode=delete"));
    target.close();
}

} // namespace db
