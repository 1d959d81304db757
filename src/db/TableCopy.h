#pragma once

#include "db/Backup.h"

namespace db {

class Connection;

// Copies every table of the program (not the working tables) from one
// database into another that has the schema and no rows: a file into a
// server, or a server into a file. Counters keep their values, and a
// server's counters go on after the highest copied. One transaction on the
// target; the row counts are compared before it commits. Progress counts tables.
// Replace first deletes the target's rows instead of refusing them, in the same
// transaction, except an append-only table's (the change log): it keeps its
// own rows and takes none of the source's.
enum class CopyInto { Empty, Replace };
void copyTables(Connection& from, Connection& to, const BackupProgress& progress = {},
                CopyInto into = CopyInto::Empty);

} // namespace db
