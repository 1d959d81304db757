// Automatic backups without a window: the rotation over simulated days, a
// backup that fails its check, a folder that vanished, and when one is due.
#include "TestSupport.h"

#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/IniFile.h"
#include "shop/AutoBackup.h"
#include "shop/BackupFiles.h"
#include "shop/BackupRotation.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestAutoBackup : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;

    static QStringList backups(const QString& directory)
    {
        return QDir(directory).entryList({"*.mdb"}, QDir::Files, QDir::Name);
    }

private slots:
    void init() { app = std::make_unique<TestApp>(); }
    void cleanup() { app.reset(); }

    void rotationOverAYearKeepsFourteenAndOnePerMonth()
    {
        QStringList folder = {"brovanta.mdb", "brovanta-v0-before-upgrade-20250101-080000.mdb"};
        const QDate first(2025, 1, 1);
        QDate day = first;
        for (int n = 0; n < 400; ++n, day = day.addDays(1)) {
            folder << BackupRotation::fileName(QDateTime(day, QTime(20, 0)));
            for (const QString& gone : BackupRotation::toDelete(folder, day))
                folder.removeOne(gone);
        }
        QCOMPARE(day.addDays(-1), QDate(2026, 2, 4));
        // Other files stay; the last 14 days; the last of each month back to March 2025.
        QStringList expected = {"brovanta.mdb", "brovanta-v0-before-upgrade-20250101-080000.mdb"};
        for (const char* d : {"20250331", "20250430", "20250531", "20250630", "20250731", "20250831", "20250930",
                              "20251031", "20251130", "20251231"})
            expected << QString("brovanta-%1-200000.mdb").arg(d);
        for (int n = 22; n <= 31; ++n)
            expected << QString("brovanta-202601%1-200000.mdb").arg(n);
        for (int n = 1; n <= 4; ++n)
            expected << QString("brovanta-2026020%1-200000.mdb").arg(n);
        folder.sort();
        expected.sort();
        QCOMPARE(folder, expected);
        QCOMPARE(folder.size(), 2 + 10 + 14);
    }

    void sixtyDaysOfRealBackups()
    {
        const QString directory = AppPaths::backupDirectory();
        QDate day(2026, 1, 10);
        for (int n = 0; n < 60; ++n, day = day.addDays(1)) {
            Clock::setFixed(QDateTime(day, QTime(11, 0)));
            QVERIFY(!AutoBackup::isDue());   // before the set hour (12)
            Clock::setFixed(QDateTime(day, QTime(18, 30)));
            QVERIFY(AutoBackup::isDue());
            const MaintenanceResult result = AutoBackup::run();
            QVERIFY2(result.ok, qPrintable(result.reason));
            QVERIFY(!AutoBackup::isDue());
            QCOMPARE(AutoBackup::lastGood(), QDateTime(day, QTime(18, 30)));
        }
        // Last day March 10: Feb 25 .. Mar 10, and January's last.
        QStringList expected = {"brovanta-20260131-183000.mdb"};
        for (QDate d(2026, 2, 25); d <= QDate(2026, 3, 10); d = d.addDays(1))
            expected << BackupRotation::fileName(QDateTime(d, QTime(18, 30)));
        QCOMPARE(backups(directory), expected);
        for (const QString& name : expected)
            QVERIFY2(BackupFiles::problem(QDir(directory).filePath(name)).isEmpty(), qPrintable(name));

        Clock::setFixed(QDateTime(QDate(2026, 3, 13), QTime(18, 29)));
        QVERIFY(!AutoBackup::isStale());
        Clock::setFixed(QDateTime(QDate(2026, 3, 13), QTime(18, 31)));
        QVERIFY(AutoBackup::isStale());
    }

    void backupFailingItsCheckIsNeverCounted()
    {
        const QString directory = AppPaths::backupDirectory();
        Clock::setFixed(QDateTime(QDate(2026, 3, 1), QTime(20, 0)));
        QVERIFY(AutoBackup::run().ok);
        IniFile(AppPaths::settingsFile()).write("autobackup", "keep", "1");
        Clock::setFixed(QDateTime(QDate(2026, 4, 1), QTime(20, 0)));
        // The copy is damaged after it was written, just before its check.
        const MaintenanceResult result = AutoBackup::run([&directory](int, int total) {
            if (total == 0)
                for (const QString& part : QDir(directory).entryList({"*.part"}, QDir::Files)) {
                    QFile file(QDir(directory).filePath(part));
                    if (file.open(QIODevice::ReadWrite)) {
                        file.seek(100);
                        file.write(QByteArray(4000, '\x5a'));
                    }
                }
            return true;
        });
        QVERIFY(!result.ok);
        // The damaged copy is gone, the older good one was not rotated away.
        QCOMPARE(backups(directory), QStringList({"brovanta-20260301-200000.mdb"}));
        QCOMPARE(AutoBackup::lastGood(), QDateTime(QDate(2026, 3, 1), QTime(20, 0)));
    }

    void vanishedFolderIsSkipped()
    {
        const QString stick = QDir(app->directory()).filePath("usb");
        IniFile(AppPaths::settingsFile()).write("autobackup", "folder", stick);
        const MaintenanceResult result = AutoBackup::run();
        QVERIFY(!result.ok);
        QVERIFY2(result.reason.contains("不存在"), qPrintable(result.reason));
        QVERIFY(!QFileInfo::exists(stick));
        QVERIFY(!AutoBackup::lastGood().isValid());
    }
};

QTEST_MAIN(TestAutoBackup)
#include "tst_autobackup.moc"
