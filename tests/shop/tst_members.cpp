// Member cards without a window: the mobile rule, the masked phone, finding a
// member, the import's checks, a member's page, the ranking by what members
// spent and the home page's birthdays and idle members, over bills saved
// through the shop rules.
#include "StyleSamples.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "shop/MasterDataRules.h"
#include "shop/MemberAnalysis.h"
#include "shop/MemberRules.h"
#include "shop/SheetImport.h"

#include <QtTest>

using StockPosting::BillKind;
using StyleSamples::addGoods;

class TestMembers : public QObject {
    Q_OBJECT

private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2026, 3, 31), QTime(10, 0))); }
    void cleanup() { Clock::setFixed({}); }
    void mobileRule_data();
    void mobileRule();
    void maskedPhone_data();
    void maskedPhone();
    void phoneIsWholeOnlyWithTheMembersRight();
    void findTakesACardPartOfAPhoneOrAName();
    void importChecksEveryRowBeforeWriting();
    void memberPageSumsThisYearAndThePointsBalance();
    void rankingByWhatMembersSpent();
    void birthdaysThisWeekAndIdleMembers();
    void bornOnTheTwentyNinthOfFebruary();
};

namespace {

db::Connection& connection(TestApp& app)
{
    return app.dataModule().AdoConn;
}

void addMember(TestApp& app, const QString& card, const QString& name, const QString& mobile,
               const QVariant& birthday = {}, const QVariant& joined = {})
{
    app.exec("insert into member(card_no,memb_name,mobile,level_name,birthday,join_date,points) "
             "values(:p1,:p2,:p3,'金卡',:p4,:p5,0)",
             {card, name, mobile.isEmpty() ? QVariant() : QVariant(mobile), birthday, joined});
}

// A bill for a card, with what the till took off its total.
void saveFor(TestApp& app, BillKind kind, const QDate& date, const QString& card,
             const QList<StockPosting::BillLine>& lines, double taken = 0)
{
    StyleSamples::save(app, kind, date, lines,
                       {{QStringLiteral("disc_tota"), taken},
                        {QStringLiteral("card_no"), card.isEmpty() ? QVariant() : QVariant(card)}});
}

// Two members' March: sizes S, M and L of style T, a sale without a card, a
// sale before the range and a return inside it.
void marchSales(TestApp& app)
{
    addGoods(app, "T-B-S", "T", "黑", "S");
    addGoods(app, "T-B-M", "T", "黑", "M");
    addGoods(app, "T-W-M", "T", "白", "M");
    addGoods(app, "T-B-L", "T", "黑", "L");
    StyleSamples::save(app, BillKind::Purchase, {2025, 12, 1},
                       {{"T-B-S", 20, 30, {}}, {"T-B-M", 20, 40, {}}, {"T-W-M", 20, 45, {}}, {"T-B-L", 20, 25, {}}});
    addMember(app, "M001", "张三", "13812345678", QDate(1990, 4, 5), QDate(2025, 1, 1));
    addMember(app, "M002", "李四", "13912345678", QDate(1985, 3, 29), QDate(2025, 1, 1));
    saveFor(app, BillKind::Sale, {2025, 12, 20}, "M001", {{"T-B-S", 1, 50, {}}});
    saveFor(app, BillKind::Sale, {2026, 3, 10}, "M001", {{"T-B-M", 2, 100, {}}, {"T-B-S", 1, 80, {}}});
    saveFor(app, BillKind::Sale, {2026, 3, 20}, "M001", {{"T-W-M", 1, 100, {}}}, 0.5);
    saveFor(app, BillKind::Sale, {2026, 2, 1}, "M002", {{"T-B-L", 1, 100, {}}});
    saveFor(app, BillKind::Sale, {2026, 3, 15}, "M002", {{"T-B-L", 3, 100, {}}});
    saveFor(app, BillKind::Sale, {2026, 3, 16}, {}, {{"T-B-S", 5, 80, {}}});
    saveFor(app, BillKind::CustomerReturn, {2026, 3, 25}, "m002", {{"T-B-L", 1, 100, {}}});
}

} // namespace

void TestMembers::mobileRule_data()
{
    QTest::addColumn<QString>("mobile");
    QTest::addColumn<bool>("taken");
    QTest::newRow("eleven digits") << "13812345678" << true;
    QTest::newRow("with blanks around") << " 13812345678 " << true;
    QTest::newRow("none") << "" << true;
    QTest::newRow("ten digits") << "1381234567" << false;
    QTest::newRow("twelve digits") << "138123456789" << false;
    QTest::newRow("not starting with 1") << "23812345678" << false;
    QTest::newRow("dashes") << "138-1234-5678" << false;
}

void TestMembers::mobileRule()
{
    QFETCH(QString, mobile);
    QFETCH(bool, taken);
    const QList<MasterDataRules::Refusal> refusals = MasterDataRules::check("member", {{"mobile", mobile}});
    QCOMPARE(refusals.isEmpty(), taken);
    if (!taken)
        QCOMPARE(refusals.first().message(mobile), QStringLiteral("手机“%1”不是 11 位手机号码").arg(mobile));
}

void TestMembers::maskedPhone_data()
{
    QTest::addColumn<QString>("phone");
    QTest::addColumn<QString>("masked");
    QTest::newRow("mobile") << "13812341234" << "138****1234";
    QTest::newRow("blanks around") << " 13812341234 " << "138****1234";
    QTest::newRow("eight digits") << "87654321" << "87****21";
    QTest::newRow("short") << "123" << "****";
    QTest::newRow("none") << "" << "";
}

void TestMembers::maskedPhone()
{
    QFETCH(QString, phone);
    QFETCH(QString, masked);
    QCOMPARE(MemberRules::maskedPhone(phone), masked);
}

void TestMembers::phoneIsWholeOnlyWithTheMembersRight()
{
    TestApp app;
    QCOMPARE(MemberRules::shownPhone("13812345678"), QStringLiteral("13812345678"));
    QString rights(Function::Count, QLatin1Char('1'));
    rights[Function::Members - 1] = QLatin1Char('0');
    app.setRights(rights);
    QCOMPARE(MemberRules::shownPhone("13812345678"), QStringLiteral("138****5678"));
}

void TestMembers::findTakesACardPartOfAPhoneOrAName()
{
    TestApp app;
    addMember(app, "M001", "张三", "13812345678");
    addMember(app, "M002", "李四", "13912345678");
    // A phone number used as the card.
    addMember(app, "13900001111", "王五", "13900001111");
    addMember(app, "M100", "50%折", {});
    db::Connection& c = connection(app);
    QCOMPARE(MemberRules::find(c, "m001"), QStringList{"M001"});
    QCOMPARE(MemberRules::find(c, "5678"), (QStringList{"M001", "M002"}));
    QCOMPARE(MemberRules::find(c, "李"), QStringList{"M002"});
    QCOMPARE(MemberRules::find(c, "0000111"), QStringList{"13900001111"});
    // The whole card first, the phones holding it after.
    addMember(app, "1390000", "赵六", {});
    QCOMPARE(MemberRules::find(c, "1390000"), (QStringList{"1390000", "13900001111"}));
    // The typed % is a character, not a wildcard.
    QCOMPARE(MemberRules::find(c, "0%"), QStringList{"M100"});
    QVERIFY(MemberRules::find(c, "  ").isEmpty());
    QCOMPARE(MemberRules::mobileOwner(c, " 13912345678", "M001"), QStringLiteral("M002"));
    QVERIFY(MemberRules::mobileOwner(c, "13912345678", "m002").isEmpty());
}

void TestMembers::importChecksEveryRowBeforeWriting()
{
    TestApp app;
    app.exec("insert into memblevel(level_name,discount,point_rate) values('金卡',90,1),('普通',100,1)");
    addMember(app, "M001", "张三", "13812345678");
    db::Connection& c = connection(app);
    const QList<SheetRow> sheet{
        {1, {"会员卡号", "姓名", "手机", "等级", "生日"}},
        {2, {"M010", "赵", 13811112222.0, "金卡", "1990-05-01"}},
        {3, {"M011", "钱", "13811112222", "金卡", {}}},
        {4, {"M012", "孙", "13812345678", "普通", {}}},
        {5, {"M013", "李", "1381111", "金卡", {}}},
        {6, {"M014", "周", {}, "钻石", {}}},
    };
    const SheetImport::Checked checked = SheetImport::check(c, SheetImport::Kind::Members, sheet, false);
    QVERIFY(!checked.clean());
    QStringList problems;
    for (const SheetImport::Problem& p : checked.problems)
        problems << QStringLiteral("%1 %2 %3 %4").arg(p.row).arg(p.column, p.value, p.reason);
    QCOMPARE(problems, (QStringList{"3 手机 13811112222 与第 2 行重复", "4 手机 13812345678 已是会员卡“M001”的手机号",
                                    "5 手机 1381111 不是 11 位手机号码",
                                    "6 等级 钻石 " + MemberRules::unknownLevelReason()}));
    QCOMPARE(app.scalar("select count(*) from member").toInt(), 1);

    // The clean rows, and the card keeping its own phone on an update.
    const QList<SheetRow> clean{sheet[0], sheet[1], {3, {"M001", "张三丰", "13812345678", "普通", {}}}};
    const SheetImport::Checked good = SheetImport::check(c, SheetImport::Kind::Members, clean, true);
    QVERIFY(good.clean());
    QVERIFY(SheetImport::write(c, good, false));
    QCOMPARE(app.scalar("select mobile from member where card_no='M010'").toString(), QStringLiteral("13811112222"));
    QCOMPARE(app.scalar("select memb_name from member where card_no='M001'").toString(), QStringLiteral("张三丰"));
    QCOMPARE(app.scalar("select birthday from member where card_no='M010'").toString(),
             QStringLiteral("1990-05-01 00:00:00"));
}

void TestMembers::memberPageSumsThisYearAndThePointsBalance()
{
    TestApp app;
    marchSales(app);
    // The sales earned their points as they were saved (金卡: a point a yuan); 100 were spent since.
    app.exec("insert into membpoint(card_no,point_date,bill_no,kind,points) values('M001','2026-03-31 12:00:00','C','抵现',-100)");
    const MemberAnalysis::MemberPage page = MemberAnalysis::memberPage(connection(app), "m001", Clock::today());
    QCOMPARE(page.cardNo, QStringLiteral("M001"));
    QCOMPARE(page.name, QStringLiteral("张三"));
    QCOMPARE(page.purchases.size(), 4);
    // Newest first, with colour and size; last December's bill is outside this year's total.
    QCOMPARE(page.purchases.first().date, QDate(2026, 3, 20));
    QCOMPARE(page.purchases.first().color, QStringLiteral("白"));
    QCOMPARE(page.purchases.first().size, QStringLiteral("M"));
    QCOMPARE(page.purchases.last().date, QDate(2025, 12, 20));
    QCOMPARE(page.spentThisYear, 280 + 99.5);
    QCOMPARE(page.lastVisit, QDate(2026, 3, 20));
    QCOMPARE(page.pointChanges.size(), 4);
    QCOMPARE(page.pointChanges.last().balance, qint64(50 + 280 + 100 - 100));

    // A return counts against the year and is a visit.
    const MemberAnalysis::MemberPage other = MemberAnalysis::memberPage(connection(app), "M002", Clock::today());
    QCOMPARE(other.spentThisYear, 100 + 300 - 100.0);
    QCOMPARE(other.lastVisit, QDate(2026, 3, 25));
    QVERIFY(other.purchases.first().isReturn);
}

void TestMembers::rankingByWhatMembersSpent()
{
    TestApp app;
    marchSales(app);
    const QList<MemberAnalysis::RankRow> rows
        = MemberAnalysis::ranking(connection(app), {QDate(2026, 3, 1), QDate(2026, 3, 31)});
    QCOMPARE(rows.size(), 2);
    const MemberAnalysis::RankRow& first = rows[0];
    QCOMPARE(first.cardNo, QStringLiteral("M001"));
    QCOMPARE(first.amount, 2 * 100 + 80 + 100 - 0.5);
    QCOMPARE(first.bills, 2);
    QCOMPARE(first.pieces, 4.0);
    QCOMPARE(first.lastVisit, QDate(2026, 3, 20));
    QCOMPARE(first.favouriteSizes, (QStringList{"M", "S"}));
    QCOMPARE(first.phone, QStringLiteral("13812345678"));
    const MemberAnalysis::RankRow& second = rows[1];
    QCOMPARE(second.cardNo, QStringLiteral("M002"));
    QCOMPARE(second.amount, 300 - 100.0);   // February's sale is outside, the return inside
    QCOMPARE(second.bills, 1);
    QCOMPARE(second.pieces, 2.0);
    QCOMPARE(second.lastVisit, QDate(2026, 3, 25));
    QCOMPARE(second.favouriteSizes, QStringList{"L"});

    // The range's first and last days are whole days.
    const QList<MemberAnalysis::RankRow> days
        = MemberAnalysis::ranking(connection(app), {QDate(2026, 3, 10), QDate(2026, 3, 15)});
    QCOMPARE(days.size(), 2);
    QCOMPARE(days[0].cardNo, QStringLiteral("M002"));
    QCOMPARE(days[0].amount, 300.0);
    QCOMPARE(days[1].amount, 280.0);
}

void TestMembers::birthdaysThisWeekAndIdleMembers()
{
    TestApp app;
    marchSales(app);
    // Today is Tuesday 31 March: the week runs from Monday 30 March to Sunday 5 April.
    addMember(app, "M003", "王五", {}, QDate(2000, 3, 30), QDate(2025, 12, 1));
    addMember(app, "M004", "赵六", {}, {}, QDate(2026, 3, 1));
    addMember(app, "M005", "钱七", {}, QDate(1970, 4, 6), QDate(2025, 1, 1));
    saveFor(app, BillKind::Sale, {2025, 12, 31}, "M005", {{"T-B-S", 1, 50, {}}});
    const MemberAnalysis::Reminders r = MemberAnalysis::reminders(connection(app), Clock::today());
    QCOMPARE(r.birthdays.size(), 2);
    QCOMPARE(r.birthdays[0].cardNo, QStringLiteral("M003"));
    QCOMPARE(r.birthdays[0].date, QDate(2026, 3, 30));
    QCOMPARE(r.birthdays[1].cardNo, QStringLiteral("M001"));
    QCOMPARE(r.birthdays[1].date, QDate(2026, 4, 5));
    // M005 last came 90 days ago, M003 joined 120 days ago and never came; M004 joined a month ago.
    QCOMPARE(r.idle.size(), 2);
    QCOMPARE(r.idle[0].cardNo, QStringLiteral("M003"));
    QCOMPARE(r.idle[0].date, QDate(2025, 12, 1));
    QCOMPARE(r.idle[1].cardNo, QStringLiteral("M005"));
    QCOMPARE(r.idle[1].date, QDate(2025, 12, 31));
}

void TestMembers::bornOnTheTwentyNinthOfFebruary()
{
    TestApp app;
    addMember(app, "L1", "闰", {}, QDate(2004, 2, 29), QDate(2027, 2, 1));
    // 2027 is a common year: the birthday is kept on Sunday the 28th.
    QCOMPARE(MemberAnalysis::reminders(connection(app), QDate(2027, 2, 24)).birthdays.value(0).date, QDate(2027, 2, 28));
    QVERIFY(MemberAnalysis::reminders(connection(app), QDate(2027, 3, 1)).birthdays.isEmpty());
    QCOMPARE(MemberAnalysis::reminders(connection(app), QDate(2028, 3, 1)).birthdays.value(0).date, QDate(2028, 2, 29));
}

QTEST_MAIN(TestMembers)
#include "tst_members.moc"
