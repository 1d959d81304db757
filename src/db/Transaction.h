#pragma once

namespace db {

class Connection;

// Begins in its constructor and rolls back in its destructor unless committed.
// Nested transactions become savepoints of the outer one.
class Transaction {
public:
    enum Kind { Deferred, Write };
    // A Write transaction takes the database's write lock when it begins; use it
    // for every operation that reads stock or money and writes it back.
    explicit Transaction(Connection& connection, Kind kind = Deferred);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Connection& m_connection;
    int m_level;
    bool m_done = false;
};

} // namespace db
