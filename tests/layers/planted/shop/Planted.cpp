// A shop file that asks the file's engine directly: the engine check must refuse it.
#pragma once
void check(db::Connection& connection)
{
    db::Statement verdict(connection, QStringLiteral("pragma integrity_check"));
}
