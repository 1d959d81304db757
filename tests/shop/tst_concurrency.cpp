// Two copies of the program on one shop server at the same time: a second
// process of this test program is the other copy. Operations that read stock
// or money and write it back wait for each other's write lock, so neither
// works on what the other is about to change.
#include "TestSupport.h"

#include "core/Clock.h"
#include "db/Dataset.h"
#include "db/Error.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/BillStore.h"
#include "shop/Settlement.h"
#include "shop/StockSheet.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QtTest>
#include <cstdio>

using StockPosting::BillKind;

namespace {

const QDate march(2026, 3, 5);

BillStore::Bill sale(double quantity)
{
    BillStore::Bill bill;
    bill.header = {{QStringLiteral("bill_date"), march}, {QStringLiteral("comp_code"), QStringLiteral("C1")},
                   {QStringLiteral("shou_tota"), quantity * 10}};
    bill.lines = {{QStringLiteral("G1"), quantity, 10, {}}};
    return bill;
}

Settlement::Filter customer()
{
    Settlement::Filter filter;
    filter.byCompany = true;
    filter.compCode = QStringLiteral("C1");
    filter.from = QDate(2026, 3, 1);
    filter.to = QDate(2026, 3, 31);
    return filter;
}

Settlement::Voucher receipt(double amount)
{
    Settlement::Voucher voucher;
    voucher.number = Clock::now().toString(QStringLiteral("yyyyMMddhhmmss"));
    voucher.numberProposed = true;
    voucher.date = march;
    voucher.amount = amount;
    return voucher;
}

// The other copy: `--copy HOST DATABASE WHAT [ARG]`. It prints what happened
// and exits 0 when its operation went through.
int runCopy(const QStringList& args)
{
    db::ServerAddress address;
    address.host = args.at(2);
    address.database = args.at(3);
    address.user = QStringLiteral("brovanta");   // as every PC logs in
    const QString what = args.at(4);
    const QString arg = args.value(5);
    db::Connection c;
    try {
        ShopServer::open(c, address);
        if (what == QLatin1String("sales")) {
            for (int i = 0; i < arg.toInt(); ++i)
                BillStore::save(c, BillKind::Sale, sale(1));
        } else if (what == QLatin1String("delete")) {
            BillStore::remove(c, BillKind::Sale, arg);
        } else if (what == QLatin1String("count")) {
            db::Dataset sheet(c, QStringLiteral("sheet"));
            if (!StockSheet::startCount(sheet, march)
                || StockSheet::saveCount(c, march, StockSheet::lines(sheet)).outcome != StockSheet::Outcome::Saved)
                throw db::Error(QStringLiteral("count refused"));
        } else if (what == QLatin1String("receipt")) {
            Settlement::save(c, Settlement::receipts(), customer(), receipt(arg.toDouble()));
        } else if (what == QLatin1String("hang")) {
            // Stops inside the save's transaction, the header and lines written.
            db::Transaction transaction(c, db::Transaction::Write);
            BillStore::save(c, BillKind::Sale, sale(7));
            std::puts("inside");
            std::fflush(stdout);
            QThread::sleep(60);
        }
    } catch (const db::Error& e) {
        std::fputs(qPrintable(e.message()), stdout);
        return 2;
    }
    return 0;
}

} // namespace

class TestConcurrency : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;

    db::Connection& connection() { return app->dataModule().AdoConn; }

    void startCopy(QProcess& copy, const QStringList& what)
    {
        const db::ServerAddress address = ShopServer::placeOf(connection()).address;
        copy.start(QCoreApplication::applicationFilePath(),
                   QStringList{QStringLiteral("--copy"), address.host, address.database} + what);
        QVERIFY(copy.waitForStarted());
    }

    // Until the other copy waits for the write lock this connection holds.
    void waitUntilCopyWaits(QProcess& copy)
    {
        QTRY_VERIFY_WITH_TIMEOUT(copy.state() != QProcess::Running
                                     || app->scalar("select count(*) from pg_locks where locktype='advisory' and not granted "
                                                    "and database=(select oid from pg_database where datname=current_database())")
                                            .toInt() == 1,
                                 4000);
        QCOMPARE(copy.state(), QProcess::Running);
    }

    // Its output; fails unless it exited with `code`.
    QString finished(QProcess& copy, int code)
    {
        if (!copy.waitForFinished(20000))
            return QStringLiteral("still running");
        const QString output = QString::fromUtf8(copy.readAllStandardOutput()).trimmed();
        return copy.exitCode() == code ? output : QStringLiteral("exit %1: %2").arg(copy.exitCode()).arg(output);
    }

    double stock() { return app->scalar("select gods_amou from storemain where gods_code='G1'").toDouble(); }

private slots:
    void init()
    {
        if (!TestApp::onServer())
            QSKIP("two copies at once are the shop server's case");
        app = std::make_unique<TestApp>();
        Clock::setFixed(QDateTime(march, QTime(9, 30)));
        app->exec("insert into goods (gods_code, gods_name) values ('G1', '衬衫')");
        app->exec("insert into storemain (gods_code, gods_amou, cost_pric) values ('G1', 1000, 6)");
        app->exec("insert into company (comp_code, comp_name) values ('C1', '好运来')");
    }
    void cleanup() { app.reset(); }

    void twoCopiesSellingAtOnceLoseNoUnit()
    {
        QProcess a, b;
        startCopy(a, {"sales", "200"});
        startCopy(b, {"sales", "200"});
        QCOMPARE(finished(a, 0), QString());
        QCOMPARE(finished(b, 0), QString());
        QCOMPARE(stock(), 600.0);
        QCOMPARE(app->scalar("select count(*) from outmain").toInt(), 400);
        QCOMPARE(app->scalar("select count(distinct bill_no) from outgoods").toInt(), 400);
    }

    // The count takes the month while the deletion waits: the deletion is refused.
    void deletionWaitingForACountIsRefused()
    {
        const QString no = BillStore::save(connection(), BillKind::Sale, sale(3));
        db::Dataset sheet(connection(), QStringLiteral("sheet"));
        QVERIFY(StockSheet::startCount(sheet, march));
        QProcess copy;
        {
            db::Transaction transaction(connection(), db::Transaction::Write);
            QCOMPARE(StockSheet::saveCount(connection(), march, StockSheet::lines(sheet)).outcome,
                     StockSheet::Outcome::Saved);
            startCopy(copy, {"delete", no});
            waitUntilCopyWaits(copy);
            transaction.commit();
        }
        QCOMPARE(finished(copy, 2), BillStore::monthCountedMessage);
        QCOMPARE(app->scalar("select count(*) from outgoods where bill_no=:p1", {no}).toInt(), 1);
        QCOMPARE(stock(), 997.0);
    }

    // The deletion goes first while the count waits: the count sees the stock it gave back.
    void countWaitingForADeletionSeesIt()
    {
        const QString no = BillStore::save(connection(), BillKind::Sale, sale(3));
        QProcess copy;
        {
            db::Transaction transaction(connection(), db::Transaction::Write);
            BillStore::remove(connection(), BillKind::Sale, no);
            startCopy(copy, {"count"});
            waitUntilCopyWaits(copy);
            transaction.commit();
        }
        QCOMPARE(finished(copy, 0), QString());
        QCOMPARE(app->scalar("select gods_amou from storchek where gods_code='G1'").toDouble(), 1000.0);
        QCOMPARE(app->scalar("select count(*) from outmain").toInt(), 0);
    }

    // Two receipts of 100 over one bill of 100: one pays it, the other becomes credit.
    void twoReceiptsNeverPayABillTwice()
    {
        BillStore::save(connection(), BillKind::Sale, sale(10));
        QProcess copy;
        {
            db::Transaction transaction(connection(), db::Transaction::Write);
            Settlement::save(connection(), Settlement::receipts(), customer(), receipt(100));
            startCopy(copy, {"receipt", "100"});
            waitUntilCopyWaits(copy);
            transaction.commit();
        }
        QCOMPARE(finished(copy, 0), QString());
        QCOMPARE(app->scalar("select fact_tota from outmain").toDouble(), 100.0);
        QCOMPARE(app->scalar("select sum(paid_amou) from gathbill").toDouble(), 100.0);
        QCOMPARE(app->scalar("select rest_tota from company where comp_code='C1'").toDouble(), 100.0);
    }

    // A copy killed inside its save leaves nothing, and the lock goes with it.
    void copyKilledMidSaveLeavesNoPartialBill()
    {
        QProcess copy;
        startCopy(copy, {"hang"});
        QVERIFY(copy.waitForReadyRead(10000));
        QCOMPARE(copy.readLine().trimmed(), QByteArray("inside"));
        copy.kill();
        QVERIFY(copy.waitForFinished(5000));
        QElapsedTimer waited;
        waited.start();
        BillStore::save(connection(), BillKind::Sale, sale(2));
        QVERIFY2(waited.elapsed() < 3000, qPrintable(QString::number(waited.elapsed())));
        QCOMPARE(app->scalar("select count(*) from outmain").toInt(), 1);
        QCOMPARE(app->scalar("select count(*) from outgoods").toInt(), 1);
        QCOMPARE(stock(), 998.0);
    }
};

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.value(1) == QLatin1String("--copy"))
        return runCopy(args);
    TestConcurrency test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_concurrency.moc"
