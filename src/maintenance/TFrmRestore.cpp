#include "maintenance/TFrmRestore.h"

#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "shop/DatabaseRestore.h"
#include "ui/WindowParts.h"
#include "ui/Dialogs.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>

TFrmRestore::TFrmRestore(QWidget* parent)
    : MaintenanceWindow(parent, QStringLiteral("数据恢复"), QStringLiteral("请选择已经备份的文件"),
                        QStringLiteral("恢复"), Function::Restore)
{
    setObjectName(QStringLiteral("FrmRestore"));
    FB = WindowParts::named<QListWidget>("FB");
    FB->setMinimumWidth(180);
    browserRow()->addWidget(FB, 1);
    resize(600, 420);
    connect(cmd_add, &QPushButton::clicked, this, &TFrmRestore::cmd_addClick);
    DLChange();
}

void TFrmRestore::DLChange()
{
    FB->clear();
    const QString directory = chosenDirectory();
    // Only a file of the backup's name can be restored, so only such a file is offered.
    if (!directory.isEmpty())
        FB->addItems(QDir(directory).entryList({BackupFiles::fileName}, QDir::Files | QDir::CaseSensitive,
                                               QDir::Name));
}

void TFrmRestore::cmd_addClick()
{
    DLChange();   // the directory may have changed since it was chosen
    if (FB->count() == 0) {
        ui::inform(QStringLiteral("无数据可恢复"), this);
        return;
    }
    const QString directory = chosenDirectory();
    const QString source = QDir(directory).filePath(BackupFiles::fileName);
    const db::Connection& connection = dataModule().AdoConn;
    if (connection.isServer()) {
        const db::ServerAddress server = connection.serverAddress();
        // Every PC's data is replaced: Enter alone must not do it.
        if (!ui::dialogs().ask(this,
                               QStringLiteral("店铺服务器 %1 上数据库 %2 的全部数据将被备份文件 %3 中的数据替换，"
                                              "所有电脑都将使用恢复后的数据（服务器原有数据先保存到本机）。\n确定恢复吗？")
                                   .arg(server.host, server.database, QDir::toNativeSeparators(source)),
                               QStringLiteral("确认"), true, ui::Dialogs::Default::Cancel))
            return;
    }
    DatabaseRestore restore(dataModule());
    const MaintenanceResult result = runCopy(QStringLiteral("正在恢复数据库……"), QFileInfo(source).size(),
                                             [&](const db::BackupProgress& progress) {
                                                 return restore.run(directory, progress);
                                             });
    if (result.ok)
        ui::inform(QStringLiteral("数据恢复完毕\n原数据库已保存为 %1")
                       .arg(QDir::toNativeSeparators(result.keptCopy)), this);
    else
        ui::showError(QStringLiteral("数据恢复错误\n%1").arg(result.reason), this);
}
