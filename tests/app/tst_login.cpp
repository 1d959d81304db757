// The connection step, system.ini and the login attempt.
#include "TestSupport.h"

#include "core/AppPaths.h"
#include "core/CurrentRights.h"
#include "core/IniFile.h"
#include "core/Settings.h"
#include "core/ShopServer.h"
#include "app/Application.h"
#include "app/TFrmLogin.h"
#include "app/TFrmServerSettings.h"
#include "app/TfrmMain.h"
#include "core/DatabaseFile.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Schema.h"
#include "db/ServerRoles.h"
#include "db/Statement.h"
#include "shop/DatabaseBackup.h"

#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A test application whose data module has not connected yet, as at start-up.
struct Unconnected : TestApp {
    Unconnected() { dataModule().AdoConn.close(); }
};

void login(TFrmLogin& dialog, const QString& user, const QString& password)
{
    dialog.userEdit->setText(user);
    dialog.passwordEdit->setText(password);
    dialog.cmd_okClick();
}

} // namespace

class TestLogin : public QObject {
    Q_OBJECT

private slots:
    void firstLoginWritesDataSourceOnly();
    void secondPressDoesNotReconnect();
    void connectingUpgradesAnOlderFile();
    void settingsAreReloadedAtEveryAttempt();
    void lineCountThatIsNoIntegerIsAnError();
    void unreadableDatabaseIsKeptAndReported();
    void wrongPasswordKeepsTheTexts();
    void apostrophesAreJustCharacters();
    void userIdIgnoresCaseAndShowsTheStoredOne();
    void passwordComparesExactly_data();
    void passwordComparesExactly();
    void thirdPressEndsTheProgram();
    void shortRightsStringRefusesTheRest();
    void iniWriteKeepsOtherLines();
    void dialogHasNoCloseOrMaximizeButton();
    void enterWalksUserPasswordOk();
    void choiceOnTheDialogOpensThatDatabase();
    void serverPasswordIsRememberedOrAsked();
    void savedServerChangesOnlyForAnAdministrator();
    void newFileHoldsNoShop();
    void olderServerIsUpgradedByItsOwner_data();
    void olderServerIsUpgradedByItsOwner();
};

void TestLogin::firstLoginWritesDataSourceOnly()
{
    Unconnected app;
    QFile::remove(AppPaths::settingsFile());
    TFrmLogin dialog;
    login(dialog, "admin", "admin");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(dialog.isConnected());
    QVERIFY(app.dataModule().AdoConn.isOpen());
    const IniFile ini(AppPaths::settingsFile());
    QCOMPARE(ini.read("nettype", "datasource"), AppPaths::databaseFile());
    QVERIFY(!ini.contains("billdata", "line_count"));
    QVERIFY(!ini.contains("billdata", "company_name"));
    QCOMPARE(PrintSettings::current().lineCount, 0);
    QCOMPARE(CurrentRights::current().use, QString(Function::Count, '1'));
}

void TestLogin::secondPressDoesNotReconnect()
{
    Unconnected app;
    TFrmLogin dialog;
    login(dialog, "admin", "wrong");
    QVERIFY(dialog.isConnected());
    const auto* engine = &app.dataModule().AdoConn.engine();
    login(dialog, "admin", "admin");
    QCOMPARE(&app.dataModule().AdoConn.engine(), engine);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TestLogin::connectingUpgradesAnOlderFile()
{
    if (TestApp::onServer())
        QSKIP("backups and older files are the file's own");
    TestApp made;
    made.exec("drop index outmain_comp");
    makeFirstRelease(made.dataModule().AdoConn);
    made.dataModule().AdoConn.close();
    const auto fileVersion = [] {
        db::Connection look;
        look.open(AppPaths::databaseFile(), DatabaseFile::password);
        return db::Schema::fileVersion(look);
    };

    // No backup, no change: the login says why and stays unconnected.
    QFile blocker(AppPaths::backupDirectory());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TFrmLogin refused;
    login(refused, "admin", "admin");
    QVERIFY(!refused.isConnected());
    QVERIFY2(made.dialogs().lastMessage().contains("自动备份失败"), qPrintable(made.dialogs().lastMessage()));
    QCOMPARE(fileVersion(), 0);

    QVERIFY(QFile::remove(AppPaths::backupDirectory()));
    TFrmLogin dialog;
    login(dialog, "admin", "admin");
    QVERIFY(dialog.isConnected());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(fileVersion(), db::Schema::version());
    QCOMPARE(made.scalar("select count(*) from sqlite_master where type='index' and name='outmain_comp'").toInt(), 1);
    QCOMPARE(made.scalar("select count(*) from goods where bar_code is null").toInt(), 0);
    QCOMPARE(QDir(AppPaths::backupDirectory()).entryList({"brovanta-v0-before-upgrade-*.mdb"}).size(), 1);
}

void TestLogin::settingsAreReloadedAtEveryAttempt()
{
    Unconnected app;
    IniFile ini(AppPaths::settingsFile());
    ini.write("billdata", "company_name", "澜禾服饰");
    ini.write("billdata", "line_count", "12");
    TFrmLogin dialog;
    login(dialog, "admin", "x");
    QCOMPARE(PrintSettings::current().companyName, QString("澜禾服饰"));
    QCOMPARE(PrintSettings::current().lineCount, 12);
    ini.write("billdata", "bill_bottom", "谢谢惠顾");
    ini.write("billdata", "line_count", "8");
    login(dialog, "admin", "x");
    QCOMPARE(PrintSettings::current().billFooter, QString("谢谢惠顾"));
    QCOMPARE(PrintSettings::current().lineCount, 8);
}

void TestLogin::lineCountThatIsNoIntegerIsAnError()
{
    Unconnected app;
    IniFile(AppPaths::settingsFile()).write("billdata", "line_count", "12a");
    TFrmLogin dialog;
    dialog.userEdit->setText("admin");
    dialog.passwordEdit->setText("admin");
    QVERIFY_THROWS_EXCEPTION(db::Error, dialog.cmd_okClick());
    QVERIFY(!dialog.isConnected());
    QVERIFY(!app.dataModule().AdoConn.isOpen());
    QCOMPARE(dialog.attempt(), 2);
}

void TestLogin::unreadableDatabaseIsKeptAndReported()
{
    if (TestApp::onServer())
        QSKIP("backups and older files are the file's own");
    Unconnected app;
    const QString path = AppPaths::databaseFile();
    QFile::remove(path);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    TFrmLogin dialog;
    login(dialog, "admin", "admin");
    QVERIFY(!dialog.isConnected());
    QCOMPARE(app.dialogs().lastMessage(), QString("数据库无法打开"));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray(4096, 'x'));
}

void TestLogin::wrongPasswordKeepsTheTexts()
{
    Unconnected app;
    TFrmLogin dialog;
    login(dialog, "admin", "nimda");
    QCOMPARE(app.dialogs().lastMessage(), QString("用户名或密码错误！"));
    QCOMPARE(dialog.userEdit->text(), QString("admin"));
    QCOMPARE(dialog.passwordEdit->text(), QString("nimda"));
    QVERIFY(dialog.result() != QDialog::Accepted);
}

void TestLogin::apostrophesAreJustCharacters()
{
    Unconnected app;
    TFrmLogin dialog;
    login(dialog, "admin", "' or '1'='1");
    QCOMPARE(app.dialogs().lastMessage(), QString("用户名或密码错误！"));
    app.dataModule().AdoConn.close();
    TFrmLogin second;
    second.connectDatabase();
    app.exec("insert into powers (user_id, password, pow_use) values ('o''neil', 'a''b', '1')");
    login(second, "o'neil", "a'b");
    QCOMPARE(second.result(), int(QDialog::Accepted));
    QCOMPARE(CurrentRights::current().userId, QString("o'neil"));
}

void TestLogin::userIdIgnoresCaseAndShowsTheStoredOne()
{
    Unconnected app;
    TfrmMain main;
    TFrmLogin dialog;
    login(dialog, "  ADMIN ", "admin");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));   // ids compare without case, like the engine
    QCOMPARE(CurrentRights::current().userId, QString("admin"));
    main.showUser();
    const QString panel = main.findChild<QLabel*>("StatusPanel0")->text();
    QVERIFY2(panel.startsWith("操作人员: admin  登录时间:"), qPrintable(panel));
    // The password is what was typed, blanks and all.
    TFrmLogin blanks;
    login(blanks, "admin", " admin ");
    QVERIFY(blanks.result() != QDialog::Accepted);
}

void TestLogin::passwordComparesExactly_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("as stored") << "admin" << "admin" << true;
    QTest::newRow("id in capitals") << "Admin" << "admin" << true;
    QTest::newRow("password in capitals") << "admin" << "ADMIN" << false;
    QTest::newRow("one capital") << "admin" << "admiN" << false;
    QTest::newRow("mixed user, exact password") << "u2" << "PaSs" << true;
    QTest::newRow("mixed user, folded password") << "U2" << "pass" << false;
}

void TestLogin::passwordComparesExactly()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    Unconnected app;
    TFrmLogin dialog;
    dialog.connectDatabase();
    app.exec("insert into powers (user_id, password, pow_use) values ('u2', 'PaSs', '1')");
    login(dialog, user, password);
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    if (!accepted)
        QCOMPARE(app.dialogs().lastMessage(), QString("用户名或密码错误！"));
}

void TestLogin::thirdPressEndsTheProgram()
{
    Unconnected app;
    TFrmLogin dialog;
    login(dialog, "admin", "1");
    login(dialog, "admin", "2");
    QVERIFY(!dialog.terminateRequested());
    login(dialog, "admin", "admin");
    QVERIFY(dialog.terminateRequested());

    TFrmLogin secondTry;
    login(secondTry, "admin", "1");
    login(secondTry, "admin", "admin");
    QVERIFY(!secondTry.terminateRequested());
    QCOMPARE(secondTry.result(), int(QDialog::Accepted));
}

void TestLogin::shortRightsStringRefusesTheRest()
{
    Unconnected app;
    app.openAnother(app.dataModule().AdoConn);
    app.exec("update powers set pow_use='1101', pow_add=null where user_id='admin'");
    app.dataModule().AdoConn.close();
    TFrmLogin dialog;
    login(dialog, "admin", "admin");
    QVERIFY(hasRight(Right::Use, 1));
    QVERIFY(hasRight(Right::Use, 2));
    QVERIFY(!hasRight(Right::Use, 3));
    QVERIFY(hasRight(Right::Use, 4));
    QVERIFY(!hasRight(Right::Use, 5));
    QVERIFY(!hasRight(Right::Use, 25));
    QVERIFY(!hasRight(Right::Add, 1));
    QCOMPARE(CurrentRights::current().add, QString());
}

void TestLogin::iniWriteKeepsOtherLines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("system.ini");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("; shop notes\n[billdata]\ncompany_name=旧名\n\n[other]\nkey=1\n");
    file.close();
    IniFile ini(path);
    QVERIFY(ini.write("billdata", "line_count", "5"));
    QVERIFY(ini.write("billdata", "company_name", "新名"));
    QVERIFY(ini.write("pagesize", "page_type", "A4"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QCOMPARE(text, QString("; shop notes\n[billdata]\ncompany_name=新名\nline_count=5\n\n[other]\nkey=1\n\n[pagesize]\npage_type=A4\n"));
    QCOMPARE(IniFile(path).read("other", "KEY"), QString("1"));
}

void TestLogin::dialogHasNoCloseOrMaximizeButton()
{
    Unconnected app;
    TFrmLogin dialog;
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.windowFlags().testFlag(Qt::CustomizeWindowHint));
    QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

void TestLogin::enterWalksUserPasswordOk()
{
    Unconnected app;
    TFrmLogin dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), dialog.userEdit);
    QTest::keyClicks(dialog.userEdit, "admin");
    QTest::keyClick(dialog.userEdit, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), dialog.passwordEdit);
    QTest::keyClicks(dialog.passwordEdit, "admin");
    QTest::keyClick(dialog.passwordEdit, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TestLogin::choiceOnTheDialogOpensThatDatabase()
{
    Unconnected app;
    if (!TestApp::onServer()) {   // a server that is not there
        ShopServer::choose(true);
        db::ServerAddress nowhere = ShopServer::address();
        nowhere.host = QDir::temp().filePath("no-brovanta-server");
        ShopServer::saveAddress(nowhere);
    }
    TFrmLogin dialog;
    QVERIFY(dialog.rbServer->isChecked());
    login(dialog, "admin", "admin");
    if (TestApp::onServer()) {
        QVERIFY(app.dataModule().AdoConn.isServer());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        dialog.setResult(0);
    } else {
        // Said why; the dialog stays for another try and counts no attempt.
        QVERIFY2(app.dialogs().lastMessage().contains("服务器没有在端口 5432 上接受连接"),
                 qPrintable(app.dialogs().lastMessage()));
        QVERIFY(!dialog.isConnected());
        QCOMPARE(dialog.attempt(), 1);
        QVERIFY(dialog.result() != QDialog::Accepted);
    }

    dialog.rbFile->click();
    QVERIFY(!dialog.isConnected());
    QVERIFY(!app.dataModule().AdoConn.isOpen());
    login(dialog, "admin", "admin");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(app.dataModule().AdoConn.isOpen());
    QVERIFY(!app.dataModule().AdoConn.isServer());
    QVERIFY(!ShopServer::isChosen());
    QVERIFY(!TFrmLogin().rbServer->isChecked());
}

void TestLogin::serverPasswordIsRememberedOrAsked()
{
    if (!TestApp::onServer())
        QSKIP("the test server has a user that must give a password");
    Unconnected app;
    db::ServerAddress address = ShopServer::address();
    address.user = "brovanta_password";
    ShopServer::saveAddress(address);

    // None remembered: asked, told when it was wrong, and asked again.
    QStringList asked;
    QStringList typed{"wrong", "brovanta-secret"};
    app.dialogs().onExec = [&](QDialog* dialog) {
        auto* ask = qobject_cast<QInputDialog*>(dialog);
        asked << ask->labelText();
        if (typed.isEmpty())
            return int(QDialog::Rejected);
        ask->setTextValue(typed.takeFirst());
        return int(QDialog::Accepted);
    };
    TFrmLogin dialog;
    login(dialog, "admin", "admin");
    QCOMPARE(asked.size(), 2);
    QVERIFY2(asked[0].contains("服务器要求输入用户“brovanta_password”的密码"), qPrintable(asked[0]));
    QVERIFY2(asked[1].contains("用户“brovanta_password”的密码不对"), qPrintable(asked[1]));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(app.dataModule().AdoConn.serverAddress().user, QString("brovanta_password"));
    QVERIFY(app.passwords().kept.isEmpty());
    // A backup's own connection gets in with the password typed at the login.
    QTemporaryDir backups;
    const MaintenanceResult backup = DatabaseBackup::runTo(ShopServer::placeOf(dataModule().AdoConn), backups.filePath("b.mdb"));
    QVERIFY2(backup.ok, qPrintable(backup.reason));

    // Giving up at the question: no message, no attempt counted.
    app.dataModule().AdoConn.close();
    asked.clear();
    app.dialogs().clear();
    TFrmLogin givenUp;
    login(givenUp, "admin", "admin");
    QCOMPARE(asked.size(), 1);
    QVERIFY(app.dialogs().messages.isEmpty());
    QVERIFY(!givenUp.isConnected());
    QCOMPARE(givenUp.attempt(), 1);

    // Remembered: nothing asked.
    ServerPassword::save(address, "brovanta-secret");
    asked.clear();
    TFrmLogin remembered;
    login(remembered, "admin", "admin");
    QVERIFY(asked.isEmpty());
    QCOMPARE(remembered.result(), int(QDialog::Accepted));
    QCOMPARE(app.dataModule().AdoConn.serverAddress().password, QString("brovanta-secret"));
}

void TestLogin::savedServerChangesOnlyForAnAdministrator()
{
    Unconnected app;
    CurrentRights::current().clear();   // nobody has logged in yet
    struct Seen {
        bool changeable;
        QString password;
        QString note;
    };
    QList<Seen> seen;
    app.dialogs().onExec = [&](QDialog* dialog) {
        auto* settings = qobject_cast<TFrmServerSettings*>(dialog);
        auto* note = settings->findChild<QLabel*>("savedNote");
        seen.append({!settings->edHost->isReadOnly() && settings->cmd_ok->isEnabled(), settings->edPassword->text(),
                     note && !note->isHidden() ? note->text() : QString()});
        return int(QDialog::Rejected);
    };
    TFrmLogin dialog;
    if (!TestApp::onServer()) {
        // The first setup, with nothing saved, is open to all.
        dialog.cmd_server->click();
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen.last().changeable);
        db::ServerAddress saved;
        saved.host = "db.example";
        saved.database = "shop";
        saved.user = "clerk";
        ShopServer::saveAddress(saved);
        ServerPassword::save(saved, "s3cret");
        seen.clear();
    } else {
        ServerPassword::save(ShopServer::address(), "s3cret");
    }
    // Saved: shown, not changed, and the way to change it is said.
    dialog.cmd_server->click();
    QCOMPARE(seen.size(), 1);
    QVERIFY(!seen.last().changeable);
    QVERIFY(seen.last().password.isEmpty());
    QVERIFY2(seen.last().note.contains("系统管理"), qPrintable(seen.last().note));

    dialog.connectDatabase();
    app.exec("insert into powers (user_id, password, pow_use) values ('clerk', 'pw', :p1)",
             {QString(Function::Count, '1').replace(Function::Powers - 1, 1, '0')});
    // A wrong password opens nothing.
    app.dialogs().clear();
    dialog.userEdit->setText("admin");
    dialog.passwordEdit->setText("wrong");
    dialog.cmd_server->click();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(app.dialogs().lastMessage(), QString("用户名或密码错误！"));
    // A clerk without the right sees it only; the administrator may change it.
    dialog.userEdit->setText("clerk");
    dialog.passwordEdit->setText("pw");
    dialog.cmd_server->click();
    QCOMPARE(seen.size(), 2);
    QVERIFY(!seen.last().changeable);
    dialog.userEdit->setText("Admin");
    dialog.passwordEdit->setText("admin");
    dialog.cmd_server->click();
    QCOMPARE(seen.size(), 3);
    QVERIFY(seen.last().changeable);
    QVERIFY(seen.last().password.isEmpty());
    // Nobody is logged in until the login itself.
    QVERIFY(CurrentRights::current().userId.isEmpty());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

// On a first start in server mode the PC's own file is new and holds nothing:
// there is nothing to import from it (the login's question: tst_server).
void TestLogin::newFileHoldsNoShop()
{
    QTemporaryDir dir;
    const QString other = dir.filePath("other.mdb");
    QVERIFY(!ShopServer::holdsShopData(other));   // no file
    DatabaseFile::createIfMissing(other);
    QVERIFY(!ShopServer::holdsShopData(other));   // only the administrator
    {
        db::Connection local;
        DatabaseFile::open(local, other);
        local.execute("insert into employee (empl_code, empl_name) values ('E01', '张三')");
    }
    QVERIFY(ShopServer::holdsShopData(other));
}

void TestLogin::olderServerIsUpgradedByItsOwner_data()
{
    QTest::addColumn<QString>("typed");     // empty: the question is cancelled
    QTest::addColumn<QString>("told");      // the message, empty when logged in
    QTest::newRow("cancelled") << QString() << "没有输入数据库所有者的密码，数据库没有改动，不能登录";
    QTest::newRow("wrong") << "guess" << "用户“brovanta_owner”的密码不对";
    QTest::newRow("right") << TestApp::ownerPassword() << QString();
}

// The PCs' role may not change the tables: an upgrade logs in as their owner.
void TestLogin::olderServerIsUpgradedByItsOwner()
{
    if (!TestApp::onServer())
        QSKIP("a file has one user");
    QFETCH(QString, typed);
    QFETCH(QString, told);
    Unconnected app;
    const int older = db::Schema::version() - 1;
    app.execAsOwner("drop index oper_log_save");
    app.execAsOwner(QString("update shape_version set version=%1").arg(older));
    QStringList asked;
    app.dialogs().onExec = [&](QDialog* dialog) {
        auto* ask = qobject_cast<QInputDialog*>(dialog);
        asked << ask->objectName() + ": " + ask->labelText();
        ask->setTextValue(typed);
        return int(typed.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
    };
    TFrmLogin dialog;
    login(dialog, "admin", "admin");
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked[0].startsWith("ownerPassword: 店铺服务器上的数据库需要升级") && asked[0].contains("brovanta_owner"),
             qPrintable(asked[0]));
    const int backups = QDir(AppPaths::backupDirectory()).entryList({"brovanta-v*-before-upgrade-*.mdb"}).size();
    db::Statement hasIndex(app.owner(), "select count(*) from pg_indexes where indexname='oper_log_save'");
    hasIndex.next();
    if (!told.isEmpty()) {
        QVERIFY2(app.dialogs().lastMessage().contains(told), qPrintable(app.dialogs().lastMessage()));
        QVERIFY(!dialog.isConnected());
        QVERIFY(!app.dataModule().AdoConn.isOpen());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(db::Schema::fileVersion(app.owner()), older);
        QCOMPARE(hasIndex.intValue(0), 0);
        QCOMPARE(backups, 0);
        return;
    }
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(db::Schema::fileVersion(app.owner()), db::Schema::version());
    QCOMPARE(hasIndex.intValue(0), 1);
    QCOMPARE(backups, 1);
    // Then the PC works as its own role, and the owner's password was kept nowhere.
    db::Connection& pc = app.dataModule().AdoConn;
    QCOMPARE(pc.serverAddress().user, QString("brovanta"));
    QVERIFY(!db::ServerRoles::mayChangeShape(pc));
    app.exec("insert into goods (gods_code) values ('G1')");
    QVERIFY(app.passwords().kept.isEmpty());
    QVERIFY(ServerPassword::takenFor(db::ServerRoles::ownerAddress(pc.serverAddress(), {})).isEmpty());
}

// The program's own application object: Enter acts as it does for a user.
int main(int argc, char* argv[])
{
    Application app(argc, argv);
    TestLogin test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_login.moc"
