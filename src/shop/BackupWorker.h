#pragma once

#include "shop/BackupFiles.h"
#include "shop/Worker.h"

#include <QObject>

// Runs the automatic backup (AutoBackup::run) on a thread and a connection of
// its own, so the window and its saves go on meanwhile: the database is in
// write-ahead-log mode, where the backup's snapshot never holds up a commit.
class BackupWorker : public QObject {
    Q_OBJECT
public:
    explicit BackupWorker(QObject* parent = nullptr);
    // Stops a running backup and waits for its thread.
    ~BackupWorker() override;

    // False, starting nothing, while one is still running.
    bool start();
    bool isRunning() const { return m_worker.isRunning(); }
    // Stops the copy at its next step, waits for it and drops its result (finished is not sent).
    void stop() { m_worker.stop(); }

signals:
    // On the thread that owns the worker, once the backup has ended.
    void finished(const MaintenanceResult& result);

private:
    MaintenanceResult m_result;
    Worker m_worker;
};
