// Restoring the database: the chosen file is checked before anything is
// replaced, the replaced database is kept, and the program goes on with the
// restored data, or with its old data when the restored file cannot be opened.
#include "BackupSamples.h"
#include "TestSupport.h"
#include "WindowDriver.h"

#include "core/AppPaths.h"
#include "core/Clock.h"
#include "db/Error.h"
#include "db/Schema.h"
#include "db/Transaction.h"
#include "shop/DatabaseBackup.h"
#include "shop/AutoBackup.h"
#include "shop/DatabaseRestore.h"
#include "maintenance/TFrmRestore.h"

#include <sqlite3.h>

#include <QListWidget>
#include <QRegularExpression>
#include <QtTest>
#include <memory>

using namespace WindowDriver;
using namespace BackupSamples;

namespace {

const QRegularExpression keptName("^brovanta-before-restore-\\d{8}-\\d{6}\\.mdb$");

QStringList keptCopies()
{
    return QDir(dataDirectory()).entryList({"brovanta-before-restore-*"}, QDir::Files);
}

// A database with the system's tables but no key at all.
void makePlainDatabase(const QString& path)
{
    sqlite3* handle = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &handle), SQLITE_OK);
    for (const db::Table& table : db::Schema::tables())
        QCOMPARE(sqlite3_exec(handle, db::Schema::createStatement(table).toUtf8().constData(), nullptr, nullptr,
                              nullptr), SQLITE_OK);
    sqlite3_close(handle);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(16).startsWith("SQLite format 3"));
}

// A keyed database at `path`, with the system's tables or one other.
void makeDatabase(const QString& path, const QString& key, bool systemTables)
{
    db::Connection connection;
    connection.open(path, key, true);
    if (systemTables)
        db::Schema::create(connection);
    else
        connection.execute("create table notes (line text)");
}

} // namespace

class TestRestore : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;
    QString source;   // the directory a backup is restored from

    // The message of one press of "恢复" on `directory`.
    QString restoreThroughWindow(const QString& directory)
    {
        TFrmRestore w;
        w.chooseDirectory(directory);
        app->dialogs().clear();
        click(w, "cmd_add");
        return app->dialogs().messages.size() == 1 ? app->dialogs().lastMessage() : QString();
    }

    // The running database still works and holds what it held.
    void verifyUnchanged(const QByteArray& before, const QStringList& codes)
    {
        QCOMPARE(fingerprint(AppPaths::databaseFile()), before);
        QVERIFY(app->dataModule().AdoConn.isOpen());
        QCOMPARE(app->scalar("select count(*) from goods").toInt(), codes.size());
        QVERIFY(keptCopies().isEmpty());
        QVERIFY(leftovers(dataDirectory()).isEmpty());
    }

private slots:
    void init()
    {
        app = std::make_unique<TestApp>();
        source = makeDirectory(*app, "backup");
        addGoods(*app, "G1");
    }
    void cleanup()
    {
        app.reset();
        Clock::setFixed({});
    }

    void directoryWithoutDatabasesHasNothingToRestore()
    {
        QFile note(QDir(source).filePath("readme.txt"));
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.close();
        TFrmRestore w;
        w.chooseDirectory(source);
        QCOMPARE(w.FB->count(), 0);
        click(w, "cmd_add");
        QCOMPARE(app->dialogs().lastMessage(), QString("无数据可恢复"));
        QVERIFY(app->dataModule().AdoConn.isOpen());
        QCOMPARE(app->scalar("select count(*) from goods").toInt(), 1);
        QVERIFY(keptCopies().isEmpty());
    }

    // Only the backup's own name is ever restored, so only it is listed.
    void fileListShowsOnlyWhatCanBeRestored()
    {
        QVERIFY(DatabaseBackup::run(ShopServer::placeOf(dataModule().AdoConn), source).ok);
        QVERIFY(QFile::copy(QDir(source).filePath("brovanta.mdb"), QDir(source).filePath("other.mdb")));
        QFile note(QDir(source).filePath("readme.txt"));
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.close();
        TFrmRestore w;
        w.chooseDirectory(source);
        QCOMPARE(w.FB->count(), 1);
        QVERIFY2(w.FB->item(0)->text().contains("brovanta.mdb"), qPrintable(w.FB->item(0)->text()));
        QVERIFY2(w.FB->item(0)->text().contains("检查通过"), qPrintable(w.FB->item(0)->text()));

        // A directory with other databases only has nothing to restore.
        QVERIFY(QFile::rename(QDir(source).filePath("brovanta.mdb"), QDir(source).filePath("shop2024.mdb")));
        const QByteArray before = fingerprint(AppPaths::databaseFile());
        QCOMPARE(restoreThroughWindow(source), QString("无数据可恢复"));
        verifyUnchanged(before, goodsCodes(AppPaths::databaseFile()));
    }

    // The automatic backups are listed where they are kept, newest first with
    // their check; the one chosen is restored after a question naming its date.
    void automaticBackupChosenByItsDate()
    {
        Clock::setFixed(QDateTime(QDate(2026, 12, 1), QTime(9, 0)));
        QVERIFY(AutoBackup::run(ShopServer::placeOf(dataModule().AdoConn)).ok);
        addGoods(*app, "G2");
        Clock::setFixed(QDateTime(QDate(2026, 12, 10), QTime(14, 22)));
        QVERIFY(AutoBackup::run(ShopServer::placeOf(dataModule().AdoConn)).ok);
        addGoods(*app, "G3");
        const QString backups = AppPaths::backupDirectory();
        QFile damaged(QDir(backups).filePath("brovanta-20261205-120000.mdb"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(4096, 'x'));
        damaged.close();

        TFrmRestore w;
        QCOMPARE(w.chosenDirectory(), QDir(backups).absolutePath());
        QCOMPARE(w.FB->count(), 3);
        QVERIFY(w.FB->item(0)->text().startsWith("2026-12-10 14:22:00"));
        QVERIFY(w.FB->item(1)->text().startsWith("2026-12-05 12:00:00"));
        QVERIFY(w.FB->item(1)->text().contains("不能恢复"));
        // One line a backup; the engine's detail only in the tooltip.
        QVERIFY2(!w.FB->item(1)->text().contains('\n'), qPrintable(w.FB->item(1)->text()));
        QVERIFY(w.FB->item(1)->toolTip().contains("详细信息"));
        QVERIFY(w.FB->item(2)->text().startsWith("2026-12-01 09:00:00"));
        QVERIFY(w.FB->item(2)->text().contains("检查通过"));

        // Declined: nothing replaced.
        w.FB->setCurrentRow(2);
        app->dialogs().answers = {false};
        click(w, "cmd_add");
        QCOMPARE(app->dialogs().questions.size(), 1);
        QVERIFY2(app->dialogs().questions.last().contains("2026-12-01 09:00"), qPrintable(app->dialogs().questions.last()));
        QVERIFY(app->dialogs().questions.last().contains("不会丢失"));
        QCOMPARE(app->dialogs().questionDefaults.last(), ui::Dialogs::Default::Cancel);
        QVERIFY(keptCopies().isEmpty());
        QCOMPARE(app->scalar("select count(*) from goods").toInt(), 3);

        w.FB->setCurrentRow(2);
        click(w, "cmd_add");
        QCOMPARE(app->dialogs().lastMessage().split('\n').first(), QString("数据恢复完毕"));
        QCOMPARE(app->scalar("select count(*) from goods").toInt(), 1);
        QCOMPARE(keptCopies().size(), 1);
        QCOMPARE(goodsCodes(QDir(dataDirectory()).filePath(keptCopies().first())), QStringList({"G1", "G2", "G3"}));
    }

    void unsuitableFileRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("engineDetail");
        QTest::newRow("plain file") << "text" << "不能用本系统的密码打开" << true;
        QTest::newRow("unencrypted database") << "plain" << "不能用本系统的密码打开" << true;
        QTest::newRow("another key") << "key" << "不能用本系统的密码打开" << true;
        QTest::newRow("other tables") << "tables" << "没有本系统的数据表" << false;
        QTest::newRow("damaged") << "damaged" << "损坏" << true;
    }
    void unsuitableFileRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QFETCH(bool, engineDetail);
        const QString file = QDir(source).filePath("brovanta.mdb");
        if (kind == "text") {
            QFile text(file);
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write(QByteArray("这不是数据库\n").repeated(200));
        } else if (kind == "plain") {
            makePlainDatabase(file);
        } else if (kind == "key") {
            makeDatabase(file, "1234567890", true);
        } else if (kind == "tables") {
            makeDatabase(file, DatabaseFile::password, false);
        } else {
            db::Transaction many(app->dataModule().AdoConn);
            for (int i = 0; i < 300; ++i)
                addGoods(*app, QString("D%1").arg(i));
            many.commit();
            QVERIFY(DatabaseBackup::run(ShopServer::placeOf(dataModule().AdoConn), source).ok);
            QFile damaged(file);
            QVERIFY(damaged.open(QIODevice::ReadWrite));
            QVERIFY(damaged.seek(damaged.size() - 4096));   // the goods', written last
            damaged.write(QByteArray(4096, '\x5a'));
        }
        addGoods(*app, "G2");
        const QStringList codes = goodsCodes(AppPaths::databaseFile());
        const QByteArray before = fingerprint(AppPaths::databaseFile());

        const QStringList lines = restoreThroughWindow(source).split('\n');
        QCOMPARE(lines.first(), QString("数据恢复错误"));
        QVERIFY2(lines.value(1).contains(reason), qPrintable(lines.value(1)));
        // The reason is Chinese; the engine's English words come only as a detail line.
        QVERIFY2(!lines.value(1).contains(QRegularExpression("[A-Za-z]")), qPrintable(lines.value(1)));
        QCOMPARE(lines.size(), engineDetail ? 3 : 2);
        if (engineDetail)
            QVERIFY(lines.value(2).startsWith("详细信息："));
        verifyUnchanged(before, codes);
    }

    void runningDatabaseIsNotRestoredOverItself()
    {
        const QByteArray before = fingerprint(AppPaths::databaseFile());
        const QStringList lines = restoreThroughWindow(dataDirectory()).split('\n');
        QCOMPARE(lines.first(), QString("数据恢复错误"));
        QVERIFY(lines.value(1).contains("正在使用"));
        verifyUnchanged(before, {"G1"});
    }

    void goodRestoreBringsBackTheBackup()
    {
        QVERIFY(DatabaseBackup::run(ShopServer::placeOf(dataModule().AdoConn), source).ok);
        addGoods(*app, "G2");
        app->exec("update goods set gods_name='改名' where gods_code='G1'");
        db::Dataset* goods = app->dataModule().GoodsQ;
        goods->open();
        QCOMPARE(goods->recordCount(), 2);

        const QStringList lines = restoreThroughWindow(source).split('\n');
        QCOMPARE(lines.first(), QString("数据恢复完毕"));
        const QStringList kept = keptCopies();
        QCOMPARE(kept.size(), 1);
        QVERIFY2(keptName.match(kept.first()).hasMatch(), qPrintable(kept.first()));
        const QString keptPath = QDir(dataDirectory()).filePath(kept.first());
        QVERIFY(lines.value(1).contains(QDir::toNativeSeparators(keptPath)));
        QCOMPARE(goodsCodes(keptPath), QStringList({"G1", "G2"}));

        // Datasets were closed with the old connection; opened again they read the restored rows.
        QVERIFY(!goods->isOpen());
        QVERIFY(app->dataModule().AdoConn.isOpen());
        goods->open();
        QCOMPARE(goods->recordCount(), 1);
        QCOMPARE(goods->text("gods_code"), QString("G1"));
        QCOMPARE(goods->text("gods_name"), QString("货品G1"));
        QVERIFY(leftovers(dataDirectory()).isEmpty());
        // The backup itself is left as it was.
        QCOMPARE(goodsCodes(QDir(source).filePath("brovanta.mdb")), QStringList({"G1"}));
        // The restored database says it was restored, from which file, by whom.
        QCOMPARE(app->scalar("select count(*) from oper_log").toInt(), 1);
        QCOMPARE(app->scalar("select act_name||' '||user_id from oper_log").toString(), QString("恢复 admin"));
        QVERIFY(app->scalar("select summary from oper_log").toString().contains(
            QDir::toNativeSeparators(QDir(source).filePath("brovanta.mdb"))));
    }

    void olderBackupTakesTheCurrentShape()
    {
        QVERIFY(DatabaseBackup::run(ShopServer::placeOf(dataModule().AdoConn), source).ok);
        {
            db::Connection older;
            older.open(QDir(source).filePath("brovanta.mdb"), DatabaseFile::password);
            makeFirstRelease(older);
        }
        QCOMPARE(restoreThroughWindow(source).section('\n', 0, 0), QString("数据恢复完毕"));
        QCOMPARE(db::Schema::fileVersion(app->dataModule().AdoConn), db::Schema::version());
        QCOMPARE(app->scalar("select act_name from oper_log").toString(), QString("恢复"));
        // The older file was backed up before it changed.
        QCOMPARE(QDir(AppPaths::backupDirectory()).entryList({"brovanta-v0-before-upgrade-*.mdb"}).size(), 1);
    }

    void failedReopenPutsPreviousDatabaseBack()
    {
        QVERIFY(DatabaseBackup::run(ShopServer::placeOf(dataModule().AdoConn), source).ok);
        addGoods(*app, "G2");
        // G2 moves from the write-ahead log into the file, as closing for the restore does.
        app->exec("pragma wal_checkpoint(truncate)");
        const QByteArray before = fingerprint(AppPaths::databaseFile());
        DatabaseRestore restore(app->dataModule());
        QStringList opened;
        restore.setOpener([&opened](db::Connection& connection, const QString& path) {
            opened << goodsCodes(path).join(',');
            if (opened.size() == 1)
                throw db::Error("磁盘故障");
            connection.open(path, DatabaseFile::password);
        });
        const MaintenanceResult result = restore.run(source);
        QVERIFY(!result.ok);
        QVERIFY(result.reason.contains("磁盘故障"));
        QVERIFY(result.reason.contains("原数据库已放回"));
        // First the restored file was tried, then the previous one reopened.
        QCOMPARE(opened, QStringList({"G1", "G1,G2"}));
        verifyUnchanged(before, {"G1", "G2"});
    }

    // While the daily backup reads on its own connection the write-ahead log stays
    // beside the file; a file swapped in now would be read with the old file's log.
    void restoreWaitsForABackupReadingTheFile()
    {
        QVERIFY(DatabaseBackup::run(ShopServer::placeOf(dataModule().AdoConn), source).ok);
        addGoods(*app, "G2");
        db::Connection reader;
        DatabaseFile::open(reader, AppPaths::databaseFile());
        const MaintenanceResult result = DatabaseRestore(app->dataModule()).run(source);
        QVERIFY(!result.ok);
        QVERIFY2(result.reason.startsWith("自动备份正在进行"), qPrintable(result.reason));
        QVERIFY(app->dataModule().AdoConn.isOpen());
        QCOMPARE(goodsCodes(AppPaths::databaseFile()), QStringList({"G1", "G2"}));
        QVERIFY(keptCopies().isEmpty());
        QVERIFY(leftovers(dataDirectory()).isEmpty());
        reader.close();
        QVERIFY(DatabaseRestore(app->dataModule()).run(source).ok);
        QCOMPARE(goodsCodes(AppPaths::databaseFile()), QStringList({"G1"}));
    }

    void stoppedRestoreReplacesNothing()
    {
        QVERIFY(DatabaseBackup::run(ShopServer::placeOf(dataModule().AdoConn), source).ok);
        addGoods(*app, "G2");
        const QByteArray before = fingerprint(AppPaths::databaseFile());
        DatabaseRestore restore(app->dataModule());
        const MaintenanceResult result = restore.run(source, [](int, int) { return false; });
        QVERIFY(!result.ok);
        verifyUnchanged(before, {"G1", "G2"});
    }
};

QTEST_MAIN(TestRestore)
#include "tst_restore.moc"
