// The month's movement window: totals, printing the month and its totals only with rows, and a failed
// run showing nothing rather than part of a month.
#include "TestSupport.h"
#include "WarehouseData.h"
#include "WindowDriver.h"

#include "db/Dataset.h"
#include "reports/ReportDocument.h"
#include "reports/ReportLayouts.h"
#include "warehouse/TFrmMios.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace WarehouseData;
using WindowDriver::click;

class TestMios : public QObject {
    Q_OBJECT

private slots:
    void monthShowsRowsAndTotals();
    void emptyMonthDisablesPrinting();
    void failedRunShowsNothing();
};

void TestMios::monthShowsRowsAndTotals()
{
    TestApp app;
    ReportLayouts::createAll(&app.dataModule());
    addGoods(app, "A1");
    addCount(app, "A1", 10, QDate(2025, 4, 30));
    addBillLine(app, true, "20250502090000", QDate(2025, 5, 2), "A1", 5);
    addBillLine(app, true, "20250503090000", QDate(2025, 5, 3), "A1", 3);
    addBillLine(app, false, "20250504090000", QDate(2025, 5, 4), "A1", 4);
    TFrmMios w;
    w.monthEdit->setDate(QDate(2025, 5, 19));
    click(w, "cmd_find");
    db::Dataset* q = app.dataModule().MiosQ;
    QCOMPARE(q->recordCount(), 1);
    QCOMPARE(q->text("gods_name"), QString("货品A1"));
    QCOMPARE(q->displayText("last_amou"), QString("10"));
    QCOMPARE(q->displayText("now_amou"), QString("14"));
    QCOMPARE(w.inTotalEdit->text(), QString("8"));
    QCOMPARE(w.outTotalEdit->text(), QString("4"));
    QCOMPARE(w.closingTotalEdit->text(), QString("14"));
    QVERIFY(w.cmd_prin->isEnabled());
    int previews = 0;
    app.dialogs().onExec = [&previews](QDialog*) { ++previews; return 0; };
    // The sheet prints the month it shows, even with the picker moved on since.
    w.monthEdit->setDate(QDate(2025, 6, 1));
    click(w, "cmd_prin");
    QCOMPARE(previews, 1);
    TQRiss& report = ReportLayouts::get<TQRiss>();
    QCOMPARE(report.prepare().pageCount(), 1);
    QCOMPARE(report.labelText("title"), QString("2025年5月进销存表"));
    const QStringList totals{report.labelText("last_tota"), report.labelText("in_tota"),
                             report.labelText("out_tota"), report.labelText("now_tota")};
    QCOMPARE(totals, (QStringList{"10", "8", "4", "14"}));
}

void TestMios::emptyMonthDisablesPrinting()
{
    TestApp app;
    app.exec("insert into mios(gods_code,now_amou) values('OLD',1)");
    TFrmMios w;
    QCOMPARE(app.scalar("select count(*) from mios").toInt(), 0);   // opening empties it
    w.monthEdit->setDate(QDate(2025, 2, 1));
    click(w, "cmd_find");
    QCOMPARE(app.dataModule().MiosQ->recordCount(), 0);
    QCOMPARE(w.inTotalEdit->text(), QString("0"));
    QCOMPARE(w.closingTotalEdit->text(), QString("0"));
    QVERIFY(!w.cmd_prin->isEnabled());
    QVERIFY(w.cmd_find->isEnabled());
}

void TestMios::failedRunShowsNothing()
{
    TestApp app;
    addBillLine(app, true, "20250502090000", QDate(2025, 5, 2), "A1", 5);
    TFrmMios w;
    w.monthEdit->setDate(QDate(2025, 5, 2));
    app.refuse("fail_mios", "insert", "mios", {}, "disk full");
    click(w, "cmd_find");
    QCOMPARE(app.dialogs().messages.size(), 1);
    QVERIFY(app.dialogs().lastMessage().startsWith("统计失败"));
    QVERIFY(!app.dataModule().MiosQ->isOpen());
    QCOMPARE(w.inTotalEdit->text(), QString());
    QVERIFY(!w.cmd_prin->isEnabled());
    QVERIFY(w.cmd_find->isEnabled());
}

QTEST_MAIN(TestMios)
#include "tst_mios.moc"
