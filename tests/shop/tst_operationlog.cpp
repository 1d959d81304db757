// The change log and the shape upgrade without a window: an older file is backed
// up before it changes, a log line lands with its change or not at all, and a
// deleted bill's lines live on in the log.
#include "TestSupport.h"

#include "core/PasswordHash.h"
#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/DatabaseFile.h"
#include "core/CurrentRights.h"
#include "db/Error.h"
#include "db/Schema.h"
#include "db/Statement.h"
#include "shop/BackupFiles.h"
#include "shop/BillStore.h"
#include "shop/DatabaseUpgrade.h"
#include "shop/OperationLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QtTest>

using StockPosting::BillKind;

class TestOperationLog : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;

    db::Connection& connection() { return app->dataModule().AdoConn; }

    // The file as the first release left it: no log table, version 0, 25 rights.
    void makeOlder()
    {
        makeFirstRelease(connection());
        app->exec("update powers set pow_use=substr(pow_use,1,25),pow_find=substr(pow_find,1,25),"
                  "pow_prin=substr(pow_prin,1,25)");
        app->exec("insert into goods (gods_code, gods_name) values ('G1', '衬衫')");
    }

    bool hasLogTable()
    {
        return app->scalar("select count(*) from sqlite_master where name='oper_log'").toInt() == 1;
    }

    // A bill's log lines, oldest first: time, user, window, action, summary, detail.
    QList<QStringList> logLines(const QString& key)
    {
        db::Statement query(connection(), "select log_time,user_id,win_name,act_name,summary,detail from oper_log "
                                          "where log_key=:key order by log_id");
        query.bind("key", key);
        QList<QStringList> lines;
        while (query.next()) {
            QStringList line;
            for (int c = 0; c < 6; ++c)
                line << query.textValue(c);
            lines << line;
        }
        return lines;
    }

    // The goods and the company savePurchase names: a bill of unknown ones is refused.
    void addBillNames()
    {
        app->exec("insert into goods (gods_code, gods_name) values ('G1', '衬衫'), ('G2', '长裤')");
        app->exec("insert into company (comp_code, comp_name) values ('C1', '华美')");
    }

    QString savePurchase(double quantity, double price)
    {
        BillStore::Bill bill;
        bill.header = {{QStringLiteral("bill_date"), QDate(2026, 3, 5)}, {QStringLiteral("comp_code"), QStringLiteral("C1")}};
        bill.lines = {{QStringLiteral("G1"), quantity, price, {}}, {QStringLiteral("G2"), 1, 9.5, QStringLiteral("赠品")}};
        return BillStore::save(connection(), BillKind::Purchase, bill);
    }

private slots:
    void init()
    {
        app = std::make_unique<TestApp>();
        Clock::setFixed(QDateTime(QDate(2026, 3, 5), QTime(9, 30)));
    }
    void cleanup() { app.reset(); }

    void olderFileIsBackedUpThenUpgraded()
    {
        if (TestApp::onServer())
            QSKIP("backups and older files are the file's own");
        makeOlder();
        const QString backup = DatabaseUpgrade::run(connection());
        QCOMPARE(QFileInfo(backup).absolutePath(), AppPaths::backupDirectory());
        QVERIFY(BackupFiles::problem(backup).isEmpty());
        // The backup holds the file as it was, before the change.
        {
            db::Connection copy;
            copy.open(backup, DatabaseFile::password);
            QCOMPARE(db::Schema::fileVersion(copy), 0);
        }
        QCOMPARE(db::Schema::fileVersion(connection()), db::Schema::version());
        QVERIFY(hasLogTable());
        QCOMPARE(app->scalar("select gods_name from goods where gods_code='G1'").toString(), QString("衬衫"));
        // Whoever could set rights may now read the log.
        QCOMPARE(app->scalar("select pow_use from powers where user_id='admin'").toString(), QString(Function::Count, '1'));
        // The plain password became a hash in a column the older file did not have.
        QCOMPARE(app->scalar("select password from powers where user_id='admin'").toString(), QString());
        QVERIFY(PasswordHash::accepts(
            "admin", app->scalar("select pass_hash from powers where user_id='admin'").toString(), {}));
        // A current file is left alone: no second backup.
        QVERIFY(DatabaseUpgrade::run(connection()).isEmpty());
        QCOMPARE(QDir(AppPaths::backupDirectory()).entryList(QDir::Files).size(), 1);
    }

    // A file of the version before gains the log's key index, and a bill's earlier prints are found through it.
    void previousVersionGainsTheKeyIndex()
    {
        if (TestApp::onServer())
            QSKIP("backups and older files are the file's own");
        app->exec("drop index oper_log_key");
        app->exec("pragma user_version=2");
        QVERIFY(!DatabaseUpgrade::run(connection()).isEmpty());
        db::Statement plan(connection(), "explain query plan select count(*) from oper_log where win_name=:w "
                                         "and log_key=:no and act_name in ('打印','重印')");
        plan.bind("w", "进货输入").bind("no", "20260305120000");
        QString steps;
        while (plan.next())
            steps += plan.textValue(3) + '\n';
        QVERIFY2(steps.contains("USING INDEX oper_log_key"), qPrintable(steps));
    }

    void failedBackupLeavesTheOlderFileAlone()
    {
        if (TestApp::onServer())
            QSKIP("backups and older files are the file's own");
        makeOlder();
        // A plain file where the backup directory should be: the backup cannot be written.
        QFile blocker(AppPaths::backupDirectory());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        try {
            DatabaseUpgrade::run(connection());
            QFAIL("the upgrade went ahead without a backup");
        } catch (const db::Error& e) {
            QVERIFY2(e.message().contains("自动备份失败"), qPrintable(e.message()));
        }
        QCOMPARE(db::Schema::fileVersion(connection()), 0);
        QVERIFY(!hasLogTable());
        QCOMPARE(app->scalar("select pow_use from powers where user_id='admin'").toString(), QString(25, '1'));
    }

    // An older database holding bill and voucher numbers twice: the upgrade goes
    // through without rewriting them, the open reports them once, the bills stay
    // readable and new saves work; once the duplicates are gone the index comes.
    void duplicateNumbersAreReportedOnceAndLeftReadable()
    {
        app->execAsOwner("drop index inmain_bill_no_unique");
        app->execAsOwner("drop index gathmain_fei_no_unique");
        app->execAsOwner(TestApp::onServer() ? "update shape_version set version=4" : "pragma user_version=4");
        app->exec("insert into inmain (bill_no, bill_type, shou_tota) values ('20250101120000', 'in', 10)");
        app->exec("insert into inmain (bill_no, bill_type, shou_tota) values ('20250101120000', 'retu', 20)");
        app->exec("insert into inmain (bill_no, bill_type, shou_tota) values ('20250101120500', 'in', 30)");
        app->exec("insert into gathmain (fei_no, fei_tota) values ('V1', 5)");
        app->exec("insert into gathmain (fei_no, fei_tota) values ('v1', 6)");
        addBillNames();

        db::Schema::upgrade(app->owner());
        QCOMPARE(db::Schema::fileVersion(connection()), db::Schema::version());
        const QString report = DatabaseUpgrade::checkNumbers(connection());
        QVERIFY2(report.contains("进货和顾客退货单（inmain）：1 个单号重复，共 2 张：20250101120000"), qPrintable(report));
        QVERIFY2(report.contains("收款单（gathmain）：1 个单号重复，共 2 张：V1", Qt::CaseInsensitive), qPrintable(report));
        QVERIFY2(!report.contains("outmain") && !report.contains("20250101120500"), qPrintable(report));
        // Told once: the next open is silent, and the log keeps the list.
        QCOMPARE(DatabaseUpgrade::checkNumbers(connection()), QString());
        QCOMPARE(app->scalar("select detail from oper_log where act_name='重复单号'").toString(), report);
        QCOMPARE(app->scalar("select count(*) from oper_log").toInt(), 1);

        QCOMPARE(app->scalar("select sum(shou_tota) from inmain where bill_no='20250101120000'").toInt(), 30);
        QVERIFY(savePurchase(1, 5) != "20250101120000");

        // The duplicates mended: the next open makes the index (a server's owner
        // does), and it holds.
        app->exec("delete from inmain where bill_type='retu'");
        app->exec("delete from gathmain where fei_tota=6");
        QCOMPARE(DatabaseUpgrade::checkNumbers(connection()), QString());
        QVERIFY(db::Schema::makeUniqueNumbers(app->owner()).isEmpty());
        try {
            app->exec("insert into gathmain (fei_no) values ('V1')");
            QFAIL("a voucher number was stored twice");
        } catch (const db::Error& e) {
            QCOMPARE(e.kind(), db::Error::UniqueViolation);
        }
    }

    // Codes stored in another case than the goods' become the goods' own, once,
    // and the log says so; two stock records of one goods become one.
    void codesInAnotherCaseAreMendedOnce()
    {
        const char* version5 = TestApp::onServer() ? "update shape_version set version=5" : "pragma user_version=5";
        app->exec("insert into goods (gods_code, gods_name) values ('ST01-02-3', '衬衫')");
        app->exec("insert into goods (gods_code, gods_name) values ('G2', '长裤')");
        app->exec("insert into ingoods (bill_no, gods_code, sub_amou, unit_pric) values ('B1', 'st01-02-3', 2, 12)");
        app->exec("insert into ingoods (bill_no, gods_code, sub_amou, unit_pric) values ('B1', 'ST01-02-3', 5, 10)");
        app->exec("insert into outgoods (bill_no, gods_code, sub_amou, unit_pric) values ('B2', 'g2', 1, 35)");
        app->exec("insert into storchek (gods_code, gods_amou, chek_amou, chek_date) "
                  "values ('st01-02-3', 7, 7, '2026-02-28 00:00:00')");
        app->exec("insert into storemain (gods_code, gods_amou, cost_pric) values ('ST01-02-3', 5, 10)");
        app->exec("insert into storemain (gods_code, gods_amou, cost_pric) values ('st01-02-3', 2, 12)");
        app->exec("insert into storemain (gods_code, gods_amou, cost_pric) values ('g2', -1, 20)");
        app->exec("insert into storemain (gods_code, gods_amou, cost_pric) values ('gone', 4, 1)");
        app->execAsOwner(version5);
        DatabaseUpgrade::upgradeCopy(app->owner());

        const auto rows = [this](const char* sql) {
            QStringList result;
            db::Statement query(connection(), QString::fromLatin1(sql));
            while (query.next()) {
                QStringList values;
                for (int i = 0; i < query.columnCount(); ++i)
                    values << query.textValue(i);
                result << values.join('|');
            }
            return result;
        };
        QCOMPARE(rows("select gods_code from ingoods order by in_id"), QStringList({"ST01-02-3", "ST01-02-3"}));
        QCOMPARE(rows("select gods_code from outgoods"), QStringList({"G2"}));
        QCOMPARE(rows("select gods_code from storchek"), QStringList({"ST01-02-3"}));
        QCOMPARE(rows("select gods_code from storemain order by gods_amou"), QStringList({"G2", "gone", "ST01-02-3"}));
        QCOMPARE(app->scalar("select gods_amou from storemain where gods_code='ST01-02-3'").toDouble(), 7.0);
        QCOMPARE(app->scalar("select cost_pric from storemain where gods_code='ST01-02-3'").toDouble(), (5 * 10 + 2 * 12) / 7.0);
        QCOMPARE(app->scalar("select cost_pric from storemain where gods_code='G2'").toDouble(), 20.0);

        QCOMPARE(rows("select act_name from oper_log"), QStringList({"统一货品编码"}));
        const QString detail = app->scalar("select detail from oper_log").toString();
        for (const char* told : {"ingoods：1 行", "outgoods：1 行", "storchek：1 行", "storemain：2 种货品",
                                 "ST01-02-3：2 条库存记录合为 1 条，数量 7"})
            QVERIFY2(detail.contains(QString::fromUtf8(told)), qPrintable(detail));

        // Nothing left to mend: no second line.
        app->execAsOwner(version5);
        DatabaseUpgrade::upgradeCopy(app->owner());
        QCOMPARE(app->scalar("select count(*) from oper_log").toInt(), 1);
        QCOMPARE(db::Schema::fileVersion(connection()), db::Schema::version());
    }

    void freshDatabaseRefusesANumberTwice_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::newRow("purchase") << "inmain" << "bill_no";
        QTest::newRow("sale") << "outmain" << "bill_no";
        QTest::newRow("receipt") << "gathmain" << "fei_no";
        QTest::newRow("payment") << "paymain" << "fei_no";
    }

    void freshDatabaseRefusesANumberTwice()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        const QString insert = QString("insert into %1 (%2) values (:p1)").arg(table, column);
        app->exec(insert, {"20260305093000"});
        try {
            app->exec(insert, {"20260305093000"});
            QFAIL("a number was stored twice");
        } catch (const db::Error& e) {
            QCOMPARE(e.kind(), db::Error::UniqueViolation);
        }
        QCOMPARE(app->scalar(QString("select count(*) from %1").arg(table)).toInt(), 1);
    }

    void savedAndDeletedBillsAreLogged()
    {
        CurrentRights::current().userId = "clerk";
        addBillNames();
        const QString no = savePurchase(3, 12.5);
        app->exec("update ingoods set sub_amou=4 where bill_no=:p1 and gods_code='G1'", {no});
        BillStore::Bill edited;
        edited.headerId = app->scalar("select in_id from inmain where bill_no=:p1", {no}).toLongLong();
        edited.billNo = no;
        edited.lines = {{QStringLiteral("G1"), 2, 12.5, {}}};
        BillStore::save(connection(), BillKind::Purchase, edited);
        BillStore::remove(connection(), BillKind::Purchase, no);

        const QList<QStringList> lines = logLines(no);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), QStringList({"2026-03-05 09:30:00", "clerk", "进货输入", "新增", "金额 47",
                                            "G1 3×12.5\nG2 1×9.5 赠品"}));
        // The edit starts from what was stored (4 × 12.5 + 9.5), not from what the window had shown.
        QCOMPARE(lines.at(1).value(4), QString("金额 59.5 → 25"));
        const QStringList deleted = lines.at(2);
        QCOMPARE(deleted.value(3), QString("删除"));
        QCOMPARE(deleted.value(4), QString("金额 25 → 0"));
        QCOMPARE(deleted.value(5), QString("G1 2×12.5"));
    }

    void logLineAndChangeLandTogether()
    {
        // A log write that fails takes the bill with it.
        addBillNames();
        app->refuse("refuse_log", "insert", "oper_log", {}, "日志写入失败");
        QVERIFY_THROWS_EXCEPTION(db::Error, savePurchase(3, 12.5));
        QCOMPARE(app->scalar("select count(*) from inmain").toInt(), 0);
        QCOMPARE(app->scalar("select count(*) from ingoods").toInt(), 0);
        QCOMPARE(app->scalar("select count(*) from storemain").toInt(), 0);
        app->allow("refuse_log", "oper_log");

        // A change that fails leaves no log line.
        const QString no = savePurchase(3, 12.5);
        app->exec("insert into storchek (gods_code, gods_amou, chek_amou, chek_date) values ('G1', 3, 3, '2026-03-31 00:00:00')");
        QVERIFY_THROWS_EXCEPTION(db::Error, BillStore::remove(connection(), BillKind::Purchase, no));
        QCOMPARE(app->scalar("select count(*) from oper_log").toInt(), 1);
        QCOMPARE(app->scalar("select count(*) from inmain").toInt(), 1);

        // No statement changes or removes a line.
        QVERIFY_THROWS_EXCEPTION(db::Error, app->exec("update oper_log set user_id='x'"));
        QVERIFY_THROWS_EXCEPTION(db::Error, app->exec("delete from oper_log"));
        QCOMPARE(app->scalar("select count(*) from oper_log").toInt(), 1);
    }

    // Goods codes an older database holds twice are reported with the bill
    // numbers, once; once mended, the next open makes the code unique.
    void duplicateGoodsCodesAreReportedOnce()
    {
        app->execAsOwner("drop index goods_gods_code_unique");
        app->exec("insert into goods (gods_code, gods_name) values ('G7', '衬衫'), ('g7', '裤'), ('G8', '帽')");
        const QString report = DatabaseUpgrade::checkNumbers(connection());
        QVERIFY2(report.contains("货品资料（goods）：1 个编码重复，共 2 种货品：G7", Qt::CaseInsensitive), qPrintable(report));
        QVERIFY2(!report.contains("G8") && !report.contains("inmain"), qPrintable(report));
        QCOMPARE(app->scalar("select summary from oper_log where act_name='重复单号'").toString(),
                 QStringLiteral("2 种货品的编码重复，这些编号未设为唯一"));
        QCOMPARE(DatabaseUpgrade::checkNumbers(connection()), QString());
        QCOMPARE(app->scalar("select count(*) from goods").toInt(), 3);

        app->exec("update goods set gods_code='G9' where gods_name='裤'");
        QCOMPARE(DatabaseUpgrade::checkNumbers(app->owner()), QString());
        try {
            app->exec("insert into goods (gods_code, gods_name) values ('G8', '鞋')");
            QFAIL("a goods code was stored twice");
        } catch (const db::Error& e) {
            QCOMPARE(e.kind(), db::Error::UniqueViolation);
        }
    }

    // A file of version 2 has the log but keeps passwords plain: the upgrade
    // hashes every user's password and empties the plain column.
    void versionTwoPasswordsBecomeHashes()
    {
        if (TestApp::onServer())
            QSKIP("backups and older files are the file's own");
        makeFirstRelease(connection());
        for (const db::Table& table : db::Schema::tables()) {
            if (table.since == 2)
                app->exec(db::Schema::createStatement(table));
            else if (table.since < 2)
                for (const db::Column& column : table.columns)
                    if (column.since == 2)
                        app->exec(QStringLiteral("alter table %1 add column %2").arg(table.name, column.name));
        }
        app->exec("pragma user_version=2");
        app->exec("insert into powers (user_id, password) values ('clerk', '1234')");

        QVERIFY(!DatabaseUpgrade::run(connection()).isEmpty());
        QCOMPARE(app->scalar("select count(*) from powers where coalesce(password,'')<>''").toInt(), 0);
        QVERIFY(PasswordHash::accepts(
            "admin", app->scalar("select pass_hash from powers where user_id='admin'").toString(), {}));
        QVERIFY(PasswordHash::accepts(
            "1234", app->scalar("select pass_hash from powers where user_id='clerk'").toString(), {}));
    }
};

QTEST_MAIN(TestOperationLog)
#include "tst_operationlog.moc"
