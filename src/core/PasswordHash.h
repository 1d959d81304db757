#pragma once

#include <QString>

// The program's user passwords are kept as salted PBKDF2 hashes, never as typed.
// A stored hash reads "pbkdf2-sha256$<rounds>$<salt>$<hash>" (salt and hash in base64),
// so the rounds can be raised later without breaking stored ones.
namespace PasswordHash {

QString make(const QString& password);

// Whether `typed` is the password: checked against the hash when the user has one,
// else against the plain `password` column of a row not yet converted.
bool accepts(const QString& typed, const QString& hash, const QString& plain);

} // namespace PasswordHash
