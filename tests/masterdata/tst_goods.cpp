// The goods window and the goods picker: saving and refusing, the automatic
// name, the company pickers, the drop-downs, finding, deleting and rights.
#include "TestSupport.h"
#include "WindowDriver.h"

#include "app/Application.h"
#include "core/CurrentRights.h"
#include "db/Dataset.h"
#include "shop/DatabaseUpgrade.h"
#include "ui/TFrmCompFind.h"
#include "masterdata/TFrmGoods.h"
#include "ui/TFrmGoodsFind.h"
#include "ui/DbComboBox.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestGoods : public QObject {
    Q_OBJECT

private slots:
    void blankCodeIsNotSavedAndCancelDropsTheRow();
    void existingCodeIsRefused();
    void barcodeIsUniqueAndAWrongCheckDigitNeedsConsent();
    void barcodeIsNeverAnotherGoodsCode();
    void savingReturnsToTheGridAndTabLeavesIt();
    void automaticNameFollowsTheBoxOnlyWhenTicked();
    void companyPickFillsCodeAndName();
    void dropDownsTakeTheirListsAndGrowAfterSave();
    void olderFileGainsTheSeasonAndTheWindowEditsIt();
    void quickFindNeedsTheWholeCode();
    void codeIsStoredTrimmedAndFound();
    void deletingGoodsInUseAsksAgainWithTheCount();
    void failedSaveIsReportedAndTheModeKept();
    void rightsAndClosing();
    void enterInTheSupplierCodeGoesToSave();
    void pickerChoosesOnlyFromRows();
    void pickerFindsByWholeCodeAndByName();
    void enterWalksTheBoxesToSaveWithoutAPicker();
    void refusedValueKeepsTheFocus_data();
    void refusedValueKeepsTheFocus();
    void companyPickerFromTheKeyboard_data();
    void companyPickerFromTheKeyboard();
    void goodsPickerKeys_data();
    void goodsPickerKeys();
};

using WindowDriver::retype;
using WindowDriver::showWindow;

namespace {

void addGoods(TestApp& app, const QString& code, const QString& name)
{
    app.exec("insert into goods(gods_code, gods_name) values(:p1, :p2)", {code, name});
}

void addCodeListValue(TestApp& app, const QString& column, const QString& value)
{
    app.exec(QString("insert into baseitem(%1) values(:p1)").arg(column), {value});
}

int goodsCount(TestApp& app)
{
    return app.scalar("select count(*) from goods").toInt();
}

QString stored(TestApp& app, const QString& column, const QString& code)
{
    return app.scalar(QString("select %1 from goods where gods_code=:p1").arg(column), {code}).toString();
}

// Chooses a list entry of a drop-down as a user picking it would.
void choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

} // namespace

void TestGoods::blankCodeIsNotSavedAndCancelDropsTheRow()
{
    TestApp app;
    addGoods(app, "G001", "衬衫");
    TFrmGoods w;
    showWindow(w);
    QCOMPARE(w.windowTitle(), QString("货品资料"));
    db::Dataset* q = app.dataModule().GoodsQ;

    w.cmd_addClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(q->recordCount(), 2);
    QTest::keyClicks(w.nameEdit, "Nameless");
    QTest::keyClicks(w.wholesalePriceEdit, "12.5");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QVERIFY(app.dialogs().messages.isEmpty());
    QCOMPARE(goodsCount(app), 1);

    w.cmd_cancClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(q->recordCount(), 1);
    QCOMPARE(goodsCount(app), 1);

    // With a code, the row and its numbers are written.
    w.cmd_addClick();
    QTest::keyClicks(w.codeEdit, "G002");
    QTest::keyClicks(w.wholesalePriceEdit, "12.5");
    QTest::keyClicks(w.stockMinEdit, "3");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select batch_out from goods where gods_code='G002'").toDouble(), 12.5);
    QCOMPARE(app.scalar("select min_amou from goods where gods_code='G002'").toDouble(), 3.0);
    QCOMPARE(w.codeEdit->text(), QString("G002"));
}

void TestGoods::existingCodeIsRefused()
{
    TestApp app;
    addGoods(app, "G001", "衬衫");
    TFrmGoods w;
    showWindow(w);
    w.cmd_addClick();
    QTest::keyClicks(w.codeEdit, "g001");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(app.dialogs().lastMessage(), QString("货品编码“g001”已存在，不能重复，请换一个编码"));
    QCOMPARE(goodsCount(app), 1);
    retype(w.codeEdit, "G002");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(goodsCount(app), 2);
}

void TestGoods::barcodeIsUniqueAndAWrongCheckDigitNeedsConsent()
{
    TestApp app;
    app.exec("insert into goods(gods_code, gods_name, bar_code) values('G001', '衬衫', '4006381333931')");
    addGoods(app, "G002", "长裤");
    TFrmGoods w;
    showWindow(w);
    auto* barCode = WindowDriver::child<QLineEdit>(w, "DBEdit16");
    w.cmd_addClick();
    QTest::keyClicks(w.codeEdit, "G003");
    QTest::keyClicks(barCode, "4006381333931");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(app.dialogs().lastMessage(), QString("条形码“4006381333931”已被货品“G001 衬衫”使用"));

    // A wrong check digit: kept back when the user declines, stored when he confirms.
    retype(barCode, "4006381333932");
    app.dialogs().answers = {false};
    w.cmd_saveClick();
    QCOMPARE(app.dialogs().questions.last(), QString("条形码“4006381333932”的校验位不对（应为1），仍要保存吗?"));
    QCOMPARE(app.dialogs().questionDefaults.last(), ui::Dialogs::Default::Cancel);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(stored(app, "bar_code", "G003"), QString("4006381333932"));

    // "生成条码" fills only the goods without one; the current row stays.
    app.dataModule().GoodsQ->locate("gods_code", "G001");
    WindowDriver::click(w, "cmd_code");
    QCOMPARE(stored(app, "bar_code", "G002"), QString("2000000000008"));
    QCOMPARE(stored(app, "bar_code", "G001"), QString("4006381333931"));
    QCOMPARE(w.codeEdit->text(), QString("G001"));
    QCOMPARE(app.dialogs().lastMessage(), QString("已给1种货品生成条形码"));
}

// B-100 may not take 1002 as its barcode while goods 1002 exists, nor may a
// new goods take the code 1002 while it is B-100's barcode.
void TestGoods::barcodeIsNeverAnotherGoodsCode()
{
    TestApp app;
    addGoods(app, "1002", "衬衫");
    app.exec("insert into goods(gods_code, gods_name, bar_code) values('B-200', '帽', '1004')");
    TFrmGoods w;
    showWindow(w);
    QApplication::setActiveWindow(&w);
    auto* barCode = WindowDriver::child<QLineEdit>(w, "DBEdit16");
    w.cmd_addClick();
    QTest::keyClicks(w.codeEdit, "B-100");
    QTest::keyClicks(barCode, "1002");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(app.dialogs().lastMessage(), QString("条形码“1002”是货品“1002 衬衫”的编码"));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(barCode));

    retype(barCode, "");
    retype(w.codeEdit, "1004");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(app.dialogs().lastMessage(), QString("编码“1004”是货品“B-200 帽”的条形码"));
    QCOMPARE(goodsCount(app), 2);
}

// After saving, the focus is on the grid's current row; Tab leaves the grid.
void TestGoods::savingReturnsToTheGridAndTabLeavesIt()
{
    TestApp app;
    addGoods(app, "G001", "衬衫");
    TFrmGoods w;
    showWindow(w);
    QApplication::setActiveWindow(&w);
    w.cmd_addClick();
    QTest::keyClicks(w.codeEdit, "G002");
    QTest::keyClick(w.codeEdit, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.listGrid));
    QCOMPARE(w.listGrid->currentIndex().row(), 1);
    QTest::keyClick(w.listGrid, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != w.listGrid);
}

void TestGoods::automaticNameFollowsTheBoxOnlyWhenTicked()
{
    TestApp app;
    addCodeListValue(app, "gods_color", "红");
    addCodeListValue(app, "gods_kind", "衬衫");
    TFrmGoods w;
    showWindow(w);
    QVERIFY(w.autoNameCheck->isChecked());
    QCOMPARE(w.autoNameCheck->text(), QString("自动生成名称"));

    // Unticked: the name stays as typed.
    w.cmd_addClick();
    QTest::keyClicks(w.codeEdit, "G1");
    QTest::keyClick(w.autoNameCheck, Qt::Key_Space);
    QVERIFY(!w.autoNameCheck->isChecked());
    QTest::keyClicks(w.nameEdit, "Own name");
    QTest::keyClicks(w.brandBox->lineEdit(), "BX");
    choose(w.colorBox, "红");
    QCOMPARE(w.nameEdit->text(), QString("Own name"));

    // Ticking it makes the name at once; the style plays no part.
    QTest::keyClicks(w.sizeBox->lineEdit(), " XL ");
    QTest::keyClicks(w.styleBox->lineEdit(), "slim");
    QTest::keyClick(w.autoNameCheck, Qt::Key_Space);
    QCOMPARE(w.nameEdit->text(), QString("BX红XL"));
    choose(w.categoryBox, "衬衫");
    QCOMPARE(w.nameEdit->text(), QString("BX红XL衬衫"));
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(stored(app, "gods_name", "G1"), QString("BX红XL衬衫"));
    QCOMPARE(stored(app, "gods_type", "G1"), QString("slim"));

    // Browsing to another row changes no name.
    addGoods(app, "G2", "Plain");
    app.dataModule().GoodsQ->requery();
    QVERIFY(app.dataModule().GoodsQ->locate("gods_code", "G2"));
    QCOMPARE(w.nameEdit->text(), QString("Plain"));
    QCOMPARE(stored(app, "gods_name", "G2"), QString("Plain"));
}

void TestGoods::companyPickFillsCodeAndName()
{
    TestApp app;
    app.exec("insert into company(comp_code, comp_name) values('C01', '华美服饰'), ('C02', '锦绣制衣')");
    TFrmGoods w;
    showWindow(w);
    QVERIFY(!w.pickProducerButton->isEnabled());   // only while adding or editing

    int shown = 0;
    app.dialogs().onExec = [&](QDialog* d) {
        auto* picker = qobject_cast<TFrmCompFind*>(d);
        if (!picker)
            return int(QDialog::Rejected);
        ++shown;
        app.dataModule().CompanyQ->locate("comp_code", "C02");
        QTest::mouseClick(picker->chooseButton, Qt::LeftButton);
        return picker->result();
    };
    w.cmd_addClick();
    QTest::keyClicks(w.codeEdit, "G1");
    QVERIFY(w.pickProducerButton->isEnabled());
    w.pickProducer();
    QCOMPARE(shown, 1);
    QCOMPARE(w.producerCodeEdit->text(), QString("C02"));
    QCOMPARE(w.producerNameEdit->text(), QString("锦绣制衣"));

    // Cancelling the picker leaves the boxes alone.
    app.dialogs().onExec = [](QDialog*) { return int(QDialog::Rejected); };
    w.pickProducer();
    QCOMPARE(w.producerCodeEdit->text(), QString("C02"));

    app.dialogs().onExec = [&](QDialog*) {
        app.dataModule().CompanyQ->locate("comp_code", "C01");
        return int(QDialog::Accepted);
    };
    QTest::mouseClick(w.pickSupplierButton, Qt::LeftButton);
    QCOMPARE(w.supplierCodeEdit->text(), QString("C01"));
    QCOMPARE(w.supplierNameEdit->text(), QString("华美服饰"));

    w.cmd_saveClick();
    QCOMPARE(stored(app, "prod_code", "G1"), QString("C02"));
    QCOMPARE(stored(app, "supp_code", "G1"), QString("C01"));
    QCOMPARE(w.producerNameEdit->text(), QString("锦绣制衣"));
    QCOMPARE(w.supplierNameEdit->text(), QString("华美服饰"));

    // With no company at all the picker's OK chooses nothing and the boxes keep what they held.
    app.exec("delete from company");
    w.cmd_editClick();
    app.dialogs().onExec = [](QDialog* d) {
        qobject_cast<TFrmCompFind*>(d)->onChoose();
        return d->result();
    };
    w.pickSupplier();
    QCOMPARE(w.supplierCodeEdit->text(), QString("C01"));
    QCOMPARE(w.supplierNameEdit->text(), QString("华美服饰"));
}

void TestGoods::dropDownsTakeTheirListsAndGrowAfterSave()
{
    TestApp app;
    addCodeListValue(app, "gods_spec", "BX");
    addCodeListValue(app, "prod_place", "杭州");
    app.exec("insert into goods(gods_code, gods_face, gods_spec, season) values('G1', 'cotton', 'Free', '2026春夏')");
    TFrmGoods w;
    showWindow(w);
    auto* season = WindowDriver::child<QComboBox>(w, "SeasonBox");
    QCOMPARE(season->count(), 1);
    QCOMPARE(season->itemText(0), QString("2026春夏"));
    QCOMPARE(w.brandBox->count(), 1);
    QCOMPARE(w.brandBox->itemText(0), QString("BX"));
    QCOMPARE(w.originBox->itemText(0), QString("杭州"));
    QCOMPARE(w.fabricBox->itemText(0), QString("cotton"));
    QCOMPARE(w.liningBox->count(), 0);
    // A brand typed freely is shown and stored, though the list lacks it.
    QCOMPARE(w.brandBox->currentText(), QString("Free"));

    w.cmd_addClick();
    QTest::keyClicks(w.codeEdit, "G2");
    QTest::keyClicks(w.fabricBox->lineEdit(), "linen");
    QTest::keyClicks(w.brandBox->lineEdit(), "NewBrand");
    QTest::keyClicks(season->lineEdit(), "AW26");
    w.cmd_saveClick();
    QCOMPARE(stored(app, "season", "G2"), QString("AW26"));
    QCOMPARE(season->count(), 2);   // a season, as 面料, joins the list once used
    QCOMPARE(stored(app, "gods_face", "G2"), QString("linen"));
    QCOMPARE(stored(app, "gods_spec", "G2"), QString("NewBrand"));
    QVERIFY(w.fabricBox->findText("linen") >= 0);
    QCOMPARE(w.fabricBox->count(), 2);
    QCOMPARE(w.brandBox->findText("NewBrand"), -1);
    QCOMPARE(w.brandBox->count(), 1);
    QCOMPARE(w.codeEdit->text(), QString("G2"));
}

void TestGoods::quickFindNeedsTheWholeCode()
{
    TestApp app;
    for (const QString& code : {"G001", "G002", "H001"})
        addGoods(app, code, "Item " + code);
    TFrmGoods w;
    showWindow(w);
    db::Dataset* q = app.dataModule().GoodsQ;
    QCOMPARE(q->currentRow(), 0);

    QTest::keyClicks(w.findEdit, "H00");
    w.cmd_findClick();
    QCOMPARE(q->currentRow(), 0);
    QTest::keyClicks(w.findEdit, "1");
    QTest::keyClick(w.findEdit, Qt::Key_Return);
    QCOMPARE(q->currentRow(), 2);
    QCOMPARE(w.nameEdit->text(), QString("Item H001"));
    retype(w.findEdit, "g002");
    w.cmd_findClick();
    QCOMPARE(q->currentRow(), 1);
    QCOMPARE(w.listGrid->currentIndex().row(), 1);
}

void TestGoods::deletingGoodsInUseAsksAgainWithTheCount()
{
    TestApp app;
    addGoods(app, "G001", "衬衫");
    addGoods(app, "G002", "长裤");
    app.exec("insert into ingoods(bill_no, gods_code, sub_amou) values('b1', 'G001', 2), ('b2', 'G001', 1)");
    app.exec("insert into storemain(gods_code, gods_amou) values('G001', 3)");
    TFrmGoods w;
    showWindow(w);
    db::Dataset* q = app.dataModule().GoodsQ;

    app.dialogs().answers = {true, false};
    w.cmd_deleClick();
    QCOMPARE(app.dialogs().questions.size(), 2);
    QCOMPARE(app.dialogs().questions.at(0), QString("确认删除货品编码“G001”（衬衫）?"));
    const QString second = app.dialogs().questions.at(1);
    QVERIFY2(second.contains("3 条"), qPrintable(second));
    QVERIFY2(second.contains("库存 1 条"), qPrintable(second));
    QCOMPARE(goodsCount(app), 2);

    app.dialogs().clear();
    app.dialogs().answers = {true, true};
    w.cmd_deleClick();
    QCOMPARE(goodsCount(app), 1);
    QCOMPARE(q->recordCount(), 1);
    QCOMPARE(w.codeEdit->text(), QString("G002"));

    app.dialogs().clear();
    app.dialogs().answers = {true};
    w.cmd_deleClick();
    QCOMPARE(app.dialogs().questions.size(), 1);
    QCOMPARE(goodsCount(app), 0);
    QVERIFY(w.codeEdit->text().isEmpty());
    w.cmd_deleClick();
    QCOMPARE(app.dialogs().questions.size(), 1);
}

void TestGoods::failedSaveIsReportedAndTheModeKept()
{
    TestApp app;
    addGoods(app, "G001", "衬衫");
    TFrmGoods w;
    showWindow(w);

    // A price that is no number stops the save.
    w.cmd_editClick();
    QTest::keyClicks(w.priceInEdit, "abc");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(app.dialogs().messages.size(), 1);
    QCOMPARE(app.dialogs().messages.first().icon, ui::Dialogs::Icon::Critical);
    QCOMPARE(app.dialogs().lastMessage(), QString("“abc”不是有效的数值"));
    w.cmd_cancClick();

    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(stored(app, "valu_in", "G001"), QString());
}

void TestGoods::rightsAndClosing()
{
    TestApp app;
    addGoods(app, "G001", "衬衫");
    QString rights(25, '1');
    rights[1] = '0';   // position 2: goods
    CurrentRights::current().edit = rights;
    TFrmGoods w;
    showWindow(w);
    QVERIFY(w.cmd_add->isEnabled());
    QVERIFY(!w.cmd_edit->isEnabled());
    QVERIFY(w.cmd_dele->isEnabled());

    w.cmd_addClick();
    for (QPushButton* b : {w.cmd_add, w.cmd_edit, w.cmd_dele, w.cmd_exit})
        QVERIFY(!b->isEnabled());
    QVERIFY(!w.findGroup->isEnabled());
    QVERIFY(!w.close());
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(w.isVisible());

    w.cmd_cancClick();
    QVERIFY(w.cmd_add->isEnabled());
    QVERIFY(!w.cmd_edit->isEnabled());
    QVERIFY(!w.cmd_save->isEnabled());
    QVERIFY(w.findGroup->isEnabled());
    QVERIFY(w.close());
}

void TestGoods::enterInTheSupplierCodeGoesToSave()
{
    TestApp app;
    TFrmGoods w;
    showWindow(w);
    QApplication::setActiveWindow(&w);
    w.cmd_addClick();
    QTest::keyClicks(w.codeEdit, "G1");
    w.supplierCodeEdit->setFocus();
    QTest::keyClicks(w.supplierCodeEdit, "C9");
    QTest::keyClick(w.supplierCodeEdit, Qt::Key_Return);
    QVERIFY(w.cmd_save->hasFocus());
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    // A second Enter presses the focused button.
    QTest::keyClick(w.cmd_save, Qt::Key_Return);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(stored(app, "supp_code", "G1"), QString("C9"));
    QVERIFY(app.dialogs().messages.isEmpty());
}

void TestGoods::codeIsStoredTrimmedAndFound()
{
    TestApp app;
    addGoods(app, "A1", "衬衫");
    TFrmGoods w;
    showWindow(w);
    w.cmd_addClick();
    QTest::keyClicks(w.codeEdit, "  SP 03  ");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select count(*) from goods where gods_code='SP 03'").toInt(), 1);
    QCOMPARE(w.codeEdit->text(), QString("SP 03"));

    app.dataModule().GoodsQ->moveTo(0);
    QCOMPARE(w.codeEdit->text(), QString("A1"));
    retype(w.findEdit, " SP 03 ");
    QTest::keyClick(w.findEdit, Qt::Key_Return);
    QCOMPARE(w.codeEdit->text(), QString("SP 03"));
}

void TestGoods::pickerChoosesOnlyFromRows()
{
    TestApp app;
    {
        TFrmGoodsFind picker;
        QCOMPARE(picker.windowTitle(), QString("货品查询"));
        picker.show();
        QTest::mouseClick(picker.cmd_prin, Qt::LeftButton);
        QVERIFY(picker.isVisible());
        QCOMPARE(picker.result(), 0);
        QTest::mouseClick(picker.cmd_exit, Qt::LeftButton);
        QVERIFY(!picker.isVisible());
        QCOMPARE(picker.result(), int(QDialog::Rejected));
    }
    addGoods(app, "G002", "长裤");
    addGoods(app, "G001", "衬衫");
    TFrmGoodsFind picker;
    picker.show();
    db::Dataset* q = app.dataModule().GoodsFindQ;
    QCOMPARE(q->text("gods_code"), QString("G001"));
    q->moveTo(1);
    // A code that no goods starts with leaves the row; the row is still chosen.
    QTest::keyClicks(picker.codeEdit, "X");
    QTest::mouseClick(picker.cmd_prin, Qt::LeftButton);
    QCOMPARE(picker.result(), int(QDialog::Accepted));
    QCOMPARE(q->text("gods_code"), QString("G002"));
}

void TestGoods::pickerFindsByWholeCodeAndByName()
{
    TestApp app;
    addGoods(app, "G001", "衬衫");
    addGoods(app, "G002", "长裤");
    addGoods(app, "G003", "外套");
    TFrmGoodsFind picker;
    picker.show();
    db::Dataset* q = app.dataModule().GoodsFindQ;
    QCOMPARE(picker.nameBox->count(), 3);
    QCOMPARE(picker.goodsGrid->model()->headerData(7, Qt::Horizontal).toString(), QString("单位"));

    QTest::keyClicks(picker.codeEdit, "G00");
    QCOMPARE(q->currentRow(), 0);
    QTest::keyClicks(picker.codeEdit, "3");
    QCOMPARE(q->currentRow(), 2);

    choose(picker.nameBox, "长裤");
    QCOMPARE(picker.codeEdit->text(), QString("G002"));
    QCOMPARE(q->currentRow(), 1);

    // An unknown name empties the code; the row stays.
    picker.nameBox->setEditText("nothing");
    QVERIFY(picker.codeEdit->text().isEmpty());
    QCOMPARE(q->currentRow(), 1);

    // Choosing the name of the item whose code is already in the box still jumps to it.
    QTest::keyClicks(picker.codeEdit, "G003");
    QCOMPARE(q->currentRow(), 2);
    q->moveTo(0);
    choose(picker.nameBox, "外套");
    QCOMPARE(q->currentRow(), 2);

    const QPoint cell = picker.goodsGrid->visualRect(picker.goodsGrid->model()->index(2, 0)).center();
    QTest::mouseClick(picker.goodsGrid->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(picker.goodsGrid->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(picker.result(), int(QDialog::Accepted));
}

// Enter from the code goes box by box to 保存; the company pickers stay shut.
// A file made before goods had a season gains the column when it is upgraded,
// and the window shows its goods with no season and stores one.
void TestGoods::olderFileGainsTheSeasonAndTheWindowEditsIt()
{
    if (TestApp::onServer())
        QSKIP("the first release was a file");
    TestApp app;
    addGoods(app, "G1", "衬衫");
    makeFirstRelease(app.dataModule().AdoConn);
    DatabaseUpgrade::upgradeCopy(app.dataModule().AdoConn);
    TFrmGoods w;
    showWindow(w);
    auto* season = WindowDriver::child<QComboBox>(w, "SeasonBox");
    QCOMPARE(w.codeEdit->text(), QString("G1"));
    QCOMPARE(season->currentText(), QString());
    QCOMPARE(season->count(), 0);
    w.cmd_editClick();
    QTest::keyClicks(season->lineEdit(), "SS26");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(stored(app, "season", "G1"), QString("SS26"));
    QCOMPARE(stored(app, "gods_name", "G1"), QString("衬衫"));
}

void TestGoods::enterWalksTheBoxesToSaveWithoutAPicker()
{
    TestApp app;
    int pickers = 0;
    app.dialogs().onExec = [&](QDialog*) {
        ++pickers;
        return int(QDialog::Rejected);
    };
    TFrmGoods w;
    showWindow(w);
    QApplication::setActiveWindow(&w);
    w.cmd_addClick();
    QTest::keyClicks(w.codeEdit, "G1");
    QStringList walk;
    for (int i = 0; i < 25 && QApplication::focusWidget() != w.cmd_save; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        walk << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(walk, QStringList({"DBEdit2", "DBEdit16", "DBComboBox1", "DBComboBox2", "DBComboBox3", "DBEditStyle", "SeasonBox", "DBComboBox4",
                                "DBComboBox5", "DBComboBox6", "DBComboBox7", "DBComboBox8", "DBComboBox9", "DBComboBox10",
                                "DBEdit3", "DBEdit4", "DBEdit5", "DBEdit6", "DBEdit7", "DBEdit8", "DBEdit9", "DBEdit10",
                                "DBEdit11", "DBEdit13", "cmd_save"}));
    QCOMPARE(pickers, 0);
    QTest::keyClick(w.cmd_save, Qt::Key_Return);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(goodsCount(app), 1);
}

void TestGoods::refusedValueKeepsTheFocus_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("exponent") << "DBEdit4" << "1e3" << "“1e3”不是有效的数值";
    QTest::newRow("full-width exponent") << "DBEdit5" << "１Ｅ３" << "“１Ｅ３”不是有效的数值";
    QTest::newRow("negative price") << "DBEdit4" << "-5" << "批发价“-5”不能为负数";
    QTest::newRow("negative fee") << "DBEdit8" << "-1" << "费用“-1”不能为负数";
    QTest::newRow("lower above upper") << "DBEdit10" << "8" << "库存下限“8”不能高于库存上限“5”";
    QTest::newRow("too many digits") << "DBEdit6" << "1000000000" << "“1000000000”超出范围：最多 9 位整数、2 位小数";
}

// Saved with Alt+S: the refusal names the value, nothing is stored, and the
// focus is back in the box with its text selected once the message is closed.
void TestGoods::refusedValueKeepsTheFocus()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    TestApp app;
    app.dialogs().modalMessages = true;
    TFrmGoods w;
    showWindow(w);
    QApplication::setActiveWindow(&w);
    w.cmd_addClick();
    QTest::keyClicks(w.codeEdit, "G1");
    retype(w.stockMaxEdit, "5");
    auto* refused = WindowDriver::child<QLineEdit>(w, box.toLatin1());
    retype(refused, typed);
    QTest::keyClick(refused, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(app.dialogs().messages.size(), 1);
    QCOMPARE(app.dialogs().lastMessage(), message);
    QTRY_COMPARE(QApplication::focusWidget(), refused);
    QCOMPARE(refused->selectedText(), typed);
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(goodsCount(app), 0);

    // Corrected in place, the row is saved.
    retype(refused, "3");
    QTest::keyClick(refused, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select " + w.findChild<ui::DbEdit*>(box)->fieldName() + " from goods").toDouble(), 3.0);
}

void TestGoods::companyPickerFromTheKeyboard_data()
{
    QTest::addColumn<bool>("companies");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("code");      // in the producer box afterwards
    QTest::addColumn<QString>("focused");   // the box with the focus afterwards
    // Opened on "C02", the picker lists C02 alone: Up stays on it.
    QTest::newRow("Enter chooses the row") << true << int(Qt::Key_Return) << "C02" << "DBEdit13";
    QTest::newRow("Escape closes") << true << int(Qt::Key_Escape) << "C02" << "DBEdit11";
    QTest::newRow("Enter in an empty list stays") << false << int(Qt::Key_Return) << "C02" << "DBEdit11";
}

// F4 in the producer code opens the picker on the typed code.
void TestGoods::companyPickerFromTheKeyboard()
{
    QFETCH(bool, companies);
    QFETCH(int, key);
    QFETCH(QString, code);
    QFETCH(QString, focused);
    TestApp app;
    if (companies)
        app.exec("insert into company(comp_code, comp_name) values('C01', '华美服饰'), ('C02', '锦绣制衣')");
    TFrmGoods w;
    showWindow(w);
    QApplication::setActiveWindow(&w);
    QCOMPARE(w.pickProducerButton->focusPolicy(), Qt::NoFocus);   // out of the Enter walk
    QString startRow;
    int result = -1;
    app.dialogs().onExec = [&](QDialog* d) {
        auto* picker = qobject_cast<TFrmCompFind*>(d);
        picker->show();
        startRow = app.dataModule().CompanyQ->text("comp_code");
        QTest::keyClick(picker->companyGrid, Qt::Key_Up);
        QTest::keyClick(picker->companyGrid, Qt::Key(key));
        result = picker->isVisible() ? -1 : picker->result();
        return result;
    };
    w.cmd_addClick();
    QTest::keyClicks(w.codeEdit, "G1");
    retype(w.producerCodeEdit, "C02");
    QTest::keyClick(w.producerCodeEdit, Qt::Key_F4);
    QCOMPARE(startRow, companies ? QString("C02") : QString());
    // -1: still open, saying that nothing matches.
    QCOMPARE(result, !companies ? -1 : int(key == Qt::Key_Return ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(w.producerCodeEdit->text(), code);
    QTRY_COMPARE(w.focusWidget()->objectName(), focused);
}

void TestGoods::goodsPickerKeys_data()
{
    QTest::addColumn<bool>("goods");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter chooses") << true << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("Escape closes") << true << int(Qt::Key_Escape) << int(QDialog::Rejected);
    QTest::newRow("Enter in an empty list stays") << false << int(Qt::Key_Return) << -1;
}

// Opened on a code the caller has, from the code box and from the list.
void TestGoods::goodsPickerKeys()
{
    QFETCH(bool, goods);
    QFETCH(int, key);
    QFETCH(int, result);
    for (const char* from : {"Edit1", "DBGrid1"}) {
        TestApp app;
        if (goods) {
            addGoods(app, "G001", "衬衫");
            addGoods(app, "G002", "长裤");
        }
        TFrmGoodsFind picker;
        picker.show();
        QApplication::setActiveWindow(&picker);
        QVERIFY(QTest::qWaitForWindowActive(&picker));
        picker.setStartText(" G002 ");
        QCOMPARE(picker.codeEdit->text(), QString("G002"));
        QWidget* box = WindowDriver::child<QWidget>(picker, from);
        box->setFocus();
        QTest::keyClick(box, Qt::Key(key));
        // -1: still open, saying that nothing matches.
        QCOMPARE(picker.isVisible() ? -1 : picker.result(), result);
        if (result == QDialog::Accepted)
            QCOMPARE(app.dataModule().GoodsFindQ->text("gods_code"), QString("G002"));
    }
}

// The program's own application object: Enter acts as it does for a user.
int main(int argc, char* argv[])
{
    Application app(argc, argv);
    TestGoods test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_goods.moc"
