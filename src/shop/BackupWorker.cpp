#include "shop/BackupWorker.h"

#include "core/TFrmDataMod.h"
#include "shop/AutoBackup.h"

BackupWorker::BackupWorker(QObject* parent)
    : QObject(parent)
{
    connect(&m_worker, &Worker::finished, this, [this] { emit finished(m_result); });
}

BackupWorker::~BackupWorker()
{
    stop();
}

bool BackupWorker::start()
{
    // Where the program's connection is, taken here: the thread opens its own.
    const ShopServer::Place database = ShopServer::placeOf(dataModule().AdoConn);
    return m_worker.start([this, database](const std::atomic_bool& stopping) {
        m_result = AutoBackup::run(database, [&stopping](int, int) { return !stopping; });
    });
}
