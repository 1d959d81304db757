#include "db/ServerRoles.h"

#include "db/Schema.h"
#include "db/Statement.h"
#include "db/Transaction.h"

namespace db::ServerRoles {

const QString owner = QStringLiteral("brovanta_owner");

ServerAddress ownerAddress(const ServerAddress& pc, const QString& password)
{
    ServerAddress a = pc;
    a.user = owner;
    a.password = password;
    return a;
}

bool mayChangeShape(Connection& connection)
{
    if (!connection.isServer())
        return true;
    Statement may(connection, QStringLiteral(
        "select coalesce((select pg_has_role(c.relowner, 'USAGE') from pg_class c "
        "where c.oid = to_regclass('public.shape_version')), has_schema_privilege('public', 'CREATE'))"));
    return may.next() && may.intValue(0) != 0;
}

namespace {

// A role's name as the server reads it in a statement, whatever it holds.
QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

} // namespace

void grantWork(Connection& connection, const QString& role)
{
    const QString r = quoted(role);
    QStringList sql{
        QStringLiteral("grant usage on schema public to ") + r,
        QStringLiteral("revoke all on all tables in schema public from ") + r,
        QStringLiteral("revoke all on all sequences in schema public from ") + r,
        QStringLiteral("grant select, insert, update, delete on all tables in schema public to ") + r,
        QStringLiteral("revoke insert, update, delete on shape_version from ") + r,
        // nextval() takes a counter's next number; setval() moves it on after a restore's copy.
        QStringLiteral("grant usage, update on all sequences in schema public to ") + r,
        QStringLiteral("alter default privileges in schema public grant select, insert, update, delete on tables to ") + r,
        QStringLiteral("alter default privileges in schema public grant usage, update on sequences to ") + r,
        // The working tables are temporary tables of each connection.
        QStringLiteral("do $$begin execute format('grant temporary on database %I to %s', current_database(), '%1'); end$$")
            .arg(QString(r).replace(QLatin1Char('\''), QStringLiteral("''"))),
    };
    for (const Table& table : Schema::tables())
        if (table.appendOnly)
            sql << QStringLiteral("revoke update, delete on %1 from %2").arg(table.name, r);
    // All at once: a PC working meanwhile never finds its rights half taken back.
    Transaction transaction(connection, Transaction::Write);
    for (const QString& statement : std::as_const(sql))
        connection.execute(statement);
    transaction.commit();
}

} // namespace db::ServerRoles
