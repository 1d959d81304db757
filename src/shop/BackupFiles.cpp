#include "shop/BackupFiles.h"

#include "shop/BackupRotation.h"

#include "core/DatabaseFile.h"
#include "core/ShopServer.h"
#include "db/Schema.h"
#include "db/TableCopy.h"
#include "db/Connection.h"
#include "db/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace BackupFiles {

const QString fileName = QStringLiteral("brovanta.mdb");

namespace {

// The reason in Chinese; the engine's own (English) words follow on a line of their own.
QString withDetail(const QString& reason, const QString& engineText)
{
    const QString detail = engineText.simplified();
    return detail.isEmpty() ? reason : QStringLiteral("%1\n详细信息：%2").arg(reason, detail);
}

} // namespace

QString problem(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return QStringLiteral("文件不存在: %1").arg(QDir::toNativeSeparators(path));
    db::Connection connection;
    try {
        connection.open(path, DatabaseFile::password);
    } catch (const db::Error& e) {
        return withDetail(QStringLiteral("文件不是本系统的数据库，或不能用本系统的密码打开。"), e.message());
    }
    try {
        const QString verdict = connection.integrityProblem();
        if (!verdict.isEmpty())
            return withDetail(QStringLiteral("数据库文件已损坏，未通过完整性检查。"), verdict);
    } catch (const db::Error& e) {
        return withDetail(QStringLiteral("数据库文件已损坏。"), e.message());
    }
    connection.close();
    if (!DatabaseFile::isSystemDatabase(path))
        return QStringLiteral("文件中没有本系统的数据表");
    return {};
}

QString problem(const QString& path, const db::BackupProgress& progress)
{
    if (progress)
        progress(0, 0);
    return problem(path);
}

namespace {

// A new file in `directory` that `write` fills; removed when writing fails.
QString writeTemporary(const QString& directory, const std::function<void(const QString&)>& write)
{
    QTemporaryFile reserved(QDir(directory).filePath(QStringLiteral("brovanta-XXXXXX.part")));
    reserved.setAutoRemove(false);
    if (!reserved.open())
        throw db::Error(withDetail(QStringLiteral("不能在目录 %1 中写入文件（目录不存在、没有写入权限或磁盘已满）。")
                                       .arg(QDir::toNativeSeparators(directory)),
                                   reserved.errorString()));
    const QString temporary = reserved.fileName();
    reserved.close();
    try {
        write(temporary);
    } catch (...) {
        QFile::remove(temporary);
        QFile::remove(temporary + QStringLiteral("-journal"));
        throw;
    }
    return temporary;
}

} // namespace

QString copyInto(const QString& source, const QString& directory, const db::BackupProgress& progress)
{
    return writeTemporary(directory, [&](const QString& temporary) {
        db::Connection from;
        from.open(source, DatabaseFile::password);
        db::backup(from, temporary, DatabaseFile::password, progress);
    });
}

QString copyServerInto(const db::ServerAddress& server, const QString& directory, const db::BackupProgress& progress)
{
    return writeTemporary(directory, [&](const QString& temporary) {
        db::Connection from;
        ShopServer::open(from, server);
        db::Connection to;
        to.open(temporary, DatabaseFile::password, true);
        db::Schema::create(to);
        db::copyTables(from, to, progress);
        db::Schema::setFileVersion(to, db::Schema::fileVersion(from));
    });
}

void moveOver(const QString& from, const QString& to)
{
    // The new file takes the place of the old one with its permissions too.
    if (QFileInfo::exists(to))
        QFile::setPermissions(from, QFileInfo(to).permissions());
    // rename() replaces the target in one step: there is never a moment without it.
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(), error);
    if (error)
        throw db::Error(withDetail(QStringLiteral("不能把 %1 改名为 %2（没有写入权限，或文件正被使用）。")
                                       .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to)),
                                   QString::fromLocal8Bit(error.message())));
}

bool sameFile(const QString& a, const QString& b)
{
    const QString left = QFileInfo(a).canonicalFilePath();
    return !left.isEmpty() && left == QFileInfo(b).canonicalFilePath();
}

QList<Found> backupsIn(const QString& directory)
{
    QList<Found> found;
    if (directory.isEmpty())
        return found;
    const QDir dir(directory);
    for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.mdb")}, QDir::Files, QDir::Name)) {
        QDateTime madeAt = BackupRotation::timeOf(file.fileName());
        if (!madeAt.isValid() && file.fileName() == fileName)
            madeAt = file.lastModified();
        if (!madeAt.isValid())
            continue;
        found.append({file.absoluteFilePath(), madeAt, file.size(), problem(file.absoluteFilePath())});
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.madeAt > b.madeAt; });
    return found;
}

} // namespace BackupFiles
