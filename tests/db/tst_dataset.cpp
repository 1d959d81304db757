// The in-memory dataset: writing modes, look-ups, locate, master/detail, hooks.
#include "TestSupport.h"

#include "db/Error.h"

#include <QtTest>

using db::Dataset;

class TestDataset : public QObject {
    Q_OBJECT

private slots:
    void batchChangesWaitForUpdateBatch();
    void cancelBatchDropsEveryPendingChange();
    void optimisticPostIsWrittenAtOnce();
    void failedBatchLeavesDatabaseAndMemoryAsBefore();
    void writeThatChangesNoRowIsAnError();
    void distinctListRowsAreIdentifiedByValues();
    void lookupFollowsItsSource();
    void locateFindsWholeValueIgnoringCase();
    void detailFollowsMaster();
    void hookOfClosedWindowNoLongerRuns();
    void calculatedFieldsComeFromTheOwnersHook();
    void persistentFieldsOnlyAndDisplayFormat();
    void navigationAndEndOfData();
    void joinedListIsReadOnly();
    void distinctRowWithNullsKeepsItsIdentity_data();
    void distinctRowWithNullsKeepsItsIdentity();
    void nullIsNeitherZeroNorEmptyText();
    void sharedTextChangesInOneRowOnly();
    void cancelBatchAfterManyEditsRestoresEveryRow();
    void lookupFollowsSourceRowChangesAndRemovals();
    void reopenedWithOtherFields();
};

void TestDataset::batchChangesWaitForUpdateBatch()
{
    TestApp app;
    app.exec("insert into ingoods (bill_no, gods_code, sub_amou) values ('B1', 'G1', 1)");
    Dataset* q = app.dataModule().InGoodsQ;
    q->setSql("select * from ingoods where bill_no=:bill_no");
    q->setParameter("bill_no", "B1");
    q->open();
    QCOMPARE(q->recordCount(), 1);
    q->setValue("sub_amou", 4.0);
    q->post();
    q->append();
    q->setValue("bill_no", "B1");
    q->setValue("gods_code", "G2");
    q->setValue("sub_amou", 2.5);
    q->post();
    QCOMPARE(app.scalar("select count(*) from ingoods").toInt(), 1);
    QCOMPARE(app.scalar("select sub_amou from ingoods").toDouble(), 1.0);
    QVERIFY(q->hasPendingChanges());
    q->updateBatch();
    QVERIFY(!q->hasPendingChanges());
    QCOMPARE(app.scalar("select sum(sub_amou) from ingoods").toDouble(), 6.5);
    // The new row got its counter and can be changed again by it.
    QVERIFY(!q->isNull("in_id"));
    q->setValue("sub_amou", 3.0);
    q->post();
    q->updateBatch();
    QCOMPARE(app.scalar("select sub_amou from ingoods where gods_code='G2'").toDouble(), 3.0);
}

void TestDataset::cancelBatchDropsEveryPendingChange()
{
    TestApp app;
    for (const char* code : {"G1", "G2", "G3"})
        app.exec("insert into ingoods (bill_no, gods_code, sub_amou) values ('B1', :p1, 1)", {code});
    Dataset* q = app.dataModule().InGoodsQ;
    q->setSql("select * from ingoods");
    q->open();
    q->moveTo(0);
    q->setValue("sub_amou", 9.0);
    q->post();
    q->moveTo(1);
    q->remove();
    q->append();
    q->setValue("gods_code", "G4");
    q->post();
    QCOMPARE(q->recordCount(), 3);
    q->cancelBatch();
    QCOMPARE(q->recordCount(), 3);
    QStringList codes;
    for (int row = 0; row < q->recordCount(); ++row)
        codes << q->value(row, q->fieldIndex("gods_code")).toString();
    QCOMPARE(codes, QStringList({"G1", "G2", "G3"}));
    QCOMPARE(q->value(0, q->fieldIndex("sub_amou")).toDouble(), 1.0);
    q->updateBatch();   // nothing left to write
    QCOMPARE(app.scalar("select sum(sub_amou) from ingoods").toDouble(), 3.0);
}

void TestDataset::optimisticPostIsWrittenAtOnce()
{
    TestApp app;
    Dataset* q = app.dataModule().CompanyQ;
    q->open();
    q->append();
    q->setValue("comp_code", "C01");
    q->setValue("comp_name", "红星服装");
    q->post();
    QCOMPARE(app.scalar("select comp_name from company where comp_code='C01'").toString(), QString("红星服装"));
    // A numbered table's new row shows the number the engine gave it.
    Dataset* goods = app.dataModule().GoodsQ;
    goods->open();
    goods->append();
    goods->setValue("gods_code", "G01");
    goods->post();
    QCOMPARE(goods->value("in_id").toLongLong(), app.scalar("select in_id from goods where gods_code='G01'").toLongLong());
    q->setValue("rest_tota", "12.5");
    q->post();
    QCOMPARE(app.scalar("select rest_tota from company").toDouble(), 12.5);
    q->edit();
    q->setValue("comp_name", "改了又取消");
    q->cancel();
    QCOMPARE(q->text("comp_name"), QString("红星服装"));
    q->remove();
    QCOMPARE(app.scalar("select count(*) from company").toInt(), 0);
    QVERIFY(q->isEmpty());
    // A number field refuses text that is no number, and keeps its value.
    q->append();
    QVERIFY_THROWS_EXCEPTION(db::Error, q->setValue("rest_tota", "abc"));
    q->cancel();
}

void TestDataset::failedBatchLeavesDatabaseAndMemoryAsBefore()
{
    TestApp app;
    app.exec("insert into ingoods (bill_no, gods_code, sub_amou) values ('B1', 'G1', 1)");
    Dataset* q = app.dataModule().InGoodsQ;
    q->setSql("select * from ingoods");
    q->open();
    q->append();
    q->setValue("gods_code", "NEW");
    q->post();
    q->moveTo(0);
    q->setValue("sub_amou", 5.0);
    q->post();
    // Someone else removes the row being changed: the whole batch must fail.
    app.exec("delete from ingoods");
    QVERIFY_THROWS_EXCEPTION(db::Error, q->updateBatch());
    QCOMPARE(app.scalar("select count(*) from ingoods").toInt(), 0);
    QVERIFY(q->hasPendingChanges());
    QVERIFY(!app.dataModule().AdoConn.inTransaction());
}

void TestDataset::writeThatChangesNoRowIsAnError()
{
    TestApp app;
    app.exec("insert into company (comp_code) values ('C1')");
    Dataset* q = app.dataModule().CompanyQ;
    q->open();
    app.exec("delete from company");
    q->setValue("comp_name", "x");
    QVERIFY_THROWS_EXCEPTION(db::Error, q->post());
    QCOMPARE(q->state(), Dataset::State::Edit);
    q->cancel();
    QVERIFY_THROWS_EXCEPTION(db::Error, q->remove());
}

void TestDataset::distinctListRowsAreIdentifiedByValues()
{
    TestApp app;
    app.exec("insert into baseitem (gods_color_id, gods_color) values ('01', '红')");
    app.exec("insert into baseitem (gods_color_id, gods_color) values ('01', '红')");
    app.exec("insert into baseitem (gods_size_id, gods_size) values ('01', 'XL')");
    Dataset* q = app.dataModule().ColorDefiQ;
    q->setSql("select distinct gods_color_id,gods_color from baseitem order by gods_color_id");
    q->open();
    QCOMPARE(q->recordCount(), 2);   // the size row shows as one blank row
    QVERIFY(q->locate("gods_color", "红"));
    q->setValue("gods_color", "大红");
    q->post();
    q->updateBatch();
    QCOMPARE(app.scalar("select count(*) from baseitem where gods_color='大红'").toInt(), 2);
    // Filling in the blank row adds a colour; it never overwrites the other lists' rows.
    // (first on the file, last on a server: the engines sort NULL apart)
    for (q->first(); !q->eof() && !q->isNull("gods_color"); q->next()) {
    }
    QVERIFY(!q->eof());
    q->setValue("gods_color_id", "02");
    q->setValue("gods_color", "蓝");
    q->post();
    q->updateBatch();
    QCOMPARE(app.scalar("select gods_size from baseitem where gods_size_id='01'").toString(), QString("XL"));
    QCOMPARE(app.scalar("select count(*) from baseitem where gods_color='蓝'").toInt(), 1);
    q->requery();
    QVERIFY(q->locate("gods_color", "大红"));
    q->remove();
    q->updateBatch();
    QCOMPARE(app.scalar("select count(*) from baseitem where gods_color='大红'").toInt(), 0);
    QCOMPARE(app.scalar("select count(*) from baseitem").toInt(), 2);
}

void TestDataset::lookupFollowsItsSource()
{
    TestApp app;
    app.exec("insert into goods (gods_code, gods_name) values ('G1', '男式衬衫')");
    app.exec("insert into ingoods (bill_no, gods_code) values ('B1', 'g1')");
    TFrmDataMod& dm = app.dataModule();
    QVERIFY(!dm.GoodsQ->isOpen());
    dm.InGoodsQ->setSql("select * from ingoods");
    dm.InGoodsQ->open();
    QVERIFY(dm.GoodsQ->isOpen());
    QCOMPARE(dm.InGoodsQ->text("gods_name"), QString("男式衬衫"));
    dm.GoodsQ->close();
    QCOMPARE(dm.InGoodsQ->text("gods_name"), QString());
    dm.GoodsQ->open();
    QCOMPARE(dm.InGoodsQ->displayText("gods_name"), QString("男式衬衫"));
    // A changed source row is seen by the look-up at once.
    dm.GoodsQ->setValue("gods_name", "女式衬衫");
    dm.GoodsQ->post();
    QCOMPARE(dm.InGoodsQ->text("gods_name"), QString("女式衬衫"));
}

void TestDataset::locateFindsWholeValueIgnoringCase()
{
    TestApp app;
    for (const char* code : {"A1", "A10", "b2"})
        app.exec("insert into goods (gods_code) values (:p1)", {code});
    Dataset* q = app.dataModule().GoodsFindQ;
    q->open();
    QVERIFY(q->locate("gods_code", "B2"));
    QCOMPARE(q->text("gods_code"), QString("b2"));
    QVERIFY(!q->locate("gods_code", "A"));   // no partial match
    QCOMPARE(q->text("gods_code"), QString("b2"));
    QVERIFY(q->locate("gods_code", "a10"));
    QCOMPARE(q->currentRow(), 1);
    QCOMPARE(q->find("in_id", 1), 0);
    QCOMPARE(q->find("gods_code", QVariant()), -1);
}

void TestDataset::detailFollowsMaster()
{
    TestApp app;
    app.exec("insert into inmain (bill_no) values ('B1')");
    app.exec("insert into inmain (bill_no) values ('B2')");
    app.exec("insert into ingoods (bill_no, gods_code) values ('B1', 'X')");
    app.exec("insert into ingoods (bill_no, gods_code) values ('B2', 'Y')");
    app.exec("insert into ingoods (bill_no, gods_code) values ('B2', 'Z')");
    TFrmDataMod& dm = app.dataModule();
    dm.InFindQ->setSql("select * from inmain order by bill_no");
    Dataset* lines = dm.TempQ;
    lines->setSql("select * from ingoods where bill_no=:bill_no");
    lines->setMaster(dm.InFindQ, "bill_no", "bill_no");
    dm.InFindQ->open();
    lines->open();
    QCOMPARE(lines->recordCount(), 1);
    dm.InFindQ->next();
    QCOMPARE(lines->recordCount(), 2);
    dm.InFindQ->first();
    QCOMPARE(lines->text("gods_code"), QString("X"));
    lines->setMaster(nullptr, {}, {});
    dm.InFindQ->next();
    QCOMPARE(lines->recordCount(), 1);
}

void TestDataset::hookOfClosedWindowNoLongerRuns()
{
    TestApp app;
    Dataset* q = app.dataModule().CompanyQ;
    q->open();
    int calls = 0;
    auto* window = new QObject;
    q->addHook(Dataset::Hook::NewRecord, window, [&calls](Dataset& d) {
        ++calls;
        d.setValue("comp_type", "客户");
    });
    q->append();
    QCOMPARE(calls, 1);
    QCOMPARE(q->text("comp_type"), QString("客户"));
    q->cancel();
    delete window;
    QCOMPARE(q->hookCount(), 0);
    q->append();
    QCOMPARE(calls, 1);
    QVERIFY(q->isNull("comp_type"));
    q->cancel();
    // A before-post hook that throws keeps the row in its edit state.
    QObject owner;
    q->addHook(Dataset::Hook::BeforePost, &owner, [](Dataset&) { throw db::Error("编码不能为空"); });
    q->append();
    QVERIFY_THROWS_EXCEPTION(db::Error, q->post());
    QCOMPARE(q->state(), Dataset::State::Insert);
    q->removeHooks(&owner);
    q->cancel();
}

void TestDataset::calculatedFieldsComeFromTheOwnersHook()
{
    TestApp app;
    app.exec("insert into ingoods (bill_no, gods_code, sub_amou, unit_pric) values ('B', 'G', 3, 2.555)");
    Dataset* q = app.dataModule().InGoodsQ;
    q->setSql("select * from ingoods");
    q->open();
    QVERIFY(q->isNull("sub_tota"));
    QObject window;
    q->addHook(Dataset::Hook::Calculate, &window,
               [](Dataset& d) { d.setCalculated("sub_tota", d.number("sub_amou") * d.number("unit_pric")); });
    QCOMPARE(q->number("sub_tota"), 3 * 2.555);
    QCOMPARE(q->displayText("sub_tota"), QString("7.67"));
    QCOMPARE(q->displayText("unit_pric"), QString("2.56"));
    q->setValue("sub_amou", 4);
    QCOMPARE(q->displayText("sub_tota"), QString("10.22"));
    q->cancel();
}

void TestDataset::persistentFieldsOnlyAndDisplayFormat()
{
    TestApp app;
    app.exec("insert into storemain (gods_code, gods_amou, cost_pric) values ('G', 10, 12.5)");
    TFrmDataMod& dm = app.dataModule();
    dm.AlarmQ->open();
    QVERIFY(!dm.AlarmQ->hasField("cost_pric"));
    QCOMPARE(dm.AlarmQ->field(0).name, QString("gods_code"));
    QCOMPARE(dm.AlarmQ->field(1).name, QString("gods_amou"));
    // A dataset without declared fields takes every column, and drops them on close.
    dm.TempQ->setSql("select gods_code, cost_pric*2 as twice from storemain");
    dm.TempQ->open();
    QCOMPARE(dm.TempQ->fieldNames(), QStringList({"gods_code", "twice"}));
    QCOMPARE(dm.TempQ->number("twice"), 25.0);
    dm.TempQ->setSql("select count(*) as n from goods");
    dm.TempQ->open();
    QCOMPARE(dm.TempQ->fieldNames(), QStringList({"n"}));
    // A declared field the statement lacks is reported, not silently blank.
    dm.StoreQ->setSql("select gods_code from storemain");
    QVERIFY_THROWS_EXCEPTION(db::Error, dm.StoreQ->open());
    QVERIFY(!dm.StoreQ->isOpen());
}

void TestDataset::navigationAndEndOfData()
{
    TestApp app;
    for (int i = 0; i < 3; ++i)
        app.exec("insert into company (comp_code) values (:p1)", {QString("C%1").arg(i)});
    Dataset* q = app.dataModule().CompanyQ;
    q->open();
    QStringList walked;
    for (q->first(); !q->eof(); q->next())
        walked << q->text("comp_code");
    QCOMPARE(walked, QStringList({"C0", "C1", "C2"}));
    q->last();
    QCOMPARE(q->currentRow(), 2);
    q->prior();
    QCOMPARE(q->text("comp_code"), QString("C1"));
    // Moving away from an edited row posts it.
    q->setValue("comp_name", "移走时保存");
    q->next();
    QCOMPARE(app.scalar("select comp_name from company where comp_code='C1'").toString(), QString("移走时保存"));
    q->close();
    q->setSql("select * from company where comp_code='none'");
    q->open();
    QVERIFY(q->eof() && q->bof() && q->currentRow() == -1);
}

void TestDataset::joinedListIsReadOnly()
{
    TestApp app;
    app.exec("insert into outmain (bill_no, comp_code) values ('B', 'C')");
    app.exec("insert into outgoods (bill_no, gods_code, sub_amou, unit_pric) values ('B', 'G', 1, 5)");
    app.exec("insert into outgoods (bill_no, gods_code, sub_amou, unit_pric) values ('B', 'G', 1, 5)");
    Dataset* q = app.dataModule().OutListQ;
    q->open();
    QCOMPARE(q->recordCount(), 2);   // two equal genuine lines both count
    QVERIFY(!q->isWritable());
    q->setValue("sub_amou", 3);
    QVERIFY_THROWS_EXCEPTION(db::Error, q->post());
    q->cancel();
}

void TestDataset::distinctRowWithNullsKeepsItsIdentity_data()
{
    QTest::addColumn<bool>("batch");
    QTest::addColumn<bool>("remove");
    QTest::addColumn<QString>("color");   // the row acted on: a colour, or "" for the row without one
    QTest::addColumn<int>("redLeft");
    QTest::addColumn<int>("blankLeft");
    QTest::newRow("edit the row with a NULL, batch") << true << false << "" << 2 << 0;
    QTest::newRow("edit the row with a NULL, at once") << false << false << "" << 2 << 0;
    QTest::newRow("delete the row with a NULL, batch") << true << true << "" << 2 << 0;
    QTest::newRow("delete the full row, at once") << false << true << "红" << 0 << 1;
    QTest::newRow("edit the full row, batch") << true << false << "红" << 0 << 1;
}

// A row of a distinct list whose colour is NULL shares its id with a full row:
// whatever is done to one must leave the other's base rows alone.
void TestDataset::distinctRowWithNullsKeepsItsIdentity()
{
    QFETCH(bool, batch);
    QFETCH(bool, remove);
    QFETCH(QString, color);
    QFETCH(int, redLeft);
    QFETCH(int, blankLeft);
    TestApp app;
    app.exec("insert into baseitem (gods_color_id, gods_color) values ('01', '红')");
    app.exec("insert into baseitem (gods_color_id, gods_color) values ('01', '红')");
    app.exec("insert into baseitem (gods_color_id, gods_color) values ('01', null)");
    Dataset* q = app.dataModule().TempQ;
    q->setSql("select distinct gods_color_id, gods_color from baseitem order by gods_color");
    q->setLocking(batch ? Dataset::Locking::Batch : Dataset::Locking::Optimistic);
    q->open();
    QCOMPARE(q->recordCount(), 2);
    for (q->first(); !q->eof() && q->text("gods_color") != color; q->next()) {
    }
    QCOMPARE(q->text("gods_color"), color);
    if (remove) {
        q->remove();
    } else {
        q->setValue("gods_color", "绿");
        q->post();
    }
    if (batch)
        q->updateBatch();
    QCOMPARE(app.scalar("select count(*) from baseitem where gods_color='红'").toInt(), redLeft);
    QCOMPARE(app.scalar("select count(*) from baseitem where gods_color is null").toInt(), blankLeft);
    QCOMPARE(app.scalar("select count(*) from baseitem where gods_color='绿'").toInt(),
             remove ? 0 : (color.isEmpty() ? 1 : 2));
}

void TestDataset::nullIsNeitherZeroNorEmptyText()
{
    TestApp app;
    app.exec("insert into ingoods (bill_no, sub_amou, remark) values ('N', null, null)");
    app.exec("insert into ingoods (bill_no, sub_amou, remark) values ('Z', 0, '')");
    Dataset* q = app.dataModule().InGoodsQ;
    q->setSql("select * from ingoods order by bill_no");
    q->open();
    QVERIFY(q->isNull("sub_amou") && q->isNull("remark"));
    QCOMPARE(q->number("sub_amou"), 0.0);   // NULL reads as 0 but stays NULL
    QCOMPARE(q->displayText("sub_amou"), QString());
    q->next();
    QVERIFY(!q->isNull("sub_amou") && !q->isNull("remark"));
    QCOMPARE(q->displayText("sub_amou"), QString("0"));
    QCOMPARE(q->find("sub_amou", 0), 1);
    QCOMPARE(q->find("sub_amou", QVariant()), -1);
    // Changing other fields writes NULL, 0 and empty text back as they were.
    for (int row = 0; row < 2; ++row) {
        q->moveTo(row);
        q->setValue("gods_code", "G");
        q->post();
    }
    q->updateBatch();
    QCOMPARE(app.scalar("select count(*) from ingoods where sub_amou is null and remark is null").toInt(), 1);
    QCOMPARE(app.scalar("select count(*) from ingoods where sub_amou = 0 and remark = ''").toInt(), 1);
    // Empty text clears a number; 0 given to a NULL number is a value.
    q->moveTo(0);
    q->setValue("sub_amou", 0);
    q->moveTo(1);
    q->setValue("sub_amou", "");
    QVERIFY(q->isNull("sub_amou"));
    q->post();
    q->updateBatch();
    QCOMPARE(app.scalar("select sub_amou from ingoods where bill_no='N'"), QVariant(0.0));
    QVERIFY(app.scalar("select sub_amou from ingoods where bill_no='Z'").isNull());
}

void TestDataset::sharedTextChangesInOneRowOnly()
{
    TestApp app;
    for (int i = 0; i < 40; ++i)
        app.exec("insert into ingoods (bill_no, gods_code, sub_amou) values ('B1', 'G1', :p1)", {i});
    Dataset* q = app.dataModule().InGoodsQ;
    q->setSql("select * from ingoods order by sub_amou");
    q->open();
    const int code = q->fieldIndex("gods_code");
    QCOMPARE(q->find("gods_code", "g1"), 0);
    q->moveTo(17);
    q->setValue("gods_code", "G2");
    q->post();
    q->moveTo(30);
    q->setValue("gods_code", "G2");
    q->cancel();   // a cancelled change leaves the shared value too
    QStringList codes;
    for (int row = 0; row < q->recordCount(); ++row)
        codes << q->value(row, code).toString();
    QCOMPARE(codes.count("G1"), 39);
    QCOMPARE(codes.at(17), QString("G2"));
    QCOMPARE(q->find("gods_code", "G2"), 17);
    QCOMPARE(q->find("gods_code", "G1"), 0);
    q->updateBatch();
    QCOMPARE(app.scalar("select count(*) from ingoods where gods_code='G1'").toInt(), 39);
    QCOMPARE(app.scalar("select sub_amou from ingoods where gods_code='G2'").toInt(), 17);
    QCOMPARE(app.scalar("select count(*) from ingoods where bill_no='B1'").toInt(), 40);
}

void TestDataset::cancelBatchAfterManyEditsRestoresEveryRow()
{
    TestApp app;
    const int rows = 300;
    for (int i = 0; i < rows; ++i)
        app.exec("insert into ingoods (bill_no, gods_code, sub_amou) values ('B', :p1, :p2)",
                 {QString("G%1").arg(i), i});
    Dataset* q = app.dataModule().InGoodsQ;
    q->setSql("select * from ingoods order by sub_amou");
    q->open();
    for (int row = 0; row < rows; ++row) {
        q->moveTo(row);
        q->setValue("sub_amou", 1000 + row);
        q->setValue("gods_code", "X");
        q->post();
    }
    // Edited rows deleted, new rows added, and one edit still open.
    for (int row : {250, 100, 3}) {
        q->moveTo(row);
        q->remove();
    }
    for (int i = 0; i < 5; ++i) {
        q->append();
        q->setValue("gods_code", "NEW");
        q->post();
    }
    q->moveTo(7);
    q->setValue("remark", "未完");
    QVERIFY(q->hasPendingChanges());
    q->cancelBatch();
    QVERIFY(!q->hasPendingChanges());
    QCOMPARE(q->recordCount(), rows);
    const int amount = q->fieldIndex("sub_amou"), code = q->fieldIndex("gods_code");
    for (int row = 0; row < rows; ++row) {
        QCOMPARE(q->value(row, amount).toInt(), row);
        QCOMPARE(q->value(row, code).toString(), QString("G%1").arg(row));
    }
    QCOMPARE(q->find("gods_code", "G250"), 250);
    QCOMPARE(q->find("gods_code", "X"), -1);
    q->updateBatch();
    QCOMPARE(app.scalar("select count(*) from ingoods").toInt(), rows);
    QCOMPARE(app.scalar("select sum(sub_amou) from ingoods").toInt(), rows * (rows - 1) / 2);
}

void TestDataset::lookupFollowsSourceRowChangesAndRemovals()
{
    TestApp app;
    for (const char* code : {"G1", "G2", "G3"})
        app.exec("insert into goods (gods_code, gods_name, gods_unit) values (:p1, :p2, '件')",
                 {code, QString("货品") + code});
    for (const char* code : {"G1", "G2", "G3", "G1", "G9"})
        app.exec("insert into ingoods (bill_no, gods_code) values ('B', :p1)", {code});
    TFrmDataMod& dm = app.dataModule();
    Dataset* lines = dm.InGoodsQ;
    lines->setSql("select * from ingoods order by in_id");
    lines->open();
    Dataset* goods = dm.GoodsQ;
    const int name = lines->fieldIndex("gods_name"), unit = lines->fieldIndex("gods_unit");
    auto names = [&] {
        QStringList shown;
        for (int row = 0; row < lines->recordCount(); ++row)
            shown << lines->value(row, name).toString();
        return shown;
    };
    QCOMPARE(names(), QStringList({"货品G1", "货品G2", "货品G3", "货品G1", ""}));
    QCOMPARE(lines->value(2, unit).toString(), QString("件"));
    // The source row's key changes: lines keyed by the old code find nothing.
    QVERIFY(goods->locate("gods_code", "G2"));
    goods->setValue("gods_code", "G9");
    goods->post();
    QCOMPARE(names(), QStringList({"货品G1", "", "货品G3", "货品G1", "货品G2"}));
    // A source row disappears: the rows after it move up, and no line shows a neighbour.
    QVERIFY(goods->locate("gods_code", "G1"));
    goods->remove();
    QCOMPARE(names(), QStringList({"", "", "货品G3", "", "货品G2"}));
    // The line's own key changes.
    lines->moveTo(0);
    lines->setValue("gods_code", "g3");
    QCOMPARE(lines->text("gods_name"), QString("货品G3"));
    QCOMPARE(lines->text("gods_unit"), QString("件"));
    lines->cancel();
    QCOMPARE(lines->text("gods_name"), QString());
    // A source row added later is found by the line that found nothing before.
    goods->append();
    goods->setValue("gods_code", "G1");
    goods->setValue("gods_name", "新货品");
    goods->post();
    QCOMPARE(names(), QStringList({"新货品", "", "货品G3", "新货品", "货品G2"}));
    goods->requery();
    QCOMPARE(names(), QStringList({"新货品", "", "货品G3", "新货品", "货品G2"}));
}

void TestDataset::reopenedWithOtherFields()
{
    TestApp app;
    app.exec("insert into goods (gods_code, gods_name) values ('G1', '衬衫')");
    app.exec("insert into storchek (gods_code, chek_amou, chek_date) values ('G1', 2.5, '2026-03-05 14:30:00')");
    Dataset* q = app.dataModule().TempQ;
    q->setSql("select gods_code as x, gods_name from goods");
    q->open();
    QCOMPARE(q->fieldNames(), QStringList({"x", "gods_name"}));
    QCOMPARE(q->text("x"), QString("G1"));
    q->setSql("select chek_amou as x, chek_date, gods_code from storchek");
    q->open();
    QCOMPARE(q->fieldNames(), QStringList({"x", "chek_date", "gods_code"}));
    QCOMPARE(q->number("x"), 2.5);
    QCOMPARE(q->value("chek_date").toDateTime(), QDateTime(QDate(2026, 3, 5), QTime(14, 30)));
    QCOMPARE(q->displayText("chek_date"), QString("2026-03-05 14:30:00"));
    QCOMPARE(q->find("chek_date", QDate(2026, 3, 5)), -1);
    QCOMPARE(q->find("chek_date", QDateTime(QDate(2026, 3, 5), QTime(14, 30))), 0);
    q->setValue("chek_date", QDate(2026, 3, 6));
    q->post();
    QCOMPARE(app.scalar("select chek_date from storchek").toString(), QString("2026-03-06 00:00:00"));
    QCOMPARE(q->displayText("chek_date"), QString("2026-03-06"));
    q->setSql("select gods_code from storchek");
    q->open();
    QCOMPARE(q->fieldNames(), QStringList({"gods_code"}));
    QVERIFY(!q->hasField("x"));
    QCOMPARE(q->text("gods_code"), QString("G1"));
}

QTEST_MAIN(TestDataset)
#include "tst_dataset.moc"
