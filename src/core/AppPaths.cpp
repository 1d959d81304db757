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
        const QFileInfo info(executableDir);
        if (info.isWritable() && !executableDir.startsWith(QLatin1String("/usr/"))) {
            chosen = executableDir;
        } else {
            chosen = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
            QDir().mkpath(chosen);
        }
    }
    return chosen;
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
