#pragma once

#include <QLockFile>
#include <memory>

// One running copy per user: a lock file held for the life of the process.
class SingleInstance {
public:
    // The user's own lock; tests name a lock file of their own.
    explicit SingleInstance(QString lockFile = {});

    // Takes the lock; false when another copy holds it.
    bool acquire();

private:
    QString m_lockFile;
    std::unique_ptr<QLockFile> m_lock;
};
