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
    const QStringList tables = connection.tableNames();
    if (tables.isEmpty())
        return State::Empty;
    if (!tables.contains(QStringLiteral("goods")) || !tables.contains(QStringLiteral("outmain")))
        return State::Foreign;
    try {
        return db::Schema::fileVersion(connection) > 0 ? State::Ready : State::Foreign;
    } catch (const db::Error&) {
        return State::Foreign;   // another's version table, not ours to read
    }
}

namespace {

// Why the server did not let the connection in, told in Chinese; the engine's
// own text follows as the detail.
QString whyNot(const db::Error& error, const db::ServerAddress& a)
{
    switch (error.kind()) {
    case db::Error::PasswordNeeded:
        return QStringLiteral("服务器要求输入用户“%1”的密码").arg(a.user);
    case db::Error::PasswordWrong:
        return QStringLiteral("用户“%1”的密码不对").arg(a.user);
    case db::Error::NoAnswer:
        return QStringLiteral("服务器在 5 秒内没有应答，请检查服务器地址和网络");
    case db::Error::UnknownHost:
        return QStringLiteral("找不到名为“%1”的服务器，请检查服务器地址").arg(a.host);
    case db::Error::NotListening:
        return QStringLiteral("服务器没有在端口 %1 上接受连接，请检查服务器程序是否已启动、端口是否正确").arg(a.port);
    case db::Error::NoSuchDatabase:
        return QStringLiteral("服务器上没有数据库“%1”").arg(a.database);
    case db::Error::UserRefused:
        return QStringLiteral("服务器不允许用户“%1”从本机连接数据库“%2”（没有这个用户，或本机不在允许之列）")
            .arg(a.user, a.database);
    default:
        return QStringLiteral("连接失败");
    }
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
        // The member levels every new file starts with are settings, not the shop's data.
        if (db::Schema::isScratch(table.name) || table.name == QLatin1String("memblevel"))
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
    return {connection.path(), connection.isShared(), connection.serverAddress()};
}

void open(db::Connection& connection, const Place& place)
{
    if (place.server)
        open(connection, place.address);
    else
        DatabaseFile::open(connection, place.file);
}

} // namespace ShopServer
