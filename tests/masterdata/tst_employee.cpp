// The employee window: saving, the date pickers, duplicate codes, deleting, modes and rights.
#include "TestSupport.h"
#include "WindowDriver.h"

#include "core/Clock.h"

#include "masterdata/TFrmEmployee.h"
#include "ui/DbComboBox.h"
#include "ui/DbEdit.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QPushButton>
#include <QtTest>

using namespace WindowDriver;

namespace {

int employees(TestApp& app, const QString& code)
{
    return app.scalar("select count(*) from employee where empl_code=:p1", {code}).toInt();
}

struct Window {
    TFrmEmployee w;
    Window()
    {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
};

} // namespace

class TestEmployee : public QObject {
    Q_OBJECT

private slots:
    void saveNeedsCodeAndName_data();
    void saveNeedsCodeAndName();
    void savedDatesHaveNoTimeOfDay();
    void newEmployeeStartsAsMaleWithToday();
    void duplicateCodeIsRefused_data();
    void duplicateCodeIsRefused();
    void editKeepingOwnCodeSaves();
    void cancelAfterAddDropsTheRow();
    void comboListsOfferUsedValues();
    void deleteOfUsedEmployeeAsksAgain();
    void deleteOfUnusedEmployeeAsksOnce();
    void editingLocksTheWindow();
    void rightsGateTheButtons();
    void databaseErrorIsShownAndModeKept();
};

void TestEmployee::saveNeedsCodeAndName_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("saved");
    QTest::newRow("both") << "E01" << "张三" << true;
    QTest::newRow("no code") << "" << "张三" << false;
    QTest::newRow("no name") << "E01" << "" << false;
    // A code is stored trimmed: blanks alone are no code. A name of blanks is still a name.
    QTest::newRow("blank code") << "   " << "张三" << false;
    QTest::newRow("blank name") << "E01" << "  " << true;
    QTest::newRow("code with blanks") << "  E03 " << "张三" << true;
}

void TestEmployee::saveNeedsCodeAndName()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(bool, saved);
    TestApp app;
    Window win;
    click(win.w, "BitBtn2");
    retype(win.w, "DBEdit1", code);
    retype(win.w, "DBEdit3", name);
    click(win.w, "BitBtn4");
    const int rows = app.scalar("select count(*) from employee where empl_code=:p1", {code.trimmed()}).toInt();
    if (saved) {
        QCOMPARE(rows, 1);
        QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
        QVERIFY(app.dialogs().messages.isEmpty());
    } else {
        QCOMPARE(rows, 0);
        QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Adding);
        QCOMPARE(app.dialogs().lastMessage(), QString("员工编号,名称不能为空"));
        QCOMPARE(app.dialogs().messages.last().caption, QString("提示"));
    }
}

void TestEmployee::savedDatesHaveNoTimeOfDay()
{
    TestApp app;
    Clock::setFixed(QDateTime(QDate(2026, 3, 31), QTime(23, 59, 59)));
    Window win;
    click(win.w, "BitBtn2");
    retype(win.w, "DBEdit1", "E02");
    retype(win.w, "DBEdit3", "李四");
    child<QDateEdit>(win.w, "DateTimePicker1")->setDate(QDate(1990, 5, 17));
    click(win.w, "BitBtn4");
    QCOMPARE(app.scalar("select empl_birth from employee where empl_code='E02'").toString(),
             QString("1990-05-17 00:00:00"));
    // The joining date started with the current time of day; only its date is kept.
    QCOMPARE(app.scalar("select in_date from employee where empl_code='E02'").toString(),
             QString("2026-03-31 00:00:00"));
}

void TestEmployee::newEmployeeStartsAsMaleWithToday()
{
    TestApp app;
    Clock::setFixed(QDateTime(QDate(2026, 3, 31), QTime(23, 59, 59)));
    app.exec("update employee set empl_birth='1980-01-02 00:00:00'");
    Window win;
    QCOMPARE(child<QDateEdit>(win.w, "DateTimePicker1")->date(), QDate(1980, 1, 2));
    click(win.w, "BitBtn2");
    QCOMPARE(child<ui::DbComboBox>(win.w, "DBComboBox4")->currentText(), QString("男"));
    QCOMPARE(child<QDateEdit>(win.w, "DateTimePicker1")->date(), QDate(2026, 3, 31));
    QCOMPARE(child<QDateEdit>(win.w, "DateTimePicker2")->date(), QDate(2026, 3, 31));
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(win.w, "DBEdit1"));
    // Typing elsewhere does not put the stored (empty) dates back into the pickers.
    child<QDateEdit>(win.w, "DateTimePicker1")->setDate(QDate(2001, 2, 3));
    retype(win.w, "DBEdit3", "王五");
    QTest::keyClick(child<QLineEdit>(win.w, "DBEdit3"), Qt::Key_Tab);
    QCOMPARE(child<QDateEdit>(win.w, "DateTimePicker1")->date(), QDate(2001, 2, 3));
}

void TestEmployee::duplicateCodeIsRefused_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("same") << "admin";
    QTest::newRow("other case and blanks") << " ADMIN ";
}

void TestEmployee::duplicateCodeIsRefused()
{
    QFETCH(QString, code);
    TestApp app;
    Window win;
    click(win.w, "BitBtn2");
    retype(win.w, "DBEdit1", code);
    retype(win.w, "DBEdit3", "重复");
    click(win.w, "BitBtn4");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Adding);
    QVERIFY2(app.dialogs().lastMessage().contains("已存在"), qPrintable(app.dialogs().lastMessage()));
    // Back in the code box, so that typing corrects the code and not the name.
    auto* codeBox = child<QLineEdit>(win.w, "DBEdit1");
    QTRY_COMPARE(QApplication::focusWidget(), codeBox);
    QCOMPARE(codeBox->selectedText(), codeBox->text());
    QCOMPARE(app.scalar("select count(*) from employee").toInt(), 1);
    // Changing the code makes the same save go through.
    auto* box = child<QLineEdit>(win.w, "DBEdit1");
    box->selectAll();
    typeText(box, "E09");
    click(win.w, "BitBtn4");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(employees(app, "E09"), 1);
}

void TestEmployee::editKeepingOwnCodeSaves()
{
    TestApp app;
    app.exec("insert into employee (empl_code, empl_name) values ('E05', '赵六')");
    Window win;
    QVERIFY(app.dataModule().EmployeeQ->locate("empl_code", "E05"));
    click(win.w, "BitBtn7");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Editing);
    auto* name = child<QLineEdit>(win.w, "DBEdit3");
    name->selectAll();
    typeText(name, "赵六六");
    click(win.w, "BitBtn4");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select empl_name from employee where empl_code='E05'").toString(), QString("赵六六"));
    // Dates the record never had stay empty.
    QVERIFY(app.scalar("select empl_birth from employee where empl_code='E05'").isNull());
    QVERIFY(app.scalar("select in_date from employee where empl_code='E05'").isNull());

    // Taking another employee's code while editing is refused.
    click(win.w, "BitBtn7");
    auto* code = child<QLineEdit>(win.w, "DBEdit1");
    code->selectAll();
    typeText(code, "admin");
    click(win.w, "BitBtn4");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(employees(app, "E05"), 1);
}

void TestEmployee::cancelAfterAddDropsTheRow()
{
    TestApp app;
    Window win;
    click(win.w, "BitBtn2");
    retype(win.w, "DBEdit1", "E03");
    retype(win.w, "DBEdit3", "取消");
    click(win.w, "BitBtn3");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(employees(app, "E03"), 0);
    QCOMPARE(app.dataModule().EmployeeQ->recordCount(), 1);
    QCOMPARE(child<QLineEdit>(win.w, "DBEdit1")->text(), QString("admin"));
}

void TestEmployee::comboListsOfferUsedValues()
{
    TestApp app;
    app.exec("insert into employee (empl_code, empl_name, dept_name, duty) values ('E07', '钱七', '门店', '店长')");
    Window win;
    click(win.w, "BitBtn2");
    auto* dept = child<ui::DbComboBox>(win.w, "DBComboBox1");
    QVERIFY(dept->findText("门店") >= 0);
    // A new employee's boxes start empty although the lists are filled.
    QCOMPARE(dept->currentText(), QString());
    auto* sex = child<ui::DbComboBox>(win.w, "DBComboBox4");
    QCOMPARE(sex->itemText(0), QString("男"));
    QCOMPARE(sex->itemText(1), QString("女"));
}

void TestEmployee::deleteOfUsedEmployeeAsksAgain()
{
    TestApp app;
    app.exec("insert into inmain (bill_no, hand_code, chek_code) values ('1', 'admin', 'admin')");
    app.exec("insert into outmain (bill_no, oper_code) values ('2', 'ADMIN')");
    Window win;
    app.dialogs().answers = {true, false};
    click(win.w, "BitBtn6");
    QCOMPARE(app.dialogs().questions.size(), 2);
    QCOMPARE(app.dialogs().questions.first(), QString("确认删除?"));
    const QString second = app.dialogs().questions.at(1);
    QVERIFY2(second.contains("2 张单据") && second.contains("1 个用户"), qPrintable(second));
    QCOMPARE(employees(app, "admin"), 1);

    app.dialogs().answers = {true, true};
    click(win.w, "BitBtn6");
    QCOMPARE(employees(app, "admin"), 0);
}

void TestEmployee::deleteOfUnusedEmployeeAsksOnce()
{
    TestApp app;
    app.exec("insert into employee (empl_code, empl_name) values ('E08', '孙八')");
    Window win;
    QVERIFY(app.dataModule().EmployeeQ->locate("empl_code", "E08"));
    app.dialogs().answers = {false};
    click(win.w, "BitBtn6");
    QCOMPARE(employees(app, "E08"), 1);
    app.dialogs().answers = {true};
    click(win.w, "BitBtn6");
    QCOMPARE(app.dialogs().questions.size(), 2);
    QCOMPARE(employees(app, "E08"), 0);
}

void TestEmployee::editingLocksTheWindow()
{
    TestApp app;
    Window win;
    QVERIFY(!child<QGroupBox>(win.w, "GroupBox1")->isEnabled());
    click(win.w, "BitBtn2");
    for (const char* off : {"BitBtn2", "BitBtn7", "BitBtn6", "BitBtn5", "BitBtn1"})
        QVERIFY2(!child<QPushButton>(win.w, off)->isEnabled(), off);
    for (const char* on : {"BitBtn4", "BitBtn3"})
        QVERIFY2(child<QPushButton>(win.w, on)->isEnabled(), on);
    QVERIFY(child<QGroupBox>(win.w, "GroupBox1")->isEnabled());
    QVERIFY(child<QGroupBox>(win.w, "GroupBox2")->isEnabled());
    QVERIFY(!child<QWidget>(win.w, "DBGrid1")->isEnabled());
    QVERIFY(!win.w.close());
    QTest::keyClick(&win.w, Qt::Key_Escape);
    QVERIFY(win.w.isVisible());
    click(win.w, "BitBtn3");
    QVERIFY(win.w.close());
}

void TestEmployee::rightsGateTheButtons()
{
    TestApp app;
    // Every right except those of position 1.
    app.setRights("0" + QString(24, '1'));
    Window win;
    for (const char* gated : {"BitBtn2", "BitBtn7", "BitBtn6"})
        QVERIFY2(!child<QPushButton>(win.w, gated)->isEnabled(), gated);
    for (const char* free : {"BitBtn5", "BitBtn1"})
        QVERIFY2(child<QPushButton>(win.w, free)->isEnabled(), free);
}

void TestEmployee::databaseErrorIsShownAndModeKept()
{
    TestApp app;
    Window win;
    click(win.w, "BitBtn2");
    retype(win.w, "DBEdit1", "E04");
    retype(win.w, "DBEdit3", "周九");
    app.execAsOwner("alter table employee rename to employee_gone");
    click(win.w, "BitBtn4");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(app.dialogs().messages.size(), 1);
    QCOMPARE(app.dialogs().messages.first().icon, ui::Dialogs::Icon::Critical);
    QVERIFY(app.dialogs().lastMessage().contains("保存失败"));
}

QTEST_MAIN(TestEmployee)
#include "tst_employee.moc"
