#include "shop/Worker.h"

#include <QThread>

Worker::Worker(QObject* parent)
    : QObject(parent)
{
}

Worker::~Worker()
{
    stop();
}

bool Worker::start(Work work)
{
    if (m_thread)
        return false;
    m_stopping = false;
    QThread* thread = QThread::create([this, work = std::move(work)] { work(m_stopping); });
    m_thread = thread;
    // Sent from the worker thread, so queued to this object's thread; a stopped one is past.
    connect(thread, &QThread::finished, this, [this, thread] {
        if (m_thread != thread)
            return;
        thread->deleteLater();
        m_thread = nullptr;
        emit finished();
    });
    m_thread->start();
    return true;
}

void Worker::stop()
{
    if (!m_thread)
        return;
    m_stopping = true;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}
