// The shared helpers: capital amounts, combo lists, look-up, time stamp.
#include "TestSupport.h"

#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "db/Error.h"

#include <QComboBox>
#include <QDateTime>
#include <QRegularExpression>
#include <QtTest>

class TestHelpers : public QObject {
    Q_OBJECT

private slots:
    void capitalAmount_data();
    void capitalAmount();
    void comboFillKeepsUntrimmedValuesAndSkipsBlanks();
    void comboMergeAddsOnlyMissingValues();
    void lookupReturnsEmptyOnlyWhenNotFound();
    void timeStampHasFourteenDigits();
};

void TestHelpers::capitalAmount_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("words");
    // As accounting writes it: a run of zeros is one 零, 整 after 圆 or 角, never after 分.
    QTest::newRow("600") << 600.0 << "陆佰圆整";
    QTest::newRow("604") << 604.0 << "陆佰零肆圆整";
    QTest::newRow("1050.5") << 1050.5 << "壹仟零伍拾圆伍角整";
    QTest::newRow("1234.5") << 1234.5 << "壹仟贰佰叁拾肆圆伍角整";
    QTest::newRow("100") << 100.0 << "壹佰圆整";
    QTest::newRow("10") << 10.0 << "壹拾圆整";
    QTest::newRow("0") << 0.0 << "零圆整";
    QTest::newRow("0.05") << 0.05 << "伍分";
    QTest::newRow("-0.05") << -0.05 << "负伍分";
    QTest::newRow("0.5") << 0.5 << "伍角整";
    QTest::newRow("jiao skipped") << 1000.05 << "壹仟圆零伍分";
    QTest::newRow("binary fraction 0.29") << 0.29 << "贰角玖分";
    QTest::newRow("rounded to fen") << 12.345 << "壹拾贰圆叁角伍分";
    QTest::newRow("ten thousands") << 30005.0 << "叁万零伍圆整";
    QTest::newRow("zeros across 万") << 1000500.0 << "壹佰万零伍佰圆整";
    QTest::newRow("whole 万") << 100000.0 << "壹拾万圆整";
    QTest::newRow("99999999.99") << 99999999.99 << "玖仟玖佰玖拾玖万玖仟玖佰玖拾玖圆玖角玖分";
    QTest::newRow("亿") << 100000001.0 << "壹亿零壹圆整";
    QTest::newRow("largest amount") << 999999999.99 << "玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖圆玖角玖分";
    QTest::newRow("a trillion") << 1e12 << "";
}

void TestHelpers::capitalAmount()
{
    QFETCH(double, amount);
    QFETCH(QString, words);
    QCOMPARE(DataHelpers::capitalAmount(amount), words);
}

void TestHelpers::comboFillKeepsUntrimmedValuesAndSkipsBlanks()
{
    TestApp app;
    for (const QVariant& v : {QVariant("A"), QVariant(" A"), QVariant(), QVariant("  ")})
        app.exec("insert into goods (gods_face) values (:p1)", {v});
    QComboBox box;
    box.addItem("old");
    DataHelpers::fillCombo("goods", "gods_face", &box);
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    items.sort();
    QCOMPARE(items, QStringList({" A", "A"}));
}

void TestHelpers::comboMergeAddsOnlyMissingValues()
{
    TestApp app;
    app.exec("insert into goods (gods_face) values (' A')");
    app.exec("insert into goods (gods_face) values ('B')");
    app.exec("insert into goods (gods_face) values (null)");
    QComboBox box;
    box.setEditable(true);
    box.addItems({"A", "棉"});
    DataHelpers::mergeCombo("goods", "gods_face", &box);
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    QCOMPARE(items, QStringList({"A", "棉", "B"}));   // " A" trims to an existing item
    QComboBox empty;
    DataHelpers::mergeCombo("goods", "gods_face", &empty);
    QCOMPARE(empty.count(), 2);
}

void TestHelpers::lookupReturnsEmptyOnlyWhenNotFound()
{
    TestApp app;
    app.exec("insert into company (comp_code, comp_name) values ('C1', '红星')");
    app.exec("insert into baseitem (mone_type, mone_rate) values ('美元', 7.1)");
    // A statement of its own: the shared TempQ a caller may be reading stays as it was.
    db::Dataset* temp = app.dataModule().TempQ;
    temp->close();
    temp->setSql("select mone_type from baseitem");
    temp->open();
    QCOMPARE(DataHelpers::lookup("company", "comp_code", " c1 ", "comp_name"), QString("红星"));
    QCOMPARE(temp->sql(), QString("select mone_type from baseitem"));
    QVERIFY(temp->isOpen());
    QCOMPARE(temp->value(0, 0).toString(), QString("美元"));
    QCOMPARE(DataHelpers::lookup("baseitem", "mone_type", "美元", "mone_rate"), QString("7.1"));
    QCOMPARE(DataHelpers::lookup("company", "comp_code", "C9", "comp_name"), QString());
    // A failure is no "not found": it reaches the caller (the price is never cleared by it).
    QVERIFY_THROWS_EXCEPTION(db::Error, DataHelpers::lookup("company", "comp_code", "C1", "comp_nmae"));
    QCOMPARE(DataHelpers::lookup("company", "comp_code", "x\" or \"1\"=\"1", "comp_name"), QString());
    QCOMPARE(app.dialogs().messages.size(), 0);
}

void TestHelpers::timeStampHasFourteenDigits()
{
    const QString before = QDateTime::currentDateTime().toString("yyyyMMddhhmmss");
    const QString stamp = DataHelpers::timeStamp();
    const QString after = QDateTime::currentDateTime().toString("yyyyMMddhhmmss");
    QVERIFY(QRegularExpression("^\\d{14}$").match(stamp).hasMatch());
    QVERIFY(stamp >= before && stamp <= after);
}

QTEST_MAIN(TestHelpers)
#include "tst_helpers.moc"
