#include "shop/BackupWorker.h"

#include "shop/AutoBackup.h"

#include <QThread>

BackupWorker::BackupWorker(QObject* parent)
    : QObject(parent)
{
}

BackupWorker::~BackupWorker()
{
    stop();
}

bool BackupWorker::start()
{
    if (m_thread)
        return false;
    m_stopping = false;
    QThread* thread = QThread::create([this] {
        m_result = AutoBackup::run([this](int, int) { return !m_stopping; });
    });
    m_thread = thread;
    // Sent from the worker thread, so queued to this object's thread; a stopped one is past.
    connect(thread, &QThread::finished, this, [this, thread] {
        if (m_thread != thread)
            return;
        thread->deleteLater();
        m_thread = nullptr;
        emit finished(m_result);
    });
    m_thread->start();
    return true;
}

void BackupWorker::stop()
{
    if (!m_thread)
        return;
    m_stopping = true;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}
