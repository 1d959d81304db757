// The shop server's settings: what is refused, what is written where, and
// what 测试连接 finds.
#include "TestSupport.h"

#include "app/TFrmServerSettings.h"
#include "core/AppPaths.h"
#include "core/ShopServer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

void fill(TFrmServerSettings& dialog, const QString& host, const QString& port, const QString& database,
          const QString& user, const QString& password = {})
{
    dialog.edHost->setText(host);
    dialog.edPort->setText(port);
    dialog.edDatabase->setText(database);
    dialog.edUser->setText(user);
    dialog.edPassword->setText(password);
}

QString settingsText()
{
    QFile file(AppPaths::settingsFile());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestServerSettings : public QObject {
    Q_OBJECT

private slots:
    void refusesWhatIsNoAddress_data();
    void refusesWhatIsNoAddress();
    void savesAllButThePasswordWhichGoesToTheKeyring();
    void testConnectionSaysWhatItFound();
};

void TestServerSettings::refusesWhatIsNoAddress_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("message");
    QTest::newRow("no server") << " " << "5432" << "shop" << "clerk" << "edHost" << "请填写服务器的地址";
    QTest::newRow("port 0") << "srv" << "0" << "shop" << "clerk" << "edPort" << "端口“0”不对：端口是 1 到 65535 之间的整数";
    QTest::newRow("port too high") << "srv" << "65536" << "shop" << "clerk" << "edPort"
                                   << "端口“65536”不对：端口是 1 到 65535 之间的整数";
    QTest::newRow("port no number") << "srv" << "54x" << "shop" << "clerk" << "edPort"
                                    << "端口“54x”不对：端口是 1 到 65535 之间的整数";
    QTest::newRow("no database") << "srv" << "5432" << "" << "clerk" << "edDatabase" << "请填写数据库的名称";
    QTest::newRow("no user") << "srv" << "5432" << "shop" << "" << "edUser" << "请填写用户";
}

void TestServerSettings::refusesWhatIsNoAddress()
{
    QFETCH(QString, host);
    QFETCH(QString, port);
    QFETCH(QString, database);
    QFETCH(QString, user);
    QFETCH(QString, box);
    QFETCH(QString, message);
    TestApp app;
    const QString before = settingsText();
    TFrmServerSettings dialog;
    fill(dialog, host, port, database, user, "pw");
    dialog.chkRemember->setChecked(true);
    for (QPushButton* button : {dialog.cmd_test, dialog.cmd_ok}) {
        app.dialogs().clear();
        dialog.edPassword->setFocus();
        button->click();
        QCOMPARE(app.dialogs().messages.size(), 1);
        QCOMPARE(app.dialogs().lastMessage(), message);
        QCOMPARE(dialog.focusWidget()->objectName(), box);
    }
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(settingsText(), before);
    QVERIFY(app.passwords().kept.isEmpty());
}

void TestServerSettings::savesAllButThePasswordWhichGoesToTheKeyring()
{
    TestApp app;
    TFrmServerSettings dialog;
    fill(dialog, " 192.168.1.10 ", "5433", "shop", "clerk", "s3cret;=[x]");
    dialog.cbSsl->setCurrentIndex(dialog.cbSsl->findData("verify-full"));
    dialog.chkRemember->setChecked(true);
    dialog.cmd_ok->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const db::ServerAddress saved = ShopServer::address();
    QCOMPARE(saved.host, QString("192.168.1.10"));
    QCOMPARE(saved.port, 5433);
    QCOMPARE(saved.database, QString("shop"));
    QCOMPARE(saved.user, QString("clerk"));
    QCOMPARE(saved.sslMode, QString("verify-full"));
    QVERIFY(!settingsText().contains("s3cret"));
    QCOMPARE(app.passwords().kept.values(), QStringList{"s3cret;=[x]"});
    QCOMPARE(ServerPassword::load(saved), QString("s3cret;=[x]"));

    // Opened again, it shows what it keeps; unticked, the keyring forgets.
    TFrmServerSettings again;
    QCOMPARE(again.edHost->text(), QString("192.168.1.10"));
    QCOMPARE(again.edPassword->text(), QString("s3cret;=[x]"));
    QVERIFY(again.chkRemember->isChecked());
    QCOMPARE(again.cbSsl->currentData().toString(), QString("verify-full"));
    again.chkRemember->setChecked(false);
    again.cmd_ok->click();
    QVERIFY(app.passwords().kept.isEmpty());

    // Remembered for one server, then moved to another: nothing is kept for the first.
    TFrmServerSettings third;
    third.chkRemember->setChecked(true);
    third.edPassword->setText("pw");
    third.cmd_ok->click();
    TFrmServerSettings moved;
    moved.edHost->setText("192.168.1.11");
    moved.cmd_ok->click();
    QVERIFY(ServerPassword::load(saved).isEmpty());
    QCOMPARE(ServerPassword::load(ShopServer::address()), QString("pw"));
}

void TestServerSettings::testConnectionSaysWhatItFound()
{
    TestApp app;
    TFrmServerSettings nowhere;
    fill(nowhere, QDir::temp().filePath("no-brovanta-server"), "5432", "shop", "clerk");
    nowhere.cmd_test->click();
    QVERIFY2(app.dialogs().lastMessage().startsWith("无法连接店铺服务器") && app.dialogs().lastMessage().contains("服务器没有在端口 5432 上接受连接"),
             qPrintable(app.dialogs().lastMessage()));
    QCOMPARE(app.dialogs().messages.last().icon, ui::Dialogs::Icon::Critical);
    if (!TestApp::onServer())
        QSKIP("connects to the test server");

    TFrmServerSettings dialog;   // it shows the test database's address
    const QString database = dialog.edDatabase->text();
    const auto test = [&] {
        app.dialogs().clear();
        dialog.cmd_test->click();
        return app.dialogs().messages.size() == 1 ? app.dialogs().lastMessage()
                                                  : QString("%1 messages").arg(app.dialogs().messages.size());
    };
    QCOMPARE(test(), QString("连接成功。数据库“%1”是本系统的数据库。").arg(database));
    app.dataModule().AdoConn.execute("drop schema public cascade; create schema public");
    QVERIFY(test().startsWith(QString("连接成功。数据库“%1”是空的").arg(database)));
    app.exec("create table other (x int)");
    QCOMPARE(test(), QString("连接成功，但服务器上的数据库“%1”不是本系统的数据库。").arg(database));
    dialog.edDatabase->setText("no_such_database");
    QVERIFY2(test().contains("服务器上没有数据库“no_such_database”"), qPrintable(app.dialogs().lastMessage()));
    dialog.edDatabase->setText(database);
    dialog.edUser->setText("brovanta_password");
    QVERIFY2(test().contains("服务器要求输入用户“brovanta_password”的密码"), qPrintable(app.dialogs().lastMessage()));
    dialog.edPassword->setText("wrong");
    QVERIFY2(test().contains("用户“brovanta_password”的密码不对"), qPrintable(app.dialogs().lastMessage()));
    dialog.edPassword->setText("brovanta-secret");
    QVERIFY(test().startsWith("连接成功，但"));
    QVERIFY(app.passwords().kept.isEmpty());   // testing remembers nothing
}

QTEST_MAIN(TestServerSettings)
#include "tst_serversettings.moc"
