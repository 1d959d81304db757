#pragma once

#include <QDate>
#include <QDateTime>
#include <QStringList>

// Which automatic backups are kept: the newest `keep`, plus the newest of each
// of the twelve months up to today's. Pure: works on file names and a date.
namespace BackupRotation {

inline constexpr int defaultKeep = 14;

// An automatic backup's name: brovanta-yyyyMMdd-hhmmss.mdb.
QString fileName(const QDateTime& at);
// The moment a name stands for; invalid for any other file.
QDateTime timeOf(const QString& name);

// The automatic backups among `names` that the rule no longer keeps, oldest
// first. Other files, and backups dated after today, are never named.
QStringList toDelete(const QStringList& names, const QDate& today, int keep = defaultKeep);

} // namespace BackupRotation
