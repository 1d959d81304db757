#include "core/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace AppPaths {

namespace {
QString chosen;
}

QString directory()
{
    if (chosen.isEmpty()) {
        const QString executableDir = QCoreApplication::applicationDirPath();
        if (keepsDataBeside(executableDir, QFileInfo(executableDir).isWritable())) {
            chosen = executableDir;
        } else {
            chosen = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
            QDir().mkpath(chosen);
        }
    }
    return chosen;
}

bool keepsDataBeside(const QString& executableDir, bool writable)
{
    if (!writable)
        return false;
    const QString canonical = QFileInfo(executableDir).canonicalFilePath();
    const QString dir = QDir::cleanPath(canonical.isEmpty() ? executableDir : canonical);
    for (const char* system : {"/usr", "/bin", "/sbin"}) {
        const QString root = QLatin1String(system);
        if (dir == root || dir.startsWith(root + QLatin1Char('/')))
            return false;
    }
    return true;
}

void setDirectory(const QString& dir)
{
    chosen = dir;
}

QString settingsFile()
{
    return QDir(directory()).filePath(QStringLiteral("system.ini"));
}

QString databaseFile()
{
    return QDir(directory()).filePath(QStringLiteral("data/brovanta.mdb"));
}

QString backupDirectory()
{
    return QDir(directory()).filePath(QStringLiteral("backup"));
}

} // namespace AppPaths
