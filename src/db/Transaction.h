#pragma once

#include "db/Connection.h"

namespace db {

// Begins in its constructor and rolls back in its destructor unless committed.
// Nested transactions become savepoints of the outer one.
class Transaction {
public:
    using Kind = TransactionKind;
    // Write: for every operation that reads stock or money and writes it back.
    // Snapshot: for a report or a copy that reads several statements that must agree.
    static constexpr Kind Deferred = Kind::Deferred, Write = Kind::Write, Snapshot = Kind::Snapshot;
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
