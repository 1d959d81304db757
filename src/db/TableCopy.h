#pragma once

#include "db/Backup.h"

namespace db {

class Connection;

// Copies every table of the program (not the working tables) from one
// database into another that has the schema and no rows: a file into a
// server, or a server into a file. Counters keep their values, and a
// server's counters go on after the highest copied. One transaction on the
// target; the row counts are compared before it commits. Progress counts tables.
void copyTables(Connection& from, Connection& to, const BackupProgress& progress = {});

} // namespace db
