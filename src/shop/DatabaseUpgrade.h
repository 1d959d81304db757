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

// Makes the unique indexes of the bill and voucher numbers and the goods codes
// that the database still lacks, wherever its numbers now allow it (run at each open). Numbers an
// older database already holds twice are left as they are, readable, and
// reported in Chinese the first time they are found: the report goes into the
// operation log, and the same duplicates found again later return nothing.
// Returns the report, empty when there is nothing new to tell.
QString checkNumbers(db::Connection& connection);

// Goods whose barcode is another goods' code (a scan of that code finds the
// wrong goods), as older data may hold them: reported, not changed, and told
// once as the numbers above are. Returns the report, empty when there is nothing new to tell.
QString checkBarcodes(db::Connection& connection);

} // namespace DatabaseUpgrade
