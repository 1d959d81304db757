#pragma once

#include <QString>

namespace db {
class Connection;
}

// The one place where a database file of an earlier version is brought to the
// current shape on open. A verified backup of the file is made first, into the
// backup directory; when it fails nothing is changed and db::Error says why.
namespace DatabaseUpgrade {

// True when the file needs the upgrade.
bool needed(db::Connection& connection);

// Upgrades the program's database (AppPaths::databaseFile(), open on `connection`)
// when needed; returns the backup it made, empty when the file was current.
// Throws db::Error with the reason.
QString run(db::Connection& connection);

// Brings a copy that is not the program's database (a backup on its way into
// the shop server) to the current shape, without a backup first.
void upgradeCopy(db::Connection& connection);

} // namespace DatabaseUpgrade
