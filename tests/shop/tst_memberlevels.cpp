// The member levels of 基本设置: what a new database starts with, what may be
// stored, and the points' worth.
#include "TestSupport.h"

#include "db/Error.h"
#include "shop/MemberLevels.h"

#include <QtTest>
#include <memory>

using MemberLevels::Level;

Q_DECLARE_METATYPE(QList<Level>)

class TestMemberLevels : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;

    db::Connection& connection() { return app->dataModule().AdoConn; }

private slots:
    void init() { app = std::make_unique<TestApp>(); }
    void cleanup() { app.reset(); }

    void newDatabaseHasThreeLevels()
    {
        QCOMPARE(MemberLevels::all(connection()),
                 (QList<Level>{{"普通", 100, 1}, {"银卡", 95, 1}, {"金卡", 90, 1}}));
    }

    void levelsRefused_data()
    {
        QTest::addColumn<QList<Level>>("levels");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("message");
        QTest::newRow("fine") << QList<Level>{{"普通", 100, 1}, {"钻石", 80, 3}} << -1 << "";
        QTest::newRow("no levels, nobody holds one") << QList<Level>{} << -1 << "";
        QTest::newRow("blank name") << QList<Level>{{"普通", 100, 1}, {" ", 90, 1}} << 1 << "会员等级第2行：等级名称不能为空";
        QTest::newRow("repeated in another case") << QList<Level>{{"vip", 90, 1}, {"VIP", 80, 1}} << 1 << "会员等级第2行：等级名称“VIP”重复";
        QTest::newRow("too long") << QList<Level>{{"一二三四五六七八九十一", 90, 1}} << 0
                                  << "会员等级第1行：等级名称“一二三四五六七八九十一”超过10个字";
        QTest::newRow("discount 0") << QList<Level>{{"普通", 0, 1}} << 0 << "会员等级第1行：折扣“0”应在1到100之间";
        QTest::newRow("discount above 100") << QList<Level>{{"普通", 101, 1}} << 0 << "会员等级第1行：折扣“101”应在1到100之间";
        QTest::newRow("negative points") << QList<Level>{{"普通", 100, -1}} << 0 << "会员等级第1行：每元积分“-1”应在0到100之间";
    }

    void levelsRefused()
    {
        QFETCH(QList<Level>, levels);
        QFETCH(int, row);
        QFETCH(QString, message);
        const MemberLevels::Refusal why = MemberLevels::refusal(connection(), levels);
        QCOMPARE(why.message, message);
        QCOMPARE(why.row, row);
    }

    void savingReplacesTheLevelsButKeepsThoseMembersHold()
    {
        app->exec("insert into member(card_no,memb_name,level_name,points) values('M001','王芳','金卡',0)");
        const QList<Level> without = {{"普通", 100, 1}, {"银卡", 95, 2}};
        try {
            MemberLevels::save(connection(), without);
            QFAIL("a level a member holds was deleted");
        } catch (const db::Error& e) {
            QCOMPARE(e.message(), QString("等级“金卡”还有1位会员，不能删除"));
        }
        QCOMPARE(MemberLevels::all(connection()).size(), 3);
        const QList<Level> changed = {{"普通", 100, 1}, {"金卡", 88, 2}};
        MemberLevels::save(connection(), changed);
        QCOMPARE(MemberLevels::all(connection()), changed);
    }

    void pointValue_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("refused");
        QTest::newRow("100 points a yuan") << 100.0 << false;
        QTest::newRow("one point a yuan") << 1.0 << false;
        QTest::newRow("nothing") << 0.0 << true;
        QTest::newRow("a share of a point") << 2.5 << true;
        QTest::newRow("absurd") << 1e6 << true;
    }

    void pointValue()
    {
        QFETCH(double, value);
        QFETCH(bool, refused);
        QCOMPARE(!MemberLevels::pointValueRefusal(value).isEmpty(), refused);
    }
};

QTEST_MAIN(TestMemberLevels)
#include "tst_memberlevels.moc"
