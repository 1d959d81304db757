// Deleting in the catalogue windows: the row and its line in the change log go
// in one transaction, so a log line that cannot be written keeps the row.
#include "TestSupport.h"
#include "WindowDriver.h"

#include "db/Dataset.h"
#include "masterdata/TFrmCompany.h"
#include "masterdata/TFrmEmployee.h"
#include "masterdata/TFrmGoods.h"
#include "masterdata/TFrmPower.h"

#include <QtTest>
#include <memory>

using namespace WindowDriver;

class TestDeletionLog : public QObject {
    Q_OBJECT

private slots:
    void unloggedDeletionKeepsTheRow_data();
    void unloggedDeletionKeepsTheRow();
};

void TestDeletionLog::unloggedDeletionKeepsTheRow_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("button");
    QTest::newRow("goods") << "goods" << "gods_code" << "G9" << "cmd_dele";
    QTest::newRow("companies") << "company" << "comp_code" << "C9" << "cmd_dele";
    QTest::newRow("employees") << "employee" << "empl_code" << "E9" << "BitBtn6";
    QTest::newRow("rights") << "powers" << "user_id" << "E9" << "cmd_dele";
}

void TestDeletionLog::unloggedDeletionKeepsTheRow()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QString, code);
    QFETCH(QString, button);
    TestApp app;
    app.exec("insert into goods (gods_code, gods_name) values ('G9', '衬衫')");
    app.exec("insert into company (comp_code, comp_name) values ('C9', '华美')");
    app.exec("insert into employee (empl_code, empl_name) values ('E9', '张三')");
    app.exec("insert into powers (user_id, pow_use) values ('E9', '1')");
    const QString count = QStringLiteral("select count(*) from %1 where %2=:p1").arg(table, column);

    std::unique_ptr<QWidget> window;
    if (table == "goods")
        window = std::make_unique<TFrmGoods>();
    else if (table == "company")
        window = std::make_unique<TFrmCompany>();
    else if (table == "employee")
        window = std::make_unique<TFrmEmployee>();
    else
        window = std::make_unique<TFrmPower>();
    TFrmDataMod& data = app.dataModule();
    db::Dataset* dataset = table == "goods"      ? data.GoodsQ
                           : table == "company"  ? data.CompanyQ
                           : table == "employee" ? data.EmployeeQ
                                                 : data.PowerQ;
    showWindow(*window);
    QVERIFY(dataset->locate(column, code));

    app.refuse("no_log", "insert", "oper_log", {}, "disk full");
    click(*window, button.toLatin1().constData());
    QVERIFY(!app.dialogs().messages.isEmpty());
    QCOMPARE(app.scalar(count, {code}).toInt(), 1);
    QCOMPARE(app.scalar("select count(*) from oper_log").toInt(), 0);

    // The log writable again, the same deletion goes through with its line.
    app.allow("no_log", "oper_log");
    app.dialogs().clear();
    dataset->close();
    dataset->open();
    QVERIFY(dataset->locate(column, code));
    click(*window, button.toLatin1().constData());
    QCOMPARE(app.scalar(count, {code}).toInt(), 0);
    QCOMPARE(app.scalar("select count(*) from oper_log where act_name='删除' and log_key=:p1", {code}).toInt(), 1);
}

QTEST_MAIN(TestDeletionLog)
#include "tst_deletionlog.moc"
