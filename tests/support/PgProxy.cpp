#include "PgProxy.h"

#include <QByteArray>
#include <QFile>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <vector>

namespace {

QString socketPath(const QString& directory, int port)
{
    return QStringLiteral("%1/.s.PGSQL.%2").arg(directory).arg(port);
}

sockaddr_un unixAddress(const QString& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    qstrncpy(address.sun_path, bytes.constData(), sizeof(address.sun_path));
    return address;
}

// A simple query "commit", as the program sends it.
const QByteArray commitMessage("Q\0\0\0\x0b" "commit\0", 12);

struct Pair {
    int client;
    int server;
    bool dropAnswer = false;   // the commit went on: what comes back is dropped, and the client cut
};

} // namespace

PgProxy::PgProxy(const db::ServerAddress& server)
    : m_server(server)
{
    m_listener = socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = unixAddress(socketPath(m_directory.path(), m_server.port));
    if (bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 || listen(m_listener, 16) != 0)
        qFatal("the proxy cannot listen");
    if (pipe(m_wake) != 0)
        qFatal("the proxy has no pipe");
    m_thread = std::thread([this] { serve(); });
}

PgProxy::~PgProxy()
{
    shutDown();
    close(m_wake[0]);
    close(m_wake[1]);
}

db::ServerAddress PgProxy::address() const
{
    db::ServerAddress through = m_server;
    through.host = m_directory.path();
    return through;
}

void PgProxy::shutDown()
{
    if (m_stopping.exchange(true))
        return;
    const char byte = 1;
    (void)!write(m_wake[1], &byte, 1);
    m_thread.join();
    QFile::remove(socketPath(m_directory.path(), m_server.port));
}

void PgProxy::serve()
{
    std::vector<Pair> pairs;
    const auto drop = [&pairs](size_t i) {
        close(pairs[i].client);
        close(pairs[i].server);
        pairs.erase(pairs.begin() + qsizetype(i));
    };
    char buffer[65536];
    while (true) {
        std::vector<pollfd> watched = {{m_wake[0], POLLIN, 0}, {m_listener, POLLIN, 0}};
        for (const Pair& pair : pairs) {
            watched.push_back({pair.client, POLLIN, 0});
            watched.push_back({pair.server, POLLIN, 0});
        }
        if (poll(watched.data(), watched.size(), -1) < 0)
            continue;
        if (watched[0].revents)
            break;
        if (watched[1].revents & POLLIN) {
            const int client = accept(m_listener, nullptr, nullptr);
            const int server = socket(AF_UNIX, SOCK_STREAM, 0);
            const sockaddr_un address = unixAddress(socketPath(m_server.host, m_server.port));
            if (connect(server, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
                pairs.push_back({client, server});
            } else {
                close(client);
                close(server);
            }
            continue;   // the watched list no longer matches the pairs
        }
        for (size_t i = pairs.size(); i-- > 0;) {
            const pollfd& fromClient = watched[2 + 2 * i];
            const pollfd& fromServer = watched[3 + 2 * i];
            Pair& pair = pairs[i];
            if (fromServer.revents) {
                const ssize_t n = read(pair.server, buffer, sizeof buffer);
                if (n <= 0 || pair.dropAnswer || write(pair.client, buffer, size_t(n)) != n) {
                    drop(i);
                    continue;
                }
            }
            if (fromClient.revents) {
                const ssize_t n = read(pair.client, buffer, sizeof buffer);
                if (n <= 0) {
                    drop(i);
                    continue;
                }
                const bool commit = QByteArray::fromRawData(buffer, n).contains(commitMessage);
                const Cut cut = commit ? m_cut.exchange(Cut::Nothing) : Cut::Nothing;
                if (cut == Cut::BeforeCommit || write(pair.server, buffer, size_t(n)) != n) {
                    drop(i);
                    continue;
                }
                pair.dropAnswer = cut == Cut::AnswerToCommit;
            }
        }
    }
    for (size_t i = pairs.size(); i-- > 0;)
        drop(i);
    close(m_listener);
}
