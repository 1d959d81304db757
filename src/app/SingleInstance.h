#pragma once

#include <QLockFile>
#include <memory>

// One running copy per user: a lock file held for the life of the process.
class SingleInstance {
public:
    // Takes the lock; false when another copy of this user holds it.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};
