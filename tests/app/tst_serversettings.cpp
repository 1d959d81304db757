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
#include <QLabel>
#include <QtEndian>
#include <QtTest>

#include <arpa/inet.h>
#include <atomic>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A listener that speaks just enough of the server's protocol to ask for a
// password in clear, and records every password it is sent.
class PasswordCatcher {
public:
    PasswordCatcher()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(m_socket, 4);
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~PasswordCatcher()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_socket);
    }
    QString port() const { return QString::number(m_port); }
    int connections() const { return m_connections; }
    QStringList passwords() const
    {
        const std::lock_guard lock(m_lock);
        return m_passwords;
    }

private:
    static bool readAll(int socket, char* into, size_t size)
    {
        while (size > 0) {
            pollfd ready{socket, POLLIN, 0};
            if (::poll(&ready, 1, 3000) <= 0)
                return false;
            const ssize_t got = ::read(socket, into, size);
            if (got <= 0)
                return false;
            into += got;
            size -= size_t(got);
        }
        return true;
    }
    static quint32 number(const char* bytes) { return qFromBigEndian<quint32>(bytes); }

    void serve()
    {
        while (!m_stop) {
            pollfd waiting{m_socket, POLLIN, 0};
            if (::poll(&waiting, 1, 50) <= 0)
                continue;
            const int client = ::accept(m_socket, nullptr, nullptr);
            if (client < 0)
                continue;
            ++m_connections;
            talk(client);
            ::close(client);
        }
    }
    void talk(int client)
    {
        char head[8];
        for (;;) {   // encryption requests are declined; then comes the start-up message
            if (!readAll(client, head, 8))
                return;
            QByteArray rest(int(number(head)) - 8, '\0');
            if (!readAll(client, rest.data(), size_t(rest.size())))
                return;
            const quint32 code = number(head + 4);
            if (code != 80877103 && code != 80877104)
                break;
            ::write(client, "N", 1);
        }
        const char cleartext[] = {'R', 0, 0, 0, 8, 0, 0, 0, 3};
        ::write(client, cleartext, sizeof cleartext);
        char type[5];
        if (!readAll(client, type, 5) || type[0] != 'p')
            return;
        QByteArray password(int(number(type + 1)) - 4, '\0');
        if (!readAll(client, password.data(), size_t(password.size())))
            return;
        const std::lock_guard lock(m_lock);
        m_passwords << QString::fromUtf8(password.chopped(1));
    }

    int m_socket;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    mutable std::mutex m_lock;
    QStringList m_passwords;
    std::thread m_thread;
};

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
    void rememberedPasswordGoesOnlyToItsAddress();
    void socketFolderIsNeverEncrypted();
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

    // Opened again, it says a password is kept but shows it nowhere; an empty
    // box keeps it, unticked the keyring forgets.
    TFrmServerSettings kept;
    QCOMPARE(kept.edHost->text(), QString("192.168.1.10"));
    QVERIFY(kept.edPassword->text().isEmpty());
    for (const QLineEdit* box : kept.findChildren<QLineEdit*>())
        QVERIFY(!box->text().contains("s3cret"));
    QVERIFY(kept.chkRemember->isChecked());
    QCOMPARE(kept.cbSsl->currentData().toString(), QString("verify-full"));
    kept.cmd_ok->click();
    QCOMPARE(ServerPassword::load(saved), QString("s3cret;=[x]"));
    TFrmServerSettings again;
    again.chkRemember->setChecked(false);
    again.cmd_ok->click();
    QVERIFY(app.passwords().kept.isEmpty());

    // Remembered for one server, then moved to another: nothing is kept for the
    // first, and the password goes to the second only when typed for it.
    TFrmServerSettings third;
    third.chkRemember->setChecked(true);
    third.edPassword->setText("pw");
    third.cmd_ok->click();
    TFrmServerSettings moved;
    moved.edHost->setText("192.168.1.11");
    moved.cmd_ok->click();
    QVERIFY(ServerPassword::load(saved).isEmpty());
    QVERIFY(app.passwords().kept.isEmpty());
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
    app.execAsOwner("drop schema public cascade; create schema public; grant usage on schema public to public");
    QVERIFY(test().startsWith(QString("连接成功。数据库“%1”是空的").arg(database)));
    // Another's table, on which the PCs' role has no rights, is seen too.
    app.execAsOwner("create table other (x int)");
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

// A kept password goes to the server, port, database and user it was kept
// for, and to nothing else, whatever is typed into the dialog.
void TestServerSettings::rememberedPasswordGoesOnlyToItsAddress()
{
    TestApp app;
    PasswordCatcher kept;
    PasswordCatcher other;
    TFrmServerSettings setup;
    fill(setup, "127.0.0.1", kept.port(), "shop", "clerk", "s3cret");
    setup.chkRemember->setChecked(true);
    setup.cmd_ok->click();

    TFrmServerSettings dialog;
    QVERIFY(dialog.edPassword->text().isEmpty());
    dialog.cmd_test->click();
    QCOMPARE(kept.passwords(), QStringList{"s3cret"});
    dialog.edPort->setText(other.port());
    dialog.cmd_test->click();
    QCOMPARE(other.connections(), 1);
    QVERIFY(other.passwords().isEmpty());
    QVERIFY2(app.dialogs().lastMessage().contains("服务器要求输入用户“clerk”的密码"), qPrintable(app.dialogs().lastMessage()));
    // Another user at the same place is another address too.
    dialog.edPort->setText(kept.port());
    dialog.edUser->setText("owner");
    dialog.cmd_test->click();
    QCOMPARE(kept.connections(), 2);
    QCOMPARE(kept.passwords(), QStringList{"s3cret"});
    // Saved for the other port, the password is not carried along.
    dialog.edUser->setText("clerk");
    dialog.edPort->setText(other.port());
    dialog.cmd_ok->click();
    QVERIFY(app.passwords().kept.isEmpty());
}

// The engine never encrypts a connection through a socket folder: the dialog
// says so beside the choice instead of letting "必须加密" look kept.
void TestServerSettings::socketFolderIsNeverEncrypted()
{
    TestApp app;
    TFrmServerSettings dialog;
    auto* note = dialog.findChild<QLabel*>("sslNote");
    QVERIFY(note);
    const auto choose = [&](const QString& host, const char* mode) {
        dialog.edHost->setText(host);
        dialog.cbSsl->setCurrentIndex(dialog.cbSsl->findData(mode));
        return !note->isHidden();
    };
    QVERIFY(choose("/var/run/postgresql", "require"));
    QVERIFY2(note->text().contains("不经过网络") && note->text().contains("不加密"), qPrintable(note->text()));
    QVERIFY(choose("/var/run/postgresql", "verify-full"));
    QVERIFY(!choose("/var/run/postgresql", "prefer"));
    QVERIFY(!choose("192.168.1.10", "require"));
    QVERIFY(!choose("shop-server", "verify-full"));
}

QTEST_MAIN(TestServerSettings)
#include "tst_serversettings.moc"
