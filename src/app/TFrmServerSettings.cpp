#include "app/TFrmServerSettings.h"

#include "core/CurrentRights.h"
#include "core/ServerPassword.h"
#include "core/ShopServer.h"
#include "db/Error.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrmServerSettings::TFrmServerSettings(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmServerSettings"));
    setWindowTitle(QStringLiteral("店铺服务器设置"));

    const auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    edHost = edit("edHost");
    edHost->setPlaceholderText(QStringLiteral("地址或名称，如 192.168.1.10"));
    edPort = edit("edPort");
    edDatabase = edit("edDatabase");
    edUser = edit("edUser");
    edPassword = edit("edPassword");
    edPassword->setEchoMode(QLineEdit::Password);
    chkRemember = new QCheckBox(QStringLiteral("记住密码"), this);
    chkRemember->setObjectName(QStringLiteral("chkRemember"));
    cbSsl = new QComboBox(this);
    cbSsl->setObjectName(QStringLiteral("cbSsl"));
    cbSsl->addItem(QStringLiteral("服务器支持时加密"), QStringLiteral("prefer"));
    cbSsl->addItem(QStringLiteral("必须加密"), QStringLiteral("require"));
    cbSsl->addItem(QStringLiteral("必须加密并验证服务器证书"), QStringLiteral("verify-full"));
    // libpq never encrypts a connection through a socket folder.
    sslNote = new QLabel(QStringLiteral("服务器是本机的套接字目录：连接不经过网络，不加密"), this);
    sslNote->setObjectName(QStringLiteral("sslNote"));
    sslNote->setWordWrap(true);
    sslNote->hide();
    savedNote = new QLabel(QStringLiteral("已保存的服务器设置只能由有系统管理权限（权限设置）的用户修改："
                                          "请在登录窗口输入该用户的用户名和密码，再按“设置…”。"),
                           this);
    savedNote->setObjectName(QStringLiteral("savedNote"));
    savedNote->setWordWrap(true);
    savedNote->hide();
    cmd_test = new QPushButton(QStringLiteral("测试连接[&T]"), this);
    cmd_test->setObjectName(QStringLiteral("cmd_test"));
    cmd_ok = new QPushButton(QStringLiteral("确定[&O]"), this);
    cmd_ok->setObjectName(QStringLiteral("cmd_ok"));
    cmd_cancel = new QPushButton(QStringLiteral("取消[&C]"), this);
    cmd_cancel->setObjectName(QStringLiteral("cmd_cancel"));
    for (QPushButton* b : {cmd_test, cmd_ok, cmd_cancel})
        b->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("服务器："), edHost);
    form->addRow(QStringLiteral("端口："), edPort);
    form->addRow(QStringLiteral("数据库："), edDatabase);
    form->addRow(QStringLiteral("用户："), edUser);
    form->addRow(QStringLiteral("密码："), edPassword);
    form->addRow(QString(), chkRemember);
    form->addRow(QStringLiteral("加密连接："), cbSsl);
    form->addRow(QString(), sslNote);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmd_test);
    buttons->addStretch();
    buttons->addWidget(cmd_ok);
    buttons->addWidget(cmd_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(savedNote);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(380);

    m_saved = ShopServer::address();
    edHost->setText(m_saved.host);
    edPort->setText(QString::number(m_saved.port));
    edDatabase->setText(m_saved.database);
    edUser->setText(m_saved.user);
    // A kept password is never shown: an empty box stands for it, for this address only.
    const bool kept = !m_saved.host.isEmpty() && !ServerPassword::load(m_saved).isEmpty();
    chkRemember->setChecked(kept);
    if (kept)
        edPassword->setPlaceholderText(QStringLiteral("已记住，不显示"));
    int ssl = cbSsl->findData(m_saved.sslMode);
    if (ssl < 0) {   // a mode written into system.ini by hand stays as it is
        cbSsl->addItem(m_saved.sslMode, m_saved.sslMode);
        ssl = cbSsl->count() - 1;
    }
    cbSsl->setCurrentIndex(ssl);
    connect(edHost, &QLineEdit::textChanged, this, &TFrmServerSettings::showSslNote);
    connect(cbSsl, &QComboBox::currentIndexChanged, this, &TFrmServerSettings::showSslNote);
    showSslNote();
    if (!m_saved.host.isEmpty() && !hasRight(Right::Use, Function::Powers))
        showOnly();

    connect(cmd_test, &QPushButton::clicked, this, &TFrmServerSettings::cmd_testClick);
    connect(cmd_ok, &QPushButton::clicked, this, &TFrmServerSettings::cmd_okClick);
    connect(cmd_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFrmServerSettings::typedAddress(db::ServerAddress* address)
{
    const auto refuse = [this](QLineEdit* box, const QString& text) {
        ui::warn(text, this);
        box->setFocus();
        box->selectAll();
        return false;
    };
    address->host = edHost->text().trimmed();
    if (address->host.isEmpty())
        return refuse(edHost, QStringLiteral("请填写服务器的地址"));
    bool ok = false;
    address->port = edPort->text().trimmed().toInt(&ok);
    if (!ok || address->port < 1 || address->port > 65535)
        return refuse(edPort, QStringLiteral("端口“%1”不对：端口是 1 到 65535 之间的整数").arg(edPort->text().trimmed()));
    address->database = edDatabase->text().trimmed();
    if (address->database.isEmpty())
        return refuse(edDatabase, QStringLiteral("请填写数据库的名称"));
    address->user = edUser->text().trimmed();
    if (address->user.isEmpty())
        return refuse(edUser, QStringLiteral("请填写用户"));
    address->password = edPassword->text();
    address->sslMode = cbSsl->currentData().toString();
    return true;
}

void TFrmServerSettings::showSslNote()
{
    const bool encrypted = cbSsl->currentData().toString() != QLatin1String("prefer");
    sslNote->setVisible(encrypted && QDir::isAbsolutePath(edHost->text().trimmed()));
}

void TFrmServerSettings::showOnly()
{
    for (QLineEdit* box : {edHost, edPort, edDatabase, edUser, edPassword})
        box->setReadOnly(true);
    chkRemember->setEnabled(false);
    cbSsl->setEnabled(false);
    cmd_ok->setEnabled(false);
    savedNote->show();
}

void TFrmServerSettings::cmd_testClick()
{
    db::ServerAddress address;
    if (!typedAddress(&address))
        return;
    // An empty box offers the kept password, found by the typed address: a
    // password goes to no other server, port, database or user than its own.
    if (address.password.isEmpty() && chkRemember->isChecked())
        address.password = ServerPassword::load(address);
    ShopServer::State found;
    try {
        const ui::BusyCursor busy;
        db::Connection probe;
        found = ShopServer::connect(probe, address);
    } catch (const db::Error& e) {
        ui::showError(e.message(), this);
        return;
    }
    switch (found) {
    case ShopServer::State::Ready:
        ui::inform(QStringLiteral("连接成功。数据库“%1”是本系统的数据库。").arg(address.database), this);
        break;
    case ShopServer::State::Empty:
        ui::inform(QStringLiteral("连接成功。数据库“%1”是空的，第一次登录时建立本系统的数据库或导入本机文件。")
                       .arg(address.database), this);
        break;
    case ShopServer::State::Foreign:
        ui::warn(QStringLiteral("连接成功，但%1。").arg(ShopServer::notThisProgram(address).message()), this);
        break;
    }
}

void TFrmServerSettings::cmd_okClick()
{
    if (!cmd_ok->isEnabled())
        return;
    db::ServerAddress address;
    if (!typedAddress(&address))
        return;
    ShopServer::saveAddress(address);
    // No busy cursor: the keyring may ask for its own password meanwhile.
    // A password kept for the address this one replaces is no longer wanted.
    if (!m_saved.host.isEmpty()
        && (m_saved.host != address.host || m_saved.port != address.port || m_saved.database != address.database
            || m_saved.user != address.user))
        ServerPassword::forget(m_saved);
    QString failed;
    if (!chkRemember->isChecked())
        ServerPassword::forget(address);
    else if (!edPassword->text().isEmpty())
        failed = ServerPassword::save(address, edPassword->text());
    // else the password kept for this very address, if any, stays
    if (!failed.isEmpty())
        ui::warn(QStringLiteral("设置已保存，但系统密钥环没有记住密码（%1）。登录时会询问密码。").arg(failed), this);
    accept();
}
