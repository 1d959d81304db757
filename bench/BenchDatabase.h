#pragma once

#include "core/AppPaths.h"
#include "core/DatabaseFile.h"
#include "db/Backup.h"
#include "db/Connection.h"
#include "db/Statement.h"

#include <QTemporaryDir>
#include <cstdio>

// A new shop database for a bench: made with the schema and the administrator,
// as the program makes one, in a temporary directory that is also the
// application's directory; opened as a shop opens it (write-ahead log, working tables).
class BenchFile {
public:
    BenchFile()
    {
        AppPaths::setDirectory(m_dir.path());
        DatabaseFile::createIfMissing(path());
    }
    QString path() const { return AppPaths::databaseFile(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    void open(db::Connection& c) const { DatabaseFile::open(c, path()); }
    // A copy of `source` as it is now, opened on `twin`: the same data for a bare
    // replay of work that writes.
    void openTwin(db::Connection& source, db::Connection& twin)
    {
        const QString copy = m_dir.filePath(QStringLiteral("twin%1.mdb").arg(++m_twins));
        db::backup(source, copy, DatabaseFile::password);
        DatabaseFile::open(twin, copy);
    }

private:
    QTemporaryDir m_dir;
    int m_twins = 0;
};

// A server database for a bench, user postgres on `host` (a host or a socket directory).
inline db::ServerAddress benchServerAddress(const QString& host, const QString& database = "brovanta_bench")
{
    db::ServerAddress a;
    a.host = host;
    a.database = database;
    a.user = QStringLiteral("postgres");
    return a;
}

// Makes `database` anew, empty, on the server, and says how the server keeps
// what is committed: a shop's server syncs every commit to disk, and so must
// the one the figures come from.
inline db::ServerAddress freshServerDatabase(const QString& host, const QString& database = "brovanta_bench")
{
    db::Connection admin;
    admin.openServer(benchServerAddress(host, QStringLiteral("postgres")));
    admin.execute(QStringLiteral("drop database if exists %1 with (force)").arg(database));
    admin.execute(QStringLiteral("create database %1").arg(database));
    db::Statement settings(admin, "select current_setting('fsync'),current_setting('synchronous_commit'),"
                                  "current_setting('full_page_writes')");
    settings.next();
    const bool durable = settings.textValue(0) == "on" && settings.textValue(1) == "on" && settings.textValue(2) == "on";
    std::printf("server: fsync %s, synchronous_commit %s, full_page_writes %s: %s\n", qPrintable(settings.textValue(0)),
                qPrintable(settings.textValue(1)), qPrintable(settings.textValue(2)),
                durable ? "every commit synced, as a shop runs it"
                        : "NOT as a shop runs it (start it with scripts/pg-test-server.sh start DIR durable)");
    return benchServerAddress(host, database);
}

// Whether `sql`, one row of figures, reads the same on both databases: the
// bare side of work that writes did write what the program wrote.
inline bool sameFigures(db::Connection& a, db::Connection& b, const QString& sql)
{
    db::Statement left(a, sql), right(b, sql);
    const bool same = left.next() && right.next() && [&] {
        for (int col = 0; col < left.columnCount(); ++col)
            if (left.textValue(col) != right.textValue(col))
                return false;
        return true;
    }();
    std::printf("bare copy %s: %s\n", same ? "matches" : "DIFFERS", qPrintable(sql));
    return same;
}
