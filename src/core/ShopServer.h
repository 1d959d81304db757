#pragma once

#include "db/Connection.h"
#include "db/Error.h"

// The shop's server, when several PCs share one database: where it is (kept in
// system.ini, the password never), and opening it for work.
namespace ShopServer {

// system.ini says which database the program works on.
bool isChosen();
void choose(bool server);
db::ServerAddress address();            // without the password
void saveAddress(const db::ServerAddress& address);

// What a server database holds for this program.
enum class State { Ready, Empty, Foreign };
State state(db::Connection& connection);

// Connects (within a few seconds) and tells what the database holds. Throws
// db::Error with a sentence for the user when the server cannot be reached.
State connect(db::Connection& connection, const db::ServerAddress& address);
// Connects to `address`'s database as its owner, who alone may create or
// upgrade its tables (see db::ServerRoles), with a password asked for this once.
// Throws db::Error with a sentence for the user, a wrong password too.
void connectOwner(db::Connection& owner, const db::ServerAddress& address, const QString& password);
// An empty server database gets the tables and the administrator, or every
// row of the shop's file; all or nothing.
void initialize(db::Connection& connection);
void importFile(db::Connection& connection, const QString& file);
// Whether the file is a database of this program that holds a shop's data:
// anything beyond the administrator every new database starts with.
bool holdsShopData(const QString& file);
// Gives a connected connection its own working tables.
void startWork(db::Connection& connection);

// What the user is told of a server database that is not this program's.
db::Error notThisProgram(const db::ServerAddress& address);
// connect() that refuses any database but this program's, then startWork().
void open(db::Connection& connection, const db::ServerAddress& address);

// Where an open connection's database is: enough for another connection (on
// another thread, say) to open the same one for work.
struct Place {
    QString file;
    bool server = false;
    db::ServerAddress address;
};
Place placeOf(const db::Connection& connection);
void open(db::Connection& connection, const Place& place);

} // namespace ShopServer
