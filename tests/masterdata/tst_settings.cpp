// The basic settings window: paper rules, the number checks, system.ini and the
// print settings, the shop's row and the code lists written by batch.
#include "TestSupport.h"
#include "shop/TillSale.h"
#include "WindowDriver.h"

#include "core/AppPaths.h"
#include "app/Application.h"
#include "core/IniFile.h"
#include "core/ReceiptPrinterSettings.h"
#include "core/Settings.h"
#include "shop/AutoBackup.h"
#include "shop/MemberLevels.h"
#include "shop/MemberPoints.h"
#include "masterdata/MemberLevelGroup.h"
#include "masterdata/CodeListGrid.h"
#include "masterdata/TFrmUser.h"

#include <QComboBox>
#include <QDir>
#include <QSpinBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QCheckBox>
#include <QTableWidget>
#include <QtTest>

using namespace WindowDriver;

namespace {

void choosePaper(QWidget& window, const QString& type)
{
    retype(child<QComboBox>(window, "ComboBox1")->lineEdit(), type);
}

// Types into a cell of a code-list grid through the grid's own editor.
void typeCell(CodeListGrid* grid, int row, int column, const QString& text)
{
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(row, column));
    QTest::keyClick(grid, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor && editor->parentWidget() == grid->viewport());
    editor->selectAll();
    typeText(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

int rowOf(CodeListGrid* grid, int column, const QString& text)
{
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        if (grid->model()->index(row, column).data().toString() == text)
            return row;
    return -1;
}

QString ini(const QString& section, const QString& key)
{
    return IniFile(AppPaths::settingsFile()).read(section, key, "<absent>");
}

struct Window {
    TFrmUser w;
    Window()
    {
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void openingShowsStoredValues();
    void openingFallsBackToA4();
    void defaultPaperIs218By140();
    void a4AndCustomPaper();
    void paperAndNumberChecks_data();
    void paperAndNumberChecks();
    void emptyShopRowIsCreatedByEditAndSave();
    void tillSettingsReachTheTill();
    void memberSettingsAreCheckedAndStored();
    void codeListsAreWrittenAtSave();
    void cancelKeepsCodeListChangesForNextSave();
    void failingListIsNamedAndModeKept();
    void badRateWithEnterIsRefusedSafely();
    void codeListEntriesAreTrimmed();
    void emptyOrRepeatedEntryIsRefused_data();
    void emptyOrRepeatedEntryIsRefused();
    void cancelPutsEveryBoxBack();
    void editRightGatesEdit();
    void editFocusesTheShopAndEnterNeverSaves();
    void blankCompanyNameIsRefusedOverAStoredOne();
    void numberBoxesTakeFullWidthDigits();
    void codeListKeysAndClicks();
    void backupFolderIsCheckedWhenChosen();
    void receiptPrinterIsKeptForThisPc();
};

void TestSettings::openingShowsStoredValues()
{
    TestApp app;
    IniFile file(AppPaths::settingsFile());
    file.write("pagesize", "page_type", "自定义");
    file.write("pagesize", "page_width", "300");
    file.write("pagesize", "page_length", "abc");
    file.write("billdata", "line_count", " 12 ");
    Window win;
    QCOMPARE(child<QComboBox>(win.w, "ComboBox1")->currentText(), QString("自定义"));
    QCOMPARE(child<QLineEdit>(win.w, "MaskEdit1")->text().trimmed(), QString("300"));
    QCOMPARE(child<QLineEdit>(win.w, "MaskEdit2")->text().trimmed(), QString("297"));   // not a number
    QCOMPARE(child<QLineEdit>(win.w, "Edit1")->text(), QString("12"));
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QVERIFY(!child<QGroupBox>(win.w, "GroupBox2")->isEnabled());
}

void TestSettings::openingFallsBackToA4()
{
    TestApp app;
    Window win;
    QCOMPARE(child<QComboBox>(win.w, "ComboBox1")->currentText(), QString("A4"));
    QCOMPARE(child<QLineEdit>(win.w, "MaskEdit1")->text().trimmed(), QString("210"));
    QCOMPARE(child<QLineEdit>(win.w, "MaskEdit2")->text().trimmed(), QString("297"));
    QCOMPARE(child<QLineEdit>(win.w, "Edit1")->text(), QString("0"));
    // Opening does not apply the paper rule: the size boxes start enabled.
    click(win.w, "cmd_edit");
    QVERIFY(child<QLineEdit>(win.w, "MaskEdit1")->isEnabledTo(child<QGroupBox>(win.w, "GroupBox2")));
}

void TestSettings::defaultPaperIs218By140()
{
    TestApp app;
    Window win;
    click(win.w, "cmd_edit");
    choosePaper(win.w, "默认");
    auto* width = child<QLineEdit>(win.w, "MaskEdit1");
    auto* length = child<QLineEdit>(win.w, "MaskEdit2");
    QCOMPARE(width->text().trimmed(), QString("218"));
    QCOMPARE(length->text().trimmed(), QString("140"));
    QVERIFY(!width->isEnabled() && !length->isEnabled());
    retype(win.w, "DBEdit2", "  澜禾服装  ");
    retype(win.w, "DBEdit9", "谢谢惠顾");
    retype(win.w, "Edit1", "8");
    click(win.w, "cmd_save");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(ini("pagesize", "page_type"), QString("默认"));
    QCOMPARE(ini("pagesize", "page_width"), QString("218"));
    QCOMPARE(ini("pagesize", "page_length"), QString("140"));
    QCOMPARE(ini("billdata", "company_name"), QString("澜禾服装"));
    QCOMPARE(ini("billdata", "bill_bottom"), QString("谢谢惠顾"));
    QCOMPARE(ini("billdata", "line_count"), QString("8"));
    const PrintSettings& print = PrintSettings::current();
    QCOMPARE(print.pageType, QString("默认"));
    QCOMPARE(print.pageWidth, 218);
    QCOMPARE(print.pageLength, 140);
    QCOMPARE(print.lineCount, 8);
    QCOMPARE(print.companyName, QString("澜禾服装"));
    QCOMPARE(print.billFooter, QString("谢谢惠顾"));
}

void TestSettings::a4AndCustomPaper()
{
    TestApp app;
    Window win;
    click(win.w, "cmd_edit");
    auto* width = child<QLineEdit>(win.w, "MaskEdit1");
    choosePaper(win.w, "默认");
    choosePaper(win.w, "A4");
    QCOMPARE(width->text().trimmed(), QString("210"));
    QCOMPARE(child<QLineEdit>(win.w, "MaskEdit2")->text().trimmed(), QString("297"));
    QVERIFY(!width->isEnabled());
    choosePaper(win.w, "自定义");
    QVERIFY(width->isEnabled());
    QCOMPARE(width->text().trimmed(), QString("210"));   // kept
    // Any other text changes nothing.
    retype(width, "100");
    choosePaper(win.w, "B5");
    QVERIFY(width->isEnabled());
    QCOMPARE(width->text().trimmed(), QString("100"));
}

void TestSettings::paperAndNumberChecks_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("message");   // empty: saved
    QTest::newRow("smallest") << "自定义" << "50" << "80" << "0" << "";
    QTest::newRow("largest") << "自定义" << "400" << "500" << "30" << "";
    QTest::newRow("too narrow") << "自定义" << "49" << "80" << "0" << "纸张宽度不合适";
    QTest::newRow("too wide") << "自定义" << "401" << "80" << "0" << "纸张宽度不合适";
    QTest::newRow("too short") << "自定义" << "50" << "79" << "0" << "纸张长度不合适";
    QTest::newRow("too long") << "自定义" << "50" << "501" << "0" << "纸张长度不合适";
    QTest::newRow("no width") << "自定义" << "" << "80" << "0" << "自定义纸张类型必需输入纸张宽度";
    QTest::newRow("no length") << "自定义" << "50" << "" << "0" << "自定义纸张类型必需输入纸张长度";
    QTest::newRow("both missing") << "自定义" << "" << "" << "0" << "自定义纸张类型必需输入纸张宽度";
    // Only a custom paper is measured; a wide A5 passes.
    QTest::newRow("other paper") << "A5" << "401" << "20" << "0" << "";
    // Every number box is checked before anything is written.
    QTest::newRow("width no number") << "A5" << "" << "80" << "0" << "纸张宽度必须是整数";
    QTest::newRow("length no number") << "A5" << "50" << "" << "0" << "纸张长度必须是整数";
    QTest::newRow("line count text") << "自定义" << "50" << "80" << "abc" << "出货报表行数“abc”不是有效的数值";
    QTest::newRow("line count empty") << "A5" << "50" << "80" << "" << "出货报表行数必须是整数";
    QTest::newRow("line count too large") << "A5" << "50" << "80" << "99999999999"
                                          << "出货报表行数“99999999999”超出范围：最多 9 位整数，不能有小数";
    QTest::newRow("line count 1000") << "A5" << "50" << "80" << "1000" << "出货报表行数必须在 0 到 999 之间";
    QTest::newRow("line count 999") << "A5" << "50" << "80" << "999" << "";
}

void TestSettings::paperAndNumberChecks()
{
    QFETCH(QString, type);
    QFETCH(QString, width);
    QFETCH(QString, length);
    QFETCH(QString, lines);
    QFETCH(QString, message);
    TestApp app;
    app.exec("delete from userinfo");
    Window win;
    click(win.w, "cmd_edit");
    retype(win.w, "DBEdit2", "小店");
    auto* brands = child<CodeListGrid>(win.w, "DBGrid3");
    brands->setFocus();
    QTest::keyClick(brands, Qt::Key_Insert);
    typeCell(brands, brands->model()->rowCount() - 1, 0, "B9");
    typeCell(brands, brands->model()->rowCount() - 1, 1, "新品牌");
    choosePaper(win.w, type);
    retype(win.w, "MaskEdit1", width);
    retype(win.w, "MaskEdit2", length);
    retype(win.w, "Edit1", lines);
    click(win.w, "cmd_save");

    const int shopRows = app.scalar("select count(*) from userinfo").toInt();
    const int brandRows = app.scalar("select count(*) from baseitem where gods_spec='新品牌'").toInt();
    if (message.isEmpty()) {
        QVERIFY2(app.dialogs().messages.isEmpty(), qPrintable(app.dialogs().lastMessage()));
        QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
        QCOMPARE(ini("pagesize", "page_type"), type);
        QCOMPARE(ini("pagesize", "page_width"), width);
        QCOMPARE(ini("pagesize", "page_length"), length);
        QCOMPARE(PrintSettings::current().pageWidth, width.toInt());
        QCOMPARE(shopRows, 1);
        QCOMPARE(brandRows, 1);
    } else {
        QCOMPARE(app.dialogs().lastMessage(), message);
        QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Editing);
        QCOMPARE(ini("pagesize", "page_type"), QString("<absent>"));
        QCOMPARE(ini("billdata", "company_name"), QString("<absent>"));
        QCOMPARE(shopRows, 0);
        QCOMPARE(brandRows, 0);
    }
}

void TestSettings::emptyShopRowIsCreatedByEditAndSave()
{
    TestApp app;
    app.exec("delete from userinfo");
    Window win;
    click(win.w, "cmd_edit");
    retype(win.w, "DBEdit1", "一楼");
    retype(win.w, "DBEdit2", "澜禾");
    click(win.w, "cmd_save");
    QCOMPARE(app.scalar("select count(*) from userinfo").toInt(), 1);
    QCOMPARE(app.scalar("select user_posi || comp_name from userinfo").toString(), QString("一楼澜禾"));
    // The next edit changes the same single row.
    click(win.w, "cmd_edit");
    retype(win.w, "DBEdit2", "澜禾二店");
    click(win.w, "cmd_save");
    QCOMPARE(app.scalar("select count(*) from userinfo").toInt(), 1);
    QCOMPARE(app.scalar("select comp_name from userinfo").toString(), QString("澜禾二店"));
}

void TestSettings::tillSettingsReachTheTill()
{
    TestApp app;
    Window win;
    click(win.w, "cmd_edit");
    retype(win.w, "DBEdit2", "澜禾");
    retype(win.w, "discountLimitEdit", "80");
    // 抹零 of half a yuan is none the till knows: refused at its box, nothing stored.
    retype(win.w, "roundingUnitEdit", "0.5");
    click(win.w, "cmd_save");
    QCOMPARE(app.dialogs().lastMessage(), QString("收银抹零“0.5”只能是0、0.1或1元"));
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(win.w, "roundingUnitEdit"));
    QCOMPARE(app.scalar("select count(*) from userinfo").toInt(), 0);
    retype(win.w, "roundingUnitEdit", "0.1");
    click(win.w, "cmd_save");
    const TillSale::Settings settings = TillSale::settings(app.dataModule().AdoConn);
    QCOMPARE(settings.discountLimit, 80.0);
    QCOMPARE(settings.roundingUnit, 0.1);
}

// The levels' table and the two member settings: a refused value keeps the
// window in its mode with the focus on the cell or box; a good one is stored.
void TestSettings::memberSettingsAreCheckedAndStored()
{
    TestApp app;
    Window win;
    auto* levels = child<QTableWidget>(win.w, "levelsTable");
    QCOMPARE(levels->rowCount(), 3);
    click(win.w, "cmd_edit");
    retype(win.w, "DBEdit2", "澜禾");
    click(win.w, "addLevelButton");
    QCOMPARE(levels->currentRow(), 3);
    levels->item(3, 1)->setText("八五");
    click(win.w, "cmd_save");
    QCOMPARE(app.dialogs().lastMessage(), QString("会员等级第4行：折扣“八五”不是数"));
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(levels->currentColumn(), 1);
    levels->setItem(3, 0, new QTableWidgetItem("金卡"));
    levels->item(3, 1)->setText("85");
    click(win.w, "cmd_save");
    QCOMPARE(app.dialogs().lastMessage(), QString("会员等级第4行：等级名称“金卡”重复"));
    levels->item(3, 0)->setText("钻石");
    retype(win.w, "pointValueEdit", "0");
    click(win.w, "cmd_save");
    QCOMPARE(app.dialogs().lastMessage(), QString("积分抵现“0”应为1到10000之间的整数（多少积分抵1元）"));
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(win.w, "pointValueEdit"));
    retype(win.w, "pointValueEdit", "50");
    QTest::mouseClick(child<QCheckBox>(win.w, "discountOnDiscountBox"), Qt::LeftButton);
    click(win.w, "cmd_save");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(MemberLevels::all(app.dataModule().AdoConn).last(), (MemberLevels::Level{"钻石", 85, 1}));
    const MemberPoints::Settings settings = MemberPoints::settings(app.dataModule().AdoConn);
    QCOMPARE(settings.pointValue, 50.0);
    QVERIFY(settings.discountOnDiscount);
}

void TestSettings::codeListsAreWrittenAtSave()
{
    TestApp app;
    // The same colour held by two rows; a brand and a currency.
    app.exec("insert into baseitem (gods_color_id, gods_color) values ('01', '红')");
    app.exec("insert into baseitem (gods_color_id, gods_color) values ('01', '红')");
    app.exec("insert into baseitem (gods_spec_id, gods_spec) values ('B1', '李宁')");
    app.exec("insert into baseitem (mone_code, mone_type, mone_rate) values ('1', '人民币', 1)");
    Window win;
    click(win.w, "cmd_edit");

    auto* brands = child<CodeListGrid>(win.w, "DBGrid3");
    brands->setFocus();
    QTest::keyClick(brands, Qt::Key_Insert);
    const int added = brands->model()->rowCount() - 1;
    typeCell(brands, added, 0, "B2");
    typeCell(brands, added, 1, "耐克");

    auto* colours = child<CodeListGrid>(win.w, "DBGrid1");
    typeCell(colours, rowOf(colours, 1, "红"), 1, "大红");

    auto* currencies = child<CodeListGrid>(win.w, "DBGrid7");
    typeCell(currencies, rowOf(currencies, 1, "人民币"), 2, "1.5");

    app.dialogs().answers = {true};
    brands->setCurrentIndex(brands->model()->index(rowOf(brands, 1, "李宁"), 0));
    QTest::keyClick(brands, Qt::Key_Delete, Qt::ControlModifier);

    // Held in memory until save.
    QCOMPARE(app.scalar("select count(*) from baseitem where gods_color='红'").toInt(), 2);
    QCOMPARE(app.scalar("select count(*) from baseitem where gods_spec='李宁'").toInt(), 1);
    click(win.w, "cmd_save");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select count(*) from baseitem where gods_color='大红'").toInt(), 2);
    QCOMPARE(app.scalar("select count(*) from baseitem where gods_spec='李宁'").toInt(), 0);
    QCOMPARE(app.scalar("select mone_rate from baseitem where mone_type='人民币'").toDouble(), 1.5);
    // A new entry fills only its own list's columns.
    QCOMPARE(app.scalar("select count(*) from baseitem where gods_spec_id='B2' and gods_spec='耐克' "
                        "and gods_color is null and fee_type is null and mone_type is null")
                 .toInt(),
             1);
}

void TestSettings::cancelKeepsCodeListChangesForNextSave()
{
    TestApp app;
    app.exec("insert into baseitem (fee_code, fee_type) values ('1', '现金')");
    Window win;
    click(win.w, "cmd_edit");
    auto* fees = child<CodeListGrid>(win.w, "DBGrid6");
    typeCell(fees, rowOf(fees, 1, "现金"), 1, "支票");
    retype(win.w, "DBEdit2", "不要");
    click(win.w, "cmd_canc");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select count(*) from userinfo where comp_name='不要'").toInt(), 0);
    QCOMPARE(app.scalar("select count(*) from baseitem where fee_type='支票'").toInt(), 0);
    // Browsing: the grids take no typing.
    QVERIFY(!fees->isEditable());
    click(win.w, "cmd_edit");
    click(win.w, "cmd_save");
    QCOMPARE(app.scalar("select count(*) from baseitem where fee_type='支票'").toInt(), 1);
}

void TestSettings::failingListIsNamedAndModeKept()
{
    TestApp app;
    app.exec("insert into baseitem (gods_size_id, gods_size) values ('1', 'M')");
    Window win;
    click(win.w, "cmd_edit");
    auto* sizes = child<CodeListGrid>(win.w, "DBGrid2");
    typeCell(sizes, rowOf(sizes, 1, "M"), 1, "L");
    app.exec("delete from baseitem where gods_size='M'");   // gone under the window
    click(win.w, "cmd_save");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(app.dialogs().messages.size(), 1);
    QCOMPARE(app.dialogs().messages.first().icon, ui::Dialogs::Icon::Critical);
    QVERIFY2(app.dialogs().lastMessage().contains("尺码"), qPrintable(app.dialogs().lastMessage()));
    QCOMPARE(ini("pagesize", "page_type"), QString("<absent>"));
    QVERIFY(!win.w.close());
}

// The message box's own event loop runs while the grid is still committing the cell.
void TestSettings::badRateWithEnterIsRefusedSafely()
{
    TestApp app;
    app.exec("insert into baseitem (mone_code, mone_type, mone_rate) values ('1', '人民币', 1)");
    app.dialogs().modalMessages = true;
    Window win;
    click(win.w, "cmd_edit");
    auto* currencies = child<CodeListGrid>(win.w, "DBGrid7");
    const int row = rowOf(currencies, 1, "人民币");
    typeCell(currencies, row, 2, "abc");
    QTRY_COMPARE(app.dialogs().messages.size(), 1);
    QVERIFY2(app.dialogs().lastMessage().contains("abc"), qPrintable(app.dialogs().lastMessage()));
    QTest::qWait(200);   // the box closes and the grid finishes its commit
    QCOMPARE(currencies->model()->index(row, 2).data().toDouble(), 1.0);
    // The user goes on in the grid: a further Enter presses no button.
    QTRY_COMPARE(QApplication::focusWidget(), currencies);
    // The window still works: a good rate is taken and saved.
    typeCell(currencies, row, 2, "2.5");
    click(win.w, "cmd_save");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select mone_rate from baseitem where mone_type='人民币'").toDouble(), 2.5);
}

void TestSettings::codeListEntriesAreTrimmed()
{
    TestApp app;
    app.exec("insert into baseitem (gods_spec_id, gods_spec) values (' B1 ', '李宁  ')");
    Window win;
    click(win.w, "cmd_edit");
    auto* brands = child<CodeListGrid>(win.w, "DBGrid3");
    brands->setFocus();
    QTest::keyClick(brands, Qt::Key_Insert);
    const int added = brands->model()->rowCount() - 1;
    typeCell(brands, added, 0, "  B2 ");
    typeCell(brands, added, 1, " 耐克");
    click(win.w, "cmd_save");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select count(*) from baseitem where gods_spec_id='B2' and gods_spec='耐克'").toInt(), 1);
    // Entries stored with blanks before are trimmed as well.
    QCOMPARE(app.scalar("select count(*) from baseitem where gods_spec_id='B1' and gods_spec='李宁'").toInt(), 1);
}

void TestSettings::emptyOrRepeatedEntryIsRefused_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("repeated brand code") << "DBGrid3" << "b1" << "安踏" << "品牌表中编号“b1”重复，不能保存";
    QTest::newRow("repeated brand") << "DBGrid3" << "B7" << " 李宁" << "品牌表中品牌“李宁”重复，不能保存";
    QTest::newRow("brand without code") << "DBGrid3" << "  " << "安踏" << "品牌表中第 3 行的编号不能为空";
    QTest::newRow("colour without name") << "DBGrid1" << "C1" << "" << "颜色表中第 3 行的颜色不能为空";
    QTest::newRow("repeated settlement code") << "DBGrid6" << "1" << "支票" << "结算方式表中代码“1”重复，不能保存";
    QTest::newRow("repeated currency") << "DBGrid7" << "2" << "人民币" << "币种表中币种“人民币”重复，不能保存";
}

void TestSettings::emptyOrRepeatedEntryIsRefused()
{
    QFETCH(QString, grid);
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, message);
    TestApp app;
    app.exec("insert into baseitem (gods_spec_id, gods_spec) values ('B1', '李宁')");
    app.exec("insert into baseitem (gods_color_id, gods_color) values ('C0', '红')");
    app.exec("insert into baseitem (fee_code, fee_type) values ('1', '现金')");
    app.exec("insert into baseitem (mone_code, mone_type, mone_rate) values ('1', '人民币', 1)");
    const int before = app.scalar("select count(*) from baseitem").toInt();
    Window win;
    click(win.w, "cmd_edit");
    auto* list = child<CodeListGrid>(win.w, qPrintable(grid));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Insert);
    const int added = list->model()->rowCount() - 1;
    typeCell(list, added, 0, code);
    if (!name.isEmpty())
        typeCell(list, added, 1, name);
    click(win.w, "cmd_save");
    QCOMPARE(app.dialogs().lastMessage(), message);
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(app.scalar("select count(*) from baseitem").toInt(), before);
    QCOMPARE(ini("pagesize", "page_type"), QString("<absent>"));
}

void TestSettings::cancelPutsEveryBoxBack()
{
    TestApp app;
    IniFile(AppPaths::settingsFile()).write("billdata", "line_count", "12");
    IniFile(AppPaths::settingsFile()).write("pagesize", "page_type", "自定义");
    IniFile(AppPaths::settingsFile()).write("pagesize", "page_width", "100");
    IniFile(AppPaths::settingsFile()).write("pagesize", "page_length", "120");
    Window win;
    click(win.w, "cmd_edit");
    retype(win.w, "Edit1", "99999999999");
    choosePaper(win.w, "A4");
    QCOMPARE(child<QLineEdit>(win.w, "MaskEdit1")->text().trimmed(), QString("210"));
    click(win.w, "cmd_canc");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(child<QLineEdit>(win.w, "Edit1")->text(), QString("12"));
    QCOMPARE(child<QComboBox>(win.w, "ComboBox1")->currentText(), QString("自定义"));
    QCOMPARE(child<QLineEdit>(win.w, "MaskEdit1")->text().trimmed(), QString("100"));
    QCOMPARE(child<QLineEdit>(win.w, "MaskEdit2")->text().trimmed(), QString("120"));
    QVERIFY(child<QLineEdit>(win.w, "MaskEdit1")->isEnabledTo(child<QGroupBox>(win.w, "GroupBox2")));
    // Saving next time writes what is shown, not the cancelled text.
    click(win.w, "cmd_edit");
    click(win.w, "cmd_save");
    QCOMPARE(ini("billdata", "line_count"), QString("12"));
}

void TestSettings::editRightGatesEdit()
{
    TestApp app;
    QString rights(25, '1');
    rights[3] = '0';
    app.setRights(rights);
    Window win;
    QVERIFY(!child<QPushButton>(win.w, "cmd_edit")->isEnabled());
    QVERIFY(child<QPushButton>(win.w, "cmd_exit")->isEnabled());
}

// After 修改 the shop's first box has the focus; Enter goes down the boxes into
// the first list and stays there: it never reaches 保存.
void TestSettings::editFocusesTheShopAndEnterNeverSaves()
{
    TestApp app;
    app.exec("delete from userinfo");
    app.exec("insert into userinfo (user_posi, comp_name) values ('一楼', '澜禾')");
    app.exec("insert into baseitem (fee_code, fee_type) values ('1', '现金')");
    Window win;
    click(win.w, "cmd_edit");
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("DBEdit1"));
    QStringList walk;
    for (int i = 0; i < 15; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        walk << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(walk, QStringList({"DBEdit3", "DBEdit2", "DBEdit5", "DBEdit4", "DBEdit6", "DBEdit7", "DBEdit8",
                                "discountLimitEdit", "roundingUnitEdit", "DBEdit9", "ComboBox1", "MaskEdit1", "MaskEdit2", "Edit1", "DBGrid6"}));
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("DBGrid6"));
    }
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(app.scalar("select comp_name from userinfo").toString(), QString("澜禾"));
    QCOMPARE(ini("billdata", "company_name"), QString("<absent>"));
}

// A shop record saved with a blank name would blank the printed company name.
void TestSettings::blankCompanyNameIsRefusedOverAStoredOne()
{
    TestApp app;
    app.exec("delete from userinfo");
    app.exec("insert into userinfo (comp_name) values ('澜禾')");
    IniFile(AppPaths::settingsFile()).write("billdata", "company_name", "澜禾");
    Window win;
    click(win.w, "cmd_edit");
    auto* name = child<QLineEdit>(win.w, "DBEdit2");
    retype(name, "");
    QTest::keyClick(name, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(app.dialogs().messages.size(), 1);
    QCOMPARE(app.dialogs().lastMessage(), QString("公司名称不能为空（现为“澜禾”），请输入公司名称"));
    QTRY_COMPARE(QApplication::focusWidget(), name);
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(ini("billdata", "company_name"), QString("澜禾"));
    QCOMPARE(app.scalar("select comp_name from userinfo").toString(), QString("澜禾"));
}

void TestSettings::numberBoxesTakeFullWidthDigits()
{
    TestApp app;
    Window win;
    click(win.w, "cmd_edit");
    choosePaper(win.w, "自定义");
    retype(win.w, "MaskEdit1", "１００");
    retype(win.w, "MaskEdit2", "１２０");
    retype(win.w, "Edit1", "１２");
    click(win.w, "cmd_save");
    QVERIFY2(app.dialogs().messages.isEmpty(), qPrintable(app.dialogs().lastMessage()));
    QCOMPARE(ini("pagesize", "page_width"), QString("100"));
    QCOMPARE(ini("pagesize", "page_length"), QString("120"));
    QCOMPARE(ini("billdata", "line_count"), QString("12"));
    QCOMPARE(PrintSettings::current().lineCount, 12);
}

// Enter after the last cell goes to the next row, and on the last row adds one;
// Down on the last row and a click below the rows add one too; Tab leaves.
void TestSettings::codeListKeysAndClicks()
{
    TestApp app;
    app.exec("insert into baseitem (fee_code, fee_type) values ('1', '现金'), ('2', '支票')");
    Window win;
    click(win.w, "cmd_edit");
    auto* fees = child<CodeListGrid>(win.w, "DBGrid6");
    const QAbstractItemModel* model = fees->model();
    const int rows = model->rowCount();
    typeCell(fees, 0, 1, "转账");   // Enter in the open editor
    QCOMPARE(fees->currentIndex(), model->index(1, 0));
    QCOMPARE(model->index(0, 1).data().toString(), QString("转账"));
    fees->setFocus();
    fees->setCurrentIndex(model->index(0, 1));
    QTest::keyClick(fees, Qt::Key_Return);
    QCOMPARE(fees->currentIndex(), model->index(1, 0));
    fees->setCurrentIndex(model->index(rows - 1, 1));
    QTest::keyClick(fees, Qt::Key_Return);
    QCOMPARE(model->rowCount(), rows + 1);
    QCOMPARE(fees->currentIndex(), model->index(rows, 0));
    QTest::keyClick(fees, Qt::Key_Return);
    QTest::keyClick(fees, Qt::Key_Return);   // an untouched new row gets no second one
    QCOMPARE(model->rowCount(), rows + 1);
    QCOMPARE(fees->currentIndex(), model->index(rows, 1));
    QCOMPARE(QApplication::focusWidget(), fees);
    QTest::keyClick(fees, Qt::Key_Tab);
    auto* currencies = child<CodeListGrid>(win.w, "DBGrid7");
    QCOMPARE(QApplication::focusWidget(), currencies);

    const int currencyRows = currencies->model()->rowCount();
    QTest::mouseClick(currencies->viewport(), Qt::LeftButton, {}, QPoint(5, currencies->viewport()->height() - 3));
    QCOMPARE(currencies->model()->rowCount(), currencyRows + 1);

    auto* brands = child<CodeListGrid>(win.w, "DBGrid3");
    const int brandRows = brands->model()->rowCount();
    brands->setFocus();
    brands->setCurrentIndex(brands->model()->index(brandRows - 1, 0));
    QTest::keyClick(brands, Qt::Key_Down);
    QCOMPARE(brands->model()->rowCount(), brandRows + 1);
}

// The program's own application object: Enter in a cell also sends Tab, as for a user.
void TestSettings::backupFolderIsCheckedWhenChosen()
{
    if (TestApp::onServer())
        QSKIP("backups and older files are the file's own");
    TestApp app;
    // An older setup's keys are shown and kept.
    IniFile(AppPaths::settingsFile()).write("autobackup", "keep", "20");
    Window win;
    QCOMPARE(child<QSpinBox>(win.w, "BackupKeep")->value(), 20);
    QCOMPARE(child<QSpinBox>(win.w, "BackupHour")->value(), 12);
    QVERIFY(child<QLineEdit>(win.w, "BackupFolder")->text().isEmpty());
    click(win.w, "cmd_edit");

    // Chosen: a folder that takes no file (even for root) and the data folder are not taken.
    const QString stick = QDir(app.directory()).filePath("usb");
    QVERIFY(QDir().mkpath(stick));
    app.dialogs().fileAnswers = {"/proc", QFileInfo(AppPaths::databaseFile()).absolutePath(), stick};
    click(win.w, "BackupChoose");
    QVERIFY2(app.dialogs().lastMessage().startsWith("备份目录 /proc 不能写入"), qPrintable(app.dialogs().lastMessage()));
    click(win.w, "BackupChoose");
    QVERIFY(app.dialogs().lastMessage().startsWith("备份目录不能是本系统自己的数据目录"));
    QVERIFY(child<QLineEdit>(win.w, "BackupFolder")->text().isEmpty());
    click(win.w, "BackupChoose");
    QCOMPARE(app.dialogs().messages.size(), 2);
    QCOMPARE(child<QLineEdit>(win.w, "BackupFolder")->text(), stick);
    QCOMPARE(QDir(stick).entryList(QDir::Files | QDir::Hidden), QStringList());   // the probe is gone

    // Typed: checked at 保存, before anything is written.
    retype(win.w, "BackupFolder", stick + "/gone");
    click(win.w, "cmd_save");
    QVERIFY(app.dialogs().lastMessage().contains("不存在"));
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(win.w, "BackupFolder"));
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(ini("autobackup", "folder"), QString("<absent>"));

    retype(win.w, "BackupFolder", stick);
    child<QSpinBox>(win.w, "BackupKeep")->setValue(7);
    child<QSpinBox>(win.w, "BackupHour")->setValue(18);
    QVERIFY(!child<QCheckBox>(win.w, "BackupServerPc")->isChecked());
    click(win.w, "BackupServerPc");
    click(win.w, "cmd_save");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    const AutoBackup::Settings saved = AutoBackup::settings();
    QCOMPARE(saved.folder, stick);
    QCOMPARE(saved.keep, 7);
    QCOMPARE(saved.hour, 18);
    QCOMPARE(ini("autobackup", "server"), QString("1"));   // the PC that backs the shop's server up
    QCOMPARE(AutoBackup::folder(), stick);
}

void TestSettings::receiptPrinterIsKeptForThisPc()
{
    TestApp app;
    Window win;
    auto* output = child<QComboBox>(win.w, "ReceiptOutput");
    auto* target = child<QComboBox>(win.w, "ReceiptTarget");
    auto* paper = child<QComboBox>(win.w, "ReceiptPaper");
    // Nothing saved yet: a normal printer's page, 80 mm.
    QCOMPARE(output->currentIndex(), 0);
    QCOMPARE(paper->currentData().toInt(), 80);
    QVERIFY(!output->isEnabled());   // until 修改
    click(win.w, "cmd_edit");

    // A queue needs its name; nothing is written until it has one.
    output->setCurrentIndex(output->findData(int(ReceiptPrinterSettings::Output::Queue)));
    target->setEditText({});
    click(win.w, "cmd_save");
    QCOMPARE(app.dialogs().lastMessage(), QString("请输入小票打印机的 CUPS 队列名"));
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Editing);
    QCOMPARE(ini("receipt", "output"), QString("<absent>"));

    retype(target->lineEdit(), "till");
    paper->setCurrentIndex(paper->findData(58));
    click(win.w, "cmd_save");
    QCOMPARE(win.w.mode(), ui::ModeWindow::Mode::Browsing);
    const ReceiptPrinterSettings saved = ReceiptPrinterSettings::load();
    QCOMPARE(saved.output, ReceiptPrinterSettings::Output::Queue);
    QCOMPARE(saved.target, QString("till"));
    QCOMPARE(saved.columns(), 32);

    // Shown again as saved when the window opens.
    Window again;
    QCOMPARE(child<QComboBox>(again.w, "ReceiptOutput")->currentData().toInt(), int(ReceiptPrinterSettings::Output::Queue));
    QCOMPARE(child<QComboBox>(again.w, "ReceiptTarget")->currentText(), QString("till"));
    QCOMPARE(child<QComboBox>(again.w, "ReceiptPaper")->currentData().toInt(), 58);
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    TestSettings test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_settings.moc"
