#pragma once

#include <QString>

// Where the program keeps system.ini and data/brovanta.mdb: the executable's
// directory when it is writable, otherwise the per-user data location.
namespace AppPaths {

QString directory();
// Tests (and a portable start) put the application in a directory of their own.
void setDirectory(const QString& directory);

QString settingsFile();   // system.ini
QString databaseFile();   // data/brovanta.mdb
QString backupDirectory(); // backup/, beside data/

} // namespace AppPaths
