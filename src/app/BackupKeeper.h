#pragma once

#include <QObject>

class QLabel;
class QTimer;
class QWidget;

// Keeps automatic backups going for the main window: the last good backup's
// time in the status bar, a start-up warning when none is younger than three
// days, the daily backup once the set hour has passed, and the backup on exit
// with a progress dialog whose 跳过 stops it.
class BackupKeeper : public QObject {
    Q_OBJECT
public:
    // `window` hosts the status label and owns the dialogs.
    explicit BackupKeeper(QWidget* window);

    QLabel* statusLabel() const { return m_label; }

    // After login: shows the last backup, warns once when it is stale, starts the daily check.
    void start();
    // The daily backup when it is due; called by the timer.
    void backupIfDue();
    // The exit backup with progress; returns when it finished, failed or was skipped.
    void backupOnExit();

private:
    // Runs one backup; `skippable` shows a progress dialog with 跳过. False when it failed.
    bool backUp(bool skippable);
    void showLast();

    QWidget* m_window;
    QLabel* m_label;
    QTimer* m_timer;
    bool m_started = false;
    bool m_folderReported = false;   // a vanished folder is reported once
};
