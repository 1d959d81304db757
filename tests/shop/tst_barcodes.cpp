// The barcode rules: EAN check digits, the symbology a code prints in, the
// shop's own codes and finding goods by a scanned code.
#include "TestSupport.h"

#include "shop/Barcodes.h"
#include "shop/DatabaseUpgrade.h"

#include <QtTest>

class TestBarcodes : public QObject {
    Q_OBJECT

private slots:
    void checkDigitsAndSymbology_data();
    void checkDigitsAndSymbology();
    void internalCodesAreValidAndNeverReused();
    void scannedCodeNamesBarcodeFirstThenGoodsCode();
    void generatedCodesSkipGoodsCodes();
    void clashesInOlderDataAreToldOnce();
    void codesOfEarlierRunsAreNotReissued();
};

void TestBarcodes::checkDigitsAndSymbology_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("symbology");
    const int ean13 = int(Barcodes::Symbology::Ean13);
    const int ean8 = int(Barcodes::Symbology::Ean8);
    const int code128 = int(Barcodes::Symbology::Code128);
    QTest::newRow("EAN-13") << "4006381333931" << true << ean13;
    QTest::newRow("EAN-13 wrong check") << "4006381333932" << false << code128;
    QTest::newRow("EAN-13 check 0") << "6901234567892" << true << ean13;
    QTest::newRow("EAN-8") << "73513537" << true << ean8;
    QTest::newRow("EAN-8 wrong check") << "73513536" << false << code128;
    QTest::newRow("12 digits") << "400638133393" << false << code128;
    QTest::newRow("letters") << "T001-XL" << false << code128;
}

void TestBarcodes::checkDigitsAndSymbology()
{
    QFETCH(QString, code);
    QFETCH(bool, valid);
    QFETCH(int, symbology);
    QCOMPARE(Barcodes::hasValidCheck(code), valid);
    QCOMPARE(int(Barcodes::symbology(code)), symbology);
}

void TestBarcodes::internalCodesAreValidAndNeverReused()
{
    TestApp app;
    for (const char* code : {"A1", "A2", "A3"})
        app.exec("insert into goods(gods_code,gods_name) values(:p1,'x')", {QString::fromLatin1(code)});
    app.exec("insert into goods(gods_code,gods_name,bar_code) values('B1','y','4006381333931')");
    db::Connection& c = app.dataModule().AdoConn;
    QCOMPARE(Barcodes::assignInternal(c, QStringLiteral("货品资料")), 3);
    const QString a3 = app.scalar("select bar_code from goods where gods_code='A3'").toString();
    QCOMPARE(a3, QStringLiteral("2000000000022"));
    QCOMPARE(app.scalar("select bar_code from goods where gods_code='A1'").toString(), QStringLiteral("2000000000008"));
    QCOMPARE(app.scalar("select bar_code from goods where gods_code='B1'").toString(), QStringLiteral("4006381333931"));
    QVERIFY(Barcodes::hasValidCheck(a3));
    QCOMPARE(Barcodes::assignInternal(c, QStringLiteral("货品资料")), 0);

    // The goods with the highest code goes; its code is not given again.
    app.exec("delete from goods where gods_code='A3'");
    app.exec("insert into goods(gods_code,gods_name) values('A4','z')");
    QCOMPARE(Barcodes::assignInternal(c, QStringLiteral("货品资料")), 1);
    QCOMPARE(app.scalar("select bar_code from goods where gods_code='A4'").toString(), QStringLiteral("2000000000039"));
    QCOMPARE(app.scalar("select count(*) from oper_log where act_name='生成条码'").toInt(), 2);

    // Held by another goods: named; the goods itself may keep it.
    const qint64 a1 = app.scalar("select in_id from goods where gods_code='A1'").toLongLong();
    QCOMPARE(Barcodes::holder(c, QStringLiteral("4006381333931"), a1), QStringLiteral("B1 y"));
    QCOMPARE(Barcodes::holder(c, QStringLiteral("2000000000008"), a1), QString());
    QCOMPARE(Barcodes::holder(c, QStringLiteral("2000000000008"), -1), QStringLiteral("A1 x"));
}

void TestBarcodes::scannedCodeNamesBarcodeFirstThenGoodsCode()
{
    TestApp app;
    // A goods whose barcode is another goods' code: the barcode wins.
    app.exec("insert into goods(gods_code,gods_name,bar_code) values('G1','a','G2')");
    app.exec("insert into goods(gods_code,gods_name) values('G2','b')");
    db::Connection& c = app.dataModule().AdoConn;
    QCOMPARE(Barcodes::goodsFor(c, QStringLiteral("G2")), QStringLiteral("G1"));
    QCOMPARE(Barcodes::goodsFor(c, QStringLiteral("G1")), QStringLiteral("G1"));
    QCOMPARE(Barcodes::goodsFor(c, QStringLiteral("X9")), QString());
    QCOMPARE(Barcodes::cleaned(QStringLiteral("\x02 6901234567892\t\r")), QStringLiteral("6901234567892"));
}

// A goods whose code is the next internal barcode: that code is passed over.
void TestBarcodes::generatedCodesSkipGoodsCodes()
{
    TestApp app;
    app.exec("insert into goods(gods_code,gods_name,bar_code) values('2000000000008','a','4006381333931')");
    app.exec("insert into goods(gods_code,gods_name) values('A1','b'),('A2','c')");
    db::Connection& c = app.dataModule().AdoConn;
    QCOMPARE(Barcodes::assignInternal(c, QStringLiteral("货品资料")), 2);
    QCOMPARE(app.scalar("select bar_code from goods where gods_code='A1'").toString(), QStringLiteral("2000000000015"));
    QCOMPARE(app.scalar("select bar_code from goods where gods_code='A2'").toString(), QStringLiteral("2000000000022"));
}

// Barcodes that older data holds as another goods' code are reported, not
// changed, and told once; a new clash is told again.
void TestBarcodes::clashesInOlderDataAreToldOnce()
{
    TestApp app;
    app.exec("insert into goods(gods_code,gods_name) values('1002','衬衫')");
    app.exec("insert into goods(gods_code,gods_name,bar_code) values('B-100','裤','1002'),('B-200','帽','b-200')");
    db::Connection& c = app.dataModule().AdoConn;
    const QString report = DatabaseUpgrade::checkBarcodes(c);
    QVERIFY(report.contains(QStringLiteral("货品“B-100 裤”的条形码“1002”是货品“1002 衬衫”的编码")));
    QVERIFY(!report.contains(QStringLiteral("B-200")));   // its own code in another case
    QCOMPARE(app.scalar("select bar_code from goods where gods_code='B-100'").toString(), QStringLiteral("1002"));
    QCOMPARE(app.scalar("select count(*) from oper_log where act_name='条码与编码重复'").toInt(), 1);
    QCOMPARE(DatabaseUpgrade::checkBarcodes(c), QString());

    app.exec("insert into goods(gods_code,gods_name,bar_code) values('B-300','鞋','B-200')");
    QVERIFY(DatabaseUpgrade::checkBarcodes(c).contains(QStringLiteral("B-300")));
    app.exec("update goods set bar_code=null");
    QCOMPARE(DatabaseUpgrade::checkBarcodes(c), QString());
}

// Two runs, then the goods of both runs' last codes go: the next code is one
// never issued, so an old label cannot scan as the new goods.
void TestBarcodes::codesOfEarlierRunsAreNotReissued()
{
    TestApp app;
    db::Connection& c = app.dataModule().AdoConn;
    app.exec("insert into goods(gods_code,gods_name) values('A1','a'),('A2','b')");
    QCOMPARE(Barcodes::assignInternal(c, QStringLiteral("货品资料")), 2);
    app.exec("insert into goods(gods_code,gods_name) values('A3','c')");
    QCOMPARE(Barcodes::assignInternal(c, QStringLiteral("货品资料")), 1);
    QCOMPARE(app.scalar("select bar_code from goods where gods_code='A3'").toString(), QStringLiteral("2000000000022"));

    app.exec("delete from goods where gods_code in ('A2','A3')");
    app.exec("insert into goods(gods_code,gods_name) values('A4','d')");
    QCOMPARE(Barcodes::nextInternal(c), QStringLiteral("2000000000039"));
    QCOMPARE(Barcodes::assignInternal(c, QStringLiteral("货品资料")), 1);
    QCOMPARE(app.scalar("select bar_code from goods where gods_code='A4'").toString(), QStringLiteral("2000000000039"));
}

QTEST_GUILESS_MAIN(TestBarcodes)
#include "tst_barcodes.moc"
