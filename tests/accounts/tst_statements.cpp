// The purchase and sales statements: which bills they list, their totals, and printing.
#include "AccountsData.h"
#include "TestSupport.h"
#include "WindowDriver.h"

#include "accounts/TFrmIncost.h"
#include "core/CurrentRights.h"
#include "accounts/TFrmOutcost.h"
#include "db/Dataset.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportPreview.h"
#include "ui/DbGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

using namespace AccountsData;
using WindowDriver::showWindow;
using WindowDriver::typeText;

class TestStatements : public QObject {
    Q_OBJECT

private slots:
    void listsBillsAndTotals_data();
    void listsBillsAndTotals();
    void pickingACompanyByNameListsThatCompanyOnly();
    void rangeWithoutBillsShowsZeroTotals();
    void receiptsShowAtOnce();
    void owingTakesOffTheCustomersAdvance();
    void printingBeforeAQueryPrintsNothing();
    void printingFillsTheTitleBand();
    void rightsDisableQueryAndPrint();
};

namespace {

std::unique_ptr<StatementWindow> open(const QString& window)
{
    std::unique_ptr<StatementWindow> w;
    if (window == "TFrmIncost")
        w = std::make_unique<TFrmIncost>();
    else
        w = std::make_unique<TFrmOutcost>();
    w->show();
    return w;
}

QString tableOf(const QString& window)
{
    return window == "TFrmIncost" ? "inmain" : "outmain";
}

void drawUp(StatementWindow& w, const QString& company = {}, bool onlyOpen = false)
{
    w.fromDateEdit->setDate(QDate(2026, 3, 1));
    w.toDateEdit->setDate(QDate(2026, 3, 31));
    if (!company.isEmpty())
        typeText(w.companyCodeBox->lineEdit(), company);
    QTest::mouseClick(onlyOpen ? w.openOnlyRadio : w.allRadio, Qt::LeftButton);
    QTest::mouseClick(w.cmd_find, Qt::LeftButton);
}

QStringList listed(StatementWindow& w)
{
    db::Dataset* list = w.billGrid->dataset();
    QStringList numbers;
    for (int row = 0; row < list->recordCount(); ++row)
        numbers << list->value(row, list->fieldIndex("bill_no")).toString();
    return numbers;
}

void addStatementBills(TestApp& app, const QString& table)
{
    addCompany(app, "C01", "华美服饰");
    addCompany(app, "C02", "东方鞋业");
    addBill(app, table, "B1", 2, "C01", 100, 100);
    addBill(app, table, "B2", 3, "C01", 100, 120);
    addBill(app, table, "B3", 4, "C02", 100, QVariant());
    addBill(app, table, "B4", 31, "C02", 50, 20, "retu");
    addBill(app, table, "B0", 28, "C01", 10, 0, "out", 2);   // before the range
}

} // namespace

void TestStatements::listsBillsAndTotals_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("company");
    QTest::addColumn<bool>("onlyOpen");
    QTest::addColumn<QStringList>("bills");
    QTest::addColumn<QString>("due");
    QTest::addColumn<QString>("paid");
    QTest::addColumn<QString>("owing");

    for (const QString window : {QStringLiteral("TFrmIncost"), QStringLiteral("TFrmOutcost")}) {
        const QByteArray w = window.toLatin1();
        QTest::newRow(w + ": all companies") << window << QString() << false
                                            << QStringList{"B1", "B2", "B3", "B4"} << "350" << "240" << "110";
        QTest::newRow(w + ": unsettled only") << window << QString() << true << QStringList{"B2", "B3", "B4"}
                                             << "250" << "140" << "110";
        QTest::newRow(w + ": one company") << window << "C01" << false << QStringList{"B1", "B2"} << "200" << "220"
                                          << "-20";
    }
}

void TestStatements::listsBillsAndTotals()
{
    QFETCH(QString, window);
    QFETCH(QString, company);
    QFETCH(bool, onlyOpen);
    QFETCH(QStringList, bills);
    TestApp app;
    addStatementBills(app, tableOf(window));
    const auto w = open(window);
    drawUp(*w, company, onlyOpen);
    QCOMPARE(listed(*w), bills);
    QTEST(w->totalDueEdit->text(), "due");
    QTEST(w->totalPaidEdit->text(), "paid");
    QTEST(w->totalOwingEdit->text(), "owing");
    QCOMPARE(w->billGrid->model()->rowCount(), bills.size());
    QVERIFY(app.dialogs().messages.isEmpty());
}

void TestStatements::pickingACompanyByNameListsThatCompanyOnly()
{
    TestApp app;
    addStatementBills(app, "outmain");
    TFrmOutcost w;
    showWindow(w);
    typeText(w.companyNameBox->lineEdit(), "东方鞋业");
    QCOMPARE(w.companyCodeBox->currentText(), QString("C02"));
    drawUp(w);
    QCOMPARE(listed(w), QStringList({"B3", "B4"}));
    // A name no company has lists nothing, not every company.
    w.companyNameBox->lineEdit()->clear();
    typeText(w.companyNameBox->lineEdit(), "无此公司");
    QCOMPARE(w.companyCodeBox->currentText(), QString());
    drawUp(w);
    QCOMPARE(listed(w), QStringList());
}

void TestStatements::rangeWithoutBillsShowsZeroTotals()
{
    TestApp app;
    addStatementBills(app, "inmain");
    TFrmIncost w;
    showWindow(w);
    w.fromDateEdit->setDate(QDate(2025, 1, 1));
    w.toDateEdit->setDate(QDate(2025, 12, 31));
    QTest::mouseClick(w.cmd_find, Qt::LeftButton);
    QCOMPARE(w.totalDueEdit->text(), QString("0"));
    QCOMPARE(w.totalPaidEdit->text(), QString("0"));
    QCOMPARE(w.totalOwingEdit->text(), QString("0"));
    QCOMPARE(w.billGrid->model()->rowCount(), 0);
}

void TestStatements::receiptsShowAtOnce()
{
    TestApp app;
    addStatementBills(app, "outmain");
    TFrmOutcost w;
    showWindow(w);
    drawUp(w, QString(), true);
    QCOMPARE(w.totalPaidEdit->text(), QString("140"));
    app.exec("update outmain set fact_tota=100 where bill_no='B3'");
    QTest::mouseClick(w.cmd_find, Qt::LeftButton);
    QCOMPARE(listed(w), QStringList({"B2", "B4"}));
    QCOMPARE(w.totalPaidEdit->text(), QString("140"));
}

// 欠收 is what the customer owes, as the ageing says: its advance comes off.
void TestStatements::owingTakesOffTheCustomersAdvance()
{
    TestApp app;
    addCompany(app, "C03", "新衣坊", 20);
    addBill(app, "outmain", "S1", 5, "C03", 100, 0);
    addBill(app, "inmain", "P1", 5, "C03", 100, 0, "in");
    TFrmOutcost sales;
    showWindow(sales);
    drawUp(sales, "C03");
    QCOMPARE(sales.totalDueEdit->text(), QString("100"));
    QCOMPARE(sales.totalPaidEdit->text(), QString("0"));
    QCOMPARE(sales.totalOwingEdit->text(), QString("80"));
    // A customer's advance lowers no supplier's bill.
    TFrmIncost purchases;
    showWindow(purchases);
    drawUp(purchases, "C03");
    QCOMPARE(purchases.totalOwingEdit->text(), QString("100"));
}

void TestStatements::printingBeforeAQueryPrintsNothing()
{
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    addStatementBills(app, "inmain");
    TFrmIncost w;
    showWindow(w);
    int previews = 0;
    app.dialogs().onExec = [&previews](QDialog*) { ++previews; return int(QDialog::Rejected); };
    QTest::mouseClick(w.cmd_prin, Qt::LeftButton);
    QCOMPARE(previews, 0);
    QVERIFY(app.dialogs().messages.isEmpty());
}

void TestStatements::printingFillsTheTitleBand()
{
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    addStatementBills(app, "outmain");
    TFrmOutcost w;
    showWindow(w);
    drawUp(w, "C02");
    int pages = 0;
    int rows = 0;
    app.dialogs().onExec = [&](QDialog* dialog) {
        if (auto* preview = qobject_cast<ReportPreview*>(dialog)) {
            pages = preview->pageCount();
            rows = ReportLayouts::get<TQoutcost>().masterDataset()->recordCount();
        }
        return int(QDialog::Rejected);
    };
    QTest::mouseClick(w.cmd_prin, Qt::LeftButton);
    QVERIFY(app.dialogs().messages.isEmpty());
    QCOMPARE(pages, 1);
    QCOMPARE(rows, 2);
    TQoutcost& report = ReportLayouts::get<TQoutcost>();
    QCOMPARE(report.labelText("khbm"), QString("C02"));
    QCOMPARE(report.labelText("khmc"), QString("东方鞋业"));
    QCOMPARE(report.labelText("ysjea"), QString("150"));
    QCOMPARE(report.labelText("ysjeb"), QString("20"));
    QCOMPARE(report.labelText("qkje"), QString("130"));
    QCOMPARE(report.labelText("rqfw1"), QLocale().toString(QDate(2026, 3, 1), QLocale::ShortFormat));
}

void TestStatements::rightsDisableQueryAndPrint()
{
    TestApp app;
    QString rights(25, QLatin1Char('1'));
    app.setRights(rights);
    CurrentRights::current().find[21] = QLatin1Char('0');   // purchase statement
    CurrentRights::current().prin[22] = QLatin1Char('0');   // sales statement
    TFrmIncost in;
    QVERIFY(!in.cmd_find->isEnabled());
    QVERIFY(in.cmd_prin->isEnabled());
    TFrmOutcost out;
    QVERIFY(out.cmd_find->isEnabled());
    QVERIFY(!out.cmd_prin->isEnabled());
}

QTEST_MAIN(TestStatements)
#include "tst_statements.moc"
