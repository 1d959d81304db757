#include "core/ShopServer.h"

#include "core/AppPaths.h"
#include "core/DatabaseFile.h"
#include "core/IniFile.h"
#include "core/ServerPassword.h"
#include "core/Settings.h"

#include "db/Error.h"
#include "db/Schema.h"
#include "db/ServerRoles.h"
#include "db/Statement.h"
#include "db/TableCopy.h"
#include "db/Transaction.h"

#include <QFileInfo>

namespace ShopServer {

bool isChosen()
{
    return IniFile(AppPaths::settingsFile()).read(SettingsKeys::server, SettingsKeys::serverMode)
           == QLatin1String("server");
}

void choose(bool server)
{
    IniFile(AppPaths::settingsFile())
        .write(SettingsKeys::server, SettingsKeys::serverMode, server ? QStringLiteral("server") : QStringLiteral("file"));
}

db::ServerAddress address()
{
    const IniFile ini(AppPaths::settingsFile());
    db::ServerAddress a;
    a.host = ini.read(SettingsKeys::server, SettingsKeys::serverHost);
    a.port = ini.read(SettingsKeys::server, SettingsKeys::serverPort, QStringLiteral("5432")).toInt();
    a.database = ini.read(SettingsKeys::server, SettingsKeys::serverDatabase, QStringLiteral("brovanta"));
    a.user = ini.read(SettingsKeys::server, SettingsKeys::serverUser);
    a.sslMode = ini.read(SettingsKeys::server, SettingsKeys::serverSsl, QStringLiteral("prefer"));
    return a;
}

void saveAddress(const db::ServerAddress& a)
{
    IniFile ini(AppPaths::settingsFile());
    ini.write(SettingsKeys::server, SettingsKeys::serverHost, a.host);
    ini.write(SettingsKeys::server, SettingsKeys::serverPort, QString::number(a.port));
    ini.write(SettingsKeys::server, SettingsKeys::serverDatabase, a.database);
    ini.write(SettingsKeys::server, SettingsKeys::serverUser, a.user);
    ini.write(SettingsKeys::server, SettingsKeys::serverSsl, a.sslMode);
}

State state(db::Connection& connection)
{
    // Every table, also those the connection's role has no rights on.
    db::Statement tables(connection, QStringLiteral(
        "select count(*), sum(case when tablename in ('shape_version','goods','outmain') then 1 else 0 end) "
        "from pg_tables where schemaname='public'"));
    tables.next();
    if (tables.intValue(0) == 0)
        return State::Empty;
    return tables.intValue(1) == 3 ? State::Ready : State::Foreign;
}

namespace {

// libpq and the server say why in English; the user is told in Chinese, with
// their text as the detail.
QString whyNot(const db::Error& error, const db::ServerAddress& a)
{
    const QString m = error.message();
    const auto has = [&m](const char* text) { return m.contains(QLatin1String(text), Qt::CaseInsensitive); };
    if (error.kind() == db::Error::PasswordNeeded)
        return has("password authentication failed") ? QStringLiteral("用户“%1”的密码不对").arg(a.user)
                                                     : QStringLiteral("服务器要求输入用户“%1”的密码").arg(a.user);
    if (has("timeout expired") || has("no route to host") || has("network is unreachable"))
        return QStringLiteral("服务器在 5 秒内没有应答，请检查服务器地址和网络");
    if (has("could not translate host name"))
        return QStringLiteral("找不到名为“%1”的服务器，请检查服务器地址").arg(a.host);
    if (has("connection refused") || has("no such file or directory"))
        return QStringLiteral("服务器没有在端口 %1 上接受连接，请检查服务器程序是否已启动、端口是否正确").arg(a.port);
    if (has("database \"") && has("does not exist"))
        return QStringLiteral("服务器上没有数据库“%1”").arg(a.database);
    if (has("role \"") && has("does not exist"))
        return QStringLiteral("服务器上没有用户“%1”").arg(a.user);
    if (has("no pg_hba.conf entry"))
        return QStringLiteral("服务器不允许本机以用户“%1”连接数据库“%2”").arg(a.user, a.database);
    if (has("does not support ssl"))
        return QStringLiteral("服务器不支持加密连接");
    if (has("certificate"))
        return QStringLiteral("无法验证服务器的证书");
    return QStringLiteral("连接失败");
}

// Opens the connection, or throws why not in Chinese.
void reach(db::Connection& connection, const db::ServerAddress& address)
{
    try {
        connection.openServer(address);
    } catch (const db::Error& e) {
        connection.close();
        throw db::Error(QStringLiteral("无法连接店铺服务器 %1：%2。\n（详细信息：%3）")
                            .arg(address.host, whyNot(e, address), e.message()),
                        0, {}, e.kind());
    }
}

} // namespace

State connect(db::Connection& connection, const db::ServerAddress& address)
{
    reach(connection, address);
    // The owner's password serves the one connection it was typed for (and the
    // backup an upgrade makes on its way), never another.
    if (address.user != db::ServerRoles::owner)
        ServerPassword::taken(address);
    try {
        return state(connection);
    } catch (...) {
        connection.close();
        throw;
    }
}

void connectOwner(db::Connection& owner, const db::ServerAddress& address, const QString& password)
{
    // Its password is used for this connection only, never kept.
    reach(owner, db::ServerRoles::ownerAddress(address, password));
}

void initialize(db::Connection& connection)
{
    DatabaseFile::initialize(connection);
}

void importFile(db::Connection& connection, const QString& file)
{
    db::Connection source;
    DatabaseFile::open(source, file);
    db::Transaction transaction(connection, db::Transaction::Write);
    db::Schema::create(connection);
    db::copyTables(source, connection);
    transaction.commit();
}

bool holdsShopData(const QString& file)
{
    if (!QFileInfo::exists(file))
        return false;
    db::Connection source;
    try {
        source.open(file, DatabaseFile::password);
    } catch (const db::Error&) {
        return false;
    }
    for (const db::Table& table : db::Schema::tables()) {
        if (db::Schema::isScratch(table.name))
            continue;
        const bool seeded = table.name == QLatin1String("employee") || table.name == QLatin1String("powers");
        try {
            db::Statement rows(source, QStringLiteral("select count(*) from %1").arg(table.name));
            if (rows.next() && rows.intValue(0) > (seeded ? 1 : 0))
                return true;
        } catch (const db::Error&) {
            // A table an older file does not have yet holds nothing.
        }
    }
    return false;
}

void startWork(db::Connection& connection)
{
    db::Schema::createScratchTables(connection);
}

db::Error notThisProgram(const db::ServerAddress& address)
{
    return db::Error(QStringLiteral("服务器上的数据库“%1”不是本系统的数据库").arg(address.database));
}

void open(db::Connection& connection, const db::ServerAddress& address)
{
    const State found = connect(connection, address);
    try {
        if (found != State::Ready)
            throw notThisProgram(address);
        startWork(connection);
    } catch (...) {
        connection.close();
        throw;
    }
}

Place placeOf(const db::Connection& connection)
{
    return {connection.path(), connection.isServer(), connection.serverAddress()};
}

void open(db::Connection& connection, const Place& place)
{
    if (place.server)
        open(connection, place.address);
    else
        DatabaseFile::open(connection, place.file);
}

} // namespace ShopServer
