// What either engine answers about its database (tables, columns, shape
// version, comparing NULLs), and why a server let no connection in.
#include "TestSupport.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Schema.h"
#include "db/Statement.h"

#include <QtTest>

class TestEngine : public QObject {
    Q_OBJECT

private slots:
    void catalogueListsTablesAndColumnsInOrder();
    void shapeVersionStaysWithTheDatabase();
    void sameTakesNullForNull();
    void refusedConnectionSaysWhy_data();
    void refusedConnectionSaysWhy();
};

void TestEngine::catalogueListsTablesAndColumnsInOrder()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    const QStringList tables = c.tableNames();
    for (const db::Table& table : db::Schema::tables())
        QVERIFY2(tables.contains(table.name), qPrintable(table.name));
    // A connection's own working tables are no tables of the database.
    c.execute("create temp table own_work (x integer)");
    app.execAsOwner("create table Later_Made (x integer)");
    QVERIFY(!c.tableNames().contains("own_work"));
    QVERIFY(c.tableNames().contains("later_made"));

    QStringList goods;
    for (const db::Column& column : db::Schema::table("goods")->columns)
        goods << column.name.toLower();
    QCOMPARE(db::Schema::columnsOf(c, "goods"), goods);
    app.execAsOwner("alter table goods add column Extra_Note text");
    QCOMPARE(db::Schema::columnsOf(c, "goods"), goods << "extra_note");
    QVERIFY(db::Schema::columnsOf(c, "no_such_table").isEmpty());
}

void TestEngine::shapeVersionStaysWithTheDatabase()
{
    TestApp app;
    QCOMPARE(db::Schema::fileVersion(app.dataModule().AdoConn), db::Schema::version());
    db::Schema::setFileVersion(app.owner(), 3);
    db::Connection other;
    app.openAnother(other);
    QCOMPARE(db::Schema::fileVersion(other), 3);
}

void TestEngine::sameTakesNullForNull()
{
    TestApp app;
    app.exec("insert into goods (gods_code, gods_spec) values ('G1', null), ('G2', 'XL')");
    db::Connection& c = app.dataModule().AdoConn;
    db::Statement match(c, QString("select gods_code from goods where %1 order by gods_code")
                               .arg(c.same("gods_spec", ":spec")));
    const auto codes = [&](const QVariant& spec) {
        match.bind("spec", spec);
        QStringList found;
        while (match.next())
            found << match.textValue(0);
        return found;
    };
    QCOMPARE(codes(QVariant()), QStringList{"G1"});
    QCOMPARE(codes("XL"), QStringList{"G2"});
}

void TestEngine::refusedConnectionSaysWhy_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("kind");
    // An empty host or database: the test server's.
    const QString nowhere = QDir::temp().filePath("no-brovanta-server");
    QTest::newRow("nothing at the address") << nowhere << "shop" << "clerk" << "" << int(db::Error::NotListening);
    QTest::newRow("a name of no computer") << "no-such-host.invalid" << "shop" << "clerk" << ""
                                           << int(db::Error::UnknownHost);
    QTest::newRow("no password given") << "" << "" << "brovanta_password" << "" << int(db::Error::PasswordNeeded);
    QTest::newRow("a wrong password") << "" << "" << "brovanta_password" << "guess" << int(db::Error::PasswordWrong);
    QTest::newRow("no such database") << "" << "no_such_database" << "brovanta" << "" << int(db::Error::NoSuchDatabase);
    QTest::newRow("no such user") << "" << "" << "no_such_user" << "" << int(db::Error::UserRefused);
}

// Told by the server's codes and by what the connection got to, never by the
// words of a message, which a server or a PC may give in Chinese.
void TestEngine::refusedConnectionSaysWhy()
{
    QFETCH(QString, host);
    QFETCH(QString, database);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(int, kind);
    TestApp app;
    db::ServerAddress address;
    if (host.isEmpty() || database.isEmpty()) {
        if (!TestApp::onServer())
            QSKIP("asks the test server");
        address = app.dataModule().AdoConn.serverAddress();
    }
    if (!host.isEmpty())
        address.host = host;
    if (!database.isEmpty())
        address.database = database;
    address.user = user;
    address.password = password;
    db::Connection c;
    try {
        c.openServer(address);
        QFAIL("the connection was let in");
    } catch (const db::Error& e) {
        QCOMPARE(int(e.kind()), kind);
        QVERIFY2(!e.message().isEmpty(), "no detail for the user");
        // The detail is the engine's sentence, without its code and the server's source line.
        QVERIFY2(!e.message().contains(QRegularExpression(":  [0-9A-Z]{5}: |\\.c:\\d")), qPrintable(e.message()));
    }
    QVERIFY(!c.isOpen());
}

QTEST_MAIN(TestEngine)
#include "tst_engine.moc"
