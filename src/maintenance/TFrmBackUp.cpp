#include "maintenance/TFrmBackUp.h"

#include "core/AppPaths.h"
#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "shop/DatabaseBackup.h"
#include "ui/Dialogs.h"

#include <QFileInfo>
#include <QPushButton>

TFrmBackUp::TFrmBackUp(QWidget* parent)
    : MaintenanceWindow(parent, QStringLiteral("数据库备份"), QStringLiteral("请选择备份路径"),
                        QStringLiteral("备份"), Function::Backup)
{
    setObjectName(QStringLiteral("FrmBackUp"));
    resize(420, 420);
    connect(cmd_add, &QPushButton::clicked, this, &TFrmBackUp::cmd_addClick);
}

void TFrmBackUp::cmd_addClick()
{
    const QString directory = chosenDirectory();
    if (directory.isEmpty()) {
        ui::warn(QStringLiteral("请选择备份路径"), this);
        return;
    }
    const MaintenanceResult result = runCopy(QStringLiteral("正在备份数据库……"),
                                             QFileInfo(AppPaths::databaseFile()).size(),
                                             [&directory](const db::BackupProgress& progress) {
                                                 return DatabaseBackup::run(
                                                     ShopServer::placeOf(dataModule().AdoConn), directory, progress);
                                             });
    if (result.ok)
        ui::inform(QStringLiteral("数据备份完毕"), this);
    else
        ui::showError(QStringLiteral("数据备份错误\n%1").arg(result.reason), this);
}
