// Backing the running database up: an online, verified copy that replaces an
// earlier backup only when it is sound, never into the program's own data.
#include "BackupSamples.h"
#include "TestSupport.h"
#include "WindowDriver.h"

#include "app/WindowCatalog.h"
#include "core/AppPaths.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "shop/BackupFiles.h"
#include "shop/DatabaseBackup.h"
#include "maintenance/TFrmBackUp.h"

#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <memory>

using namespace WindowDriver;
using namespace BackupSamples;

class TestBackup : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;
    QString target;   // a directory of the test's own for backups

private slots:
    void init()
    {
        app = std::make_unique<TestApp>();
        target = makeDirectory(*app, "backup");
        addGoods(*app, "G1");
    }
    void cleanup()
    {
        MaintenanceWindow::setLargeFileBytes(8 * 1024 * 1024);
        app.reset();
    }

    // The tree reads directories in the background; the chosen one must end up opened and in view.
    void startsInCurrentDirectoryInView()
    {
        const QString previous = QDir::currentPath();
        QDir::setCurrent(target);
        TFrmBackUp w;
        QDir::setCurrent(previous);
        showWindow(w);
        QCOMPARE(w.chosenDirectory(), target);
        QCOMPARE(w.DirLabel->text(), target);
        const QModelIndex chosen = w.DL->currentIndex();
        QTRY_VERIFY(w.DL->isExpanded(chosen.parent()));
        QTest::qWait(500);   // let later levels and sorting arrive
        QVERIFY(w.DL->viewport()->rect().contains(w.DL->visualRect(w.DL->currentIndex())));
    }

    void backupTwiceOverwritesWithoutAsking()
    {
        TFrmBackUp w;
        showWindow(w);
        w.chooseDirectory(target);
        QCOMPARE(w.chosenDirectory(), target);
        click(w, "cmd_add");
        QCOMPARE(app->dialogs().lastMessage(), QString("数据备份完毕"));
        const QString copy = QDir(target).filePath("brovanta.mdb");
        QCOMPARE(goodsCodes(copy), QStringList({"G1"}));

        addGoods(*app, "G2");
        click(w, "cmd_add");
        QCOMPARE(app->dialogs().messages.size(), 2);
        QCOMPARE(app->dialogs().lastMessage(), QString("数据备份完毕"));
        QVERIFY(app->dialogs().questions.isEmpty());
        QCOMPARE(goodsCodes(copy), QStringList({"G1", "G2"}));
        QCOMPARE(goodsCodes(copy), goodsCodes(AppPaths::databaseFile()));
        QCOMPARE(QDir(target).entryList(QDir::Files), QStringList({"brovanta.mdb"}));
        QVERIFY(leftovers(target).isEmpty());
    }

    void copyIsEncryptedWithTheSystemKey()
    {
        QVERIFY(DatabaseBackup::run(ShopServer::placeOf(dataModule().AdoConn), target).ok);
        const QString copy = QDir(target).filePath("brovanta.mdb");
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.read(16).startsWith("SQLite format 3"));
        db::Connection withoutKey;
        bool refused = false;
        try {
            withoutKey.open(copy, QString());
        } catch (const db::Error&) {
            refused = true;
        }
        QVERIFY(refused);
        QVERIFY(DatabaseFile::isSystemDatabase(copy));
    }

    // A write another part of the program has begun but not committed is not in the copy.
    void backupTakesOnlyCommittedData()
    {
        db::Connection& connection = app->dataModule().AdoConn;
        {
            db::Transaction open(connection, db::Transaction::Write);
            addGoods(*app, "UNCOMMITTED");
            app->exec("update goods set gods_name='改过' where gods_code='G1'");
            const MaintenanceResult result = DatabaseBackup::run(ShopServer::placeOf(dataModule().AdoConn), target);
            QVERIFY2(result.ok, qPrintable(result.reason));
            open.commit();
        }
        const QString copy = QDir(target).filePath("brovanta.mdb");
        QCOMPARE(goodsCodes(copy), QStringList({"G1"}));
        db::Connection backup;
        backup.open(copy, DatabaseFile::password);
        db::Statement name(backup, "select gods_name from goods where gods_code='G1'");
        QVERIFY(name.next());
        QCOMPARE(name.textValue(0), QString("货品G1"));
        QCOMPARE(goodsCodes(AppPaths::databaseFile()), QStringList({"G1", "UNCOMMITTED"}));
    }

    void stoppedBackupLeavesEarlierOneUntouched()
    {
        QVERIFY(DatabaseBackup::run(ShopServer::placeOf(dataModule().AdoConn), target).ok);
        const QString copy = QDir(target).filePath("brovanta.mdb");
        const QByteArray before = fingerprint(copy);
        addGoods(*app, "G2");
        int calls = 0;
        const MaintenanceResult result = DatabaseBackup::run(ShopServer::placeOf(dataModule().AdoConn), target, [&calls](int, int) { return ++calls < 3; });
        QVERIFY(!result.ok);
        QCOMPARE(calls, 3);
        QVERIFY(!result.reason.isEmpty());
        QCOMPARE(fingerprint(copy), before);
        QCOMPARE(goodsCodes(copy), QStringList({"G1"}));
        QVERIFY(leftovers(target).isEmpty());
    }

    void ownDataDirectoryRefused_data()
    {
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("data directory") << false;
        QTest::newRow("link to the data directory") << true;
    }
    void ownDataDirectoryRefused()
    {
        QFETCH(bool, throughLink);
        QString directory = dataDirectory();
        if (throughLink) {
            directory = QDir(app->directory()).filePath("linked");
            QVERIFY(QFile::link(dataDirectory(), directory));
        }
        const QByteArray before = fingerprint(AppPaths::databaseFile());
        TFrmBackUp w;
        w.chooseDirectory(directory);
        click(w, "cmd_add");
        QCOMPARE(app->dialogs().messages.size(), 1);
        const QStringList lines = app->dialogs().lastMessage().split('\n');
        QCOMPARE(lines.first(), QString("数据备份错误"));
        QVERIFY(lines.value(1).contains("数据目录"));
        QCOMPARE(fingerprint(AppPaths::databaseFile()), before);
        QCOMPARE(QDir(dataDirectory()).entryList({"*.mdb", "*.part"}, QDir::Files), QStringList({"brovanta.mdb"}));
        QVERIFY(app->dataModule().AdoConn.isOpen());
    }

    void missingDirectoryReportsError()
    {
        const MaintenanceResult result = DatabaseBackup::run(ShopServer::placeOf(dataModule().AdoConn), QDir(target).filePath("gone"));
        QVERIFY(!result.ok);
        QVERIFY(result.reason.contains("不存在"));
    }

    // A folder that takes no file is told in Chinese; the system's words follow as a detail.
    void refusedFolderIsToldInChinese()
    {
        try {
            BackupFiles::copyInto(AppPaths::databaseFile(), QDir(target).filePath("gone"), {});
            QFAIL("a copy into a folder that takes no file was made");
        } catch (const db::Error& e) {
            const QStringList lines = e.message().split('\n');
            QVERIFY2(lines.first().endsWith("。"), qPrintable(e.message()));
            QVERIFY2(lines.value(1).startsWith("详细信息："), qPrintable(e.message()));
        }
        QVERIFY(QDir(target).entryList({"*.part"}, QDir::Files).isEmpty());
    }

    void largeFileShowsProgressDialog()
    {
        MaintenanceWindow::setLargeFileBytes(0);
        TFrmBackUp w;
        showWindow(w);
        w.chooseDirectory(target);
        QStringList phases;
        bool busy = true;
        // Runs whenever the copy lets the screen repaint.
        QTimer watcher;
        watcher.setInterval(0);
        connect(&watcher, &QTimer::timeout, &w, [&] {
            auto* dialog = w.findChild<QProgressDialog*>("ProgressDialog");
            if (dialog && dialog->isVisible() && !phases.contains(dialog->labelText()))
                phases << dialog->labelText();
            busy = busy && QGuiApplication::overrideCursor()
                   && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        watcher.start();
        click(w, "cmd_add");
        watcher.stop();
        QCOMPARE(phases, QStringList({"正在备份数据库……", "正在检查数据库……"}));
        QVERIFY(busy);
        QCOMPARE(app->dialogs().lastMessage(), QString("数据备份完毕"));
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(!w.findChild<QProgressDialog*>("ProgressDialog"));
    }

    void actionNeedsAddRight_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("position");
        QTest::newRow("backup") << "TFrmBackUp" << 24;
        QTest::newRow("restore") << "TFrmRestore" << 25;
    }
    void actionNeedsAddRight()
    {
        QFETCH(QString, window);
        QFETCH(int, position);
        WindowCatalog::registerAll();
        for (const bool granted : {true, false}) {
            QString rights(25, '1');
            rights[position - 1] = granted ? '1' : '0';
            app->setRights(rights);
            std::unique_ptr<QDialog> w(WindowCatalog::create(window, nullptr));
            QVERIFY(w);
            QCOMPARE(child<QPushButton>(*w, "cmd_add")->isEnabled(), granted);
            QVERIFY(child<QPushButton>(*w, "BitBtn1")->isEnabled());
        }
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
