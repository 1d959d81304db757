// The table model over a dataset: signals in step with the dataset, roles, flags, writing.
#include "TestSupport.h"

#include "db/Dataset.h"
#include "ui/DatasetModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

class TestDatasetModel : public QObject {
    Q_OBJECT

private slots:
    void optimisticDatasetUnderTester();
    void batchDatasetUnderTester();
    void disabledControlsHideChangesUntilEnabled();
    void rolesShowFormatsLookupsAndCalculations();
    void lookupColumnFollowsItsSource();
    void columnsAndEditableFlags();
    void setDataMovesTheRowAndWrites();
    void refusedValueIsShownAndLeavesTheOldValue();
};

namespace {

void addCompanies(TestApp& app, int count)
{
    for (int i = 1; i <= count; ++i)
        app.exec("insert into company(comp_code, comp_name) values(:p1, :p2)",
                 {QString("C%1").arg(i), QString("公司%1").arg(i)});
}

void addGoods(TestApp& app)
{
    app.exec("insert into goods(gods_code, gods_name, mate_pric) values('G1', '衬衫', 12.5)");
    app.exec("insert into goods(gods_code, gods_name, mate_pric) values('G2', '长裤', 30)");
    app.exec("insert into ingoods(bill_no, gods_code, sub_amou, unit_pric) values('B1', 'G1', 2, 12.345)");
    app.exec("insert into ingoods(bill_no, gods_code, sub_amou, unit_pric) values('B1', 'G2', 1.5, 30)");
    app.exec("insert into ingoods(bill_no, gods_code, sub_amou, unit_pric) values('B1', 'G9', 1, 1)");
}

} // namespace

void TestDatasetModel::optimisticDatasetUnderTester()
{
    TestApp app;
    addCompanies(app, 3);
    db::Dataset* ds = app.dataModule().CompanyQ;
    ui::DatasetModel model(ds);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 0);   // closed, no fields declared
    ds->open();
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), ds->fieldCount());
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("comp_name"));

    ds->append();
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 3);
    QCOMPARE(model.rowCount(), 4);
    ds->setValue("comp_code", "C4");
    ds->setValue("comp_name", "新公司");
    QVERIFY(!changed.isEmpty());
    QCOMPARE(changed.last().at(0).value<QModelIndex>().row(), 3);
    QCOMPARE(changed.last().at(1).value<QModelIndex>().column(), model.columnCount() - 1);
    ds->post();
    QCOMPARE(app.scalar("select count(*) from company").toInt(), 4);
    QCOMPARE(model.index(3, 1).data().toString(), QString("新公司"));

    ds->append();
    ds->cancel();
    QCOMPARE(removed.size(), 1);
    QCOMPARE(model.rowCount(), 4);

    ds->moveTo(0);
    ds->setValue("comp_name", "改过");
    QCOMPARE(model.index(0, 1).data().toString(), QString("改过"));
    ds->cancel();
    QCOMPARE(model.index(0, 1).data().toString(), QString("公司1"));

    ds->moveTo(1);
    ds->remove();
    QCOMPARE(removed.size(), 2);
    QCOMPARE(removed.last().at(1).toInt(), 1);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(app.scalar("select count(*) from company").toInt(), 3);

    app.exec("insert into company(comp_code, comp_name) values('C9', '外来')");
    const int resetsBefore = resets.size();
    ds->requery();
    QVERIFY(resets.size() > resetsBefore);
    QCOMPARE(model.rowCount(), 4);

    ds->close();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 0);
    QVERIFY(!model.index(0, 0).isValid());
}

void TestDatasetModel::batchDatasetUnderTester()
{
    TestApp app;
    addGoods(app);
    db::Dataset* ds = app.dataModule().InGoodsQ;
    ui::DatasetModel model(ds);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    ds->open();
    QCOMPARE(model.rowCount(), 3);
    const int amount = model.columnOfField("sub_amou");

    ds->append();
    ds->setValue("gods_code", "G2");
    ds->append();   // posts the first new line into memory
    ds->setValue("gods_code", "G1");
    ds->post();
    ds->moveTo(0);
    ds->setValue("sub_amou", 9);
    ds->post();
    ds->moveTo(1);
    ds->remove();
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.index(0, amount).data().toString(), QString("9"));

    ds->cancelBatch();
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.index(0, amount).data().toString(), QString("2"));
    QCOMPARE(model.index(1, amount).data().toString(), QString("1.5"));
    QCOMPARE(app.scalar("select count(*) from ingoods").toInt(), 3);
}

void TestDatasetModel::disabledControlsHideChangesUntilEnabled()
{
    TestApp app;
    addCompanies(app, 3);
    db::Dataset* ds = app.dataModule().CompanyQ;
    ds->open();
    ui::DatasetModel model(ds);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

    ds->disableControls();
    ds->moveTo(2);
    ds->remove();
    ds->remove();
    ds->append();
    ds->setValue("comp_code", "C7");
    ds->post();
    // Views were told nothing, so the model still answers with the rows they know.
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(inserted.size(), 0);
    for (int row = 0; row < model.rowCount(); ++row)
        model.index(row, 0).data();   // must not read past the dataset's rows
    ds->enableControls();
    QCOMPARE(resets.size(), 1);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.index(1, 0).data().toString(), QString("C7"));
}

void TestDatasetModel::rolesShowFormatsLookupsAndCalculations()
{
    TestApp app;
    addGoods(app);
    db::Dataset* ds = app.dataModule().InGoodsQ;
    QObject window;
    ds->addHook(db::Dataset::Hook::Calculate, &window, [](db::Dataset& d) {
        d.setCalculated("sub_tota", d.number("sub_amou") * d.number("unit_pric"));
    });
    ds->open();
    ui::DatasetModel model(ds);
    const int name = model.columnOfField("gods_name");
    const int price = model.columnOfField("unit_pric");
    const int total = model.columnOfField("sub_tota");
    const int code = model.columnOfField("gods_code");
    QVERIFY(name >= 0 && price >= 0 && total >= 0 && code >= 0);

    QCOMPARE(model.index(0, name).data().toString(), QString("衬衫"));
    QCOMPARE(model.index(1, name).data().toString(), QString("长裤"));
    QCOMPARE(model.index(2, name).data().toString(), QString());   // unknown goods code
    QCOMPARE(model.index(0, price).data().toString(), QString("12.35"));
    QCOMPARE(model.index(0, price).data(Qt::EditRole).toDouble(), 12.345);
    QCOMPARE(model.index(1, total).data().toString(), QString("45"));
    QCOMPARE(model.index(0, total).data().toString(), QString("24.69"));

    const auto alignment = [&](int column) {
        return model.index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask;
    };
    QCOMPARE(alignment(price), Qt::Alignment(Qt::AlignRight));
    QCOMPARE(alignment(total), Qt::Alignment(Qt::AlignRight));
    QCOMPARE(alignment(code), Qt::Alignment(Qt::AlignLeft));
}

void TestDatasetModel::lookupColumnFollowsItsSource()
{
    TestApp app;
    addGoods(app);
    db::Dataset* ds = app.dataModule().InGoodsQ;
    db::Dataset* goods = app.dataModule().GoodsQ;
    ui::DatasetModel model(ds);
    model.addColumn("gods_code", "商品编号");
    model.addColumn("gods_name", "商品名称");
    ds->open();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    QVERIFY(goods->locate("gods_code", "G1"));
    goods->setValue("gods_name", "短袖衬衫");
    goods->post();
    QVERIFY(!changed.isEmpty());
    QCOMPARE(model.index(0, 1).data().toString(), QString("短袖衬衫"));

    goods->close();
    QCOMPARE(model.index(0, 1).data().toString(), QString());
}

void TestDatasetModel::columnsAndEditableFlags()
{
    TestApp app;
    addGoods(app);
    db::Dataset* ds = app.dataModule().InGoodsQ;
    ui::DatasetModel model(ds);
    model.addColumn("in_id", "序号", 40);
    model.addColumn("gods_code", "商品编号", 90);
    model.addColumn("gods_name", "商品名称");
    model.addColumn("sub_amou", "数量");
    model.addColumn("no_such_field", "无");
    QCOMPARE(model.columnCount(), 5);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("商品编号"));
    QCOMPARE(model.columnWidth(1), 90);
    QCOMPARE(model.columnWidth(2), -1);
    QCOMPARE(model.fieldIndexOfColumn(1), ds->fieldIndex("gods_code"));
    QCOMPARE(model.fieldIndexOfColumn(4), -1);

    ds->open();
    const auto editable = [&](int column) { return bool(model.flags(model.index(0, column)) & Qt::ItemIsEditable); };
    QVERIFY(!editable(0));   // counter
    QVERIFY(editable(1));
    QVERIFY(!editable(2));   // look-up
    QVERIFY(editable(3));
    QVERIFY(!editable(4));
    QCOMPARE(model.index(0, 4).data().toString(), QString());

    model.setColumnReadOnly("SUB_AMOU", true);
    QVERIFY(!editable(3));
    QVERIFY(editable(1));
    model.setColumnReadOnly("sub_amou", false);
    QVERIFY(editable(3));
    model.setReadOnly(true);
    QVERIFY(!editable(1) && !editable(3));
}

void TestDatasetModel::setDataMovesTheRowAndWrites()
{
    TestApp app;
    addGoods(app);
    db::Dataset* goods = app.dataModule().GoodsQ;
    goods->open();
    ui::DatasetModel model(goods);
    const int price = model.columnOfField("mate_pric");
    QCOMPARE(goods->currentRow(), 0);

    // Writing the value already there changes nothing, not even the state.
    QVERIFY(model.setData(model.index(1, price), "30.0"));
    QCOMPARE(goods->state(), db::Dataset::State::Browse);
    QCOMPARE(goods->currentRow(), 0);

    QVERIFY(model.setData(model.index(1, price), "31.5"));
    QCOMPARE(goods->currentRow(), 1);
    QCOMPARE(goods->state(), db::Dataset::State::Edit);
    QCOMPARE(model.index(1, price).data().toString(), QString("31.5"));

    // Moving on posts the pending row (optimistic: straight into the file).
    QVERIFY(model.setData(model.index(0, price), "13"));
    QCOMPARE(app.scalar("select mate_pric from goods where gods_code='G2'").toDouble(), 31.5);
    goods->post();
    QCOMPARE(app.scalar("select mate_pric from goods where gods_code='G1'").toDouble(), 13.0);
    QVERIFY(app.dialogs().messages.isEmpty());
}

void TestDatasetModel::refusedValueIsShownAndLeavesTheOldValue()
{
    TestApp app;
    addGoods(app);
    db::Dataset* goods = app.dataModule().GoodsQ;
    goods->open();
    ui::DatasetModel model(goods);
    const int price = model.columnOfField("mate_pric");

    QVERIFY(!model.setData(model.index(1, price), "12,5元"));
    QCOMPARE(app.dialogs().messages.size(), 1);
    QVERIFY(app.dialogs().lastMessage().contains("12,5元"));
    QCOMPARE(model.index(1, price).data().toString(), QString("30"));
    QCOMPARE(goods->state(), db::Dataset::State::Browse);
    QCOMPARE(goods->currentRow(), 0);

    goods->close();
    QVERIFY(!model.setData(model.index(0, price), "1"));
}

QTEST_MAIN(TestDatasetModel)
#include "tst_datasetmodel.moc"
