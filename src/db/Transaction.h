#pragma once

namespace db {

class Connection;

// Begins in its constructor and rolls back in its destructor unless committed.
// Nested transactions become savepoints of the outer one.
class Transaction {
public:
    explicit Transaction(Connection& connection);
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
