#include "shop/DatabaseRestore.h"

#include "core/Clock.h"
#include "core/AppPaths.h"
#include "core/DatabaseFile.h"
#include "core/TFrmDataMod.h"
#include "db/Error.h"
#include "db/TableCopy.h"
#include "db/Transaction.h"
#include "shop/DatabaseUpgrade.h"
#include "shop/OperationLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

MaintenanceResult failure(const QString& reason)
{
    MaintenanceResult result;
    result.reason = reason;
    return result;
}

} // namespace

DatabaseRestore::DatabaseRestore(TFrmDataMod& dataModule)
    : m_dataModule(dataModule),
      m_open(&DatabaseFile::open)
{
}

MaintenanceResult DatabaseRestore::run(const QString& directory, const db::BackupProgress& progress)
{
    const QString source = QDir(directory).filePath(BackupFiles::fileName);
    if (!QFileInfo(source).isFile())
        return failure(QStringLiteral("所选目录中没有备份文件 %1").arg(BackupFiles::fileName));
    return runFile(source, progress);
}

MaintenanceResult DatabaseRestore::runFile(const QString& source, const db::BackupProgress& progress)
{
    // Shared data is copied into, row by row; a file of this PC is replaced.
    const bool shared = m_dataModule.AdoConn.isShared();
    const QString database = AppPaths::databaseFile();
    if (!QFileInfo(source).isFile())
        return failure(QStringLiteral("备份文件 %1 不存在").arg(QDir::toNativeSeparators(source)));
    if (!shared && BackupFiles::sameFile(source, database))
        return failure(QStringLiteral("所选文件就是正在使用的数据库"));
    const QString problem = BackupFiles::problem(source, progress);
    if (!problem.isEmpty())
        return failure(problem);
    if (shared)
        return replaceServerData(source, progress);

    QString restored;
    try {
        restored = BackupFiles::copyInto(source, QFileInfo(database).absolutePath(), progress);
    } catch (const db::Error& e) {
        return failure(e.message());
    }
    // The running database is only touched from here on.
    m_dataModule.closeAll();
    m_dataModule.AdoConn.close();
    // Closing the last connection folds the write-ahead log into the file. A log
    // still there means another connection (the daily backup) holds the file, and
    // the restored file would be paired with the old one's log.
    if (QFileInfo::exists(database + QStringLiteral("-wal"))) {
        QFile::remove(restored);
        QString reason = QStringLiteral("自动备份正在进行，数据库仍在使用中。请稍后再恢复。");
        try {
            m_open(m_dataModule.AdoConn, database);
        } catch (const db::Error& e) {
            reason += QStringLiteral("\n数据库无法重新打开: %1").arg(e.message());
        }
        return failure(reason);
    }
    return replace(restored, database, source);
}

MaintenanceResult DatabaseRestore::replace(const QString& restored, const QString& database, const QString& source)
{
    db::Connection& connection = m_dataModule.AdoConn;
    const QString kept = keptCopyPath(database);
    QString reason;
    if (!QFile::copy(database, kept)) {
        reason = QStringLiteral("不能保存原数据库的副本 %1").arg(QDir::toNativeSeparators(kept));
    } else {
        try {
            BackupFiles::moveOver(restored, database);
            m_open(connection, database);
            // A backup of an earlier version takes the current shape, then learns it was restored.
            DatabaseUpgrade::run(connection);
            db::Transaction transaction(connection, db::Transaction::Write);
            OperationLog::write(connection, {QStringLiteral("数据恢复"), OperationLog::restored,
                                             QFileInfo(source).fileName(),
                                             QStringLiteral("从 %1 恢复").arg(QDir::toNativeSeparators(source)),
                                             QStringLiteral("原数据库保存为 %1").arg(QDir::toNativeSeparators(kept))});
            transaction.commit();
            MaintenanceResult done;
            done.ok = true;
            done.keptCopy = kept;
            return done;
        } catch (const db::Error& e) {
            reason = QStringLiteral("恢复的数据库无法打开: %1").arg(e.message());
        }
    }
    // Back to the previous database, exactly as it was.
    QFile::remove(restored);
    try {
        if (QFileInfo::exists(kept))
            BackupFiles::moveOver(kept, database);
        m_open(connection, database);
        reason += QStringLiteral("\n原数据库已放回并重新打开。");
    } catch (const db::Error& e) {
        reason += QStringLiteral("\n原数据库也无法重新打开: %1").arg(e.message());
    }
    return failure(reason);
}

MaintenanceResult DatabaseRestore::replaceServerData(const QString& source, const db::BackupProgress& progress)
{
    db::Connection& server = m_dataModule.AdoConn;
    const QString directory = QFileInfo(AppPaths::databaseFile()).absolutePath();
    const QString kept = keptCopyPath(AppPaths::databaseFile());
    QString restored;
    try {
        // A PC that has only worked on the server may have no data directory yet.
        if (!QDir().mkpath(directory))
            throw db::Error(QStringLiteral("不能建立目录 %1").arg(QDir::toNativeSeparators(directory)));
        // What the server holds now is kept first, as a file restorable like any backup.
        BackupFiles::moveOver(BackupFiles::copyServerInto(server.serverAddress(), directory), kept);
        restored = BackupFiles::copyInto(source, directory, progress);
        db::Connection backup;
        DatabaseFile::open(backup, restored);
        DatabaseUpgrade::upgradeCopy(backup);
        m_dataModule.closeAll();
        // Other PCs see the old data or the restored data, never a mixture.
        db::Transaction transaction(server, db::Transaction::Write);
        db::copyTables(backup, server, progress, db::CopyInto::Replace);
        OperationLog::write(server, {QStringLiteral("数据恢复"), OperationLog::restored, QFileInfo(source).fileName(),
                                     QStringLiteral("从 %1 恢复").arg(QDir::toNativeSeparators(source)),
                                     QStringLiteral("服务器原有数据保存为 %1").arg(QDir::toNativeSeparators(kept))});
        transaction.commit();
    } catch (const db::Error& e) {
        if (!restored.isEmpty())
            QFile::remove(restored);
        return failure(QStringLiteral("数据没有恢复，服务器上的数据没有改动：%1").arg(e.message()));
    }
    QFile::remove(restored);
    MaintenanceResult done;
    done.ok = true;
    done.keptCopy = kept;
    return done;
}

QString DatabaseRestore::keptCopyPath(const QString& database) const
{
    const QDir directory = QFileInfo(database).absoluteDir();
    const QString stamp = Clock::now().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString path = directory.filePath(QStringLiteral("brovanta-before-restore-%1.mdb").arg(stamp));
    // Two restores in one second keep both copies.
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = directory.filePath(QStringLiteral("brovanta-before-restore-%1-%2.mdb").arg(stamp).arg(n));
    return path;
}
