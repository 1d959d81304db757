#pragma once

#include <QString>

namespace db {
struct ServerAddress;
}

// A remembered shop-server password, kept in the desktop keyring (never in
// system.ini), one per server, database and user.
namespace ServerPassword {

// Where the passwords are kept; tests put one of their own in place.
class Store {
public:
    virtual ~Store() = default;
    // The password, or empty when none is kept or the store cannot be reached.
    virtual QString read(const QString& key) = 0;
    // Empty when done, else why not.
    virtual QString write(const QString& key, const QString& password) = 0;
    virtual QString remove(const QString& key) = 0;
};

QString load(const db::ServerAddress& address);
// Empty when done, else why not (no keyring on this PC, say).
QString save(const db::ServerAddress& address, const QString& password);
QString forget(const db::ServerAddress& address);

// The password a server took in this run of the program (kept in memory only),
// for the other connections the program opens to it, such as a backup's.
void taken(const db::ServerAddress& address);
QString takenFor(const db::ServerAddress& address);

// nullptr puts the desktop keyring back.
void setStore(Store* store);

} // namespace ServerPassword
