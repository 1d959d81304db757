// The home page's own part: what each card shows, a card that cannot be read,
// the gross profit and the members card behind their rights, a reading in the background whose older
// result gives way to a newer one, a card opening its window on the same
// figures, and F5 and a closed window reading the cards again.
#include "TestSupport.h"

#include "app/TfrmMain.h"
#include "app/TodayPage.h"
#include "app/WindowCatalog.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "reports/ReportLayouts.h"
#include "shop/BillStore.h"
#include "shop/TillSale.h"
#include "shop/TillShift.h"
#include "statistics/TFrmOutList.h"
#include "statistics/TFrmSlowStock.h"
#include "warehouse/TFrmAlarm.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTableView>
#include <QSignalSpy>
#include <QtTest>

namespace {

// The cards are read on a thread of their own; a loaded machine may take its time.
constexpr int readingMs = 30000;

// Starts a reading and waits until the cards show it.
bool refreshed(TodayPage& page)
{
    QSignalSpy done(&page, &TodayPage::refreshed);
    page.refresh();
    return done.wait(readingMs);
}

} // namespace

class TestTodayPage : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;
    std::unique_ptr<QObject> reports;

    void sell(const QString& goods, double quantity, double price)
    {
        BillStore::Bill bill;
        bill.header = {{QStringLiteral("bill_date"), Clock::today()},
                       {QStringLiteral("comp_code"), QStringLiteral("C1")},
                       {QStringLiteral("shou_tota"), quantity * price}};
        bill.lines = {{goods, quantity, price, {}}};
        BillStore::save(app->dataModule().AdoConn, BillStore::BillKind::Sale, bill);
    }

private slots:
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2026, 6, 30), QTime(10, 0)));
        app = std::make_unique<TestApp>();
        reports = std::make_unique<QObject>();
        ReportLayouts::createAll(reports.get());
        WindowCatalog::registerAll();
        app->exec("insert into goods (gods_code, gods_name, min_amou, max_amou) values ('G1','衬衫',0,100)");
        app->exec("insert into storemain (gods_code, gods_amou, cost_pric) values ('G1', 10, 4)");
        app->exec("insert into company (comp_code, comp_name) values ('C1','华美')");
        sell("G1", 3, 10);
        sell("G1", 12, 10);   // G1 now below its lower limit
    }
    void cleanup()
    {
        reports.reset();
        app.reset();
    }

    void cardsShowTheirFiguresAndProfitNeedsItsRight()
    {
        TodayPage page;
        QVERIFY(refreshed(page));
        QCOMPARE(page.cardText("sales"), QString("单数 2\n数量 15\n金额 150\n毛利 90"));
        QVERIFY(page.cardText("alarm").startsWith("1 种货品超出上下限\nG1 衬衫  -5"));
        QCOMPARE(page.cardText("debtors"), QString("合计 150\n华美  150"));
        QCOMPARE(page.cardText("best"), QString("G1 衬衫  15"));
        QCOMPARE(page.cardText("backup"), QString("没有自动备份"));
        QCOMPARE(page.cardText("takings"), QString("今日没有零售收款"));

        QString withoutProfit(Function::Count, '1');
        withoutProfit[Function::GrossProfit - 1] = '0';
        app->setRights(withoutProfit);
        QVERIFY(refreshed(page));
        QVERIFY(!page.cardText("sales").contains("毛利"));
    }

    void tillSalesCountInTheDaysSalesAndTakings()
    {
        const qint64 shift = TillShift::open(app->dataModule().AdoConn, CurrentRights::current().userId, 0);
        TillSale::sell(app->dataModule().AdoConn, {{{"G1", {}, 2, 10, 10}}, {{"现金", 5}, {"微信", 15}}, shift, {}, {}});
        TodayPage page;
        QVERIFY(refreshed(page));
        QVERIFY(page.cardText("sales").startsWith("单数 3\n数量 17\n金额 170"));
        QCOMPARE(page.cardText("takings"), QString("合计 20（1 单）\n现金  5\n微信  15"));
    }

    void membersCardOnlyWithTheMembersRight()
    {
        // Tuesday 30 June: the week runs to Sunday 5 July.
        app->exec("insert into member(card_no,memb_name,birthday,join_date) values"
                  "('M1','王','1990-07-01 00:00:00','2026-01-01 00:00:00'),('M2','李','1990-06-28 00:00:00','2026-06-01 00:00:00')");
        TodayPage page;
        QVERIFY(refreshed(page));
        QVERIFY(page.findChild<QWidget*>("membersCard")->isVisibleTo(&page));
        QCOMPARE(page.cardText("members"), QString("本周生日 1 位\n7月1日 王\n90 天未到店 1 位\n王  2026-01-01"));

        QString withoutMembers(Function::Count, '1');
        withoutMembers[Function::Members - 1] = '0';
        app->setRights(withoutMembers);
        QVERIFY(refreshed(page));
        QVERIFY(!page.findChild<QWidget*>("membersCard")->isVisibleTo(&page));
    }

    void unreadableCardSaysWhyAndTheOthersStay()
    {
        app->execAsOwner("drop table gathbill");
        TodayPage page;
        QVERIFY(refreshed(page));
        QVERIFY2(page.cardText("debtors").startsWith("无法读取：") && page.cardText("debtors").contains("gathbill"),
                 qPrintable(page.cardText("debtors")));
        QVERIFY(page.cardText("sales").startsWith("单数 2"));
    }

    // The window goes on while the cards are read, and a reading that began
    // before a newer refresh never shows.
    void readingRunsAsideAndTheNewestWins()
    {
        TodayPage page;
        QSignalSpy done(&page, &TodayPage::refreshed);
        Clock::setFixed(QDateTime(QDate(2026, 6, 29), QTime(10, 0)));   // a day without sales
        page.refresh();
        QVERIFY(page.isReading());
        QCOMPARE(page.cardText("sales"), QString("读取中…"));
        QCOMPARE(page.cardText("debtors"), QString("读取中…"));
        Clock::setFixed(QDateTime(QDate(2026, 6, 30), QTime(10, 0)));
        page.refresh();
        QVERIFY(done.wait(readingMs));
        QCOMPARE(done.count(), 1);
        QVERIFY2(page.cardText("sales").startsWith("单数 2\n"), qPrintable(page.cardText("sales")));
        QVERIFY(!page.isReading());
    }

    // A click on the card opens its window on the card's figures.
    void cardOpensItsWindowOnTheSameFigures()
    {
        TodayPage page;
        page.resize(900, 700);
        page.show();
        QVERIFY(refreshed(page));
        QString opened;
        std::function<void(QDialog*)> prepare;
        connect(&page, &TodayPage::openRequested, this, [&](const QString& name, const std::function<void(QDialog*)>& p) {
            opened = name;
            prepare = p;
        });
        QTest::mouseClick(page.findChild<QWidget*>("salesCard"), Qt::LeftButton);
        QCOMPARE(opened, QString("TFrmOutList"));
        TFrmOutList listing;
        prepare(&listing);
        QCOMPARE(listing.quantityTotalEdit->text(), QString("15"));
        QCOMPARE(listing.amountTotalEdit->text(), QString("150"));

        QTest::mouseClick(page.findChild<QWidget*>("alarmCard"), Qt::LeftButton);
        QCOMPARE(opened, QString("TFrmAlarm"));
        TFrmAlarm alarm;
        prepare(&alarm);
        QCOMPARE(alarm.quantityTotalEdit->text(), QString("-5"));   // its one row, G1

        // Without the window's use right the card opens nothing.
        opened.clear();
        QString rights(Function::Count, '1');
        rights[Function::SalesList - 1] = '0';
        app->setRights(rights);
        QTest::mouseClick(page.findChild<QWidget*>("salesCard"), Qt::LeftButton);
        QVERIFY(opened.isEmpty());
    }

    // The old stock card: what is left of purchases over 180 days old, at cost; a click opens the ages.
    void oldStockCardCountsPurchasesOver180Days()
    {
        app->exec("insert into goods (gods_code, gods_name) values ('G2','长裤')");
        for (const auto& [date, quantity] : {std::pair(QDate(2025, 12, 31), 10.0), std::pair(QDate(2026, 1, 1), 4.0)}) {
            BillStore::Bill bill;
            bill.header = {{QStringLiteral("bill_date"), date}};
            bill.lines = {{QStringLiteral("G2"), quantity, 6, {}}};
            BillStore::save(app->dataModule().AdoConn, BillStore::BillKind::Purchase, bill);
        }
        sell("G2", 5, 10);   // the oldest go first: 5 of 31 December's 10 are left, 181 days old
        TodayPage page;
        page.resize(900, 700);
        page.show();
        QVERIFY(refreshed(page));
        QCOMPARE(page.cardText("oldstock"), QString("库存金额 30"));

        std::function<void(QDialog*)> prepare;
        connect(&page, &TodayPage::openRequested, this,
                [&](const QString&, const std::function<void(QDialog*)>& p) { prepare = p; });
        QTest::mouseClick(page.findChild<QWidget*>("oldstockCard"), Qt::LeftButton);
        QVERIFY(prepare);
        TFrmSlowStock ages;
        QSignalSpy shown(&ages, &AnalysisWindow::resultShown);
        prepare(&ages);
        QVERIFY(ages.AgeButton->isChecked());
        QVERIFY(shown.wait(readingMs));
        const QAbstractItemModel* model = ages.ResultGrid->model();
        QCOMPARE(model->index(model->rowCount() - 1, 8).data().toString(), QString("30"));   // 180天以上金额
    }

    // The chart's value axis: round steps that its labels tell apart.
    void valueAxisTakesRoundSteps_data()
    {
        QTest::addColumn<double>("highest");
        QTest::addColumn<double>("top");
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("decimals");
        QTest::newRow("no sales") << 0.0 << 1.0 << 5 << 1;
        QTest::newRow("under one") << 0.3 << 0.3 << 6 << 2;
        QTest::newRow("a few yuan") << 3.0 << 3.0 << 6 << 1;
        QTest::newRow("between steps") << 7.0 << 8.0 << 4 << 0;
        QTest::newRow("on a step") << 150.0 << 150.0 << 3 << 0;
        QTest::newRow("a busy month") << 998654.0 << 1000000.0 << 5 << 0;
        QTest::newRow("just over a million") << 1005000.0 << 1200000.0 << 6 << 0;
    }

    void valueAxisTakesRoundSteps()
    {
        QFETCH(double, highest);
        QFETCH(double, top);
        QFETCH(int, steps);
        QFETCH(int, decimals);
        const TodayPage::Axis axis = TodayPage::valueAxis(highest);
        QCOMPARE(axis.top, top);
        QCOMPARE(axis.steps, steps);
        QCOMPARE(axis.decimals, decimals);
    }

    void f5AndAClosedWindowReadTheCardsAgain()
    {
        TfrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        app->dialogs().answers = {false};   // no backup now
        w.FormShow();
        TodayPage* page = w.todayPage();
        QVERIFY(page->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(page->cardText("sales").startsWith("单数 2"), readingMs);
        sell("G1", 1, 5);
        QTest::keyClick(&w, Qt::Key_F5);
        QTRY_VERIFY_WITH_TIMEOUT(page->cardText("sales").startsWith("单数 3"), readingMs);

        app->dialogs().onExec = [this](QDialog*) {
            sell("G1", 1, 5);
            return int(QDialog::Rejected);
        };
        w.openWindow("TFrmOutList");
        QTRY_VERIFY_WITH_TIMEOUT(page->cardText("sales").startsWith("单数 4"), readingMs);
        app->dialogs().answers = {true};
        w.close();
    }
};

QTEST_MAIN(TestTodayPage)
#include "tst_todaypage.moc"
