#include "app/TFrmLogin.h"

#include "app/TFrmServerSettings.h"

#include "core/AppPaths.h"
#include "core/CurrentRights.h"
#include "core/DatabaseFile.h"
#include "core/IniFile.h"
#include "core/PasswordHash.h"
#include "core/ServerPassword.h"
#include "core/Settings.h"
#include "core/ShopServer.h"
#include "core/TFrmDataMod.h"
#include "db/Error.h"
#include "db/ServerRoles.h"
#include "shop/DatabaseUpgrade.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

TFrmLogin::TFrmLogin(QWidget* parent)
    // No close or maximize button; a window manager that shows buttons only for the
    // functions a window allows needs at least one, so it keeps minimize.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint)
{
    setObjectName(QStringLiteral("FrmLogin"));
    setWindowTitle(QStringLiteral("用户登录"));

    userEdit = new QLineEdit(this);
    userEdit->setObjectName(QStringLiteral("Edit1"));
    passwordEdit = new QLineEdit(this);
    passwordEdit->setObjectName(QStringLiteral("Edit2"));
    passwordEdit->setEchoMode(QLineEdit::Password);
    cmd_ok = new QPushButton(QStringLiteral("确定[&O]"), this);
    cmd_ok->setObjectName(QStringLiteral("cmd_ok"));
    cmd_close = new QPushButton(QStringLiteral("关闭[&X]"), this);
    cmd_close->setObjectName(QStringLiteral("cmd_close"));
    // After the buttons, so Enter walks user, password, OK as before.
    rbFile = new QRadioButton(QStringLiteral("本机文件"), this);
    rbFile->setObjectName(QStringLiteral("rbFile"));
    rbServer = new QRadioButton(QStringLiteral("店铺服务器"), this);
    rbServer->setObjectName(QStringLiteral("rbServer"));
    (ShopServer::isChosen() ? rbServer : rbFile)->setChecked(true);
    cmd_server = new QPushButton(QStringLiteral("设置…"), this);
    cmd_server->setObjectName(QStringLiteral("cmd_server"));
    for (QPushButton* b : {cmd_ok, cmd_close, cmd_server})
        b->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("用户名："), this), 0, 0);
    grid->addWidget(userEdit, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("密  码："), this), 1, 0);
    grid->addWidget(passwordEdit, 1, 1);
    auto* choice = new QHBoxLayout;
    choice->addWidget(rbFile);
    choice->addWidget(rbServer);
    choice->addWidget(cmd_server);
    choice->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmd_ok);
    buttons->addWidget(cmd_close);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addLayout(grid);
    layout->addLayout(choice);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->addStretch();
    setFixedSize(sizeHint().expandedTo(QSize(250, 160)));

    connect(cmd_ok, &QPushButton::clicked, this, &TFrmLogin::cmd_okClick);
    connect(cmd_close, &QPushButton::clicked, this, &TFrmLogin::cmd_closeClick);
    connect(passwordEdit, &QLineEdit::returnPressed, this, &TFrmLogin::cmd_okClick);
    connect(cmd_server, &QPushButton::clicked, this, &TFrmLogin::cmd_serverClick);
    connect(rbServer, &QRadioButton::toggled, this, &TFrmLogin::dropConnection);
}

void TFrmLogin::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ui::centreOnScreen(this);
    userEdit->setFocus();
}

void TFrmLogin::reject()
{
    // No way out but the two buttons: Escape does nothing.
}

void TFrmLogin::connectDatabase()
{
    const IniFile ini(AppPaths::settingsFile());
    PrintSettings& print = PrintSettings::current();
    print.companyName = ini.read(SettingsKeys::billdata, SettingsKeys::companyName);
    print.billFooter = ini.read(SettingsKeys::billdata, SettingsKeys::billBottom);
    const QString lineCount = ini.read(SettingsKeys::billdata, SettingsKeys::lineCount, QStringLiteral("0"));
    bool ok = false;
    const int lines = lineCount.toInt(&ok, 10);
    if (!ok)
        throw db::Error(QStringLiteral("“%1”不是有效的整数值").arg(lineCount));
    print.lineCount = lines;

    if (m_connected)
        return;
    const QString dataSource = AppPaths::databaseFile();
    TFrmDataMod& dm = dataModule();
    const bool server = rbServer->isChecked();
    try {
        dm.AdoConn.close();
        if (server) {
            if (!openServer(dm.AdoConn))
                return;
        } else {
            DatabaseFile::createIfMissing(dataSource);
            DatabaseFile::open(dm.AdoConn, dataSource);
        }
    } catch (const db::Error& e) {
        // Wrong key, not a database or locked: the file is left exactly as it is.
        ui::showError(server ? e.message() : QStringLiteral("数据库无法打开"), this);
        return;
    }
    try {
        if (!DatabaseUpgrade::needed(dm.AdoConn) || db::ServerRoles::mayChangeShape(dm.AdoConn)) {
            DatabaseUpgrade::run(dm.AdoConn);
        } else {
            const db::ServerAddress address = dm.AdoConn.serverAddress();
            if (!asOwner(address, QStringLiteral("店铺服务器上的数据库需要升级到本程序的版本。"),
                         [](db::Connection& owner) { DatabaseUpgrade::run(owner); })) {
                dm.AdoConn.close();
                return;
            }
            // Its working tables take the new shape.
            ShopServer::open(dm.AdoConn, address);
        }
    } catch (const db::Error& e) {
        // The file stays exactly as it was; this program cannot work on the older shape.
        dm.AdoConn.close();
        ui::showError(e.message(), this);
        return;
    }
    m_connected = true;
    if (server != ShopServer::isChosen())
        ShopServer::choose(server);
    if (!server)
        IniFile(AppPaths::settingsFile()).write(SettingsKeys::nettype, SettingsKeys::datasource, dataSource.trimmed());
}

// The shop server's database: this program's, or an empty one the first PC sets up.
bool TFrmLogin::openServer(db::Connection& connection)
{
    db::ServerAddress address = ShopServer::address();
    if (address.host.isEmpty())
        throw db::Error(QStringLiteral("还没有设置店铺服务器，请按“设置…”填写服务器的地址"));
    address.password = ServerPassword::load(address);
    ShopServer::State found;
    for (;;) {
        try {
            found = ShopServer::connect(connection, address);
            break;
        } catch (const db::Error& e) {
            if (!e.wantsPassword())
                throw;
            QInputDialog ask(this);
            ask.setWindowTitle(QStringLiteral("店铺服务器的密码"));
            ask.setLabelText(e.message().section(QLatin1Char('\n'), 0, 0) + QStringLiteral("\n\n密码："));
            ask.setTextEchoMode(QLineEdit::Password);
            if (ui::dialogs().exec(&ask) != QDialog::Accepted)
                return false;
            address.password = ask.textValue();
        }
    }
    if (found == ShopServer::State::Foreign) {
        connection.close();
        throw ShopServer::notThisProgram(address);
    }
    if (found == ShopServer::State::Empty) {
        const QString file = AppPaths::databaseFile();
        const QString empty = QStringLiteral("店铺服务器上的数据库“%1”是空的。").arg(address.database);
        std::function<void(db::Connection&)> fill;
        if (ShopServer::holdsShopData(file)
            && ui::askYesNo(empty + QStringLiteral("\n把本机文件 %1 的全部数据导入服务器吗？").arg(QDir::toNativeSeparators(file)), this))
            fill = [&file](db::Connection& c) {
                ui::BusyCursor wait;
                ShopServer::importFile(c, file);
            };
        else if (ui::askYesNo(empty + QStringLiteral("\n建立新的空数据库和系统管理员吗？"), this))
            fill = &ShopServer::initialize;
        if (!fill) {
            connection.close();
            return false;
        }
        if (!db::ServerRoles::mayChangeShape(connection)) {
            if (!asOwner(address, empty, fill)) {
                connection.close();
                return false;
            }
            // The tables were made on the owner's connection: this one is opened on them anew.
            ShopServer::open(connection, address);
            return true;
        }
        fill(connection);
    }
    ShopServer::startWork(connection);
    return true;
}

bool TFrmLogin::asOwner(const db::ServerAddress& address, const QString& why,
                        const std::function<void(db::Connection&)>& work)
{
    QInputDialog ask(this);
    ask.setObjectName(QStringLiteral("ownerPassword"));
    ask.setWindowTitle(QStringLiteral("数据库所有者的密码"));
    ask.setLabelText(why + QStringLiteral("\n只有数据库所有者“%1”能建立或升级数据库的表，请输入它的密码：")
                               .arg(db::ServerRoles::owner));
    ask.setTextEchoMode(QLineEdit::Password);
    if (ui::dialogs().exec(&ask) != QDialog::Accepted) {
        ui::showError(why + QStringLiteral("\n没有输入数据库所有者的密码，数据库没有改动，不能登录。"), this);
        return false;
    }
    db::Connection owner;
    ShopServer::connectOwner(owner, address, ask.textValue());
    work(owner);
    db::ServerRoles::grantWork(owner, address.user);
    return true;
}

// Sets the user's rights current when the id and password are right; the id
// shown and stored from then on is the user's own, whatever its case as typed.
bool TFrmLogin::checkUser(const QString& userId, const QString& password)
{
    db::Dataset* q = dataModule().TempQ;
    q->close();
    // The id compares without case, as the column does; the password must match exactly.
    q->setSql(QStringLiteral("select * from powers where user_id=:user_id order by user_id"));
    q->setParameter(QStringLiteral("user_id"), userId);
    q->open();
    bool found = false;
    for (q->first(); !q->eof(); q->next())
        if (PasswordHash::accepts(password, q->text(QStringLiteral("pass_hash")), q->text(QStringLiteral("password")))) {
            found = true;
            break;
        }
    if (!found)
        return false;
    CurrentRights& rights = CurrentRights::current();
    rights.userId = q->text(QStringLiteral("user_id"));
    rights.use = q->text(QStringLiteral("pow_use"));
    rights.add = q->text(QStringLiteral("pow_add"));
    rights.edit = q->text(QStringLiteral("pow_edit"));
    rights.dele = q->text(QStringLiteral("pow_dele"));
    rights.chek = q->text(QStringLiteral("pow_chek"));
    rights.find = q->text(QStringLiteral("pow_find"));
    rights.prin = q->text(QStringLiteral("pow_prin"));
    return true;
}

void TFrmLogin::cmd_okClick()
{
    // The password is what was typed, blanks and all, as 权限设置 keeps it.
    const QString password = passwordEdit->text();
    if (m_attempt == 3)
        m_terminateRequested = true;
    ++m_attempt;
    // Whatever happens in this attempt, the third press ends the program afterwards.
    struct EndIfThird {
        TFrmLogin* dialog;
        ~EndIfThird()
        {
            if (dialog->m_terminateRequested && dialog->isVisible())
                dialog->done(QDialog::Rejected);
        }
    } endIfThird{this};

    connectDatabase();
    if (!m_connected) {
        // A database not reached is no login attempt: the user sets it right and tries again.
        --m_attempt;
        m_terminateRequested = false;
        return;
    }

    if (typedUserFound(password))
        accept();
}

bool TFrmLogin::typedUserFound(const QString& password)
{
    bool found = false;
    try {
        const ui::BusyCursor busy;
        found = checkUser(userEdit->text().trimmed(), password);
    } catch (const db::Error&) {
        ui::showError(QStringLiteral("数据库无法打开"), this);
        return false;
    }
    if (!found) {
        ui::warn(QStringLiteral("用户名或密码错误！"), this);
        userEdit->setFocus();
    }
    return found;
}

void TFrmLogin::cmd_closeClick()
{
    m_closeExitCode = 1;
    done(QDialog::Rejected);
    QCoreApplication::exit(1);
}

// A saved server is changed only by a user with the 系统管理 right, whose id
// and password are typed above; anyone else sees it. The first setup, with
// nothing saved, is open to all.
void TFrmLogin::cmd_serverClick()
{
    if (!ShopServer::address().host.isEmpty() && !userEdit->text().trimmed().isEmpty()) {
        connectDatabase();
        if (!m_connected || !typedUserFound(passwordEdit->text()))
            return;
    }
    int result = QDialog::Rejected;
    {
        TFrmServerSettings settings(this);
        result = ui::dialogs().exec(&settings);
    }
    // Nobody is logged in before 确定.
    CurrentRights::current().clear();
    if (result == QDialog::Accepted && rbServer->isChecked())
        dropConnection();
}

void TFrmLogin::dropConnection()
{
    if (!m_connected)
        return;
    TFrmDataMod& dm = dataModule();
    dm.closeAll();
    dm.AdoConn.close();
    m_connected = false;
}
