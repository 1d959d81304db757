// The hash tables under a dataset: the index that finds a key's first row
// ignoring case, and the pool that keeps each text of a column once.
#include "db/KeyIndex.h"
#include "db/TextPool.h"

#include <QtTest>

class TestKeyIndex : public QObject {
    Q_OBJECT

private slots:
    void keyFindsItsFirstRowIgnoringCase();
    void everyKeyIsFoundAfterTheTableGrows();
    void poolKeepsEachTextOnceUnderOneId();
};

void TestKeyIndex::keyFindsItsFirstRowIgnoringCase()
{
    db::KeyIndex index;
    QCOMPARE(index.find("G1"), -1);
    index.insert("G1", 0);
    index.insert("Ärmel", 1);
    index.insert("g1", 2);   // the same key: the first row stays
    index.insert("衬衫", 3);
    QCOMPARE(index.find("G1"), 0);
    QCOMPARE(index.find("g1"), 0);
    QCOMPARE(index.find("äRMEL"), 1);
    QCOMPARE(index.find("衬衫"), 3);
    // Only whole keys match.
    QCOMPARE(index.find("G"), -1);
    QCOMPARE(index.find("G10"), -1);
    QCOMPARE(index.find(""), -1);
    index.insert("", 4);
    QCOMPARE(index.find(""), 4);
}

void TestKeyIndex::everyKeyIsFoundAfterTheTableGrows()
{
    db::KeyIndex index;
    index.reserve(10);
    for (int row = 0; row < 5000; ++row)
        index.insert(QStringLiteral("G%1").arg(row), row);
    index.reserve(20000);
    int found = 0;
    for (int row = 0; row < 5000; ++row)
        found += index.find(QStringLiteral("g%1").arg(row)) == row;
    QCOMPARE(found, 5000);
    QCOMPARE(index.find("G5000"), -1);
}

void TestKeyIndex::poolKeepsEachTextOnceUnderOneId()
{
    db::TextPool pool;
    const quint32 shirt = pool.intern(QByteArrayView("衬衫"));
    QCOMPARE(pool.intern(QString("衬衫")), shirt);
    QCOMPARE(pool.text(shirt), QString("衬衫"));
    // Case counts here: the pool keeps texts as they were read.
    QVERIFY(pool.intern(QByteArrayView("A1")) != pool.intern(QByteArrayView("a1")));
    QVERIFY(pool.intern(QString("衬")) != shirt);
    const qsizetype before = pool.size();
    QList<quint32> ids;
    for (int i = 0; i < 3000; ++i)
        ids << pool.intern(QByteArrayView(QByteArray::number(i)));
    // Past many growths every text still has its id, from either form.
    int same = 0;
    for (int i = 0; i < 3000; ++i)
        same += pool.intern(QString::number(i)) == ids[i] && pool.text(ids[i]) == QString::number(i);
    QCOMPARE(same, 3000);
    QCOMPARE(pool.size(), before + 3000);
    QCOMPARE(pool.intern(QByteArrayView("衬衫")), shirt);
}

QTEST_MAIN(TestKeyIndex)
#include "tst_keyindex.moc"
