#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

bool SingleInstance::acquire()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    m_lock = std::make_unique<QLockFile>(QDir(dir).filePath(QStringLiteral("brovanta.lock")));
    // A lock left by a copy that died is taken over (the lock file records its process).
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}
