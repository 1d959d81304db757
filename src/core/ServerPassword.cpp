#include "core/ServerPassword.h"

#include "db/Connection.h"

#include <QEventLoop>
#include <QHash>
#include <QMutex>
#include <QTimer>
#include <functional>
#include <qt6keychain/keychain.h>

namespace ServerPassword {

namespace {

const QString service = QStringLiteral("brovanta");
// The login waits a little; saving, done by a user at the settings, gives the
// keyring time to ask for its own password (a first keyring, a locked one).
const int readSeconds = 5;
const int writeSeconds = 60;

// QtKeychain's jobs answer through the event loop; a keyring daemon that
// never answers must not hold up the login, so a job gets `seconds`. A job
// that answers later deletes itself and tells no one.
QString run(QKeychain::Job* job, int seconds, const std::function<void(QKeychain::Job*)>& done = {})
{
    job->setAutoDelete(true);
    QEventLoop loop;
    QString error = QStringLiteral("系统密钥环没有应答");
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job* finished) {
        if (finished->error() == QKeychain::NoError || finished->error() == QKeychain::EntryNotFound) {
            error.clear();
            if (done && finished->error() == QKeychain::NoError)
                done(finished);
        } else {
            error = finished->errorString();
        }
        loop.quit();
    });
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    job->start();
    loop.exec();
    return error;
}

class Keyring : public Store {
public:
    QString read(const QString& key) override
    {
        auto* job = new QKeychain::ReadPasswordJob(service);
        job->setKey(key);
        QString password;
        run(job, readSeconds, [&password](QKeychain::Job* done) {
            password = static_cast<QKeychain::ReadPasswordJob*>(done)->textData();
        });
        return password;
    }
    QString write(const QString& key, const QString& password) override
    {
        auto* job = new QKeychain::WritePasswordJob(service);
        job->setKey(key);
        job->setTextData(password);
        return run(job, writeSeconds);
    }
    // Nothing kept counts as forgotten.
    QString remove(const QString& key) override
    {
        auto* job = new QKeychain::DeletePasswordJob(service);
        job->setKey(key);
        return run(job, writeSeconds);
    }
};

Keyring keyring;
Store* current = &keyring;

// The passwords servers took in this run of the program, by address; the
// backup's thread reads them too.
QMutex takenLock;
QHash<QString, QString> takenPasswords;

QString keyOf(const db::ServerAddress& a)
{
    return QStringLiteral("%1@%2:%3/%4").arg(a.user, a.host).arg(a.port).arg(a.database);
}

} // namespace

QString load(const db::ServerAddress& address)
{
    return current->read(keyOf(address));
}

QString save(const db::ServerAddress& address, const QString& password)
{
    return current->write(keyOf(address), password);
}

QString forget(const db::ServerAddress& address)
{
    return current->remove(keyOf(address));
}

void taken(const db::ServerAddress& address)
{
    if (address.password.isEmpty())
        return;
    const QMutexLocker lock(&takenLock);
    takenPasswords.insert(keyOf(address), address.password);
}

QString takenFor(const db::ServerAddress& address)
{
    const QMutexLocker lock(&takenLock);
    return takenPasswords.value(keyOf(address));
}

void setStore(Store* store)
{
    current = store ? store : &keyring;
}

} // namespace ServerPassword
