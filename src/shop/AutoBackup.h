#pragma once

#include "core/ShopServer.h"
#include "shop/BackupFiles.h"

#include <QDateTime>

// The automatic backups: named by date and time in the backup folder, made
// through the same online, verified copy as 数据备份, and rotated only after
// the new one has been verified. Settings live in system.ini, [autobackup]:
// folder (empty: backup/ beside data/), keep (default 14), hour (the daily
// backup's hour, default 12) and server (1 on the one PC that makes the
// automatic backups of a shop's server); 基本设置 sets them.
namespace AutoBackup {

struct Settings {
    QString folder;
    int keep = 14;
    int hour = 12;
    bool server = false;   // this PC backs the shop's server up
};
Settings settings();
// Writes them to system.ini; false when the file cannot be written.
bool save(const Settings& settings);

// Why backups cannot go into the chosen `folder`, or empty when they can: it
// must exist, take a new file (a probe is written and removed) and not be the
// program's own data directory.
QString folderProblem(const QString& folder);

// Whether this PC makes the automatic backups of the connection's database:
// always those of its own file; a server's only when it is the PC chosen for them.
bool madeHere(const db::Connection& connection);

// The folder backups go to: the chosen one, or backup/ beside data/.
QString folder();

// Backs `database` up as brovanta-yyyyMMdd-hhmmss.mdb (Clock::now) and then
// deletes what the rotation no longer keeps. A chosen folder that has vanished
// is not created again: the backup is skipped with the reason.
MaintenanceResult run(const ShopServer::Place& database, const db::BackupProgress& progress = {});

// The newest automatic backup in the folder dated no later than now; invalid
// when there is none.
QDateTime lastGood();
// True when no backup is younger than three days.
bool isStale();
// True when the database recorded nothing before three days ago: there are
// no days of work yet that a backup would save.
bool isYoung(db::Connection& connection);
// True once the day has passed the set hour and today has no backup yet.
bool isDue();

} // namespace AutoBackup
