#pragma once

#include <QString>
#include <functional>

namespace db {

class Connection;

// Called after each part of a copy with the pages copied and the pages in all;
// returning false stops the copy.
using BackupProgress = std::function<bool(int copied, int total)>;

// Copies the database that `source` has open into the file `targetPath`
// (new or empty), keyed with `key`, through the engine's online backup. The
// whole copy is read from one snapshot of the source, so changes another
// connection has not committed never reach it. The target is always a
// rollback-journal file, whatever the source's mode. Throws db::Error when the copy
// fails or is stopped; the target file is then left incomplete.
void backup(Connection& source, const QString& targetPath, const QString& key,
            const BackupProgress& progress = {});

} // namespace db
