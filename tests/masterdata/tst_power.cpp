// The rights window: the tick grid and its strings, new users' checks, passwords, deleting.
#include "TestSupport.h"
#include "WindowDriver.h"

#include "core/PasswordHash.h"
#include "core/CurrentRights.h"
#include "app/Application.h"
#include "app/TFrmLogin.h"
#include "masterdata/RightsGrid.h"
#include "masterdata/TFrmPower.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace WindowDriver;

namespace {

// A left click on a tick cell, counted from 1 as the grid's labels are.
void clickCell(RightsGrid* grid, int column, int row)
{
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, column - 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

QString rights(TestApp& app, const QString& user, const QString& column)
{
    return app.scalar(QString("select %1 from powers where user_id=:p1").arg(column), {user}).toString();
}

// Whether the user's stored password is `password`, kept only as a hash.
bool hasPassword(TestApp& app, const QString& user, const QString& password)
{
    return rights(app, user, "password").isEmpty()
        && PasswordHash::accepts(password, rights(app, user, "pass_hash"), {});
}

void addEmployee(TestApp& app, const QString& code)
{
    app.exec("insert into employee (empl_code, empl_name) values (:p1, :p2)", {code, "员工" + code});
}

struct Window {
    TFrmPower w;
    RightsGrid* grid;
    Window()
    {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        grid = child<RightsGrid>(w, "SGrid");
    }
    // Adds a user as the keyboard does: id, Enter, password twice.
    void addUser(const QString& id, const QString& password, const QString& confirmation)
    {
        click(w, "cmd_add");
        retype(w, "DBEdit1", id);
        QTest::keyClick(child<QLineEdit>(w, "DBEdit1"), Qt::Key_Return);
        retype(w, "DBEdit4", password);
        retype(w, "Edit5", confirmation);
    }
};

const QString zeros(Function::Count, '0');
const QString all(Function::Count, '1');

} // namespace

class TestPower : public QObject {
    Q_OBJECT

private slots:
    void gridShowsLabelsAndTitles();
    void userWithNoTicksGetsZeros();
    void eachColumnStoresTheRightOfItsTitle();
    void checkBoxTicksWholeColumn();
    void clicksChangeNothingWhileBrowsing();
    void ticksFollowTheCurrentUser();
    void passwordsMustMatchForNewUser();
    void blankAtAnEndIsAskedAboutAndKept();
    void editChangesPasswordWithoutConfirmation();
    void enterChecksTheNewId();
    void saveRepeatsTheIdChecks_data();
    void saveRepeatsTheIdChecks();
    void editAndDeleteNeedAnId();
    void deleteLeavesStaleRowListed();
    void cancelShowsStoredTicks();
    void failingSaveSaysSoAndKeepsMode();
    void rightsGateTheButtons();
    void spaceAndEnterToggleATick();
};

void TestPower::gridShowsLabelsAndTitles()
{
    TestApp app;
    Window win;
    QStringList titles;
    for (int c = 0; c < RightsGrid::columns; ++c)
        titles << win.grid->horizontalHeaderItem(c)->text();
    QCOMPARE(titles, QStringList({"使用", "新增", "修改", "删除", "复核", "查询", "打印"}));
    QCOMPARE(win.grid->rowCount(), Function::Count);
    QCOMPARE(win.grid->verticalHeaderItem(1)->text(), QString("货品资料"));   // as the menu names it
    QCOMPARE(win.grid->verticalHeaderItem(12)->text(), QString("出货排行—按货品"));
    QCOMPARE(win.grid->verticalHeaderItem(24)->text(), QString("数据恢复"));
    QCOMPARE(win.grid->verticalHeaderItem(25)->text(), QString("操作日志"));
    // Every row label fits its header without being cut.
    const QFontMetrics metrics(win.grid->verticalHeader()->font());
    for (int r = 0; r < win.grid->rowCount(); ++r)
        QVERIFY(metrics.horizontalAdvance(win.grid->verticalHeaderItem(r)->text()) + 8 <= win.grid->verticalHeader()->width());
    // The administrator, the first user, shows every tick.
    QCOMPARE(win.grid->cell(7, Function::Count), RightsGrid::tick);
}

void TestPower::userWithNoTicksGetsZeros()
{
    TestApp app;
    addEmployee(app, "E01");
    Window win;
    win.addUser("E01", "pw", "pw");
    QVERIFY(app.dialogs().messages.isEmpty());
    QCOMPARE(child<QLineEdit>(win.w, "DBEdit2")->text(), QString("员工E01"));
    click(win.w, "cmd_save");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    for (const char* column : {"pow_use", "pow_add", "pow_edit", "pow_dele", "pow_chek", "pow_find", "pow_prin"})
        QCOMPARE(rights(app, "E01", column), zeros);
    QVERIFY(hasPassword(app, "E01", "pw"));
}

void TestPower::eachColumnStoresTheRightOfItsTitle()
{
    TestApp app;
    addEmployee(app, "E02");
    Window win;
    win.addUser("E02", "pw", "pw");
    clickCell(win.grid, 6, Function::PurchaseIn);   // "查询" for "进货输入"
    clickCell(win.grid, 5, Function::SalesOut);     // "复核" for "销售输入"
    clickCell(win.grid, 1, Function::PurchaseIn);
    click(win.w, "cmd_save");
    QCOMPARE(rights(app, "E02", "pow_find"), QString("0000001") + QString(Function::Count - 7, '0'));
    QCOMPARE(rights(app, "E02", "pow_chek"), QString("0000000001") + QString(Function::Count - 10, '0'));
    // A stored right shows under its own title.
    QVERIFY(app.dataModule().PowerQ->locate("user_id", "E02"));
    QCOMPARE(win.grid->cell(6, Function::PurchaseIn), RightsGrid::tick);
    QCOMPARE(win.grid->cell(5, Function::PurchaseIn), QString());

    // At the next login the user may use the purchase window's find button.
    TFrmLogin login;
    login.userEdit->setText("E02");
    login.passwordEdit->setText("pw");
    login.cmd_okClick();
    QVERIFY(hasRight(Right::Find, Function::PurchaseIn));
    QVERIFY(hasRight(Right::Use, Function::PurchaseIn));
    QVERIFY(!hasRight(Right::Check, Function::PurchaseIn));
    QVERIFY(!hasRight(Right::Find, Function::SalesOut));
    QVERIFY(hasRight(Right::Check, Function::SalesOut));
}

void TestPower::checkBoxTicksWholeColumn()
{
    TestApp app;
    app.exec("update powers set pow_use=:p1", {"1010" + QString(21, '0')});
    Window win;
    QVERIFY(app.dataModule().PowerQ->locate("user_id", "admin"));
    click(win.w, "cmd_edit");
    click(win.w, "CheckBox1");
    QCOMPARE(win.grid->rightsString(1), all);
    click(win.w, "CheckBox1");
    QCOMPARE(win.grid->rightsString(1), zeros);
    // Other columns are untouched.
    QCOMPARE(win.grid->rightsString(2), all);
    click(win.w, "CheckBox7");
    click(win.w, "CheckBox7");
    click(win.w, "cmd_save");
    QCOMPARE(rights(app, "admin", "pow_use"), zeros);
    QCOMPARE(rights(app, "admin", "pow_prin"), zeros);
    QCOMPARE(rights(app, "admin", "pow_add"), all);
    // Who took which rights from whom is in the change log.
    QCOMPARE(app.scalar("select act_name||' '||log_key||' '||summary from oper_log").toString(),
             QString("权限 admin 2 项权限改变"));
    const QString detail = app.scalar("select detail from oper_log").toString();
    QVERIFY2(detail.startsWith("使用: -员工资料 -客户资料\n打印: -员工资料 -货品资料"), qPrintable(detail));
    QVERIFY2(detail.endsWith("-操作日志 -超信用额度销售 -查看毛利 -零售收银 -改价 -会员资料 -促销折扣"), qPrintable(detail));
}

void TestPower::clicksChangeNothingWhileBrowsing()
{
    TestApp app;
    Window win;
    clickCell(win.grid, 3, 3);
    QCOMPARE(win.grid->cell(3, 3), RightsGrid::tick);
    QVERIFY(!child<QCheckBox>(win.w, "CheckBox3")->isEnabled());
    click(win.w, "CheckBox3");
    QCOMPARE(win.grid->rightsString(3), all);
    QVERIFY(!child<QGroupBox>(win.w, "GB1")->isEnabled());
}

void TestPower::ticksFollowTheCurrentUser()
{
    TestApp app;
    addEmployee(app, "E03");
    // A short string leaves every later function unticked; NULL counts as all "0".
    app.exec("insert into powers (user_id, password, pow_use, pow_find) values ('E03', 'x', '11', NULL)");
    Window win;
    QVERIFY(app.dataModule().PowerQ->locate("user_id", "E03"));
    QCOMPARE(win.grid->rightsString(1), QString("11") + QString(Function::Count - 2, '0'));
    QCOMPARE(win.grid->rightsString(5), zeros);
    QVERIFY(app.dataModule().PowerQ->locate("user_id", "admin"));
    QCOMPARE(win.grid->rightsString(5), all);
}

void TestPower::passwordsMustMatchForNewUser()
{
    TestApp app;
    addEmployee(app, "E04");
    Window win;
    win.addUser("E04", "pw1", "pw2");
    click(win.w, "cmd_save");
    QCOMPARE(app.dialogs().lastMessage(), QString("密码不一致"));
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(app.scalar("select count(*) from powers where user_id='E04'").toInt(), 0);
    // A blank is a character of the password like any other.
    retype(win.w, "Edit5", "pw1 ");
    click(win.w, "cmd_save");
    QCOMPARE(app.dialogs().messages.size(), 2);
    QCOMPARE(app.dialogs().lastMessage(), QString("密码不一致"));
    retype(win.w, "Edit5", "pw1");
    click(win.w, "cmd_save");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QVERIFY(hasPassword(app, "E04", "pw1"));
    QVERIFY(app.dialogs().questions.isEmpty());
}

// A password is kept exactly as typed; a blank at either end is asked about
// first, so that nobody locks himself out by a slip of the space bar.
void TestPower::blankAtAnEndIsAskedAboutAndKept()
{
    TestApp app;
    Window win;
    const QString question("密码的开头或结尾有空格，登录时必须同样输入这些空格。\n仍然保存吗？");
    click(win.w, "cmd_edit");
    retype(win.w, "DBEdit4", "pw1 ");
    app.dialogs().answers = {false};
    click(win.w, "cmd_save");
    QCOMPARE(app.dialogs().questions, QStringList{question});
    QCOMPARE(app.dialogs().questionDefaults.last(), ui::Dialogs::Default::Cancel);
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(win.w.focusWidget(), child<QLineEdit>(win.w, "DBEdit4"));
    QVERIFY(hasPassword(app, "admin", "admin"));

    app.dialogs().answers = {true};
    click(win.w, "cmd_save");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QVERIFY(hasPassword(app, "admin", "pw1 "));

    // The administrator gets in with what he set, and only with that.
    const auto logsIn = [](const QString& password) {
        TFrmLogin login;
        login.userEdit->setText("admin");
        login.passwordEdit->setText(password);
        login.cmd_okClick();
        return login.result() == QDialog::Accepted;
    };
    QVERIFY(!logsIn("pw1"));
    QVERIFY(logsIn("pw1 "));
}

void TestPower::editChangesPasswordWithoutConfirmation()
{
    TestApp app;
    Window win;
    click(win.w, "cmd_edit");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Editing);
    QVERIFY(!child<QLineEdit>(win.w, "DBEdit1")->isEnabled());
    retype(win.w, "DBEdit4", "new");
    click(win.w, "cmd_save");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QVERIFY(hasPassword(app, "admin", "new"));
    // An edit that leaves the box empty keeps the password.
    click(win.w, "cmd_edit");
    click(win.w, "cmd_save");
    QVERIFY(hasPassword(app, "admin", "new"));
}

void TestPower::enterChecksTheNewId()
{
    TestApp app;
    Window win;
    click(win.w, "cmd_add");
    retype(win.w, "DBEdit1", "admin");
    QTest::keyClick(child<QLineEdit>(win.w, "DBEdit1"), Qt::Key_Return);
    QCOMPARE(app.dialogs().lastMessage(), QString("该员工已存在！"));
    QCOMPARE(child<QLineEdit>(win.w, "DBEdit1")->text(), QString("admin"));
    retype(win.w, "DBEdit1", "nobody");
    QTest::keyClick(child<QLineEdit>(win.w, "DBEdit1"), Qt::Key_Return);
    QCOMPARE(app.dialogs().lastMessage(), QString("无此员工编码！"));
    QCOMPARE(child<QLineEdit>(win.w, "DBEdit1")->text(), QString());
    QCOMPARE(app.dialogs().messages.size(), 2);
}

void TestPower::saveRepeatsTheIdChecks_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("message");
    QTest::newRow("already a user") << "Admin" << "该员工已存在！";
    QTest::newRow("no employee") << "nobody" << "无此员工编码！";
    QTest::newRow("empty") << "" << "无此员工编码！";
}

void TestPower::saveRepeatsTheIdChecks()
{
    QFETCH(QString, id);
    QFETCH(QString, message);
    TestApp app;
    Window win;
    click(win.w, "cmd_add");
    retype(win.w, "DBEdit1", id);   // no Enter: the save must check on its own
    click(win.w, "cmd_save");
    QCOMPARE(app.dialogs().lastMessage(), message);
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(app.scalar("select count(*) from powers").toInt(), 1);
}

void TestPower::editAndDeleteNeedAnId()
{
    TestApp app;
    app.exec("delete from powers");
    Window win;
    click(win.w, "cmd_edit");
    QCOMPARE(app.dialogs().lastMessage(), QString("请先定位删除员工"));
    click(win.w, "cmd_dele");
    QCOMPARE(app.dialogs().messages.size(), 2);
    QCOMPARE(app.dialogs().lastMessage(), QString("请先定位删除员工"));
    QVERIFY(app.dialogs().questions.isEmpty());
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
}

void TestPower::deleteLeavesStaleRowListed()
{
    TestApp app;
    addEmployee(app, "E06");
    app.exec("insert into powers (user_id, password, pow_use) values ('E06', 'x', :p1)", {zeros});
    Window win;
    app.dialogs().answers = {false};
    click(win.w, "cmd_dele");
    QCOMPARE(app.dialogs().questions, QStringList({"确认删除该记录"}));
    QCOMPARE(app.scalar("select count(*) from powers").toInt(), 2);
    app.dialogs().answers = {true};
    click(win.w, "cmd_dele");
    QCOMPARE(app.scalar("select count(*) from powers where user_id='admin'").toInt(), 0);
    QCOMPARE(win.grid->rightsString(1), zeros);
    // The list is not read again: the deleted user is still there, with its old ticks.
    auto* users = child<QAbstractItemView>(win.w, "DBGrid1");
    QCOMPARE(users->model()->rowCount(), 2);
    const auto select = [users](int row) {
        QTest::mouseClick(users->viewport(), Qt::LeftButton, {},
                          users->visualRect(users->model()->index(row, 0)).center());
    };
    select(1);
    QCOMPARE(child<QLineEdit>(win.w, "DBEdit1")->text(), QString("E06"));
    select(0);
    QCOMPARE(child<QLineEdit>(win.w, "DBEdit1")->text(), QString("admin"));
    QCOMPARE(win.grid->rightsString(1), all);
}

void TestPower::cancelShowsStoredTicks()
{
    TestApp app;
    Window win;
    click(win.w, "cmd_edit");
    click(win.w, "CheckBox2");
    click(win.w, "CheckBox2");
    QCOMPARE(win.grid->rightsString(2), zeros);
    click(win.w, "cmd_canc");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(win.grid->rightsString(2), all);
    QCOMPARE(rights(app, "admin", "pow_add"), all);
}

void TestPower::failingSaveSaysSoAndKeepsMode()
{
    TestApp app;
    Window win;
    click(win.w, "cmd_edit");
    retype(win.w, "DBEdit4", "changed");
    app.exec("delete from powers");   // the row being edited is gone
    click(win.w, "cmd_save");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(app.dialogs().messages.size(), 1);
    QCOMPARE(app.dialogs().messages.first().icon, ui::Dialogs::Icon::Critical);
    QVERIFY(app.dialogs().lastMessage().contains("保存失败"));
    QVERIFY(!win.w.close());
}

void TestPower::rightsGateTheButtons()
{
    TestApp app;
    QString some(all);
    some[Function::Powers - 1] = '0';
    app.setRights(some);
    Window win;
    for (const char* gated : {"cmd_add", "cmd_edit", "cmd_dele"})
        QVERIFY2(!child<QPushButton>(win.w, gated)->isEnabled(), gated);
    QVERIFY(child<QPushButton>(win.w, "cmd_exit")->isEnabled());
}

// Ticks typed at the keyboard: Space and Enter toggle the current cell and stay on it.
void TestPower::spaceAndEnterToggleATick()
{
    TestApp app;
    Window win;
    win.w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&win.w));
    click(win.w, "cmd_edit");
    win.grid->setFocus();
    win.grid->setCurrentCell(2, 1);   // 新增 of 客户资料
    QTest::keyClick(win.grid, Qt::Key_Space);
    QCOMPARE(win.grid->cell(2, 3), QString());
    win.grid->setCurrentCell(3, 2);   // 修改 of 基本设置
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(win.grid->cell(3, 4), QString());
    QCOMPARE(QApplication::focusWidget(), win.grid);
    QCOMPARE(win.grid->currentRow(), 3);
    QCOMPARE(win.grid->currentColumn(), 2);
    QTest::keyClick(win.grid, Qt::Key_Return);
    QCOMPARE(win.grid->cell(3, 4), RightsGrid::tick);
    QTest::keyClick(win.grid, Qt::Key_Return);
    click(win.w, "cmd_save");
    QCOMPARE(rights(app, "admin", "pow_add"), QString("11011") + QString(Function::Count - 5, '1'));
    QCOMPARE(rights(app, "admin", "pow_edit"), QString("11101") + QString(Function::Count - 5, '1'));

    // Browsing, the keys change nothing.
    win.grid->setFocus();
    QTest::keyClick(win.grid, Qt::Key_Space);
    QCOMPARE(win.grid->cell(3, 4), QString());
}

// The program's own application object: Enter acts as it does for a user.
int main(int argc, char* argv[])
{
    Application app(argc, argv);
    TestPower test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_power.moc"
