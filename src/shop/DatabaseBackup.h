#pragma once

#include "core/ShopServer.h"
#include "shop/BackupFiles.h"

// Backs the running database (where its connection is: the file or the shop
// server, ShopServer::placeOf) up as `directory`/brovanta.mdb while it stays
// open: an online copy into a temporary file beside the target, which replaces
// the target only once it has been verified. A failed backup leaves an earlier
// backup of that name as it was. The program's own data directory is refused.
namespace DatabaseBackup {

MaintenanceResult run(const ShopServer::Place& database, const QString& directory,
                      const db::BackupProgress& progress = {});

// The same into the file `target` (its directory must exist), e.g. a backup named by date and time.
MaintenanceResult runTo(const ShopServer::Place& database, const QString& target,
                        const db::BackupProgress& progress = {});

} // namespace DatabaseBackup
