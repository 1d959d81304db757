#pragma once

#include "db/Connection.h"

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

// Connects and checks the database is this program's; gives the connection
// its own working tables. Throws db::Error with a sentence for the user.
void open(db::Connection& connection, const db::ServerAddress& address);

} // namespace ShopServer
