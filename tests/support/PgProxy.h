#pragma once

#include "db/Connection.h"

#include <QTemporaryDir>

#include <atomic>
#include <memory>
#include <thread>

// Stands between the program and the test server, on a socket of its own, and
// passes everything on, except where it is told to cut: a connection lost at
// the moment of a commit, as a network or a server lost at that moment would.
class PgProxy {
public:
    enum class Cut {
        Nothing,
        BeforeCommit,     // the commit never reaches the server
        AnswerToCommit,   // the server commits; its answer never comes back
    };

    // Passes connections on to the server that `server` names.
    explicit PgProxy(const db::ServerAddress& server);
    ~PgProxy();
    PgProxy(const PgProxy&) = delete;
    PgProxy& operator=(const PgProxy&) = delete;

    // The same server, reached through the proxy.
    db::ServerAddress address() const;
    // Cuts the connection that sends the next commit.
    void cutAt(Cut cut) { m_cut = cut; }
    // Drops every connection and takes no new one: the server is out of reach.
    void shutDown();

private:
    void serve();

    db::ServerAddress m_server;
    QTemporaryDir m_directory;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    std::atomic<Cut> m_cut{Cut::Nothing};
    std::atomic_bool m_stopping{false};
    std::thread m_thread;
};
