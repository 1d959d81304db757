// Who owes what on a date, the statement's running balance, the credit limit
// and the home page's figures against the statements of the windows they open.
#include "TestSupport.h"

#include "core/Clock.h"
#include "db/Dataset.h"
#include "shop/BillStore.h"
#include "shop/Receivables.h"
#include "shop/Settlement.h"
#include "shop/StatisticsQuery.h"
#include "shop/StockQuery.h"
#include "shop/TodayFigures.h"

#include <QtTest>
#include <cmath>
#include <memory>

using Receivables::Side;

namespace {

const QDate day(2026, 6, 30);

} // namespace

class TestReceivables : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;
    int m_bills = 0;

    db::Connection& connection() { return app->dataModule().AdoConn; }

    QString bill(BillStore::BillKind kind, const QString& company, const QDate& date, double amount, double paid = 0,
                 const QString& goods = QStringLiteral("G1"))
    {
        BillStore::Bill b;
        b.billNo = QStringLiteral("2026010100%1").arg(++m_bills, 4, 10, QLatin1Char('0'));
        b.header = {{QStringLiteral("bill_date"), date},
                    {QStringLiteral("comp_code"), company},
                    {QStringLiteral("fact_tota"), paid},
                    {QStringLiteral("shou_tota"), amount}};   // as the bill window totals it
        b.lines = {{goods, 1, amount, {}}};
        return BillStore::save(connection(), kind, b);
    }
    QString sale(const QString& company, const QDate& date, double amount, double paid = 0)
    {
        return bill(BillStore::BillKind::Sale, company, date, amount, paid);
    }

    void voucher(const Settlement::Ledger& ledger, const QString& company, const QDate& date, double amount)
    {
        Settlement::Filter filter;
        filter.byCompany = true;
        filter.compCode = company;
        filter.from = QDate(2025, 1, 1);
        filter.to = date;
        Settlement::Voucher v;
        v.number = QStringLiteral("V") + date.toString(QStringLiteral("yyyyMMdd"));
        v.date = date;
        v.amount = amount;
        Settlement::save(connection(), ledger, filter, v);
    }

    Receivables::AgeingRow row(Side side, const QString& company, const QDate& asOf)
    {
        for (const Receivables::AgeingRow& r : Receivables::ageing(connection(), side, asOf))
            if (r.compCode == company)
                return r;
        return {};
    }

private slots:
    void init()
    {
        app = std::make_unique<TestApp>();
        Clock::setFixed(QDateTime(day, QTime(10, 0)));
        app->exec("insert into company (comp_code, comp_name) values ('C1', '华美'), ('C2', '永盛')");
        app->exec("insert into goods (gods_code, gods_name, min_amou, max_amou) values ('G1','衬衫',0,100)");
    }
    void cleanup() { app.reset(); }

    void bucketsTurnAt31And91Days()
    {
        sale("C1", day, 1);
        sale("C1", day.addDays(-30), 10);
        sale("C1", day.addDays(-31), 100);
        sale("C1", day.addDays(-60), 1000);
        sale("C1", day.addDays(-61), 10000);
        sale("C1", day.addDays(-90), 100000);
        sale("C1", day.addDays(-91), 1000000);
        sale("C1", day.addDays(1), 7);   // after the ageing date: not yet owed
        const Receivables::AgeingRow r = row(Side::Receivable, "C1", day);
        QCOMPARE(r.buckets, (Receivables::Buckets{11, 1100, 110000, 1000000}));
        QCOMPARE(r.total, 1111111.0);
    }

    // A receipt dated after the ageing date has not been paid yet on that date;
    // a customer return subtracts; credit stays apart from the open amount.
    void receiptsCountUpToTheDateReturnsSubtract()
    {
        sale("C1", day.addDays(-40), 100, 20);
        voucher(Settlement::receipts(), "C1", day.addDays(-10), 30);
        voucher(Settlement::receipts(), "C1", day.addDays(5), 25);
        bill(BillStore::BillKind::CustomerReturn, "C1", day.addDays(-5), 15);
        // A purchase from the same company is payable, not a receivable.
        bill(BillStore::BillKind::Purchase, "C1", day.addDays(-5), 500);

        Receivables::AgeingRow r = row(Side::Receivable, "C1", day);
        QCOMPARE(r.buckets, (Receivables::Buckets{-15, 50, 0, 0}));
        QCOMPARE(r.total, 35.0);
        QCOMPARE(row(Side::Receivable, "C1", day.addDays(5)).total, 10.0);
        QCOMPARE(row(Side::Payable, "C1", day).total, 500.0);

        // C2 paid more than it owed: nothing open, the rest is its credit, and it owes -30.
        sale("C2", day.addDays(-3), 50);
        voucher(Settlement::receipts(), "C2", day.addDays(-1), 80);
        r = row(Side::Receivable, "C2", day);
        QCOMPARE(r.buckets, (Receivables::Buckets{0, 0, 0, 0}));
        QCOMPARE(r.total, -30.0);
        QCOMPARE(r.credit, 30.0);
        const QList<Receivables::AgeingRow> all = Receivables::ageing(connection(), Side::Receivable, day);
        QCOMPARE(all.first().compCode, QString("C1"));   // largest total first
        QCOMPARE(Receivables::ageingTotal(all).total, 5.0);
        QCOMPARE(Receivables::ageingTotal(all).credit, 30.0);
    }

    void statementRunsToTheAgeingTotal()
    {
        sale("C1", day.addDays(-70), 300, 50);
        sale("C1", day.addDays(-20), 120);
        voucher(Settlement::receipts(), "C1", day.addDays(-15), 200);
        bill(BillStore::BillKind::CustomerReturn, "C1", day.addDays(-8), 40, 10);
        voucher(Settlement::payments(), "C1", day.addDays(-2), 30);   // the return refunded
        voucher(Settlement::receipts(), "C1", day.addDays(3), 100);

        for (const QDate& to : {day.addDays(-16), day, day.addDays(3)}) {
            const Receivables::CompanyStatement s =
                Receivables::statement(connection(), Side::Receivable, "C1", day.addDays(-30), to);
            QCOMPARE(qRound64(s.closing * 100), qRound64(row(Side::Receivable, "C1", to).total * 100));
            double running = s.broughtForward;
            for (const Receivables::StatementLine& line : s.lines) {
                running += line.increase - line.decrease;
                QCOMPARE(line.balance, std::round(running * 100) / 100);
            }
            QCOMPARE(s.closing, s.lines.isEmpty() ? s.broughtForward : s.lines.last().balance);
        }
        const Receivables::CompanyStatement s =
            Receivables::statement(connection(), Side::Receivable, "C1", day.addDays(-30), day);
        QCOMPARE(s.broughtForward, 250.0);
        QStringList kinds;
        for (const Receivables::StatementLine& line : s.lines)
            kinds << line.kind + QLatin1Char(' ') + QString::number(line.increase - line.decrease);
        QCOMPARE(kinds, QStringList({"销售 120", "收款 -200", "退货 -40", "退货退款 10", "付款 30"}));
        QCOMPARE(qRound64(s.closing * 100), 17000);
        QCOMPARE(qRound64(row(Side::Receivable, "C1", day).total * 100), 17000);
    }

    void limitStopsOneCentOver_data()
    {
        QTest::addColumn<QVariant>("limit");
        QTest::addColumn<double>("billOpen");
        QTest::addColumn<bool>("exceeded");
        QTest::newRow("exactly at the limit") << QVariant(1000.0) << 400.0 << false;
        QTest::newRow("0.01 over") << QVariant(1000.0) << 400.01 << true;
        QTest::newRow("0 is no limit") << QVariant(0.0) << 1e6 << false;
        QTest::newRow("empty is no limit") << QVariant() << 1e6 << false;
    }
    void limitStopsOneCentOver()
    {
        QFETCH(QVariant, limit);
        QFETCH(double, billOpen);
        QFETCH(bool, exceeded);
        sale("C1", day.addDays(-100), 800, 100);
        bill(BillStore::BillKind::CustomerReturn, "C1", day.addDays(-50), 50);
        // The credit already paid in lowers what is owed.
        app->exec("update company set rest_tota=50 where comp_code='C1'");
        const QString edited = sale("C1", day, 999);   // the bill being edited counts once, as typed now
        app->exec("update company set cred_limit=:p1 where comp_code='C1'", {limit});
        const Receivables::LimitCheck check = Receivables::checkLimit(connection(), "C1", edited, billOpen);
        QCOMPARE(check.open, 600.0);
        QCOMPARE(check.exceeded(), exceeded);
        QVERIFY(Receivables::limitMessage(check).contains("已欠款 600"));
    }

    // Each card reads the figure its window shows for the same day.
    void cardsMatchTheirWindows()
    {
        app->exec("insert into goods (gods_code, gods_name, min_amou, max_amou) values "
                  "('G2','长裤',5,100),('G3','外套',0,1)");
        bill(BillStore::BillKind::Purchase, "C2", day.addDays(-40), 10, 0, "G1");
        bill(BillStore::BillKind::Purchase, "C2", day.addDays(-40), 20, 0, "G3");
        bill(BillStore::BillKind::Purchase, "C2", day.addDays(-40), 20, 0, "G3");
        sale("C1", day, 30);
        sale("C1", day, 12.5);
        bill(BillStore::BillKind::Sale, "C2", day.addDays(-3), 8, 0, "G2");
        bill(BillStore::BillKind::SupplierReturn, "C2", day, 20, 0, "G3");   // not a sale

        db::Dataset listing(connection(), "ListQ");
        statistics::listingQuery(statistics::outBills(), {{day, day}, statistics::BillType::Own}).applyTo(listing);
        listing.open();
        const statistics::Totals listed = statistics::listingTotals(listing);
        const TodayFigures::Sales sales = TodayFigures::sales(connection(), day);
        QCOMPARE(sales.bills, 2);
        QCOMPARE(sales.quantity, listed.quantity);
        QCOMPARE(sales.amount, listed.amount);
        QCOMPARE(sales.profit(), 42.5 - 2 * 10);   // two pieces at the moving average of 10

        db::Dataset alarm(connection(), "AlarmQ");
        StockQuery::prepareAlarm(alarm, {});
        alarm.open();
        const TodayFigures::Alarm alarmed = TodayFigures::alarm(connection());
        QCOMPARE(alarmed.count, alarm.recordCount());
        QCOMPARE(alarmed.first.size(), alarm.recordCount());
        QCOMPARE(alarmed.first.first().code, alarm.value(0, 0).toString());

        db::Dataset ranking(connection(), "SortQ");
        statistics::rankingQuery(statistics::RankingKey::Goods, statistics::RankingOrder::ByQuantity,
                                 statistics::BillType::Own, {QDate(2026, 6, 1), day})
            .applyTo(ranking);
        ranking.open();
        const QList<TodayFigures::Goods> best = TodayFigures::bestSellers(connection(), day);
        QCOMPARE(best.size(), ranking.recordCount());
        QCOMPARE(best.first().code, ranking.value(0, 0).toString());
        QCOMPARE(best.first().quantity, ranking.value(0, 1).toDouble());

        const TodayFigures::Debtors debtors = TodayFigures::debtors(connection(), day);
        QCOMPARE(debtors.total,
                 Receivables::ageingTotal(Receivables::ageing(connection(), Side::Receivable, day)).total);
        QCOMPARE(debtors.largest.first().compCode, QString("C1"));

        const auto daily = TodayFigures::dailySales(connection(), day, 30);
        QCOMPARE(daily.size(), 30);
        QCOMPARE(daily.last().second, 42.5);
        QCOMPARE(daily.at(26).second, 8.0);
    }

    // An overpayment is credit from its own date on: an ageing drawn for an
    // earlier date shows neither the receipt nor the credit; the statement shows
    // the receipt at its full amount with the part that became credit, and the
    // credit a later receipt used.
    void creditCountsFromTheDateItWasPaidIn()
    {
        sale("C1", day.addDays(-9), 137.5);
        voucher(Settlement::receipts(), "C1", day.addDays(-1), 200);
        bill(BillStore::BillKind::CustomerReturn, "C1", day.addDays(-8), 20, 20);   // refunded at once: owes nothing

        Receivables::AgeingRow before = row(Side::Receivable, "C1", day.addDays(-5));
        QCOMPARE(before.total, 137.5);
        QCOMPARE(before.credit, 0.0);
        Receivables::AgeingRow after = row(Side::Receivable, "C1", day.addDays(-1));
        QCOMPARE(after.total, -62.5);
        QCOMPARE(after.credit, 62.5);
        // A receipt's credit is the customer's: no supplier is owed less for it.
        QCOMPARE(row(Side::Payable, "C1", day).compCode, QString());

        sale("C1", day, 100);
        voucher(Settlement::receipts(), "C1", day.addDays(1), 40);   // 40 and 60 of the credit pay 100
        QCOMPARE(row(Side::Receivable, "C1", day).total, 37.5);
        QCOMPARE(row(Side::Receivable, "C1", day.addDays(1)).total, -2.5);

        const Receivables::CompanyStatement s =
            Receivables::statement(connection(), Side::Receivable, "C1", day.addDays(-2), day.addDays(1));
        QCOMPARE(s.broughtForward, 137.5);
        QStringList lines;
        for (const Receivables::StatementLine& line : s.lines)
            lines << QStringLiteral("%1 %2 %3 %4").arg(line.kind).arg(line.increase - line.decrease).arg(line.credit).arg(line.balance);
        QCOMPARE(lines, QStringList({"收款 -200 62.5 -62.5", "销售 100 0 37.5", "收款 -40 -60 -2.5"}));
        QCOMPARE(s.closing, row(Side::Receivable, "C1", day.addDays(1)).total);
        QCOMPARE(Receivables::statement(connection(), Side::Receivable, "C1", day.addDays(-30), day.addDays(-5)).closing,
                 137.5);
    }

    // A customer return the receipt took as money is closed by it: the customer
    // owes what the statement, the ageing and the settlement all say.
    void returnTakenByAReceiptIsOwedOnce()
    {
        sale("C1", day.addDays(-10), 275);
        bill(BillStore::BillKind::CustomerReturn, "C1", day.addDays(-9), 37.5);
        QCOMPARE(row(Side::Receivable, "C1", day).total, 237.5);
        voucher(Settlement::receipts(), "C1", day.addDays(-2), 275);   // the whole sale: 37.5 over

        QCOMPARE(row(Side::Receivable, "C1", day.addDays(-3)).total, 237.5);
        const Receivables::AgeingRow r = row(Side::Receivable, "C1", day);
        QCOMPARE(r.total, -37.5);
        QCOMPARE(r.credit, 37.5);
        const Receivables::CompanyStatement s =
            Receivables::statement(connection(), Side::Receivable, "C1", day.addDays(-3), day);
        QCOMPARE(s.broughtForward, 237.5);
        QCOMPARE(s.lines.size(), 1);
        QCOMPARE(s.lines.first().kind, QString("收款"));
        QCOMPARE(s.lines.first().decrease, 275.0);
        QCOMPARE(s.lines.first().credit, 37.5);
        QCOMPARE(s.closing, -37.5);
    }

    // A return to the supplier lowers what is owed to it.
    void supplierReturnsSubtractFromPayables()
    {
        bill(BillStore::BillKind::Purchase, "C1", day.addDays(-10), 500);
        bill(BillStore::BillKind::SupplierReturn, "C1", day.addDays(-5), 80);
        const Receivables::AgeingRow r = row(Side::Payable, "C1", day);
        QCOMPARE(r.buckets, (Receivables::Buckets{420, 0, 0, 0}));
        QCOMPARE(r.total, 420.0);
        QCOMPARE(row(Side::Receivable, "C1", day).total, 0.0);
    }
};

QTEST_MAIN(TestReceivables)
#include "tst_receivables.moc"
