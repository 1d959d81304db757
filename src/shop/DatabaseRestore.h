#pragma once

#include "shop/BackupFiles.h"

#include <functional>

class TFrmDataMod;

namespace db {
class Connection;
}

// Restores the running database from `directory`/brovanta.mdb. The chosen file
// is checked before anything is replaced; the replaced database is kept as
// data/brovanta-before-restore-yyyyMMdd-hhmmss.mdb; the data module's datasets
// and connection close around the swap and the connection reopens on the
// restored file, brought to the current shape and holding a log line of the
// restore. When it cannot, the previous file goes back and is reopened.
// On a shop server the server's data is kept as that file first, then replaced
// by the backup's in one transaction; its change log keeps its own lines.
class DatabaseRestore {
public:
    using Opener = std::function<void(db::Connection& connection, const QString& path)>;

    explicit DatabaseRestore(TFrmDataMod& dataModule);

    // How the connection is opened again (tests make it fail).
    void setOpener(Opener opener) { m_open = std::move(opener); }

    MaintenanceResult run(const QString& directory, const db::BackupProgress& progress = {});
    // The same from one backup file, whatever its name.
    MaintenanceResult runFile(const QString& source, const db::BackupProgress& progress = {});

private:
    // Swaps the verified copy in and reopens; the connection is closed on entry.
    MaintenanceResult replace(const QString& restored, const QString& database, const QString& source);
    MaintenanceResult replaceServerData(const QString& source, const db::BackupProgress& progress);
    QString keptCopyPath(const QString& database) const;

    TFrmDataMod& m_dataModule;
    Opener m_open;
};
