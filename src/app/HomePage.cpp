#include "app/HomePage.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

namespace HomePage {

bool open()
{
    // A browser cannot read the program's resources, so the page is put beside them on disk.
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    const QString path = QDir(dir).filePath(QStringLiteral("brovanta-homepage.html"));
    QFile::remove(path);
    if (!QFile::copy(QStringLiteral(":/homepage.html"), path))
        return false;
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace HomePage
