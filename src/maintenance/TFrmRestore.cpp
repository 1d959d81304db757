#include "maintenance/TFrmRestore.h"

#include "core/CurrentRights.h"
#include "core/TFrmDataMod.h"
#include "shop/AutoBackup.h"
#include "shop/DatabaseRestore.h"
#include "ui/WindowParts.h"
#include "ui/Dialogs.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>

TFrmRestore::TFrmRestore(QWidget* parent)
    : MaintenanceWindow(parent, QStringLiteral("数据恢复"), QStringLiteral("请选择已经备份的文件"),
                        QStringLiteral("恢复"), Function::Restore)
{
    setObjectName(QStringLiteral("FrmRestore"));
    FB = WindowParts::named<QListWidget>("FB");
    FB->setMinimumWidth(180);
    browserRow()->addWidget(FB, 2);
    resize(900, 440);
    connect(cmd_add, &QPushButton::clicked, this, &TFrmRestore::cmd_addClick);
    // The automatic backups are where a shop looks first.
    const QString backups = AutoBackup::folder();
    if (QFileInfo(backups).isDir())
        chooseDirectory(backups);
    DLChange();
}

void TFrmRestore::DLChange()
{
    FB->clear();
    // 数据备份's brovanta.mdb and the automatic backups, newest first, each checked.
    m_found = BackupFiles::backupsIn(chosenDirectory());
    const QLocale locale;
    for (const BackupFiles::Found& found : std::as_const(m_found)) {
        // One row a backup: the check's detail (the engine's own text) waits in the tooltip.
        FB->addItem(QStringLiteral("%1  %2  %3  %4")
                        .arg(found.madeAt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), QFileInfo(found.path).fileName(),
                             locale.formattedDataSize(found.size),
                             found.problem.isEmpty() ? QStringLiteral("检查通过")
                                                     : QStringLiteral("不能恢复：") + found.problem.section(QLatin1Char('\n'), 0, 0)));
        FB->item(FB->count() - 1)->setToolTip(found.problem);
    }
    if (FB->count() > 0)
        FB->setCurrentRow(0);
}

void TFrmRestore::cmd_addClick()
{
    const QString chosen = FB->currentRow() >= 0 ? m_found.value(FB->currentRow()).path : QString();
    DLChange();   // the directory may have changed since it was chosen
    if (FB->count() == 0) {
        ui::inform(QStringLiteral("无数据可恢复"), this);
        return;
    }
    const auto at = std::find_if(m_found.cbegin(), m_found.cend(), [&](const BackupFiles::Found& f) { return f.path == chosen; });
    const BackupFiles::Found found = at != m_found.cend() ? *at : m_found.first();
    const QString source = found.path;
    const QString made = found.madeAt.toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    const db::Connection& connection = dataModule().AdoConn;
    QString question;
    if (connection.isShared()) {
        const db::ServerAddress server = connection.serverAddress();
        question = QStringLiteral("店铺服务器 %1 上数据库 %2 的全部数据将被 %3 的备份（%4）中的数据替换，"
                                  "所有电脑都将使用恢复后的数据（服务器原有数据先保存到本机）。\n确定恢复吗？")
                       .arg(server.host, server.database, made, QDir::toNativeSeparators(source));
    } else {
        question = QStringLiteral("当前数据库将被 %1 的备份（%2）替换。\n此后保存的数据不会丢失："
                                  "当前数据库先另存一份，放在数据目录中。\n确定恢复吗？")
                       .arg(made, QDir::toNativeSeparators(source));
    }
    // Replacing the data: Enter alone must not do it.
    if (!ui::dialogs().ask(this, question, QStringLiteral("确认"), true, ui::Dialogs::Default::Cancel))
        return;
    DatabaseRestore restore(dataModule());
    const MaintenanceResult result = runCopy(QStringLiteral("正在恢复数据库……"), found.size,
                                             [&](const db::BackupProgress& progress) {
                                                 return restore.runFile(source, progress);
                                             });
    if (result.ok)
        ui::inform(QStringLiteral("数据恢复完毕\n原数据库已保存为 %1")
                       .arg(QDir::toNativeSeparators(result.keptCopy)), this);
    else
        ui::showError(QStringLiteral("数据恢复错误\n%1").arg(result.reason), this);
}
