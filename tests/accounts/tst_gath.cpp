// The receipt and payment windows as a user drives them: settling, taking an
// amount, saving, the credit carried forward, finding a voucher and printing.
#include "AccountsData.h"
#include "PgProxy.h"
#include "TestSupport.h"
#include "WindowDriver.h"

#include "accounts/TFrmGath.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "accounts/TFrmPay.h"
#include "accounts/VoucherFinder.h"
#include "db/Dataset.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportPreview.h"
#include "shop/SaveIdentity.h"
#include "ui/DbGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

using namespace AccountsData;
using WindowDriver::retype;
using WindowDriver::showWindow;
using WindowDriver::typeText;

class TestGath : public QObject {
    Q_OBJECT

private slots:
    void settlingNeedsACompanyOrABillNumber();
    void amountSpreadsOverTheListedBills_data();
    void amountSpreadsOverTheListedBills();
    void creditIsOfferedAtTheNextSettlementInBothWindows_data();
    void creditIsOfferedAtTheNextSettlementInBothWindows();
    void creditUsedUpBecomesZero();
    void amountZeroOrEmptyIsRefused_data();
    void amountZeroOrEmptyIsRefused();
    void settlementWithoutBillsShowsZeroAndCannotTakeMoney();
    void failedSaveChangesNothingAndTheRetrySpreadsOnce();
    void receiptWithItsAnswerLostIsShownSaved();
    void foundVoucherIsShownAndCannotBePaidAgain();
    void takenProposedNumberMovesOnAndATypedOneIsRefused();
    void printingBeforeASettlementPrintsNothing();
    void printingShowsThisWindowsSettlement();
    void billNumberEmptiesTheCompanyBoxesAndBothFiltersApply();
    void windowRefusesToCloseWhileTakingMoney();
    void rightsOfEachWindowGovernItsButtons();
};

namespace {

struct Kind {
    QString table;
    QString vouchers;
};

Kind kindOf(const QString& window)
{
    return window == "TFrmGath" ? Kind{"outmain", "gathmain"} : Kind{"inmain", "paymain"};
}

std::unique_ptr<SettlementWindow> open(const QString& window)
{
    std::unique_ptr<SettlementWindow> w;
    if (window == "TFrmGath")
        w = std::make_unique<TFrmGath>();
    else
        w = std::make_unique<TFrmPay>();
    w->show();
    return w;
}

// Settles March 2026 for a company typed into the code box.
void settle(SettlementWindow& w, const QString& company)
{
    w.fromDateEdit->setDate(QDate(2026, 3, 1));
    w.toDateEdit->setDate(QDate(2026, 3, 31));
    if (!company.isEmpty()) {
        w.companyCodeBox->lineEdit()->clear();
        typeText(w.companyCodeBox->lineEdit(), company);
    }
    QTest::mouseClick(w.cmd_add, Qt::LeftButton);
}

// Takes an amount dated 15 March 2026 and saves it.
void takeMoney(SettlementWindow& w, const QString& amount)
{
    QTest::mouseClick(w.cmd_calc, Qt::LeftButton);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    w.voucherDateEdit->setDate(QDate(2026, 3, 15));
    retype(w.amountEdit, amount);
    QTest::mouseClick(w.cmd_save, Qt::LeftButton);
}

void addTwoBills(TestApp& app, const QString& table)
{
    addCompany(app, "C01", "华美服饰");
    addBill(app, table, "B1", 2, "C01", 60, 0);
    addBill(app, table, "B2", 9, "C01", 80, QVariant());
}

} // namespace

void TestGath::settlingNeedsACompanyOrABillNumber()
{
    TestApp app;
    TFrmGath w;
    showWindow(w);
    QCOMPARE(w.windowTitle(), QString("收款单"));
    retype(w.billNoEdit, "   ");
    QTest::mouseClick(w.cmd_add, Qt::LeftButton);
    QCOMPARE(app.dialogs().lastMessage(), QString("请选择客户或流水号结帐！"));
    QVERIFY(!w.cmd_calc->isEnabled());
}

void TestGath::amountSpreadsOverTheListedBills_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("receipt") << "TFrmGath";
    QTest::newRow("payment") << "TFrmPay";
}

void TestGath::amountSpreadsOverTheListedBills()
{
    QFETCH(QString, window);
    TestApp app;
    const Kind kind = kindOf(window);
    addTwoBills(app, kind.table);
    const auto w = open(window);

    settle(*w, "C01");
    QCOMPARE(w->companyNameBox->currentText(), QString("华美服饰"));
    QCOMPARE(w->totalDueEdit->text(), QString("140"));
    QCOMPARE(w->totalPaidEdit->text(), QString("0"));
    QCOMPARE(w->totalOwingEdit->text(), QString("140"));
    QCOMPARE(w->previousBalanceEdit->text(), QString("0"));
    QCOMPARE(w->billGrid->model()->rowCount(), 2);
    QVERIFY(w->cmd_calc->isEnabled());

    QTest::mouseClick(w->cmd_calc, Qt::LeftButton);
    QCOMPARE(w->voucherNoEdit->text().size(), 14);
    QVERIFY(w->voucherGroup->isEnabled());
    QVERIFY(!w->byCompanyGroup->isEnabled());
    retype(w->amountEdit, "100");
    QCOMPARE(w->newBalanceEdit->text(), QString("-40"));
    QTest::mouseClick(w->cmd_save, Qt::LeftButton);

    QCOMPARE(w->mode(), ui::ModeWindow::Mode::Browsing);
    QVERIFY(app.dialogs().messages.isEmpty());
    QCOMPARE(paidOf(app, kind.table, "B1").toDouble(), 60.0);
    QCOMPARE(paidOf(app, kind.table, "B2").toDouble(), 40.0);
    QVERIFY(creditOf(app, "C01").isNull());
    QCOMPARE(count(app, kind.vouchers), 1);
    QCOMPARE(app.scalar("select rest_tota from " + kind.vouchers).toDouble(), -40.0);
    QCOMPARE(app.scalar("select comp_name from " + kind.vouchers).toString(), QString("华美服饰"));
    // The list shows what was received; another amount needs a new settlement.
    db::Dataset* list = w->billGrid->dataset();
    QCOMPARE(list->value(1, list->fieldIndex("fact_tota")).toDouble(), 40.0);
    QCOMPARE(list->value(1, list->fieldIndex("margin")).toDouble(), 40.0);
    QVERIFY(!w->cmd_calc->isEnabled());

    settle(*w, QString());
    QCOMPARE(w->totalOwingEdit->text(), QString("40"));
    QVERIFY(w->cmd_calc->isEnabled());
}

void TestGath::creditIsOfferedAtTheNextSettlementInBothWindows_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("other");
    QTest::newRow("receipt, then payment") << "TFrmGath" << "TFrmPay";
    QTest::newRow("payment, then receipt") << "TFrmPay" << "TFrmGath";
}

void TestGath::creditIsOfferedAtTheNextSettlementInBothWindows()
{
    QFETCH(QString, window);
    QFETCH(QString, other);
    TestApp app;
    const Kind kind = kindOf(window);
    addTwoBills(app, kind.table);
    addBill(app, kindOf(other).table, "X1", 20, "C01", 50, 0);
    {
        const auto w = open(window);
        settle(*w, "C01");
        takeMoney(*w, "200");
        QCOMPARE(w->newBalanceEdit->text(), QString("60"));
        QCOMPARE(paidOf(app, kind.table, "B2").toDouble(), 80.0);
        QCOMPARE(creditOf(app, "C01").toDouble(), 60.0);

        addBill(app, kind.table, "B3", 20, "C01", 25, 0);
        settle(*w, QString());
        QCOMPARE(w->previousBalanceEdit->text(), QString("60"));
        QCOMPARE(w->totalOwingEdit->text(), QString("25"));
    }
    const auto o = open(other);
    settle(*o, "C01");
    QCOMPARE(o->previousBalanceEdit->text(), QString("60"));
    takeMoney(*o, "5");
    QCOMPARE(o->newBalanceEdit->text(), QString("15"));
    QCOMPARE(paidOf(app, kindOf(other).table, "X1").toDouble(), 50.0);
    QCOMPARE(creditOf(app, "C01").toDouble(), 15.0);
}

void TestGath::creditUsedUpBecomesZero()
{
    TestApp app;
    addCompany(app, "C01", "华美服饰", 30.0);
    addBill(app, "outmain", "B1", 2, "C01", 50, 0);
    TFrmGath w;
    showWindow(w);
    settle(w, "C01");
    QCOMPARE(w.previousBalanceEdit->text(), QString("30"));
    takeMoney(w, "10");
    QCOMPARE(w.newBalanceEdit->text(), QString("-10"));
    QCOMPARE(paidOf(app, "outmain", "B1").toDouble(), 40.0);
    QCOMPARE(creditOf(app, "C01").toDouble(), 0.0);
    settle(w, QString());
    QCOMPARE(w.previousBalanceEdit->text(), QString("0"));
    QCOMPARE(w.totalOwingEdit->text(), QString("10"));
}

void TestGath::amountZeroOrEmptyIsRefused_data()
{
    QTest::addColumn<QString>("amount");
    QTest::newRow("zero") << "0";
    QTest::newRow("empty") << "";
    QTest::newRow("not a number") << "abc";
}

void TestGath::amountZeroOrEmptyIsRefused()
{
    QFETCH(QString, amount);
    TestApp app;
    addCompany(app, "C01", "华美服饰", 30.0);
    addBill(app, "outmain", "B1", 2, "C01", 50, 0);
    TFrmGath w;
    showWindow(w);
    settle(w, "C01");
    takeMoney(w, amount);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QVERIFY(w.cmd_save->isEnabled());
    QCOMPARE(app.dialogs().lastMessage(), QStringLiteral("收款金额“%1”必须大于0").arg(amount));
    QCOMPARE(paidOf(app, "outmain", "B1").toDouble(), 0.0);
    QCOMPARE(creditOf(app, "C01").toDouble(), 30.0);
    QCOMPARE(count(app, "gathmain"), 0);
}

void TestGath::settlementWithoutBillsShowsZeroAndCannotTakeMoney()
{
    TestApp app;
    addCompany(app, "C01", "华美服饰");
    addBill(app, "inmain", "B1", 2, "C01", 50, 50, "in");   // settled already
    addBill(app, "inmain", "B2", 2, "C02", 50, 0, "in");    // another company's
    TFrmPay w;
    showWindow(w);
    settle(w, "C01");
    QCOMPARE(w.totalOwingEdit->text(), QString("0"));
    QVERIFY(!w.cmd_calc->isEnabled());
    settle(w, "C09");
    QCOMPARE(w.totalDueEdit->text(), QString("0"));
    QCOMPARE(w.totalPaidEdit->text(), QString("0"));
    QCOMPARE(w.totalOwingEdit->text(), QString("0"));
    QVERIFY(!w.cmd_calc->isEnabled());
    w.cmd_calcClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
}

void TestGath::failedSaveChangesNothingAndTheRetrySpreadsOnce()
{
    TestApp app;
    addTwoBills(app, "outmain");
    app.exec("update company set rest_tota=30");
    TFrmGath w;
    showWindow(w);
    settle(w, "C01");
    app.refuse("refuse_b2", "update", "outmain", "old.bill_no='B2'", "refused");
    takeMoney(w, "100");
    QCOMPARE(app.dialogs().messages.size(), 1);
    QVERIFY(app.dialogs().lastMessage().contains("收款单保存失败"));
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(w.amountEdit->text(), QString("100"));
    QCOMPARE(paidOf(app, "outmain", "B1").toDouble(), 0.0);
    QCOMPARE(creditOf(app, "C01").toDouble(), 30.0);
    QCOMPARE(count(app, "gathmain"), 0);

    app.allow("refuse_b2", "outmain");
    QTest::mouseClick(w.cmd_save, Qt::LeftButton);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(w.newBalanceEdit->text(), QString("-10"));
    QCOMPARE(paidOf(app, "outmain", "B1").toDouble(), 60.0);
    QCOMPARE(paidOf(app, "outmain", "B2").toDouble(), 70.0);
    QCOMPARE(creditOf(app, "C01").toDouble(), 0.0);
    QCOMPARE(count(app, "gathmain"), 1);
}

// The server stored the receipt and its answer was lost: the window says it is
// saved and shows the stored voucher; nothing is paid twice.
void TestGath::receiptWithItsAnswerLostIsShownSaved()
{
    if (!TestApp::onServer())
        QSKIP("a lost connection is the server's");
    TestApp app;
    addTwoBills(app, "outmain");
    PgProxy proxy(app.dataModule().AdoConn.serverAddress());
    ShopServer::open(app.dataModule().AdoConn, proxy.address());
    TFrmGath w;
    showWindow(w);
    settle(w, "C01");
    proxy.cutAt(PgProxy::Cut::AnswerToCommit);
    takeMoney(w, "100");
    QCOMPARE(app.dialogs().messages.size(), 1);
    QCOMPARE(app.dialogs().lastMessage(), SaveIdentity::alreadySaved);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(w.newBalanceEdit->text(), QString("-40"));
    QCOMPARE(w.voucherNoEdit->text(), app.scalar("select fei_no from gathmain").toString());
    QCOMPARE(count(app, "gathmain"), 1);
    QCOMPARE(paidOf(app, "outmain", "B2").toDouble(), 40.0);
}

void TestGath::foundVoucherIsShownAndCannotBePaidAgain()
{
    TestApp app;
    addTwoBills(app, "outmain");
    TFrmGath w;
    showWindow(w);
    settle(w, "C01");
    QTest::mouseClick(w.cmd_calc, Qt::LeftButton);
    w.voucherDateEdit->setDate(QDate(2026, 3, 15));
    retype(w.voucherNoEdit, "R-0001");
    retype(w.amountEdit, "100");
    retype(w.remarkEdit, "首付");
    QTest::mouseClick(w.cmd_save, Qt::LeftButton);
    settle(w, "C01");
    QVERIFY(w.cmd_calc->isEnabled());

    int shown = 0;
    bool allAtStart = false;
    app.dialogs().onExec = [&shown, &allAtStart](QDialog* dialog) {
        auto* finder = qobject_cast<VoucherFinder*>(dialog);
        if (!finder)
            return int(QDialog::Rejected);
        ++shown;
        // "全部" only empties the number: the search goes by the picked day.
        allAtStart = finder->allBox->isChecked();
        finder->dateEdit->setDate(QDate(2026, 3, 14));
        QTest::mouseClick(finder->cmd_edit, Qt::LeftButton);
        QTest::mouseClick(finder->cmd_save, Qt::LeftButton);   // nothing that day: stays open
        if (finder->result() == QDialog::Accepted)
            return int(QDialog::Accepted);
        finder->dateEdit->setDate(QDate(2026, 3, 15));
        QTest::mouseClick(finder->cmd_edit, Qt::LeftButton);
        QTest::mouseClick(finder->cmd_save, Qt::LeftButton);
        return finder->result();
    };
    QTest::mouseClick(w.cmd_find, Qt::LeftButton);
    QCOMPARE(shown, 1);
    QVERIFY(allAtStart);
    QCOMPARE(w.voucherNoEdit->text(), QString("R-0001"));
    QCOMPARE(w.amountEdit->text(), QString("100"));
    QCOMPARE(w.newBalanceEdit->text(), QString("-40"));
    QCOMPARE(w.remarkEdit->text(), QString("首付"));
    QCOMPARE(w.companyCodeBox->currentText(), QString("C01"));
    QCOMPARE(w.voucherDateEdit->date(), QDate(2026, 3, 15));
    QVERIFY(!w.cmd_calc->isEnabled());
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
}

void TestGath::takenProposedNumberMovesOnAndATypedOneIsRefused()
{
    TestApp app;
    Clock::setFixed(QDateTime(QDate(2026, 3, 15), QTime(9, 30)));
    addTwoBills(app, "outmain");
    // Another PC took the second's number meanwhile.
    app.exec("insert into gathmain (fei_no) values ('20260315093000')");
    TFrmGath w;
    showWindow(w);
    settle(w, "C01");
    takeMoney(w, "10");
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(w.voucherNoEdit->text(), QString("20260315093001"));

    settle(w, "C01");
    QTest::mouseClick(w.cmd_calc, Qt::LeftButton);
    retype(w.voucherNoEdit, "20260315093001");
    retype(w.amountEdit, "10");
    QTest::mouseClick(w.cmd_save, Qt::LeftButton);
    QVERIFY2(app.dialogs().lastMessage().contains("收款单号 20260315093001 已经用过，请换一个单号"),
             qPrintable(app.dialogs().lastMessage()));
    QCOMPARE(count(app, "gathmain"), 2);
}

void TestGath::printingBeforeASettlementPrintsNothing()
{
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    addTwoBills(app, "outmain");
    TFrmGath w;
    showWindow(w);
    int previews = 0;
    app.dialogs().onExec = [&previews](QDialog*) { ++previews; return int(QDialog::Rejected); };
    QTest::mouseClick(w.cmd_prin, Qt::LeftButton);
    QCOMPARE(previews, 0);
    QVERIFY(app.dialogs().messages.isEmpty());
}

void TestGath::printingShowsThisWindowsSettlement()
{
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    addTwoBills(app, "inmain");
    addBill(app, "outmain", "S1", 3, "C01", 10, 0);
    {
        // A receipt settlement before: the payment print-out must not list its bills.
        TFrmGath g;
        settle(g, "C01");
    }
    TFrmPay w;
    showWindow(w);
    settle(w, "C01");
    int rows = -1;
    int pages = 0;
    app.dialogs().onExec = [&](QDialog* dialog) {
        if (auto* preview = qobject_cast<ReportPreview*>(dialog)) {
            pages = preview->pageCount();
            rows = ReportLayouts::get<TQpay>().masterDataset()->recordCount();
        }
        return int(QDialog::Rejected);
    };
    QTest::mouseClick(w.cmd_prin, Qt::LeftButton);
    QVERIFY(app.dialogs().messages.isEmpty());
    QCOMPARE(pages, 1);
    QCOMPARE(rows, 2);
    TQpay& report = ReportLayouts::get<TQpay>();
    QCOMPARE(report.labelText("khbm"), QString("C01"));
    QCOMPARE(report.labelText("khmc"), QString("华美服饰"));
    QCOMPARE(report.labelText("ysjea"), QString("140"));
    QCOMPARE(report.labelText("sqjy"), QString("0"));
}

void TestGath::billNumberEmptiesTheCompanyBoxesAndBothFiltersApply()
{
    TestApp app;
    addTwoBills(app, "outmain");
    // Two bills under one number, as an older database holds them.
    app.execAsOwner("drop index outmain_bill_no_unique");
    addBill(app, "outmain", "B2", 9, "C02", 70, 0, "retu");
    TFrmGath w;
    showWindow(w);
    typeText(w.companyCodeBox->lineEdit(), "C01");
    retype(w.billNoEdit, "B2");
    QCOMPARE(w.companyCodeBox->currentText(), QString());
    QCOMPARE(w.companyNameBox->currentText(), QString());
    settle(w, QString());
    QCOMPARE(w.totalOwingEdit->text(), QString("150"));
    QCOMPARE(w.previousBalanceEdit->text(), QString("0"));

    settle(w, "C01");
    QCOMPARE(w.billNoEdit->text(), QString("B2"));
    QCOMPARE(w.totalOwingEdit->text(), QString("80"));
}

void TestGath::windowRefusesToCloseWhileTakingMoney()
{
    TestApp app;
    addTwoBills(app, "outmain");
    TFrmGath w;
    showWindow(w);
    settle(w, "C01");
    QTest::mouseClick(w.cmd_calc, Qt::LeftButton);
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QTest::mouseClick(w.cmd_canc, Qt::LeftButton);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(count(app, "gathmain"), 0);
    // A cancelled receipt leaves the settlement ready for another try.
    QVERIFY(w.cmd_calc->isEnabled());
    QVERIFY(w.close());
}

void TestGath::rightsOfEachWindowGovernItsButtons()
{
    TestApp app;
    addTwoBills(app, "outmain");
    addTwoBills(app, "inmain");
    CurrentRights& rights = CurrentRights::current();
    rights.edit[19] = QLatin1Char('0');   // receipts: no taking money
    rights.prin[19] = QLatin1Char('0');
    rights.add[20] = QLatin1Char('0');    // payments: no settling
    rights.find[20] = QLatin1Char('0');
    TFrmGath g;
    showWindow(g);
    settle(g, "C01");
    QCOMPARE(g.totalOwingEdit->text(), QString("140"));
    QVERIFY(!g.cmd_calc->isEnabled());
    QVERIFY(!g.cmd_prin->isEnabled());
    QVERIFY(g.cmd_add->isEnabled());
    QVERIFY(g.cmd_find->isEnabled());
    g.cmd_calcClick();
    QCOMPARE(g.mode(), ui::ModeWindow::Mode::Browsing);

    TFrmPay p;
    QVERIFY(!p.cmd_add->isEnabled());
    QVERIFY(!p.cmd_find->isEnabled());
    QVERIFY(p.cmd_prin->isEnabled());
}

QTEST_MAIN(TestGath)
#include "tst_gath.moc"
