// The main window: rights on menus and buttons, windows opened fresh, closing.
#include "TestSupport.h"

#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/IniFile.h"
#include "core/CurrentRights.h"
#include "app/BackupKeeper.h"
#include "shop/AutoBackup.h"
#include "app/TfrmMain.h"
#include "app/TodayPage.h"
#include "app/WindowCatalog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDialog>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QToolButton>
#include <QtTest>

namespace {

const QString staleQuestion("最近3天内没有数据备份。\n现在备份吗？");

// The database's first recorded change, which tells how old it is.
void madeOn(TestApp& app, const QDate& day)
{
    app.exec("insert into oper_log (log_time, user_id, win_name, act_name) values (:p1, 'admin', '货品资料', '新增')",
             {QDateTime(day, QTime(10, 0)).toString("yyyy-MM-dd hh:mm:ss")});
}

QStringList backupsMade()
{
    return QDir(AutoBackup::folder()).entryList({"brovanta-*.mdb"}, QDir::Files);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void noRightsLeaveOnlyTheFreeCommands();
    void staleBackupIsSaidOnceAndExitBacksUp();
    void backupQuestionOnlyForTheRightAndAnOlderDatabase();
    void serverIsBackedUpOnlyByTheChosenPc();
    void duplicateNumbersAreToldAfterTheLogin();
    void eachRightEnablesItsItemAndButton();
    void menuCaptionsInOrder();
    void closeConfirmationCanBeCancelled();
    void backgroundOnlyAtTwoWidths();
    void windowsOpenFreshAndAreDestroyed();
};

void TestMainWindow::noRightsLeaveOnlyTheFreeCommands()
{
    TestApp app;
    app.setRights(QString(25, '0'));
    TfrmMain w;
    w.applyRights();
    const QStringList numbered = {"N3", "N4", "N5", "N6", "N7", "N8", "N10", "N11", "N12", "N20", "N22", "N23", "N24",
                                  "N25", "N31", "N15", "N32", "N33", "N34", "N39", "N40", "N41", "N42", "N46", "N47", "N49", "N60", "N61", "N62", "N63"};
    for (const QString& item : numbered)
        QVERIFY2(!w.menuItem(item)->isEnabled(), qPrintable(item));
    for (const QString& item : {"N48", "N50", "N51", "X1"})
        QVERIFY2(w.menuItem(item)->isEnabled(), qPrintable(item));
    for (const QString& button : {"cmd_employee", "cmd_goods", "cmd_company", "cmd_in", "cmd_out", "cmd_gath", "cmd_pay", "cmd_store"})
        QVERIFY2(!w.toolButton(button)->isEnabled(), qPrintable(button));
    QVERIFY(w.toolButton("BitBtn2")->isEnabled());
}

void TestMainWindow::staleBackupIsSaidOnceAndExitBacksUp()
{
    if (TestApp::onServer())
        QSKIP("backups and older files are the file's own");
    TestApp app;
    madeOn(app, QDate(2026, 3, 1));
    const auto backups = [] { return QDir(AppPaths::backupDirectory()).entryList({"brovanta-*.mdb"}, QDir::Files); };
    // Before the daily hour: only the start-up question can make a backup.
    Clock::setFixed(QDateTime(QDate(2026, 3, 5), QTime(9, 0)));
    TfrmMain w;
    app.dialogs().answers = {false};
    w.FormShow();
    QCOMPARE(app.dialogs().questions, QStringList({"最近3天内没有数据备份。\n现在备份吗？"}));
    QVERIFY(backups().isEmpty());
    QCOMPARE(w.backups()->statusLabel()->text(), QString("尚无自动备份"));
    w.FormShow();
    QCOMPARE(app.dialogs().questions.size(), 1);

    // Closing backs up once the exit is confirmed.
    Clock::setFixed(QDateTime(QDate(2026, 3, 5), QTime(9, 5)));
    app.dialogs().answers = {true};
    QVERIFY(w.close());
    QCOMPARE(backups(), QStringList({"brovanta-20260305-090500.mdb"}));
    QCOMPARE(w.backups()->statusLabel()->text(), QString("最近备份: 2026-03-05 09:05"));

    // The next start finds a fresh backup and asks nothing; past the hour the daily one runs.
    app.dialogs().clear();
    Clock::setFixed(QDateTime(QDate(2026, 3, 6), QTime(12, 0)));
    TfrmMain next;
    next.FormShow();
    QVERIFY(app.dialogs().questions.isEmpty());
    // In the background: the window shows it once the worker is done.
    QVERIFY(next.backups()->isBackingUp());
    QCOMPARE(next.backups()->statusLabel()->text(), QString("正在自动备份……"));
    QTRY_VERIFY(!next.backups()->isBackingUp());
    QCOMPARE(backups().size(), 2);
    QCOMPARE(next.backups()->statusLabel()->text(), QString("最近备份: 2026-03-06 12:00"));
    // The home page's card follows without a key pressed or a window closed.
    QTRY_COMPARE(next.todayPage()->cardText("backup"), QString("2026-03-06 12:00"));
    QVERIFY(app.dialogs().messages.isEmpty());
}

void TestMainWindow::duplicateNumbersAreToldAfterTheLogin()
{
    TestApp app;
    app.execAsOwner("drop index outmain_bill_no_unique");
    app.exec("insert into outmain (bill_no, bill_type) values ('20250101120000', 'out')");
    app.exec("insert into outmain (bill_no, bill_type) values ('20250101120000', 'retu')");
    app.dialogs().defaultAnswer = false;
    TfrmMain w;
    w.FormShow();
    QCOMPARE(app.dialogs().messages.size(), 1);
    QCOMPARE(app.dialogs().messages.first().icon, ui::Dialogs::Icon::Warning);
    QVERIFY2(app.dialogs().lastMessage().contains("销售和退货厂商单（outmain）：1 个单号重复，共 2 张：20250101120000"),
             qPrintable(app.dialogs().lastMessage()));
}

void TestMainWindow::eachRightEnablesItsItemAndButton()
{
    TestApp app;
    const QList<QPair<QString, int>> buttons = {{"cmd_employee", 1}, {"cmd_goods", 2}, {"cmd_company", 3}, {"cmd_in", 7},
                                                {"cmd_out", 10}, {"cmd_gath", 20}, {"cmd_pay", 21}, {"cmd_store", 15}};
    for (const auto& [button, position] : buttons) {
        QString rights(25, '0');
        rights[position - 1] = '1';
        app.setRights(rights);
        TfrmMain w;
        w.applyRights();
        QVERIFY2(w.toolButton(button)->isEnabled(), qPrintable(button));
        int enabledButtons = 0;
        for (const QString& other : {"cmd_employee", "cmd_goods", "cmd_company", "cmd_in", "cmd_out", "cmd_gath", "cmd_pay", "cmd_store"})
            enabledButtons += w.toolButton(other)->isEnabled();
        QCOMPARE(enabledButtons, 1);
    }
    app.setRights(QString(18, '0') + "1");
    TfrmMain w;
    w.applyRights();
    QVERIFY(w.menuItem("N34")->isEnabled());
    QVERIFY(!w.menuItem("N33")->isEnabled());
    // The change log has a position of its own, after the first release's 25.
    app.setRights(QString(25, '1') + "0");
    w.applyRights();
    QVERIFY(!w.menuItem("N49")->isEnabled());
    app.setRights(QString(25, '0') + "1");
    w.applyRights();
    QVERIFY(w.menuItem("N49")->isEnabled());
    QVERIFY(!w.menuItem("N47")->isEnabled());
}

void TestMainWindow::menuCaptionsInOrder()
{
    TestApp app;
    TfrmMain w;
    QStringList titles;
    for (QAction* a : w.menuBar()->actions())
        titles << a->text();
    QCOMPARE(titles, QStringList({"基本资料[&B]", "进货管理[&I]", "出货管理[&O]", "仓库管理[&S]", "财务管理[&M]", "统计报表[&R]", "系统管理[&Y]", "退出[&X]"}));
    // Each top menu opens with an Alt letter of its own.
    QSet<int> letters;
    for (const QString& title : titles)
        letters.insert(QKeySequence::mnemonic(title)[0].toCombined());
    QCOMPARE(letters.size(), titles.size());
    auto* stock = w.menuBar()->findChild<QMenu*>("G1");
    QStringList items;
    for (QAction* a : stock->actions())
        items << (a->isSeparator() ? QString("-") : a->text());
    QCOMPARE(items, QStringList({"库存查询", "库存报警", "库存调整", "-", "库存盘点", "进销存明细"}));
}

void TestMainWindow::closeConfirmationCanBeCancelled()
{
    TestApp app;
    TfrmMain w;
    w.show();
    app.dialogs().answers = {false};
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QCOMPARE(app.dialogs().questions.last(), QString("确认退出系统?"));
    app.dialogs().answers = {true};
    QVERIFY(w.close());
}

void TestMainWindow::backgroundOnlyAtTwoWidths()
{
    // The pictures are in the library's resources.
    Q_INIT_RESOURCE(resources);
    TestApp app;
    TfrmMain w;
    auto* image1 = w.findChild<QLabel*>("Image1");
    auto* image2 = w.findChild<QLabel*>("Image2");
    w.applyBackground(1280);
    QVERIFY(image1->isHidden() && image2->isHidden());
    w.applyBackground(800);
    QVERIFY(!image1->isHidden() && image2->isHidden());
    QVERIFY(!image1->pixmap().isNull());
    QCOMPARE(image1->pos(), QPoint(0, 45));
    w.applyBackground(1024);
    QVERIFY(image1->isHidden() && !image2->isHidden());
    QVERIFY(!image2->pixmap().isNull());
}

void TestMainWindow::windowsOpenFreshAndAreDestroyed()
{
    TestApp app;
    int created = 0;
    QPointer<QDialog> last;
    WindowCatalog::add("TFrmEmployee", [&](QWidget* parent) {
        ++created;
        auto* d = new QDialog(parent);
        last = d;
        return d;
    });
    TfrmMain w;
    w.applyRights();
    app.dialogs().onExec = [&](QDialog* d) {
        // While shown modally the main window knows it; opening it again does nothing.
        w.openWindow("TFrmEmployee");
        return w.openedWindow("TFrmEmployee") == d ? int(QDialog::Accepted) : -1;
    };
    w.menuItem("N3")->trigger();
    QCOMPARE(created, 1);
    QVERIFY(last.isNull());
    QVERIFY(!w.openedWindow("TFrmEmployee"));
    w.toolButton("cmd_employee")->click();
    QCOMPARE(created, 2);
    // A disabled item opens nothing.
    app.setRights(QString(25, '0'));
    w.applyRights();
    w.menuItem("N3")->trigger();
    QCOMPARE(created, 2);
    // A window whose modal run throws is still destroyed.
    app.setRights(QString(25, '1'));
    w.applyRights();
    app.dialogs().onExec = [](QDialog*) -> int { throw std::runtime_error("boom"); };
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, w.openWindow("TFrmEmployee"));
    QVERIFY(last.isNull());
    QVERIFY(!w.openedWindow("TFrmEmployee"));
}

// The question is for those who may back up, about a database with some days
// of work in it, and it comes up over the main window the moment it is there.
void TestMainWindow::backupQuestionOnlyForTheRightAndAnOlderDatabase()
{
    if (TestApp::onServer())
        QSKIP("the server is backed up by the PC chosen for it");
    TestApp app;
    app.dialogs().defaultAnswer = false;
    Clock::setFixed(QDateTime(QDate(2026, 3, 5), QTime(9, 0)));
    {
        TfrmMain young;   // nothing recorded yet
        young.FormShow();
        QVERIFY(app.dialogs().questions.isEmpty());
    }
    madeOn(app, QDate(2026, 3, 3));
    {
        TfrmMain young;   // two days of work
        young.FormShow();
        QVERIFY(app.dialogs().questions.isEmpty());
    }
    madeOn(app, QDate(2026, 3, 1));   // the first record counts
    QString some(Function::Count, '1');
    some[Function::Backup - 1] = '0';
    app.setRights(some);
    {
        TfrmMain clerk;
        clerk.FormShow();
        QVERIFY(app.dialogs().questions.isEmpty());
        QCOMPARE(clerk.backups()->statusLabel()->text(), QString("尚无自动备份"));
    }
    app.setRights(QString(Function::Count, '1'));
    TfrmMain w;
    QWidget* activeAtQuestion = nullptr;
    app.dialogs().onAsk = [&](const QString&) { activeAtQuestion = QApplication::activeWindow(); };
    w.show();
    QTRY_COMPARE(app.dialogs().questions, QStringList{staleQuestion});
    QCOMPARE(activeAtQuestion, &w);
    QVERIFY(backupsMade().isEmpty());
}

// Several PCs on one server: the automatic backups are made by the one PC
// chosen in 基本设置, not by every PC.
void TestMainWindow::serverIsBackedUpOnlyByTheChosenPc()
{
    if (!TestApp::onServer())
        QSKIP("a file is backed up by the PC it is on");
    TestApp app;
    madeOn(app, QDate(2026, 3, 1));
    Clock::setFixed(QDateTime(QDate(2026, 3, 5), QTime(13, 0)));
    {
        TfrmMain other;
        other.FormShow();
        QVERIFY(app.dialogs().questions.isEmpty());
        QVERIFY(!other.backups()->isBackingUp());
        app.dialogs().answers = {true};
        QVERIFY(other.close());
        QVERIFY(backupsMade().isEmpty());
    }
    QVERIFY(IniFile(AppPaths::settingsFile()).write("autobackup", "server", "1"));
    app.dialogs().clear();
    app.dialogs().defaultAnswer = false;
    TfrmMain w;
    w.FormShow();
    QCOMPARE(app.dialogs().questions, QStringList{staleQuestion});
    QTRY_VERIFY(!w.backups()->isBackingUp());
    QCOMPARE(backupsMade(), QStringList{"brovanta-20260305-130000.mdb"});
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
