#pragma once

// Database files for the backup and restore tests, all inside a test's own directory.
#include "TestSupport.h"

#include "core/AppPaths.h"
#include "core/DatabaseFile.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Statement.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStringList>

namespace BackupSamples {

inline void addGoods(TestApp& app, const QString& code)
{
    app.exec("insert into goods (gods_code, gods_name) values (:p1, :p2)", {code, "货品" + code});
}

// The goods codes a database file holds, read with the system's key.
inline QStringList goodsCodes(const QString& path)
{
    db::Connection connection;
    connection.open(path, DatabaseFile::password);
    db::Statement rows(connection, "select gods_code from goods order by gods_code");
    QStringList codes;
    while (rows.next())
        codes << rows.textValue(0);
    return codes;
}

inline QByteArray fingerprint(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

inline QString makeDirectory(TestApp& app, const QString& name)
{
    const QString path = QDir(app.directory()).filePath(name);
    QDir().mkpath(path);
    return path;
}

inline QString dataDirectory()
{
    return QFileInfo(AppPaths::databaseFile()).absolutePath();
}

// Files a failed or finished copy must not leave behind.
inline QStringList leftovers(const QString& directory)
{
    return QDir(directory).entryList({"*.part", "*-journal"}, QDir::Files);
}

} // namespace BackupSamples
