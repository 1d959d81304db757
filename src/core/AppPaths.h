#pragma once

#include <QString>

// Where the program keeps system.ini and data/brovanta.mdb: the executable's
// directory when it is writable, otherwise the per-user data location.
namespace AppPaths {

QString directory();
// Whether an executable in `executableDir` (writable or not) keeps its data
// beside it: not when it is installed under /usr, however it was started
// (/bin and /sbin are /usr's on a merged system).
bool keepsDataBeside(const QString& executableDir, bool writable);
// Tests (and a portable start) put the application in a directory of their own.
void setDirectory(const QString& directory);

QString settingsFile();   // system.ini
QString databaseFile();   // data/brovanta.mdb
QString backupDirectory(); // backup/, beside data/

} // namespace AppPaths
