// The data-aware widgets: the grid and the bound editors follow the dataset and write back.
#include "TestSupport.h"

#include "app/Application.h"
#include "db/Dataset.h"
#include "ui/DatasetModel.h"
#include "ui/DbCheckBox.h"
#include "ui/DbComboBox.h"
#include "ui/DbDateEdit.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"
#include "ui/DbMemo.h"
#include "ui/FieldValue.h"

#include <QDialog>
#include <QHeaderView>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QtTest>

class TestDataWidgets : public QObject {
    Q_OBJECT

private slots:
    void gridAndDatasetShareTheCurrentRow();
    void gridShowsTitlesWidthsAndLookups();
    void gridRefusesABadNumber();
    void postTakesTheOpenGridEditor();
    void editFollowsTheCurrentRow();
    void postTakesTheTextBeingTyped();
    void editCommitAndCancel();
    void parseNumber_data();
    void parseNumber();
    void numberBoxesTakeTheParsedNumber_data();
    void numberBoxesTakeTheParsedNumber();
    void refusedNumberKeepsTextAndFocus_data();
    void refusedNumberKeepsTextAndFocus();
    void destroyedWidgetLeavesNoHook();
    void comboBoxShowsAnyValueAndCommitsAPick();
    void dateEditStoresWholeDays();
    void memoAndCheckBox();
};

namespace {

void addGoods(TestApp& app)
{
    const QStringList names = {"衬衫", "长裤", "外套"};
    for (int i = 0; i < names.size(); ++i)
        app.exec("insert into goods(gods_code, gods_name, mate_pric, gods_note) values(:p1, :p2, :p3, :p4)",
                 {QString("G%1").arg(i + 1), names.at(i), 10.0 * (i + 1), QString()});
}

QLineEdit* openEditor(ui::DbGrid& grid, int row, int column)
{
    const QModelIndex index = grid.model()->index(row, column);
    grid.setCurrentIndex(index);
    grid.edit(index);
    // A closed editor lingers until its deferred deletion.
    for (QLineEdit* editor : grid.viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible())
            return editor;
    return nullptr;
}

} // namespace

void TestDataWidgets::gridAndDatasetShareTheCurrentRow()
{
    TestApp app;
    addGoods(app);
    db::Dataset* goods = app.dataModule().GoodsQ;
    goods->open();
    ui::DbGrid grid;
    grid.setRowSelect(true);
    grid.setDataset(goods);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCOMPARE(grid.currentIndex().row(), 0);

    goods->moveTo(2);
    QCOMPARE(grid.currentIndex().row(), 2);
    QCOMPARE(grid.selectionModel()->selectedRows().size(), 1);
    QCOMPARE(grid.selectionModel()->selectedRows().first().row(), 2);

    // A pending edit is posted when the user moves to another row.
    goods->setValue("gods_name", "大衣");
    QTest::keyClick(&grid, Qt::Key_Up);
    QCOMPARE(goods->currentRow(), 1);
    QCOMPARE(goods->state(), db::Dataset::State::Browse);
    QCOMPARE(app.scalar("select gods_name from goods where gods_code='G3'").toString(), QString("大衣"));

    goods->append();
    QCOMPARE(grid.currentIndex().row(), 3);
    goods->cancel();   // the view's own move off the removed row must not post it
    QCOMPARE(grid.currentIndex().row(), 2);
    QCOMPARE(app.scalar("select count(*) from goods").toInt(), 3);
    goods->moveTo(0);
    goods->remove();
    QCOMPARE(grid.currentIndex().row(), 0);
    QCOMPARE(goods->currentRow(), 0);
    goods->requery();
    QCOMPARE(grid.currentIndex().row(), 0);
    goods->close();
    QVERIFY(!grid.currentIndex().isValid());
}

void TestDataWidgets::gridShowsTitlesWidthsAndLookups()
{
    TestApp app;
    addGoods(app);
    app.exec("insert into ingoods(bill_no, gods_code, sub_amou) values('B1', 'G2', 3)");
    db::Dataset* lines = app.dataModule().InGoodsQ;
    ui::DbGrid grid;
    grid.addColumn("gods_code", "商品编号", 120);   // before the dataset is set
    grid.setDataset(lines);
    grid.addColumn("gods_name", "商品名称", 200);
    lines->open();
    QVERIFY(grid.showGrid());
    QCOMPARE(grid.model()->columnCount(), 2);
    QCOMPARE(grid.model()->headerData(0, Qt::Horizontal).toString(), QString("商品编号"));
    QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QString("商品名称"));
    QCOMPARE(grid.columnWidth(0), 120);
    QCOMPARE(grid.columnWidth(1), 200);
    QCOMPARE(grid.model()->index(0, 1).data().toString(), QString("长裤"));
    QVERIFY(grid.datasetModel() == grid.model());
}

void TestDataWidgets::gridRefusesABadNumber()
{
    TestApp app;
    addGoods(app);
    db::Dataset* goods = app.dataModule().GoodsQ;
    goods->open();
    ui::DbGrid grid;
    grid.setDataset(goods);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const int price = grid.datasetModel()->columnOfField("mate_pric");

    QLineEdit* editor = openEditor(grid, 1, price);
    QVERIFY(editor);
    QCOMPARE(editor->text(), QString("20"));
    editor->selectAll();
    QTest::keyClicks(editor, "2O");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(app.dialogs().messages.size(), 1);   // the delegate commits on a queued call
    QVERIFY(app.dialogs().lastMessage().contains("2O"));
    QCOMPARE(grid.model()->index(1, price).data().toString(), QString("20"));
    QCOMPARE(goods->value("mate_pric").toDouble(), 20.0);
    QCOMPARE(app.scalar("select mate_pric from goods where gods_code='G2'").toDouble(), 20.0);

    // A read-only column opens no editor.
    grid.setColumnReadOnly("mate_pric", true);
    QTest::ignoreMessage(QtWarningMsg, "edit: editing failed");
    QVERIFY(!openEditor(grid, 0, price));
}

void TestDataWidgets::postTakesTheOpenGridEditor()
{
    TestApp app;
    addGoods(app);
    db::Dataset* goods = app.dataModule().GoodsQ;
    goods->open();
    ui::DbGrid grid;
    grid.setDataset(goods);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const int name = grid.datasetModel()->columnOfField("gods_name");

    QLineEdit* editor = openEditor(grid, 1, name);
    QVERIFY(editor);
    editor->selectAll();
    editor->insert("西裤");   // typed: keyClicks takes only ASCII
    QCOMPARE(goods->state(), db::Dataset::State::Edit);   // typing starts the edit
    goods->post();   // e.g. a tool button, which leaves the editor open
    QCOMPARE(app.scalar("select gods_name from goods where gods_code='G2'").toString(), QString("西裤"));
    QVERIFY(!editor || !editor->isVisible());

    // A bad number in the open editor stops the post.
    const int price = grid.datasetModel()->columnOfField("mate_pric");
    editor = openEditor(grid, 1, price);
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, "x1");
    QVERIFY_THROWS_EXCEPTION(std::exception, goods->post());
    QCOMPARE(goods->state(), db::Dataset::State::Edit);
    goods->cancel();
    QCOMPARE(app.scalar("select mate_pric from goods where gods_code='G2'").toDouble(), 20.0);
}

void TestDataWidgets::editFollowsTheCurrentRow()
{
    TestApp app;
    addGoods(app);
    db::Dataset* goods = app.dataModule().GoodsQ;
    ui::DbEdit code, id, price;
    code.bind(goods, "gods_code");
    id.bind(goods, "in_id");
    price.bind(goods, "mate_pric");
    QCOMPARE(code.maxLength(), 20);
    QVERIFY(id.isReadOnly());
    QVERIFY(!code.isReadOnly());
    QCOMPARE(code.text(), QString());

    goods->open();
    QCOMPARE(code.text(), QString("G1"));
    goods->moveTo(2);
    QCOMPARE(code.text(), QString("G3"));
    QCOMPARE(price.text(), QString("30"));
    goods->append();
    QCOMPARE(code.text(), QString());
    goods->cancel();
    QCOMPARE(code.text(), QString("G3"));
    goods->setValue("gods_code", "G3A");
    QCOMPARE(code.text(), QString("G3A"));
    goods->cancel();
    goods->close();
    QCOMPARE(code.text(), QString());
}

void TestDataWidgets::postTakesTheTextBeingTyped()
{
    TestApp app;
    addGoods(app);
    db::Dataset* goods = app.dataModule().GoodsQ;
    goods->open();
    ui::DbEdit name, code;
    name.bind(goods, "gods_name");
    code.bind(goods, "gods_code");
    goods->moveTo(1);

    name.selectAll();
    name.insert("牛仔裤");
    QTest::keyClicks(&code, "-1");
    QCOMPARE(goods->state(), db::Dataset::State::Edit);
    goods->post();   // neither editor has finished editing
    QCOMPARE(app.scalar("select gods_name from goods where gods_code='G2-1'").toString(), QString("牛仔裤"));
    QCOMPARE(name.text(), QString("牛仔裤"));

    // Typing stops at the column's width.
    code.clear();
    QTest::keyClicks(&code, QString(25, QLatin1Char('9')));
    QCOMPARE(code.text().size(), 20);
}

void TestDataWidgets::editCommitAndCancel()
{
    TestApp app;
    addGoods(app);
    db::Dataset* goods = app.dataModule().GoodsQ;
    goods->open();
    ui::DbEdit price;
    price.bind(goods, "mate_pric");

    // Unchanged text commits nothing.
    QVERIFY(price.commit());
    QCOMPARE(goods->state(), db::Dataset::State::Browse);

    price.setText("15.5");
    QVERIFY(price.commit());
    QCOMPARE(goods->state(), db::Dataset::State::Edit);
    QCOMPARE(goods->number("mate_pric"), 15.5);
    goods->cancel();
    QCOMPARE(price.text(), QString("10"));

    price.setText("十元");
    QVERIFY(!price.commit());
    QCOMPARE(app.dialogs().messages.size(), 1);
    QCOMPARE(price.text(), QString("十元"));   // kept, to be corrected
    QCOMPARE(goods->number("mate_pric"), 10.0);

    price.setText("100");
    emit price.editingFinished();
    QCOMPARE(goods->number("mate_pric"), 100.0);
    goods->post();
    QCOMPARE(app.scalar("select mate_pric from goods where gods_code='G1'").toDouble(), 100.0);
}

void TestDataWidgets::parseNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("places");
    QTest::addColumn<QVariant>("value");   // invalid: refused
    QTest::addColumn<QString>("refusal");
    const QVariant refused;
    const QString noNumber = "“%1”不是有效的数值";
    QTest::newRow("full-width digits and point") << "１２３．５" << 2 << QVariant(123.5) << "";
    QTest::newRow("ideographic full stop") << "１２。２５" << 2 << QVariant(12.25) << "";
    QTest::newRow("full-width minus") << "－７" << 2 << QVariant(-7.0) << "";
    QTest::newRow("blanks around") << "　1２.５ " << 2 << QVariant(12.5) << "";
    QTest::newRow("blank is empty") << " " << 2 << QVariant() << "";
    QTest::newRow("nine digits") << "999999999.99" << 2 << QVariant(999999999.99) << "";
    QTest::newRow("trailing zeros") << "1.2300" << 2 << QVariant(1.23) << "";
    QTest::newRow("rate decimals") << "6.8345" << 6 << QVariant(6.8345) << "";
    QTest::newRow("whole") << "１２" << 0 << QVariant(12LL) << "";
    QTest::newRow("exponent") << "1e3" << 2 << refused << noNumber.arg("1e3");
    QTest::newRow("full-width exponent") << "１ｅ１５" << 2 << refused << noNumber.arg("１ｅ１５");
    QTest::newRow("stray letter") << "12a" << 2 << refused << noNumber.arg("12a");
    QTest::newRow("thousands comma") << "1,000" << 2 << refused << noNumber.arg("1,000");
    QTest::newRow("two points") << "1.2.3" << 2 << refused << noNumber.arg("1.2.3");
    QTest::newRow("minus inside") << "1-2" << 2 << refused << noNumber.arg("1-2");
    QTest::newRow("ten digits") << "1000000000" << 2 << refused << "“1000000000”超出范围：最多 9 位整数、2 位小数";
    QTest::newRow("three decimals") << "1.234" << 2 << refused << "“1.234”超出范围：最多 9 位整数、2 位小数";
    QTest::newRow("fraction of a whole") << "1.5" << 0 << refused << "“1.5”超出范围：最多 9 位整数，不能有小数";
}

// The one reading of every number box and grid cell.
void TestDataWidgets::parseNumber()
{
    QFETCH(QString, typed);
    QFETCH(int, places);
    QFETCH(QVariant, value);
    QFETCH(QString, refusal);
    try {
        const QVariant parsed = ui::parseNumber(typed, places);
        QVERIFY2(refusal.isEmpty(), "accepted a number that must be refused");
        QCOMPARE(parsed.isValid(), value.isValid());
        if (value.isValid())
            QCOMPARE(parsed.toDouble(), value.toDouble());
    } catch (const ui::InputError& e) {
        QCOMPARE(QString::fromUtf8(e.what()), refusal);
    }
}

void TestDataWidgets::numberBoxesTakeTheParsedNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<double>("stored");
    QTest::newRow("full-width") << "１２３．５" << false << 123.5;
    QTest::newRow("exponent refused") << "1e3" << true << 10.0;
}

// The bound box and the grid cell both store what the parser reads, or keep the old value.
void TestDataWidgets::numberBoxesTakeTheParsedNumber()
{
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    QFETCH(double, stored);
    TestApp app;
    addGoods(app);
    db::Dataset* goods = app.dataModule().GoodsQ;
    goods->open();
    ui::DbEdit price;
    price.bind(goods, "mate_pric");
    price.setText(typed);
    QCOMPARE(price.commit(), !refused);
    QCOMPARE(price.text(), refused ? typed : QString::number(stored));
    if (!refused)
        goods->post();
    QCOMPARE(app.scalar("select mate_pric from goods where gods_code='G1'").toDouble(), stored);
    QCOMPARE(app.dialogs().messages.size(), refused ? 1 : 0);
    price.bind(nullptr, QString());
    goods->cancel();

    ui::DbGrid grid;
    grid.setDataset(goods);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QLineEdit* editor = openEditor(grid, 0, grid.datasetModel()->columnOfField("mate_pric"));
    QVERIFY(editor);
    editor->selectAll();
    editor->insert(typed);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(app.dialogs().messages.size(), refused ? 2 : 0);
    QTRY_COMPARE(goods->value(0, goods->fieldIndex("mate_pric")).toDouble(), stored);
}

void TestDataWidgets::refusedNumberKeepsTextAndFocus_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Tab") << int(Qt::Key_Tab);
    QTest::newRow("Enter, which Tab follows") << int(Qt::Key_Return);
}

// After "not a valid number" the box keeps the text, selected, and the focus;
// Escape gives the stored value back.
void TestDataWidgets::refusedNumberKeepsTextAndFocus()
{
    QFETCH(int, key);
    TestApp app;
    addGoods(app);
    app.dialogs().modalMessages = true;
    db::Dataset* goods = app.dataModule().GoodsQ;
    goods->open();
    QDialog window;
    auto* price = new ui::DbEdit(&window);
    auto* name = new ui::DbEdit(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(price);
    layout->addWidget(name);
    price->bind(goods, "mate_pric");
    name->bind(goods, "gods_name");
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    price->setFocus();
    price->selectAll();
    QTest::keyClicks(price, "12a");
    QTest::keyClick(price, Qt::Key(key));
    QTRY_COMPARE(app.dialogs().messages.size(), 1);
    QVERIFY(app.dialogs().lastMessage().contains("12a"));
    QTRY_COMPARE(QApplication::focusWidget(), price);
    QCOMPARE(price->selectedText(), QString("12a"));
    QCOMPARE(app.dialogs().messages.size(), 1);   // one message, though the box took the focus twice
    QCOMPARE(goods->number("mate_pric"), 10.0);

    // Corrected in place.
    QTest::keyClick(price, Qt::Key_End);
    QTest::keyClick(price, Qt::Key_Backspace);
    QTest::keyClick(price, Qt::Key(key));
    QCOMPARE(goods->number("mate_pric"), 12.0);
    QCOMPARE(QApplication::focusWidget(), name);

    // Or given up with Escape.
    price->setFocus();
    price->selectAll();
    QTest::keyClicks(price, "x");
    QTest::keyClick(price, Qt::Key_Escape);
    QCOMPARE(price->text(), QString("12"));
    QVERIFY(window.isVisible());
}

void TestDataWidgets::destroyedWidgetLeavesNoHook()
{
    TestApp app;
    addGoods(app);
    db::Dataset* goods = app.dataModule().GoodsQ;
    goods->open();
    const int before = goods->hookCount();
    auto* edit = new ui::DbEdit;
    edit->bind(goods, "gods_name");
    auto* grid = new ui::DbGrid;
    grid->setDataset(goods);
    QCOMPARE(goods->hookCount(), before + 2);
    edit->bind(goods, "gods_spec");   // binding again replaces the hook
    QCOMPARE(goods->hookCount(), before + 2);

    edit->setText("未提交");
    delete edit;
    delete grid;
    QCOMPARE(goods->hookCount(), before);
    goods->setValue("gods_name", "新名称");
    goods->post();
    QCOMPARE(app.scalar("select gods_name from goods where gods_code='G1'").toString(), QString("新名称"));
    QCOMPARE(app.scalar("select count(*) from goods where gods_spec='未提交'").toInt(), 0);
}

void TestDataWidgets::comboBoxShowsAnyValueAndCommitsAPick()
{
    TestApp app;
    addGoods(app);
    app.exec("update goods set gods_unit='件'");
    db::Dataset* goods = app.dataModule().GoodsQ;
    goods->open();
    ui::DbComboBox unit;
    unit.bind(goods, "gods_unit");
    QVERIFY(unit.isEditable());
    QCOMPARE(unit.currentText(), QString("件"));
    unit.addItems({"条", "套", "双"});   // filling the list keeps the field's value
    QCOMPARE(unit.currentText(), QString("件"));
    QCOMPARE(unit.lineEdit()->maxLength(), 10);
    QCOMPARE(goods->state(), db::Dataset::State::Browse);

    unit.setCurrentIndex(1);
    emit unit.activated(1);
    QCOMPARE(goods->text("gods_unit"), QString("套"));
    goods->post();
    QCOMPARE(app.scalar("select gods_unit from goods where gods_code='G1'").toString(), QString("套"));

    goods->next();
    QCOMPARE(unit.currentText(), QString("件"));
    QTest::keyClicks(unit.lineEdit(), "x");
    goods->post();
    QCOMPARE(app.scalar("select gods_unit from goods where gods_code='G2'").toString(), QString("件x"));
}

void TestDataWidgets::dateEditStoresWholeDays()
{
    TestApp app;
    app.exec("insert into employee(empl_code, empl_name, in_date) values('E1', '张三', '2024-03-05 00:00:00')");
    app.exec("insert into employee(empl_code, empl_name) values('E2', '李四')");
    db::Dataset* people = app.dataModule().EmployeeQ;
    people->open();
    QVERIFY(people->locate("empl_code", "E1"));
    ui::DbDateEdit date;
    date.bind(people, "in_date");
    QVERIFY(date.calendarPopup());
    QCOMPARE(date.displayFormat(), QString("yyyy-MM-dd"));
    QCOMPARE(date.date(), QDate(2024, 3, 5));

    QVERIFY(people->locate("empl_code", "E2"));
    QVERIFY(date.text().trimmed().isEmpty());
    QVERIFY(date.commit());
    QCOMPARE(people->state(), db::Dataset::State::Browse);   // blank stays NULL

    // Typed into the blank as into any date.
    QTest::keyClicks(&date, "20250131");
    QCOMPARE(date.date(), QDate(2025, 1, 31));
    QCOMPARE(people->state(), db::Dataset::State::Edit);
    people->post();
    QCOMPARE(app.scalar("select in_date from employee where empl_code='E2'").toString(),
             QString("2025-01-31 00:00:00"));
    QCOMPARE(people->value("in_date").toDateTime(), QDateTime(QDate(2025, 1, 31), QTime(0, 0)));
}

void TestDataWidgets::memoAndCheckBox()
{
    TestApp app;
    addGoods(app);
    db::Dataset* goods = app.dataModule().GoodsQ;
    goods->open();
    ui::DbMemo note;
    note.bind(goods, "gods_note");
    note.setPlainText(QString(120, QLatin1Char('a')));
    QCOMPARE(note.toPlainText().size(), 100);   // the column's width
    QVERIFY(note.commit());
    goods->post();
    QCOMPARE(app.scalar("select length(gods_note) from goods where gods_code='G1'").toInt(), 100);

    db::Dataset* people = app.dataModule().EmployeeQ;
    people->open();
    QVERIFY(people->recordCount() > 0);
    people->setValue("empl_sex", "女");
    people->post();
    ui::DbCheckBox male;
    male.setValues("男", "女");
    male.bind(people, "empl_sex");
    QVERIFY(!male.isChecked());
    male.click();
    QCOMPARE(people->text("empl_sex"), QString("男"));
    QCOMPARE(people->state(), db::Dataset::State::Edit);
    people->cancel();
    QVERIFY(!male.isChecked());
}

// The program's own application object: Enter is followed by Tab, as for a user.
int main(int argc, char* argv[])
{
    Application app(argc, argv);
    TestDataWidgets test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_datawidgets.moc"
