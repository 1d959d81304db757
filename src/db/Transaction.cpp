#include "db/Transaction.h"

#include "db/Connection.h"

#include <stdexcept>

namespace db {

Transaction::Transaction(Connection& connection, Kind kind)
    : m_connection(connection), m_level(connection.beginSavepoint(kind))
{
}

Transaction::~Transaction()
{
    if (!m_done)
        m_connection.rollbackSavepoint(m_level);
}

void Transaction::commit()
{
    if (m_done)
        throw std::logic_error("a transaction committed twice");
    m_connection.releaseSavepoint(m_level);
    m_done = true;
}

} // namespace db
