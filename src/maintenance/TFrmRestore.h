#pragma once

#include "maintenance/MaintenanceWindow.h"

class QListWidget;

// "数据恢复": replaces the running database by a backup of a chosen directory
// (the automatic backups' folder at first): 数据备份's brovanta.mdb or an
// automatic one, listed newest first with its size and check, after a question.
class TFrmRestore : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit TFrmRestore(QWidget* parent = nullptr);

    QListWidget* FB;   // the backups of the chosen directory

public slots:
    void DLChange();
    void cmd_addClick();

protected:
    void directoryChanged() override { DLChange(); }

private:
    QList<BackupFiles::Found> m_found;   // as FB lists them
};
