// The stock query and the stock alarm: what a query lists, its totals, the
// filters (bound, combined), the alarm's strict limits, printing and the hook.
#include "TestSupport.h"
#include "WarehouseData.h"
#include "WindowDriver.h"

#include "db/Dataset.h"
#include "reports/ReportDocument.h"
#include "reports/ReportLayouts.h"
#include "ui/DbGrid.h"
#include "warehouse/TFrmAlarm.h"
#include "warehouse/TFrmStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

using namespace WarehouseData;
using WindowDriver::click;
using WindowDriver::retype;
using WindowDriver::showWindow;

class TestStoreQuery : public QObject {
    Q_OBJECT

private slots:
    void totals_data();
    void totals();
    void blankCodesAreHiddenAndRowsOrdered();
    void codeAndKindTogetherBothHold();
    void typingACodeMovesToItsRow();
    void typedKindClearsThePickedCode();
    void alarmLimits_data();
    void alarmLimits();
    void printingBeforeAQueryDoesNothing();
    void printingCarriesTheTotals();
    void valueHookGoesWithTheWindow();
};

namespace {

QStringList listedCodes(db::Dataset* q)
{
    QStringList codes;
    for (int row = 0; row < q->recordCount(); ++row)
        codes << q->value(row, q->fieldIndex("gods_code")).toString();
    return codes;
}

void chooseKind(QComboBox* box, const QString& kind)
{
    const int index = box->findText(kind);
    QVERIFY(index >= 0);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

} // namespace

void TestStoreQuery::totals_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("cost");
    QTest::newRow("all") << "" << "12.5" << "38.25";
    QTest::newRow("one code") << "B2" << "3" << "9.75";
    QTest::newRow("unknown code") << "ZZ" << "0" << "0";
    QTest::newRow("quote in the code") << "X'1" << "0" << "0";
}

void TestStoreQuery::totals()
{
    QFETCH(QString, code);
    TestApp app;
    addGoods(app, "A1");
    addGoods(app, "B2");
    addStock(app, "A1", 9.5, 3.0);    // 28.5
    addStock(app, "B2", 3.0, 3.25);   // 9.75
    addStock(app, "C3", QVariant(), 2.0);   // an empty quantity counts as 0
    TFrmStore w;
    retype(w.codeEdit, code);
    click(w, "cmd_find");
    QTEST(w.quantityTotalEdit->text(), "quantity");
    QTEST(w.costTotalEdit->text(), "cost");
    QCOMPARE(app.dialogs().messages.size(), 0);
    if (code == "B2")
        QCOMPARE(app.dataModule().StoreQ->displayText(0, app.dataModule().StoreQ->fieldIndex("cost_tota")),
                 QString("9.75"));
}

void TestStoreQuery::blankCodesAreHiddenAndRowsOrdered()
{
    TestApp app;
    for (const char* code : {"C3", "", "  ", "A1", "B2"})
        addStock(app, code, 1.0);
    TFrmStore w;
    click(w, "cmd_find");
    QCOMPARE(listedCodes(app.dataModule().StoreQ), (QStringList{"A1", "B2", "C3"}));
    QCOMPARE(w.quantityTotalEdit->text(), QString("3"));
}

void TestStoreQuery::codeAndKindTogetherBothHold()
{
    TestApp app;
    addGoods(app, "A1", "上衣");
    addGoods(app, "B2", "裤子");
    addGoods(app, "C3", "裤子");
    for (const char* code : {"A1", "B2", "C3"})
        addStock(app, code, 2.0);
    TFrmStore w;
    chooseKind(w.kindBox, "裤子");
    QVERIFY(!w.allBox->isChecked());
    click(w, "cmd_find");
    QCOMPARE(listedCodes(app.dataModule().StoreQ), (QStringList{"B2", "C3"}));

    // A kind chosen, then a code typed while no row matches: both must hold.
    w.kindBox->setEditText("裤子");
    w.codeEdit->setText("A1");
    click(w, "cmd_find");
    QCOMPARE(listedCodes(app.dataModule().StoreQ), QStringList());
    w.codeEdit->setText("C3");
    click(w, "cmd_find");
    QCOMPARE(listedCodes(app.dataModule().StoreQ), QStringList{"C3"});
    // A quote in the kind is just text.
    w.codeEdit->clear();
    w.kindBox->setEditText("裤'子");
    click(w, "cmd_find");
    QCOMPARE(app.dataModule().StoreQ->recordCount(), 0);
    QCOMPARE(app.dialogs().messages.size(), 0);
}

// A kind typed into the box, not picked from its list, clears a code picked by name.
void TestStoreQuery::typedKindClearsThePickedCode()
{
    TestApp app;
    addGoods(app, "A1", "上衣");
    addGoods(app, "B2", "裤子");
    for (const char* code : {"A1", "B2"})
        addStock(app, code, 2.0);
    TFrmStore w;
    showWindow(w);
    const int name = w.nameBox->findText("货品A1");
    QVERIFY(name >= 0);
    w.nameBox->setCurrentIndex(name);
    emit w.nameBox->activated(name);
    QCOMPARE(w.codeEdit->text(), QString("A1"));

    w.kindBox->setFocus();
    WindowDriver::typeText(w.kindBox->lineEdit(), "裤子");
    QCOMPARE(w.codeEdit->text(), QString());
    QCOMPARE(w.nameBox->currentText(), QString());
    QVERIFY(!w.allBox->isChecked());
    click(w, "cmd_find");
    QCOMPARE(listedCodes(app.dataModule().StoreQ), QStringList{"B2"});
}

void TestStoreQuery::typingACodeMovesToItsRow()
{
    TestApp app;
    for (const char* code : {"A1", "B2", "C3"}) {
        addGoods(app, code);
        addStock(app, code, 1.0);
    }
    TFrmStore w;
    showWindow(w);
    retype(w.codeEdit, "B2");   // no result yet: only the box changes
    QVERIFY(!w.stockGrid->dataset());
    retype(w.codeEdit, "");
    click(w, "cmd_find");
    chooseKind(w.kindBox, "上衣");
    retype(w.codeEdit, "C3");
    QCOMPARE(app.dataModule().StoreQ->currentRow(), 2);
    QCOMPARE(w.kindBox->currentText(), QString());
    retype(w.codeEdit, "c3");   // exact, case counts: the row stays
    QCOMPARE(app.dataModule().StoreQ->currentRow(), 2);
    retype(w.codeEdit, "A1");
    QCOMPARE(app.dataModule().StoreQ->currentRow(), 0);
    QCOMPARE(app.dataModule().StoreQ->recordCount(), 3);
}

void TestStoreQuery::alarmLimits_data()
{
    QTest::addColumn<double>("stock");
    QTest::addColumn<QVariant>("max");
    QTest::addColumn<QVariant>("min");
    QTest::addColumn<bool>("alarms");
    QTest::newRow("at the upper limit") << 10.0 << QVariant(10.0) << QVariant(2.0) << false;
    QTest::newRow("at the lower limit") << 2.0 << QVariant(10.0) << QVariant(2.0) << false;
    QTest::newRow("0.01 over") << 10.01 << QVariant(10.0) << QVariant(2.0) << true;
    QTest::newRow("0.01 under") << 1.99 << QVariant(10.0) << QVariant(2.0) << true;
    QTest::newRow("upper limit 0") << 1.0 << QVariant(0.0) << QVariant() << true;
    QTest::newRow("no limits") << 1000.0 << QVariant() << QVariant() << false;
}

void TestStoreQuery::alarmLimits()
{
    QFETCH(double, stock);
    QFETCH(QVariant, max);
    QFETCH(QVariant, min);
    QFETCH(bool, alarms);
    TestApp app;
    addGoods(app, "A1", "上衣", max, min);
    addStock(app, "A1", stock);
    addStock(app, "NOGOODS", -5.0);   // no catalogue row: never alarms
    TFrmAlarm w;
    click(w, "cmd_find");
    db::Dataset* q = app.dataModule().AlarmQ;
    QCOMPARE(q->recordCount(), alarms ? 1 : 0);
    QCOMPARE(w.quantityTotalEdit->text(), alarms ? QLocale::c().toString(stock) : QString("0"));
    if (alarms && max.isValid())
        QCOMPARE(q->value(0, q->fieldIndex("max_amou")), max);
}

void TestStoreQuery::printingBeforeAQueryDoesNothing()
{
    TestApp app;
    ReportLayouts::createAll(&app.dataModule());
    addStock(app, "A1", 1.0);
    int previews = 0;
    app.dialogs().onExec = [&previews](QDialog*) { ++previews; return 0; };
    // A result an earlier window left in the data module is not this window's result.
    app.dataModule().StoreQ->setSql("select * from storemain");
    app.dataModule().StoreQ->open();
    TFrmStore store;
    click(store, "cmd_prin");
    TFrmAlarm alarm;
    click(alarm, "cmd_prin");
    QCOMPARE(previews, 0);
    QCOMPARE(app.dialogs().messages.size(), 0);
}

void TestStoreQuery::printingCarriesTheTotals()
{
    TestApp app;
    ReportLayouts::createAll(&app.dataModule());
    addStock(app, "A1", 2.5, 2.0);
    TFrmStore w;
    click(w, "cmd_find");
    int previews = 0;
    app.dialogs().onExec = [&previews](QDialog*) { ++previews; return 0; };
    click(w, "cmd_prin");
    QCOMPARE(previews, 1);
    TRptstore& report = ReportLayouts::get<TRptstore>();
    QCOMPARE(report.labelText("hjsl"), QString("2.5"));
    QCOMPARE(report.labelText("hjcb"), QString("5"));
    QCOMPARE(report.prepare().pageCount(), 1);
}

void TestStoreQuery::valueHookGoesWithTheWindow()
{
    TestApp app;
    addStock(app, "A1", 2.0, 3.0);
    db::Dataset* q = app.dataModule().StoreQ;
    {
        TFrmStore w;
        showWindow(w);
        click(w, "cmd_find");
        QCOMPARE(q->value(0, q->fieldIndex("cost_tota")).toDouble(), 6.0);
        // Minimizing hides the window but does not close it: the value stays, on screen and in print.
        w.showMinimized();
        QTRY_VERIFY(w.isMinimized());
        w.showNormal();
        q->requery();
        QCOMPARE(q->value(0, q->fieldIndex("cost_tota")).toDouble(), 6.0);
        w.close();
        // Bills reopen StoreQ while posting stock: the closed window's value no longer runs.
        q->requery();
        QVERIFY(q->value(0, q->fieldIndex("cost_tota")).isNull());
    }
}

QTEST_MAIN(TestStoreQuery)
#include "tst_storequery.moc"
