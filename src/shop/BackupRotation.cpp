#include "shop/BackupRotation.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace BackupRotation {

namespace {
const QString stampFormat = QStringLiteral("yyyyMMdd-hhmmss");
}

QString fileName(const QDateTime& at)
{
    return QStringLiteral("brovanta-%1.mdb").arg(at.toString(stampFormat));
}

QDateTime timeOf(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^brovanta-(\\d{8}-\\d{6})\\.mdb$"));
    const QRegularExpressionMatch match = pattern.match(name);
    return match.hasMatch() ? QDateTime::fromString(match.captured(1), stampFormat) : QDateTime();
}

QStringList toDelete(const QStringList& names, const QDate& today, int keep)
{
    QList<std::pair<QDateTime, QString>> backups;
    for (const QString& name : names) {
        // One dated after today is not counted among those kept, nor deleted.
        const QDateTime at = timeOf(name);
        if (at.isValid() && at.date() <= today)
            backups.append({at, name});
    }
    // Newest first.
    std::sort(backups.begin(), backups.end(), [](const auto& a, const auto& b) { return a.first > b.first; });

    const QDate firstMonth = QDate(today.year(), today.month(), 1).addMonths(-11);
    QSet<QString> kept;
    QSet<int> monthsKept;
    for (int i = 0; i < backups.size(); ++i) {
        const QDate day = backups.at(i).first.date();
        const int month = day.year() * 12 + day.month();
        if (i < keep)
            kept.insert(backups.at(i).second);
        if (day >= firstMonth && !monthsKept.contains(month)) {
            monthsKept.insert(month);
            kept.insert(backups.at(i).second);
        }
    }
    QStringList doomed;
    for (auto it = backups.crbegin(); it != backups.crend(); ++it)
        if (!kept.contains(it->second))
            doomed << it->second;
    return doomed;
}

} // namespace BackupRotation
