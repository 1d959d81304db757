#pragma once

#include "maintenance/MaintenanceWindow.h"

// "数据库备份": backs the running database up as brovanta.mdb into a chosen directory.
class TFrmBackUp : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit TFrmBackUp(QWidget* parent = nullptr);

public slots:
    void cmd_addClick();
};
