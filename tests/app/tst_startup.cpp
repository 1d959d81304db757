// The start: the login comes first, the main window only once someone has logged in.
#include "TestSupport.h"

#include "app/Startup.h"
#include "app/TFrmLogin.h"
#include "app/TfrmMain.h"
#include "app/TodayPage.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

TfrmMain* mainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<TfrmMain*>(widget))
            return window;
    return nullptr;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void mainWindowFollowsOnlyALogin_data();
    void mainWindowFollowsOnlyALogin();
};

void TestStartup::mainWindowFollowsOnlyALogin_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("presses");   // of 确定; none: 关闭 is pressed
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("mainWindowShown");
    QTest::newRow("logged in") << "admin" << 1 << 7 << true;
    QTest::newRow("third wrong password") << "nimda" << 3 << 0 << false;
    // Last: 关闭 ends the application's event loops before any runs.
    QTest::newRow("closed") << QString() << 0 << 1 << false;
}

void TestStartup::mainWindowFollowsOnlyALogin()
{
    QFETCH(QString, password);
    QFETCH(int, presses);
    QFETCH(int, exitCode);
    QFETCH(bool, mainWindowShown);
    TestApp app;
    app.dataModule().AdoConn.close();   // as at start: the login connects
    bool mainWindowDuringLogin = true;
    app.dialogs().onExec = [&](QDialog* dialog) {
        auto* login = qobject_cast<TFrmLogin*>(dialog);
        if (!login)
            return int(QDialog::Rejected);
        mainWindowDuringLogin = mainWindow() != nullptr;
        if (presses == 0)
            login->cmd_close->click();
        for (int i = 0; i < presses; ++i) {
            login->userEdit->setText("admin");
            login->passwordEdit->setText(password);
            login->cmd_ok->click();
        }
        return login->result();
    };
    // Once the main window shows the user and the home page, the program is ended.
    QString status;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&status] {
        TfrmMain* window = mainWindow();
        if (window && window->isVisible() && window->todayPage()->isVisible()) {
            status = window->findChild<QLabel*>("StatusPanel0")->text();
            QCoreApplication::exit(7);
        }
    });
    watch.start(10);

    QCOMPARE(logInAndRun(), exitCode);
    QVERIFY(!mainWindowDuringLogin);
    QCOMPARE(status.startsWith("操作人员: admin"), mainWindowShown);
    QVERIFY(!mainWindow());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
