#include "shop/AutoBackup.h"

#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/IniFile.h"
#include "shop/BackupRotation.h"
#include "shop/DatabaseBackup.h"
#include "db/Connection.h"
#include "db/Statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace AutoBackup {

namespace {

const QString section = QStringLiteral("autobackup");

int number(const IniFile& ini, const QString& key, int fallback, int lowest, int highest)
{
    bool ok = false;
    const int value = ini.read(section, key).trimmed().toInt(&ok);
    return ok && value >= lowest && value <= highest ? value : fallback;
}

QStringList backupNames(const QString& directory)
{
    QStringList names;
    for (const QString& name : QDir(directory).entryList({QStringLiteral("brovanta-*.mdb")}, QDir::Files))
        if (BackupRotation::timeOf(name).isValid())
            names << name;
    return names;
}

} // namespace

Settings settings()
{
    const IniFile ini(AppPaths::settingsFile());
    Settings s;
    s.folder = ini.read(section, QStringLiteral("folder")).trimmed();
    s.keep = number(ini, QStringLiteral("keep"), BackupRotation::defaultKeep, 1, 1000);
    s.hour = number(ini, QStringLiteral("hour"), 12, 0, 23);
    s.server = ini.read(section, QStringLiteral("server")).trimmed() == QLatin1String("1");
    return s;
}

bool save(const Settings& s)
{
    IniFile ini(AppPaths::settingsFile());
    return ini.write(section, QStringLiteral("folder"), s.folder.trimmed())
           && ini.write(section, QStringLiteral("keep"), QString::number(s.keep))
           && ini.write(section, QStringLiteral("hour"), QString::number(s.hour))
           && ini.write(section, QStringLiteral("server"), s.server ? QStringLiteral("1") : QStringLiteral("0"));
}

QString folderProblem(const QString& folder)
{
    const QString shown = QDir::toNativeSeparators(folder);
    const QFileInfo place(folder);
    if (!place.isDir())
        return QStringLiteral("备份目录 %1 不存在，请选择已有的目录（U盘是否已插好？）。").arg(shown);
    if (place.canonicalFilePath() == QFileInfo(QFileInfo(AppPaths::databaseFile()).absolutePath()).canonicalFilePath())
        return QStringLiteral("备份目录不能是本系统自己的数据目录 %1，请选择其他目录。").arg(shown);
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("brovanta-probe-XXXXXX.tmp")));
    if (!probe.open() || probe.write("probe") != 5 || !probe.flush())
        return QStringLiteral("备份目录 %1 不能写入（没有写入权限或磁盘已满），请选择其他目录。").arg(shown);
    return {};
}

bool madeHere(const db::Connection& connection)
{
    return !connection.isShared() || settings().server;
}

QString folder()
{
    const QString chosen = settings().folder;
    return chosen.isEmpty() ? AppPaths::backupDirectory() : chosen;
}

MaintenanceResult run(const ShopServer::Place& database, const db::BackupProgress& progress)
{
    const Settings s = settings();
    const QString directory = folder();
    if (s.folder.isEmpty())
        QDir().mkpath(directory);
    if (!QFileInfo(directory).isDir()) {
        MaintenanceResult skipped;
        skipped.reason = QStringLiteral("备份目录 %1 不存在（U盘已拔出或网络共享不可用），本次自动备份跳过。")
                             .arg(QDir::toNativeSeparators(directory));
        return skipped;
    }
    const MaintenanceResult result =
        DatabaseBackup::runTo(database, QDir(directory).filePath(BackupRotation::fileName(Clock::now())), progress);
    if (!result.ok)
        return result;
    // Only now, with a newer backup verified, may older ones go.
    for (const QString& name : BackupRotation::toDelete(backupNames(directory), Clock::today(), s.keep))
        QFile::remove(QDir(directory).filePath(name));
    return result;
}

QDateTime lastGood()
{
    // A name dated after now (a clock set wrong, a copy from another PC) is no
    // backup of what was done today.
    const QDateTime now = Clock::now();
    QDateTime newest;
    for (const QString& name : backupNames(folder())) {
        const QDateTime at = BackupRotation::timeOf(name);
        if (at.isValid() && at <= now && (!newest.isValid() || at > newest))
            newest = at;
    }
    return newest;
}

bool isStale()
{
    const QDateTime last = lastGood();
    return !last.isValid() || last < Clock::now().addDays(-3);
}

bool isYoung(db::Connection& connection)
{
    db::Statement older(connection, QStringLiteral("select count(*) from oper_log where log_time<:before"));
    older.bind(QStringLiteral("before"), Clock::now().addDays(-3).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    return older.next() && older.intValue(0) == 0;
}

bool isDue()
{
    const QDateTime now = Clock::now();
    const QDateTime last = lastGood();
    return now.time().hour() >= settings().hour && (!last.isValid() || last.date() < now.date());
}

} // namespace AutoBackup
