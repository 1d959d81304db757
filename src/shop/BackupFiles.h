#pragma once

#include "db/Backup.h"
#include "db/Connection.h"

#include <QDateTime>
#include <QList>
#include <QString>

// What a backup or a restore ended with: failed with a reason, or done
// (a restore names the copy it kept of the database it replaced).
struct MaintenanceResult {
    bool ok = false;
    QString reason;
    QString keptCopy;
};

// The file work both backup and restore share. Their progress callbacks get
// (copied, total) pages while copying; a call with total 0 announces a check.
namespace BackupFiles {

// The one name a backup has, in whatever directory it is kept.
extern const QString fileName;

// Why the file cannot serve as this system's database, or empty when it can:
// it must open with the system's key, pass the engine's integrity check and
// hold the system's tables.
QString problem(const QString& path);
// The same, after telling `progress` that a check begins.
QString problem(const QString& path, const db::BackupProgress& progress);

// Copies the database at `source` into a new temporary file in `directory`
// and returns its path. Throws db::Error and leaves nothing behind on failure.
QString copyInto(const QString& source, const QString& directory, const db::BackupProgress& progress);
// The same, of the data of the shop server at `server`: a file restorable like
// any backup, with every table's rows copied and counted.
QString copyServerInto(const db::ServerAddress& server, const QString& directory,
                       const db::BackupProgress& progress = {});

// Puts `from` in the place of `to` in one step, replacing it. Throws db::Error.
void moveOver(const QString& from, const QString& to);

// True when both paths name one existing file (also through links).
bool sameFile(const QString& a, const QString& b);

// A backup found in a folder: 数据备份's brovanta.mdb or an automatic one.
struct Found {
    QString path;
    QDateTime madeAt;     // an automatic backup's name; brovanta.mdb's last change
    qint64 size = 0;
    QString problem;      // why it cannot be restored; empty when it can
};
// The backups of `directory`, newest first, each checked.
QList<Found> backupsIn(const QString& directory);

} // namespace BackupFiles
