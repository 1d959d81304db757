#pragma once

#include <QObject>

struct MaintenanceResult;
class BackupWorker;
class QLabel;
class QTimer;
class QWidget;

// Keeps automatic backups going for the main window: the last good backup's
// time in the status bar, a start-up question to a user with the backup right
// when none is younger than three days, the daily backup once the set hour has
// passed (on a worker thread, the window goes on), and the backup on exit with
// a progress dialog whose 跳过 stops it. Of a shop's server only the PC chosen
// for it makes them.
class BackupKeeper : public QObject {
    Q_OBJECT
public:
    // `window` hosts the status label and owns the dialogs.
    explicit BackupKeeper(QWidget* window);

    QLabel* statusLabel() const { return m_label; }

    // After login: shows the last backup, asks once when it is stale, starts the daily check.
    void start();
    // Starts the daily backup in the background when it is due; called by the timer.
    void backupIfDue();
    bool isBackingUp() const;
    // The exit backup with progress; returns when it finished, failed or was skipped.
    void backupOnExit();

signals:
    // A background backup has ended and its result is shown.
    void backgroundFinished();

private:
    void backUpInBackground();
    void backgroundDone(const MaintenanceResult& result);
    // Says why a backup failed; a vanished folder only once.
    void report(const MaintenanceResult& result);
    void showLast();

    QWidget* m_window;
    QLabel* m_label;
    QTimer* m_timer;
    BackupWorker* m_worker;
    bool m_started = false;
    bool m_madeHere = false;         // this PC makes the automatic backups of the database
    bool m_folderReported = false;   // a vanished folder is reported once
};
