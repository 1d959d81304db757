#pragma once

#include <QString>

namespace db {
class Connection;
}

// The database file of the shop: created with the full schema and one
// administrator when missing, never overwritten when it exists.
namespace DatabaseFile {

// The fixed key every database file of the system carries.
extern const QString password;

// The administrator a new database gets (employee code, user id and password).
extern const QString adminId;
extern const QString adminPassword;

// Creates the file when it does not exist; returns true when it created it.
// Built beside the target and renamed into place, so no half-made file remains.
bool createIfMissing(const QString& path);

// Opens the shop's database for work: with the key, in write-ahead-log mode,
// so a backup reading on a connection of its own never holds up a save, and
// with working tables of its own (see db::Schema::createScratchTables).
void open(db::Connection& connection, const QString& path);

// Writes the schema and the administrator into an open, empty database.
void initialize(db::Connection& connection);

// Adds the member levels 普通 100%, 银卡 95% and 金卡 90% (1 point a yuan) where
// there are none; inside the caller's transaction.
void addMemberLevels(db::Connection& connection);

// True when the file opens with the system's key and holds the system's tables
// (those of any earlier version too).
bool isSystemDatabase(const QString& path);

} // namespace DatabaseFile
