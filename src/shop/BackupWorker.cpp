#include "shop/BackupWorker.h"

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
    return m_worker.start([this](const std::atomic_bool& stopping) {
        m_result = AutoBackup::run([&stopping](int, int) { return !stopping; });
    });
}
