// The ageing window's own part: the date box and the totals, Enter or a double
// click on a company opening its settlement drawn up to the ageing date, the
// ageing read again after it, and the rights. Its figures are the module's.
#include "AccountsData.h"
#include "TestSupport.h"
#include "WindowDriver.h"

#include "accounts/SettlementWindow.h"
#include "accounts/TFrmAgeing.h"
#include "app/Application.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "db/Dataset.h"
#include "ui/DbGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

using namespace AccountsData;
using WindowDriver::showWindow;

namespace {

using Side = Receivables::Side;

QStringList companies(TFrmAgeing& w)
{
    db::Dataset* list = w.ageingGrid->dataset();
    QStringList codes;
    for (int row = 0; list->isOpen() && row < list->recordCount(); ++row)
        codes << list->value(row, list->fieldIndex("comp_code")).toString();
    return codes;
}

void ageOn(TFrmAgeing& w, const QDate& day)
{
    w.asOfDateEdit->setDate(day);
    QTest::mouseClick(w.cmd_find, Qt::LeftButton);
}

} // namespace

class TestAgeing : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;

private slots:
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2026, 6, 30), QTime(10, 0)));
        app = std::make_unique<TestApp>();
        addCompany(*app, "C1", "华美服饰");
        addCompany(*app, "C2", "东方鞋业");
        addCompany(*app, "C3", "新衣坊", 20);   // a customer's advance, nothing open
        for (const QString table : {"outmain", "inmain"}) {
            const double scale = table == "outmain" ? 1 : 2;
            addBill(*app, table, table + "1", 1, "C2", 300 * scale, 0, table == "outmain" ? "out" : "in", 3);
            addBill(*app, table, table + "2", 20, "C1", 100 * scale, 0, table == "outmain" ? "out" : "in", 6);
            addBill(*app, table, table + "3", 29, "C1", 50 * scale, 0, table == "outmain" ? "out" : "in", 6);
        }
    }
    void cleanup() { app.reset(); }

    void dateBoxChoosesTheDayAndTheTotalsSumTheList()
    {
        TFrmAgeing w(Side::Receivable);
        showWindow(w);
        // Read on opening, at today.
        QCOMPARE(companies(w), QStringList({"C2", "C1", "C3"}));
        // What is owed: the open bills less the advance.
        QCOMPARE(w.owingTotalEdit->text(), QString("430"));
        QCOMPARE(w.balanceTotalEdit->text(), QString("20"));

        ageOn(w, QDate(2026, 6, 28));   // the bill of the 29th is not yet there
        QCOMPARE(companies(w), QStringList({"C2", "C1", "C3"}));
        QCOMPARE(w.owingTotalEdit->text(), QString("380"));
        ageOn(w, QDate(2026, 2, 28));
        QCOMPARE(companies(w), QStringList({"C3"}));
        QCOMPARE(w.owingTotalEdit->text(), QString("-20"));
    }

    void rowOpensItsCompanysSettlementAndTheAgeingIsReadAgain_data()
    {
        QTest::addColumn<bool>("receivable");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("owing");
        QTest::addColumn<QString>("table");
        QTest::newRow("receivable, Enter") << true << true << "FrmGath" << "100" << "outmain";
        QTest::newRow("payable, double click") << false << false << "FrmPay" << "200" << "inmain";
    }

    void rowOpensItsCompanysSettlementAndTheAgeingIsReadAgain()
    {
        QFETCH(bool, receivable);
        QFETCH(bool, byEnter);
        QFETCH(QString, window);
        QFETCH(QString, owing);
        QFETCH(QString, table);
        TFrmAgeing w(receivable ? Side::Receivable : Side::Payable);
        showWindow(w);
        ageOn(w, QDate(2026, 6, 28));
        QCOMPARE(companies(w).value(1), QString("C1"));

        QString opened, code, settlementOwing;
        QDate to;
        app->dialogs().onExec = [&](QDialog* dialog) {
            auto* settlement = qobject_cast<SettlementWindow*>(dialog);
            opened = dialog->objectName();
            code = settlement->companyCodeBox->currentText();
            to = settlement->toDateEdit->date();
            settlementOwing = settlement->totalOwingEdit->text();
            // What the window takes in: C1 pays all but 10 a bill.
            app->exec(QString("update %1 set fact_tota=shou_tota-10 where comp_code='C1'").arg(table));
            return int(QDialog::Rejected);
        };
        const QModelIndex second = w.ageingGrid->model()->index(1, 0);
        if (byEnter) {
            w.ageingGrid->setFocus();
            QTest::keyClick(w.ageingGrid, Qt::Key_Down);
            QTest::keyClick(w.ageingGrid, Qt::Key_Return);
        } else {
            const QPoint at = w.ageingGrid->visualRect(second).center();
            QTest::mouseClick(w.ageingGrid->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(w.ageingGrid->viewport(), Qt::LeftButton, {}, at);
        }
        // That company's settlement, drawn up over its bills to the ageing date.
        QCOMPARE(opened, window);
        QCOMPARE(code, QString("C1"));
        QCOMPARE(to, QDate(2026, 6, 28));
        QCOMPARE(settlementOwing, owing);
        // Read again, and C1 stays the current row. The advance is a customer's.
        QCOMPARE(companies(w), receivable ? QStringList({"C2", "C1", "C3"}) : QStringList({"C2", "C1"}));
        QCOMPARE(w.ageingGrid->dataset()->text("comp_code"), QString("C1"));
        QCOMPARE(w.ageingGrid->dataset()->text("open_tota"), QString("10"));
    }

    void rightsGovernTheListAndTheSettlement()
    {
        QString rights(Function::Count, '1');
        rights[Function::Receipts - 1] = '0';
        app->setRights(rights);
        TFrmAgeing w(Side::Receivable);
        showWindow(w);
        bool opened = false;
        app->dialogs().onExec = [&opened](QDialog*) {
            opened = true;
            return int(QDialog::Rejected);
        };
        w.ageingGrid->setFocus();
        QTest::keyClick(w.ageingGrid, Qt::Key_Return);
        QVERIFY(!opened);
        QCOMPARE(app->dialogs().lastMessage(), QString("您没有使用收款单的权限"));

        rights = QString(Function::Count, '1');
        rights[Function::SalesStatement - 1] = '0';
        app->setRights(rights);
        TFrmAgeing hidden(Side::Receivable);
        QVERIFY(!hidden.cmd_find->isEnabled());
        QVERIFY(!hidden.cmd_prin->isEnabled());
        QVERIFY(companies(hidden).isEmpty());
    }
};

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    TestAgeing test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ageing.moc"
