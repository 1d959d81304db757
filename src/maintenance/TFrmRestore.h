#pragma once

#include "maintenance/MaintenanceWindow.h"

class QListWidget;

// "数据恢复": replaces the running database by the brovanta.mdb of a chosen directory.
class TFrmRestore : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit TFrmRestore(QWidget* parent = nullptr);

    QListWidget* FB;   // the "*.mdb" files of the chosen directory

public slots:
    void DLChange();
    void cmd_addClick();

protected:
    void directoryChanged() override { DLChange(); }
};
