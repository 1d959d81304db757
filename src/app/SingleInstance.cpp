#include "app/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

SingleInstance::SingleInstance(QString lockFile)
    : m_lockFile(std::move(lockFile))
{
    if (!m_lockFile.isEmpty())
        return;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    m_lockFile = QDir(dir).filePath(QStringLiteral("brovanta.lock"));
}

bool SingleInstance::acquire()
{
    QDir().mkpath(QFileInfo(m_lockFile).absolutePath());
    m_lock = std::make_unique<QLockFile>(m_lockFile);
    // A lock left by a copy that died is taken over (the lock file records its process).
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}
