#include "app/BackupKeeper.h"

#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "shop/AutoBackup.h"
#include "shop/BackupWorker.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

BackupKeeper::BackupKeeper(QWidget* window)
    : QObject(window), m_window(window), m_label(new QLabel(window)), m_timer(new QTimer(this)),
      m_worker(new BackupWorker(this))
{
    m_label->setObjectName(QStringLiteral("BackupPanel"));
    m_timer->setInterval(60 * 1000);
    connect(m_timer, &QTimer::timeout, this, &BackupKeeper::backupIfDue);
    connect(m_worker, &BackupWorker::finished, this, &BackupKeeper::backgroundDone);
}

void BackupKeeper::start()
{
    if (m_started)
        return;
    m_started = true;
    db::Connection& connection = dataModule().AdoConn;
    m_madeHere = AutoBackup::madeHere(connection);
    showLast();
    if (!m_madeHere)
        return;
    // Asked only of whom may back up, and only of a database with days of work in it.
    if (hasRight(Right::Use, Function::Backup) && AutoBackup::isStale() && !AutoBackup::isYoung(connection)
        && ui::askYesNo(QStringLiteral("最近3天内没有数据备份。\n现在备份吗？"), m_window))
        backUpInBackground();
    m_timer->start();
    backupIfDue();
}

void BackupKeeper::backupIfDue()
{
    if (m_madeHere && !m_worker->isRunning() && AutoBackup::isDue())
        backUpInBackground();
}

bool BackupKeeper::isBackingUp() const
{
    return m_worker->isRunning();
}

void BackupKeeper::backUpInBackground()
{
    if (m_worker->start())
        m_label->setText(QStringLiteral("正在自动备份……"));
}

void BackupKeeper::backgroundDone(const MaintenanceResult& result)
{
    showLast();
    if (!result.ok)
        report(result);
    emit backgroundFinished();
}

void BackupKeeper::backupOnExit()
{
    if (!m_started || !m_madeHere)
        return;
    const ui::BusyCursor busy;
    // A daily backup still copying gives way: the exit backup is the newer one.
    m_worker->stop();
    m_timer->stop();
    QProgressDialog dialog(QStringLiteral("正在自动备份数据库……"), QStringLiteral("跳过"), 0, 100, m_window);
    dialog.setObjectName(QStringLiteral("ExitBackupProgress"));
    dialog.setWindowTitle(QStringLiteral("自动备份"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.show();
    const MaintenanceResult result = AutoBackup::run(ShopServer::placeOf(dataModule().AdoConn), [&dialog](int copied, int total) {
        if (total > 0) {
            dialog.setRange(0, total);
            dialog.setValue(copied);
        }
        QCoreApplication::processEvents();
        return !dialog.wasCanceled();
    });
    const bool skipped = dialog.wasCanceled();
    dialog.close();
    showLast();
    if (!result.ok && !skipped)
        report(result);
}

void BackupKeeper::report(const MaintenanceResult& result)
{
    // A vanished folder is said once; the program goes on.
    const bool vanished = !QFileInfo(AutoBackup::folder()).isDir();
    if (vanished && m_folderReported)
        return;
    m_folderReported = m_folderReported || vanished;
    ui::showError(QStringLiteral("自动备份失败\n%1").arg(result.reason), m_window);
}

void BackupKeeper::showLast()
{
    const QDateTime last = AutoBackup::lastGood();
    m_label->setText(last.isValid() ? QStringLiteral("最近备份: %1").arg(last.toString(QStringLiteral("yyyy-MM-dd hh:mm")))
                                    : QStringLiteral("尚无自动备份"));
}
