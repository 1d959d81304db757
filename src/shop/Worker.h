#pragma once

#include <QObject>

#include <atomic>
#include <functional>

class QThread;

// Runs one piece of work at a time on a thread of its own, so the window goes on
// meanwhile. The work touches no widget and no connection of another thread: it
// opens its own. `finished` comes on the thread that owns the worker.
class Worker : public QObject {
    Q_OBJECT
public:
    // The flag turns true when the work should stop at its next step.
    using Work = std::function<void(const std::atomic_bool& stopping)>;

    explicit Worker(QObject* parent = nullptr);
    // Stops running work and waits for its thread.
    ~Worker() override;

    // False, starting nothing, while a work is still running.
    bool start(Work work);
    bool isRunning() const { return m_thread != nullptr; }
    // Asks the running work to stop at its next step; finished still comes.
    void requestStop() { m_stopping = true; }
    // Stops the work at its next step, waits for it and drops it (finished is not sent).
    void stop();

signals:
    void finished();

private:
    QThread* m_thread = nullptr;
    std::atomic_bool m_stopping = false;
};
