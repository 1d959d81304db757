#include "masterdata/BackupSettingsBox.h"

#include "core/AppPaths.h"
#include "shop/AutoBackup.h"
#include "ui/Dialogs.h"
#include "ui/WindowParts.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

using WindowParts::named;

BackupSettingsBox::BackupSettingsBox(QWidget* parent)
    : QGroupBox(parent)
{
    setObjectName(QStringLiteral("BackupSettings"));
    setTitle(QStringLiteral("自动备份"));
    folder = named<QLineEdit>("BackupFolder");
    folder->setPlaceholderText(QStringLiteral("默认：数据目录旁的 backup 目录"));
    choose = named<QPushButton>("BackupChoose");
    choose->setText(QStringLiteral("选择..."));
    choose->setAutoDefault(false);
    choose->setFocusPolicy(Qt::ClickFocus);   // out of the Enter walk, like the other pickers
    keep = named<QSpinBox>("BackupKeep");
    keep->setRange(1, 1000);
    keep->setSuffix(QStringLiteral(" 份"));
    hour = named<QSpinBox>("BackupHour");
    hour->setRange(0, 23);
    hour->setSuffix(QStringLiteral(" 点以后"));
    serverPc = named<QCheckBox>("BackupServerPc");
    serverPc->setText(QStringLiteral("本机负责店铺服务器的自动备份（几台电脑共用服务器时只勾选一台）"));
    connect(choose, &QPushButton::clicked, this, &BackupSettingsBox::chooseFolder);

    auto* grid = new QGridLayout(this);
    grid->addWidget(WindowParts::caption(QStringLiteral("备份目录"), folder), 0, 0);
    grid->addWidget(folder, 0, 1, 1, 3);
    grid->addWidget(choose, 0, 4);
    grid->addWidget(WindowParts::caption(QStringLiteral("保留最近"), keep), 1, 0);
    grid->addWidget(keep, 1, 1);
    grid->addWidget(WindowParts::caption(QStringLiteral("每日备份"), hour), 1, 2);
    grid->addWidget(hour, 1, 3);
    grid->addWidget(serverPc, 2, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    setTabOrder(folder, keep);
    setTabOrder(keep, hour);
    setTabOrder(hour, serverPc);
    load();
}

void BackupSettingsBox::load()
{
    const AutoBackup::Settings s = AutoBackup::settings();
    folder->setText(QDir::toNativeSeparators(s.folder));
    keep->setValue(s.keep);
    hour->setValue(s.hour);
    serverPc->setChecked(s.server);
}

// A folder is checked as soon as it is chosen; an unusable one is not taken.
void BackupSettingsBox::chooseFolder()
{
    const QString start = folder->text().trimmed().isEmpty() ? AppPaths::backupDirectory() : folder->text().trimmed();
    const QString chosen = ui::dialogs().existingDirectory(this, QStringLiteral("选择备份目录"), start);
    if (chosen.isEmpty())
        return;
    const QString problem = AutoBackup::folderProblem(chosen);
    if (!problem.isEmpty()) {
        ui::warn(problem, this);
        return;
    }
    folder->setText(QDir::toNativeSeparators(chosen));
}

bool BackupSettingsBox::check()
{
    const QString typed = folder->text().trimmed();
    const QString problem = typed.isEmpty() ? QString() : AutoBackup::folderProblem(QDir::fromNativeSeparators(typed));
    if (problem.isEmpty())
        return true;
    WindowParts::refuse(folder, problem);
    return false;
}

bool BackupSettingsBox::save()
{
    AutoBackup::Settings s;
    s.folder = QDir::fromNativeSeparators(folder->text().trimmed());
    s.keep = keep->value();
    s.hour = hour->value();
    s.server = serverPc->isChecked();
    if (AutoBackup::save(s))
        return true;
    ui::showError(QStringLiteral("无法写入设置文件 %1").arg(AppPaths::settingsFile()), this);
    return false;
}
