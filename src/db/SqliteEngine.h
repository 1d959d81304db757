#pragma once

#include "db/Engine.h"

struct sqlite3;

namespace db {

// The encrypted database file (SQLCipher).
std::unique_ptr<Engine> openFileEngine(const QString& path, const QString& key, bool create);
sqlite3* fileHandle(Engine& engine);

// Throws db::Error for an engine result code that is not a success.
void check(sqlite3* handle, int resultCode, const QString& sql = {});

} // namespace db
