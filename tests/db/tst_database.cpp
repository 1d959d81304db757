// The encrypted file, its schema and the thin engine wrapper.
#include "TestSupport.h"

#include "core/AppPaths.h"
#include "core/CurrentRights.h"
#include "core/DatabaseFile.h"
#include "core/PasswordHash.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Schema.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "ui/FieldValue.h"

#include <QDate>
#include <QFile>
#include <QtTest>

#include <sqlite3.h>

#include <atomic>
#include <cstdio>
#include <thread>

class TestDatabase : public QObject {
    Q_OBJECT

private slots:
    void everyTableHasItsColumnsInOrder();
    void movementAmountsDefaultToZero();
    void textComparisonsIgnoreCase();
    void fileCannotBeOpenedWithoutTheKey();
    void newDatabaseHasAnAdministrator();
    void yearAndMonthReadStoredDates();
    void transactionRollsBackUnlessCommitted();
    void writeTransactionHoldsTheWriteLockFromItsStart();
    void writeInsideAReadAndASecondCommitAreRefused();
    void unknownParameterIsAnError();
    void decimalColumnRoundsHalfAwayFromZero();
    void engineFailuresAreToldInChinese_data();
    void engineFailuresAreToldInChinese();
    void lockedDatabaseIsToldInChinese();
    void saveWaitsItsTurnBehindALongerSave();
    void saveIntoAReplacedFileSaysSo();
    void workingTablesAreEachProgramsOwn();
    void damagedTableIsToldInChinese();
    void fileAloneHoldsASaveOnceIdle();
};

void TestDatabase::everyTableHasItsColumnsInOrder()
{
    TestApp app;
    const QStringList expected = {
        "goods", "company", "employee", "inmain", "outmain", "ingoods", "outgoods", "outtemp", "storemain",
        "chektemp", "storchek", "miostemp", "mios", "gathmain", "paymain", "powers", "baseitem", "userinfo"};
    for (const QString& table : expected) {
        const db::Table* t = db::Schema::table(table);
        QVERIFY2(t, qPrintable(table));
        db::Statement info(app.dataModule().AdoConn, QStringLiteral("pragma table_info(%1)").arg(table));
        QStringList columns;
        while (info.next())
            columns << info.textValue(1);
        QStringList declared;
        for (const db::Column& c : t->columns)
            declared << c.name;
        QCOMPARE(columns, declared);
    }
    // Copies between these pairs rely on identical column order.
    const QList<QPair<QString, QString>> pairs = {{"outtemp", "outgoods"}, {"chektemp", "storchek"}, {"miostemp", "mios"}};
    for (const auto& [a, b] : pairs) {
        QCOMPARE(db::Schema::table(a)->columns.size(), db::Schema::table(b)->columns.size());
        for (int i = 0; i < db::Schema::table(a)->columns.size(); ++i)
            QCOMPARE(db::Schema::table(a)->columns.at(i).name, db::Schema::table(b)->columns.at(i).name);
    }
    QCOMPARE(db::Schema::table("goods")->columns.first().name, QString("in_id"));
    QCOMPARE(db::Schema::table("goods")->columns.size(), 28);
    QCOMPARE(db::Schema::table("goods")->columns.last().name, QString("season"));
    QCOMPARE(db::Schema::table("inmain")->columns.size(), 24);
    QCOMPARE(db::Schema::table("inmain")->columns.last().name, QString("card_no"));
    QCOMPARE(db::Schema::column("goods", "gods_code")->size, 20);
    QCOMPARE(db::Schema::column("powers", "pow_use")->size, 50);
}

void TestDatabase::movementAmountsDefaultToZero()
{
    TestApp app;
    app.exec("insert into miostemp (gods_code, in_amou) values ('A01', 5)");
    QCOMPARE(app.scalar("select last_amou from miostemp").toDouble(), 0.0);
    QCOMPARE(app.scalar("select out_amou from miostemp").toDouble(), 0.0);
    QCOMPARE(app.scalar("select now_amou from miostemp").toLongLong(), 0LL);
    QCOMPARE(app.scalar("select typeof(last_amou) from miostemp").toString(), QString("real"));
    app.exec("insert into mios (gods_code, in_amou) values ('A01', 1)");
    QCOMPARE(app.scalar("select last_amou + out_amou + now_amou from mios").toDouble(), 0.0);
}

void TestDatabase::textComparisonsIgnoreCase()
{
    TestApp app;
    app.exec("insert into outmain (bill_no, bill_type) values ('1', 'out')");
    QCOMPARE(app.scalar("select count(*) from outmain where bill_type='Out'").toInt(), 1);
    app.exec("insert into goods (gods_code) values ('ab-01')");
    QCOMPARE(app.scalar("select count(*) from goods where gods_code=:p1", {"AB-01"}).toInt(), 1);
}

void TestDatabase::fileCannotBeOpenedWithoutTheKey()
{
    TestApp app;
    const QString path = AppPaths::databaseFile();
    app.dataModule().AdoConn.close();
    db::Connection plain;
    QVERIFY_THROWS_EXCEPTION(db::Error, plain.open(path, QString()));
    QVERIFY_THROWS_EXCEPTION(db::Error, plain.open(path, "wrong"));
    QVERIFY(!plain.isOpen());
    // The file's bytes do not show the schema in clear text.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(!bytes.contains("CREATE TABLE"));
    QVERIFY(!bytes.contains("SQLite format 3"));
    plain.open(path, DatabaseFile::password);
    QVERIFY(plain.isOpen());
    QVERIFY(DatabaseFile::isSystemDatabase(path));
}

void TestDatabase::newDatabaseHasAnAdministrator()
{
    TestApp app;
    // The password is kept as a salted hash only.
    QCOMPARE(app.scalar("select password from powers where user_id='admin'").toString(), QString());
    const QString hash = app.scalar("select pass_hash from powers where user_id='admin'").toString();
    QVERIFY(PasswordHash::accepts("admin", hash, {}));
    QVERIFY(!PasswordHash::accepts("ADMIN", hash, {}));
    QVERIFY(!PasswordHash::accepts("admin", hash.chopped(4) + "AAA=", {}));
    QVERIFY(PasswordHash::make("admin") != PasswordHash::make("admin"));
    // The standard PBKDF2-HMAC-SHA256 answer for "password", "salt", 4096 rounds.
    QVERIFY(PasswordHash::accepts("password", "pbkdf2-sha256$4096$c2FsdA==$xeR41ZKIyEGqUw22hFxMjZYok6ABzk4RpJY4c6qYE0o=", {}));
    QCOMPARE(app.scalar("select pow_use from powers").toString(), QString(Function::Count, '1'));
    QCOMPARE(app.scalar("select count(*) from employee where empl_code='admin'").toInt(), 1);
    // An existing file is never replaced.
    QVERIFY(!DatabaseFile::createIfMissing(AppPaths::databaseFile()));
}

void TestDatabase::yearAndMonthReadStoredDates()
{
    TestApp app;
    db::Statement insert(app.dataModule().AdoConn, "insert into storchek (gods_code, chek_date) values ('A', :d)");
    insert.bind("d", QDate(2024, 3, 31));
    insert.execute();
    QCOMPARE(app.scalar("select chek_date from storchek").toString(), QString("2024-03-31 00:00:00"));
    QCOMPARE(app.scalar("select count(*) from storchek where year(chek_date)=:p1 and month(chek_date)=:p2", {2024, 3}).toInt(), 1);
    QVERIFY(app.scalar("select year(null)").isNull());
}

void TestDatabase::transactionRollsBackUnlessCommitted()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    {
        db::Transaction t(c);
        app.exec("insert into company (comp_code) values ('C1')");
        {
            db::Transaction inner(c);
            app.exec("insert into company (comp_code) values ('C2')");
        }   // the inner unit is dropped alone
        t.commit();
    }
    QCOMPARE(app.scalar("select group_concat(comp_code) from company").toString(), QString("C1"));
    try {
        db::Transaction t(c);
        app.exec("insert into company (comp_code) values ('C3')");
        app.exec("insert into nosuchtable values (1)");
        t.commit();
    } catch (const db::Error& e) {
        QVERIFY(!e.sql().isEmpty());
    }
    QCOMPARE(app.scalar("select count(*) from company").toInt(), 1);
    QVERIFY(!c.inTransaction());
}

// A write nested in a read would run without the write lock; a second commit
// would end the outer transaction in the inner one's name.
void TestDatabase::writeInsideAReadAndASecondCommitAreRefused()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    for (const db::Transaction::Kind outerKind : {db::Transaction::Deferred, db::Transaction::Snapshot}) {
        db::Transaction outer(c, outerKind);
        QVERIFY_THROWS_EXCEPTION(std::logic_error, db::Transaction(c, db::Transaction::Write));
        db::Transaction read(c);   // a read inside a read stays allowed
        read.commit();
        outer.commit();
    }
    QVERIFY(!c.inTransaction());
    {
        db::Transaction outer(c, db::Transaction::Write);
        db::Transaction inner(c, db::Transaction::Write);
        app.exec("insert into company (comp_code) values ('C1')");
        inner.commit();
        QVERIFY_THROWS_EXCEPTION(std::logic_error, inner.commit());
        QVERIFY(c.inTransaction());
        outer.commit();
    }
    QCOMPARE(app.scalar("select count(*) from company").toInt(), 1);
}

void TestDatabase::writeTransactionHoldsTheWriteLockFromItsStart()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    db::Connection other;
    other.open(AppPaths::databaseFile(), DatabaseFile::password);
    sqlite3_busy_timeout(other.handle(), 0);
    {
        db::Transaction t(c, db::Transaction::Write);
        // Nothing written yet, and still another connection cannot begin writing.
        QVERIFY_THROWS_EXCEPTION(db::Error, other.execute("begin immediate"));
        {
            db::Transaction inner(c, db::Transaction::Write);
            app.exec("insert into company (comp_code) values ('W1')");
            inner.commit();
        }
        QVERIFY(c.inTransaction());
        t.commit();
    }
    QVERIFY(!c.inTransaction());
    other.execute("insert into company (comp_code) values ('W2')");
    {
        db::Transaction t(c, db::Transaction::Write);
        app.exec("insert into company (comp_code) values ('W3')");
    }
    QCOMPARE(app.scalar("select group_concat(comp_code) from company order by comp_code").toString(), QString("W1,W2"));
    // A later write transaction begins again after the rollback.
    db::Transaction again(c, db::Transaction::Write);
    again.commit();
}

void TestDatabase::unknownParameterIsAnError()
{
    TestApp app;
    db::Statement s(app.dataModule().AdoConn, "select * from goods where gods_code=:code");
    QVERIFY(s.hasParameter("code"));
    QVERIFY_THROWS_EXCEPTION(db::Error, s.bind("name", "x"));
    QVERIFY_THROWS_EXCEPTION(db::Error, db::Statement(app.dataModule().AdoConn, "select * from nosuch"));
}

void TestDatabase::decimalColumnRoundsHalfAwayFromZero()
{
    TestApp app;
    app.exec("insert into mios (gods_code, now_amou) values ('A', 2.5)");
    app.exec("insert into mios (gods_code, now_amou) values ('B', -2.5)");
    app.exec("insert into mios (gods_code, now_amou) values ('C', 2.4)");
    QCOMPARE(app.scalar("select group_concat(now_amou) from (select now_amou from mios order by gods_code)").toString(),
             QString("3,-3,2"));
    app.exec("update mios set now_amou=7.5 where gods_code='C'");
    QCOMPARE(app.scalar("select now_amou from mios where gods_code='C'").toLongLong(), 8LL);
}

void TestDatabase::engineFailuresAreToldInChinese_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("engineText");
    QTest::addColumn<QString>("sentence");   // empty: the message is shown as it is
    QTest::newRow("damaged") << SQLITE_CORRUPT << "database disk image is malformed" << "数据库文件已损坏，请从备份恢复";
    QTest::newRow("damaged, extended code") << (SQLITE_CORRUPT | (1 << 8)) << "database disk image is malformed"
                                            << "数据库文件已损坏，请从备份恢复";
    QTest::newRow("not a database") << SQLITE_NOTADB << "file is not a database" << "数据库文件已损坏，请从备份恢复";
    QTest::newRow("busy") << SQLITE_BUSY << "database is locked" << "数据库正被其他程序使用，请稍后再试";
    QTest::newRow("locked") << SQLITE_LOCKED << "database table is locked" << "数据库正被其他程序使用，请稍后再试";
    QTest::newRow("disk full") << SQLITE_FULL << "database or disk is full" << "磁盘已满，数据没有保存，请腾出空间后再试";
    QTest::newRow("read-only") << SQLITE_READONLY << "attempt to write a readonly database"
                               << "数据库文件是只读的，不能保存修改";
    QTest::newRow("our own message") << 0 << "“abc”不是有效的数值" << "";
    QTest::newRow("constraint") << SQLITE_CONSTRAINT << "UNIQUE constraint failed" << "";
}

void TestDatabase::engineFailuresAreToldInChinese()
{
    QFETCH(int, code);
    QFETCH(QString, engineText);
    QFETCH(QString, sentence);
    const db::Error error(engineText, code, "select 1");
    const QString text = db::userText(error);
    if (sentence.isEmpty()) {
        QCOMPARE(text, engineText);
    } else {
        QVERIFY2(text.startsWith(sentence), qPrintable(text));
        QVERIFY2(text.contains(engineText), qPrintable(text));   // the engine's words as the detail
    }
    QCOMPARE(ui::errorText(error), text);   // what every window shows
}

void TestDatabase::lockedDatabaseIsToldInChinese()
{
    TestApp app;
    db::Connection other;
    other.open(AppPaths::databaseFile(), DatabaseFile::password);
    sqlite3_busy_timeout(other.handle(), 0);
    db::Transaction hold(app.dataModule().AdoConn, db::Transaction::Write);
    try {
        other.execute("begin immediate");
        QFAIL("the second writer was let in");
    } catch (const db::Error& e) {
        QVERIFY2(ui::errorText(e).startsWith("数据库正被其他程序使用"), qPrintable(ui::errorText(e)));
    }
}

void TestDatabase::saveWaitsItsTurnBehindALongerSave()
{
    TestApp app;
    // Another copy holds the write lock for longer than a few seconds; this save waits, then lands.
    std::atomic<bool> holding = false;
    std::thread other([&] {
        db::Connection connection;
        connection.open(AppPaths::databaseFile(), DatabaseFile::password);
        db::Transaction hold(connection, db::Transaction::Write);
        connection.execute("insert into company (comp_code) values ('P1')");
        holding = true;
        QThread::msleep(3500);
        hold.commit();
    });
    while (!holding)
        QThread::msleep(1);
    QElapsedTimer waited;
    waited.start();
    {
        db::Transaction t(app.dataModule().AdoConn, db::Transaction::Write);
        app.exec("insert into company (comp_code) values ('P2')");
        t.commit();
    }
    other.join();
    QVERIFY(waited.elapsed() >= 3000);
    QCOMPARE(app.scalar("select group_concat(comp_code) from (select comp_code from company order by comp_code)").toString(),
             QString("P1,P2"));
}

void TestDatabase::saveIntoAReplacedFileSaysSo()
{
    TestApp app;
    // With the write-ahead log a restore refuses while another copy holds the file
    // (tst_restore); with the rollback journal (no shared memory) it can still happen.
    app.exec("pragma journal_mode=delete");
    // Another copy of the program restores a backup over the file this one has open.
    const QString path = AppPaths::databaseFile();
    const QString restored = path + ".restored";
    QVERIFY(QFile::copy(path, restored));
    QCOMPARE(::rename(QFile::encodeName(restored).constData(), QFile::encodeName(path).constData()), 0);
    try {
        app.exec("insert into company (comp_code) values ('R1')");
        QFAIL("a save into the replaced file was reported as done");
    } catch (const db::Error& e) {
        QVERIFY2(ui::errorText(e).startsWith("数据库已被数据恢复替换"), qPrintable(ui::errorText(e)));
    }
}

void TestDatabase::workingTablesAreEachProgramsOwn()
{
    TestApp app;
    // Another program on the same file, in the middle of a count.
    db::Connection other;
    DatabaseFile::open(other, AppPaths::databaseFile());
    other.execute("insert into chektemp (gods_code, gods_amou) values ('G1', 5)");
    QCOMPARE(app.scalar("select count(*) from chektemp").toInt(), 0);
    app.exec("insert into chektemp (gods_code, gods_amou) values ('G2', 7)");
    app.exec("delete from chektemp where gods_code<>'G2'");
    db::Statement rows(other, "select group_concat(gods_code) from chektemp");
    QVERIFY(rows.next());
    QCOMPARE(rows.textValue(0), QString("G1"));
}

void TestDatabase::damagedTableIsToldInChinese()
{
    TestApp app;
    for (int i = 0; i < 400; ++i)
        app.exec("insert into goods (gods_code, gods_name) values (:p1, :p2)",
                 {QString("G%1").arg(i), QString(30, QChar(0x886B))});
    app.dataModule().AdoConn.close();
    QFile file(AppPaths::databaseFile());
    QVERIFY(file.size() > 16 * 4096);
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.seek(file.size() - 6 * 4096);
    file.write(QByteArray(3 * 4096, '\x5a'));
    file.close();

    db::Connection damaged;
    damaged.open(AppPaths::databaseFile(), DatabaseFile::password);
    try {
        db::Statement count(damaged, "select count(*), max(gods_name) from goods");
        while (count.next()) {
        }
        QFAIL("the damaged table was read without an error");
    } catch (const db::Error& e) {
        QVERIFY2(ui::errorText(e).startsWith("数据库文件已损坏，请从备份恢复"), qPrintable(ui::errorText(e)));
    }
}

// The file copied alone (without its write-ahead log) while the program runs,
// as onto a USB stick, holds what was saved before the program went idle.
void TestDatabase::fileAloneHoldsASaveOnceIdle()
{
    TestApp app;
    app.exec("insert into goods (gods_code) values ('G1')");
    QCoreApplication::processEvents();
    QTemporaryDir stick;
    const QString copy = stick.filePath("brovanta.mdb");
    QVERIFY(QFile::copy(AppPaths::databaseFile(), copy));
    db::Connection copied;
    DatabaseFile::open(copied, copy);
    db::Statement goods(copied, "select count(*) from goods where gods_code='G1'");
    QVERIFY(goods.next());
    QCOMPARE(goods.intValue(0), 1);
}

QTEST_MAIN(TestDatabase)
#include "tst_database.moc"
