#include "core/DatabaseFile.h"

#include "core/CurrentRights.h"
#include "core/PasswordHash.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Schema.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace DatabaseFile {

const QString password = QStringLiteral("4172093865510264839");
const QString adminId = QStringLiteral("admin");
const QString adminPassword = QStringLiteral("admin");

void initialize(db::Connection& connection)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    db::Schema::create(connection);
    db::Statement employee(connection, QStringLiteral(
        "insert into employee (empl_code, empl_name, dept_name, duty) values (:code, :name, :dept, :duty)"));
    employee.bind(QStringLiteral("code"), adminId)
        .bind(QStringLiteral("name"), QStringLiteral("系统管理员"))
        .bind(QStringLiteral("dept"), QStringLiteral("管理部"))
        .bind(QStringLiteral("duty"), QStringLiteral("管理员"));
    employee.execute();
    const QString all(Function::Count, QLatin1Char('1'));
    db::Statement power(connection, QStringLiteral(
        "insert into powers (user_id, password, pass_hash, dept_name, pow_use, pow_add, pow_edit, pow_dele, "
        "pow_chek, pow_find, pow_prin) values (:id, '', :hash, :dept, :r, :r, :r, :r, :r, :r, :r)"));
    power.bind(QStringLiteral("id"), adminId)
        .bind(QStringLiteral("hash"), PasswordHash::make(adminPassword))
        .bind(QStringLiteral("dept"), QStringLiteral("管理部"))
        .bind(QStringLiteral("r"), all);
    power.execute();
    addMemberLevels(connection);
    transaction.commit();
}

void addMemberLevels(db::Connection& connection)
{
    db::Statement any(connection, QStringLiteral("select count(*) from memblevel"));
    if (any.next() && any.intValue(0) > 0)
        return;
    db::Statement level(connection, QStringLiteral("insert into memblevel (level_name,discount,point_rate) values (:name,:discount,1)"));
    for (const auto& [name, discount] : {std::pair{"普通", 100}, std::pair{"银卡", 95}, std::pair{"金卡", 90}}) {
        level.reset();
        level.bind(QStringLiteral("name"), QString::fromUtf8(name)).bind(QStringLiteral("discount"), discount);
        level.execute();
    }
}

void open(db::Connection& connection, const QString& path)
{
    connection.open(path, password);
    try {
        connection.prepareForWork();
        db::Schema::createScratchTables(connection);
    } catch (...) {
        connection.close();
        throw;
    }
}

bool createIfMissing(const QString& path)
{
    if (QFileInfo::exists(path))
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString building = path + QStringLiteral(".new");
    QFile::remove(building);
    try {
        db::Connection connection;
        connection.open(building, password, true);
        initialize(connection);
        connection.close();
    } catch (...) {
        QFile::remove(building);
        throw;
    }
    if (!QFile::rename(building, path)) {
        QFile::remove(building);
        throw db::Error(QStringLiteral("无法创建数据库文件 %1").arg(path));
    }
    return true;
}

bool isSystemDatabase(const QString& path)
{
    try {
        db::Connection connection;
        connection.open(path, password);
        // The tables of the first release: an older file lacks the later ones until it is opened.
        const QStringList present = connection.tableNames();
        for (const db::Table& table : db::Schema::tables())
            if (table.since <= 1 && !present.contains(table.name))
                return false;
        return true;
    } catch (const db::Error&) {
        return false;
    }
}

} // namespace DatabaseFile
