#pragma once

#include "db/Connection.h"

#include <QString>

namespace db {

// A shop server's two roles: the owner, which alone creates and changes the
// tables, and the role every PC logs in with, which reads and writes rows and
// may only add to the change log. A file has one user, who may do anything.
namespace ServerRoles {

// The owner's login name.
extern const QString owner;

// `pc`'s server and database, logged in as the owner with `password`.
ServerAddress ownerAddress(const ServerAddress& pc, const QString& password);

// True when the connection's user may create or change the tables: always on
// a file; on a server when it owns them (an older installation's one role
// does), or, on a database that has none yet, may create them.
bool mayChangeShape(Connection& connection);

// On the owner's connection: gives `role` what the program does with every
// table's rows (the append-only tables only to read and add to, the shape
// version only to read), its counters, working tables of its own, and the same
// on the tables a later version adds. Takes back anything more it had.
void grantWork(Connection& owner, const QString& role);

} // namespace ServerRoles

} // namespace db
