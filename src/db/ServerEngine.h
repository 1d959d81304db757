#pragma once

#include "db/Engine.h"

namespace db {

struct ServerAddress;

// A PostgreSQL server of the shop, through libpq.
std::unique_ptr<Engine> openServerEngine(const ServerAddress& address);

// The SQL with each ":name" turned into "$n" (quotes, comments and "::" left
// alone); `names` gets the names in the order of their numbers.
QString numberedParameters(const QString& sql, QList<QByteArray>* names);

} // namespace db
