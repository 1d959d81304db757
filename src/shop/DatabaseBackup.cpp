#include "shop/DatabaseBackup.h"

#include "core/AppPaths.h"
#include "core/ShopServer.h"
#include "db/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace DatabaseBackup {

MaintenanceResult run(const ShopServer::Place& database, const QString& directory, const db::BackupProgress& progress)
{
    if (directory.isEmpty())
        return runTo(database, QString(), progress);
    return runTo(database, QDir(directory).filePath(BackupFiles::fileName), progress);
}

MaintenanceResult runTo(const ShopServer::Place& database, const QString& target, const db::BackupProgress& progress)
{
    MaintenanceResult result;
    const QString dataFile = AppPaths::databaseFile();
    const QString directory = QFileInfo(target).absolutePath();
    const QFileInfo place(directory);
    if (target.isEmpty() || !place.isDir()) {
        result.reason = QStringLiteral("备份路径不存在: %1").arg(QDir::toNativeSeparators(target.isEmpty() ? target : directory));
        return result;
    }
    if (place.canonicalFilePath() == QFileInfo(dataFile).canonicalPath() || BackupFiles::sameFile(target, dataFile)
        || (!database.server && BackupFiles::sameFile(target, database.file))) {
        result.reason = QStringLiteral("备份路径是本系统自己的数据目录，备份会覆盖正在使用的数据库。请选择其他目录。");
        return result;
    }
    QString temporary;
    try {
        temporary = database.server ? BackupFiles::copyServerInto(database.address, directory, progress)
                                    : BackupFiles::copyInto(database.file, directory, progress);
        const QString problem = BackupFiles::problem(temporary, progress);
        if (!problem.isEmpty())
            throw db::Error(QStringLiteral("备份副本未通过检查: %1").arg(problem));
        BackupFiles::moveOver(temporary, target);
    } catch (const db::Error& e) {
        if (!temporary.isEmpty())
            QFile::remove(temporary);
        result.reason = e.message();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace DatabaseBackup
