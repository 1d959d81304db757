// The company window and the company picker: adding, refusing, finding,
// deleting, rights and what they tell the user.
#include "TestSupport.h"
#include "WindowDriver.h"

#include "core/CurrentRights.h"
#include "db/Dataset.h"
#include "ui/TFrmCompFind.h"
#include "masterdata/TFrmCompany.h"
#include "ui/DbComboBox.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QLabel>
#include <QtTest>

class TestCompany : public QObject {
    Q_OBJECT

private slots:
    void blankCodeIsNotSavedAndCancelDropsTheRow();
    void typedCompanyIsSavedAndTheWindowBrowsesAgain();
    void existingCodeIsRefusedAndTheWindowStaysInItsMode();
    void editAndDeleteOnAnEmptyTableDoNothing();
    void quickFindNeedsTheWholeCode();
    void rightsDisableAddEditDelete();
    void closeIsRefusedWhileEditing();
    void deletingACompanyInUseAsksAgainWithTheCount();
    void databaseFailureIsReportedAndTheModeKept();
    void dropDownsOfferValuesStoredWhenOpened();
    void pickerListsCompaniesAndChoosesNothingWhenEmpty();
};

using WindowDriver::retype;
using WindowDriver::showWindow;

namespace {

void addCompany(TestApp& app, const QString& code, const QString& name, const QString& type = {})
{
    app.exec("insert into company(comp_code, comp_name, comp_type) values(:p1, :p2, :p3)", {code, name, type});
}

int companies(TestApp& app)
{
    return app.scalar("select count(*) from company").toInt();
}

} // namespace

void TestCompany::blankCodeIsNotSavedAndCancelDropsTheRow()
{
    TestApp app;
    addCompany(app, "C01", "华美服饰");
    TFrmCompany w;
    showWindow(w);
    db::Dataset* q = app.dataModule().CompanyQ;
    QCOMPARE(q->recordCount(), 1);

    w.cmd_addClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QVERIFY(w.codeEdit->hasFocus());
    QTest::keyClicks(w.codeEdit, "   ");
    QTest::keyClicks(w.addressEdit, "Main Street 1");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QVERIFY(w.cmd_save->isEnabled());
    QVERIFY(app.dialogs().messages.isEmpty());
    QCOMPARE(companies(app), 1);

    w.cmd_cancClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(q->recordCount(), 1);
    QCOMPARE(w.codeEdit->text(), QString("C01"));
    QCOMPARE(companies(app), 1);
}

void TestCompany::typedCompanyIsSavedAndTheWindowBrowsesAgain()
{
    TestApp app;
    TFrmCompany w;
    showWindow(w);
    QVERIFY(!w.dataGroup->isEnabled());
    w.cmd_addClick();
    QVERIFY(w.dataGroup->isEnabled());
    QVERIFY(!w.findGroup->isEnabled());
    QVERIFY(!w.listGrid->isEnabled());
    QTest::keyClicks(w.codeEdit, "K7");
    QTest::keyClicks(w.nameEdit, "Lanhe Trading");
    QTest::keyClicks(w.managerNameEdit, "Wang");
    QTest::keyClicks(w.typeBox->lineEdit(), "wholesale");
    // The save button takes no focus from the box being typed in; the text still counts.
    w.cmd_saveClick();

    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QVERIFY(!w.cmd_save->isEnabled());
    QVERIFY(w.cmd_add->isEnabled());
    QVERIFY(w.listGrid->isEnabled());
    QCOMPARE(app.scalar("select comp_name from company where comp_code='K7'").toString(), QString("Lanhe Trading"));
    QCOMPARE(app.scalar("select head_name from company where comp_code='K7'").toString(), QString("Wang"));
    QCOMPARE(app.scalar("select comp_type from company where comp_code='K7'").toString(), QString("wholesale"));
    QCOMPARE(w.listGrid->model()->index(0, 2).data().toString(), QString("Wang"));
}

void TestCompany::existingCodeIsRefusedAndTheWindowStaysInItsMode()
{
    TestApp app;
    addCompany(app, "C01", "华美服饰");
    addCompany(app, "C02", "锦绣制衣");
    TFrmCompany w;
    showWindow(w);

    // Another case and surrounding blanks still name the same company.
    w.cmd_addClick();
    QTest::keyClicks(w.codeEdit, " c01 ");
    QTest::keyClicks(w.nameEdit, "Copy");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(app.dialogs().messages.size(), 1);
    QVERIFY(app.dialogs().lastMessage().contains("c01"));
    QVERIFY(app.dialogs().lastMessage().contains("已存在"));
    QCOMPARE(companies(app), 2);

    retype(w.codeEdit, "C03");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select comp_name from company where comp_code='C03'").toString(), QString("Copy"));

    // Editing may keep the row's own code, but not take another's.
    QVERIFY(app.dataModule().CompanyQ->locate("comp_code", "C02"));
    w.cmd_editClick();
    retype(w.nameEdit, "Jinxiu");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select comp_name from company where comp_code='C02'").toString(), QString("Jinxiu"));

    w.cmd_editClick();
    retype(w.codeEdit, "C03");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(app.dialogs().messages.size(), 2);
    QCOMPARE(app.scalar("select count(*) from company where comp_code='C03'").toInt(), 1);
    w.cmd_cancClick();
    QCOMPARE(w.codeEdit->text(), QString("C02"));
}

void TestCompany::editAndDeleteOnAnEmptyTableDoNothing()
{
    TestApp app;
    TFrmCompany w;
    showWindow(w);
    w.cmd_editClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    w.cmd_deleClick();
    QVERIFY(app.dialogs().questions.isEmpty());
    QVERIFY(app.dialogs().messages.isEmpty());
}

void TestCompany::quickFindNeedsTheWholeCode()
{
    TestApp app;
    for (const QString& code : {"A001", "A002", "B001"})
        addCompany(app, code, "Company " + code);
    TFrmCompany w;
    showWindow(w);
    db::Dataset* q = app.dataModule().CompanyQ;
    q->moveTo(1);

    QTest::keyClicks(w.findEdit, "B00");
    w.cmd_findClick();
    QCOMPARE(q->currentRow(), 1);

    QTest::keyClicks(w.findEdit, "1");
    QTest::keyClick(w.findEdit, Qt::Key_Return);
    QCOMPARE(q->currentRow(), 2);
    QCOMPARE(w.nameEdit->text(), QString("Company B001"));

    retype(w.findEdit, " a001 ");
    QTest::keyClick(w.findEdit, Qt::Key_Return);
    QCOMPARE(q->currentRow(), 0);

    retype(w.findEdit, "Z9");
    w.cmd_findClick();
    QCOMPARE(q->currentRow(), 0);
    QVERIFY(app.dialogs().messages.isEmpty());
}

void TestCompany::rightsDisableAddEditDelete()
{
    TestApp app;
    addCompany(app, "C01", "华美服饰");
    QString rights(25, '1');
    rights[2] = '0';   // position 3: companies
    CurrentRights& current = CurrentRights::current();
    current.add = rights;
    current.dele = rights;
    {
        TFrmCompany w;
        QVERIFY(!w.cmd_add->isEnabled());
        QVERIFY(w.cmd_edit->isEnabled());
        QVERIFY(!w.cmd_dele->isEnabled());
        // Back in browse after an edit, the refused rights are applied again.
        w.cmd_editClick();
        QVERIFY(!w.cmd_edit->isEnabled());
        QVERIFY(w.cmd_save->isEnabled());
        w.cmd_cancClick();
        QVERIFY(!w.cmd_add->isEnabled());
        QVERIFY(w.cmd_edit->isEnabled());
        QVERIFY(!w.cmd_dele->isEnabled());
        QVERIFY(w.cmd_exit->isEnabled());
    }
    // Other positions do not matter.
    app.setRights(QString(2, '0') + '1' + QString(22, '0'));
    TFrmCompany w;
    QVERIFY(w.cmd_add->isEnabled());
    QVERIFY(w.cmd_edit->isEnabled());
    QVERIFY(w.cmd_dele->isEnabled());
}

void TestCompany::closeIsRefusedWhileEditing()
{
    TestApp app;
    addCompany(app, "C01", "华美服饰");
    TFrmCompany w;
    showWindow(w);
    w.cmd_editClick();
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(w.isVisible());
    QVERIFY(!w.cmd_exit->isEnabled());
    w.cmd_cancClick();
    QTest::mouseClick(w.cmd_exit, Qt::LeftButton);
    QVERIFY(!w.isVisible());
}

void TestCompany::deletingACompanyInUseAsksAgainWithTheCount()
{
    TestApp app;
    addCompany(app, "C01", "华美服饰");
    addCompany(app, "C02", "锦绣制衣");
    app.exec("insert into inmain(bill_no, comp_code, bill_type) values('20240101000001', 'C01', 'in')");
    app.exec("insert into outmain(bill_no, comp_code, bill_type) values('20240101000002', 'c01', 'out')");
    app.exec("insert into goods(gods_code, supp_code, prod_code) values('G1', 'C01', 'C02')");
    TFrmCompany w;
    showWindow(w);
    QCOMPARE(w.windowTitle(), QString("客户资料"));   // as the menu names it
    db::Dataset* q = app.dataModule().CompanyQ;

    // The first question is the usual one; cancelling it asks nothing more.
    app.dialogs().answers = {false};
    w.cmd_deleClick();
    QCOMPARE(app.dialogs().questions, QStringList({"确认删除公司编码“C01”（华美服饰）?"}));
    QCOMPARE(companies(app), 2);

    app.dialogs().clear();
    app.dialogs().answers = {true, false};
    w.cmd_deleClick();
    QCOMPARE(app.dialogs().questions.size(), 2);
    const QString second = app.dialogs().questions.at(1);
    QVERIFY2(second.contains("3 条"), qPrintable(second));
    QVERIFY2(second.contains("货品（供应商） 1 条"), qPrintable(second));
    QCOMPARE(companies(app), 2);
    QCOMPARE(q->recordCount(), 2);

    app.dialogs().clear();
    app.dialogs().answers = {true, true};
    w.cmd_deleClick();
    QCOMPARE(app.scalar("select count(*) from company where comp_code='C01'").toInt(), 0);
    QCOMPARE(q->recordCount(), 1);
    QCOMPARE(w.codeEdit->text(), QString("C02"));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);

    // C02 is only a producer of one goods item.
    app.dialogs().clear();
    app.dialogs().answers = {true, false};
    w.cmd_deleClick();
    QCOMPARE(app.dialogs().questions.size(), 2);
    QVERIFY(app.dialogs().questions.at(1).contains("货品（生产商） 1 条"));

    // A company nothing uses goes after the one question.
    addCompany(app, "C03", "Free");
    q->requery();
    QVERIFY(q->locate("comp_code", "C03"));
    app.dialogs().clear();
    app.dialogs().answers = {true};
    w.cmd_deleClick();
    QCOMPARE(app.dialogs().questions.size(), 1);
    QCOMPARE(app.scalar("select count(*) from company where comp_code='C03'").toInt(), 0);
}

void TestCompany::databaseFailureIsReportedAndTheModeKept()
{
    TestApp app;
    addCompany(app, "C01", "华美服饰");
    addCompany(app, "C02", "锦绣制衣");
    TFrmCompany w;
    showWindow(w);
    // Someone else removes the row the window shows.
    app.exec("delete from company where comp_code='C01'");

    w.cmd_editClick();
    retype(w.nameEdit, "Changed");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(app.dialogs().messages.size(), 1);
    QCOMPARE(app.dialogs().messages.first().icon, ui::Dialogs::Icon::Critical);
    QVERIFY(app.dialogs().lastMessage().startsWith("保存失败"));
    w.cmd_cancClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);

    app.dialogs().clear();
    app.dialogs().answers = {true};
    w.cmd_deleClick();
    QCOMPARE(app.dialogs().messages.size(), 1);
    QVERIFY(app.dialogs().lastMessage().startsWith("删除失败"));
    QCOMPARE(app.dataModule().CompanyQ->recordCount(), 2);
}

void TestCompany::dropDownsOfferValuesStoredWhenOpened()
{
    TestApp app;
    addCompany(app, "C01", "A", "批发");
    addCompany(app, "C02", "B", "零售");
    addCompany(app, "C03", "C", "批发");
    addCompany(app, "C04", "D", "  ");
    app.exec("update company set belo_prov='浙江' where comp_code='C02'");
    {
        TFrmCompany w;
        showWindow(w);
        QCOMPARE(w.typeBox->count(), 2);
        QVERIFY(w.typeBox->findText("批发") >= 0);
        QVERIFY(w.typeBox->findText("零售") >= 0);
        QCOMPARE(w.provinceBox->count(), 1);
        QCOMPARE(w.countryBox->count(), 0);
        // The combo shows the current row's value, whatever the list.
        QCOMPARE(w.typeBox->currentText(), QString("批发"));

        w.cmd_addClick();
        QTest::keyClicks(w.codeEdit, "C05");
        QTest::keyClicks(w.typeBox->lineEdit(), "agent");
        w.cmd_saveClick();
        QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
        QCOMPARE(w.typeBox->findText("agent"), -1);
    }
    TFrmCompany again;
    QVERIFY(again.typeBox->findText("agent") >= 0);
}

void TestCompany::pickerListsCompaniesAndChoosesNothingWhenEmpty()
{
    TestApp app;
    {
        TFrmCompFind picker;
        QCOMPARE(picker.windowTitle(), QString("公司查询"));
        picker.show();
        // Nothing to choose: the picker says so and stays open.
        QTest::mouseClick(picker.chooseButton, Qt::LeftButton);
        QVERIFY(picker.isVisible());
        QCOMPARE(picker.findChild<QLabel*>("FindNote")->text(), QString("没有可选的公司，按Esc返回"));
    }
    addCompany(app, "C02", "锦绣制衣");
    addCompany(app, "C01", "华美服饰");
    db::Dataset* q = app.dataModule().CompanyQ;
    q->close();
    q->setSql("select * from company");
    TFrmCompFind picker;
    picker.show();
    // Reopened over the whole table in code order.
    QVERIFY(q->isOpen());
    QCOMPARE(picker.companyGrid->model()->rowCount(), 2);
    QCOMPARE(picker.companyGrid->model()->index(0, 0).data().toString(), QString("C01"));
    QCOMPARE(picker.companyGrid->model()->headerData(1, Qt::Horizontal).toString(), QString("客户公司"));
    q->moveTo(1);
    auto* name = picker.findChild<ui::DbEdit*>("DBEdit2");
    QCOMPARE(name->text(), QString("锦绣制衣"));
    QVERIFY(name->isReadOnly());
    QTest::mouseClick(picker.cancelButton, Qt::LeftButton);
    QCOMPARE(picker.result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestCompany)
#include "tst_company.moc"
