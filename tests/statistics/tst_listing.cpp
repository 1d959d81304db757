// The purchase and sales listing windows: what 查询 lists and totals, the goods
// and company boxes, printing (never before a query), rights and hooks.
#include "StatisticsSamples.h"
#include "TestSupport.h"
#include "WindowDriver.h"

#include "db/Dataset.h"
#include "reports/ReportDocument.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportPreview.h"
#include "statistics/TFrmInlist.h"
#include "statistics/TFrmOutList.h"
#include "ui/DbGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

using StatisticsSamples::addBill;
using StatisticsSamples::addCompany;
using StatisticsSamples::addGoods;
using WindowDriver::showWindow;

class TestListing : public QObject {
    Q_OBJECT

private slots:
    void queryListsEveryLineWithTotals_data();
    void queryListsEveryLineWithTotals();
    void datePickersCountWholeDays();
    void goodsAndCompanyFiltersExcludeEachOther();
    void goodsNameFindsItsCode();
    void billTypeChoiceNarrowsTheList();
    void printingBeforeAnyQueryDoesNothing();
    void printingAnEmptyOrFailedResultDoesNothing();
    void printShowsWhatWasListed_data();
    void printShowsWhatWasListed();
    void rightsEnableFindAndPrint();
    void closedWindowLeavesNoHook();
};

namespace {

std::unique_ptr<ListingWindow> makeWindow(const QString& side)
{
    if (side == "in")
        return std::make_unique<TFrmInlist>();
    return std::make_unique<TFrmOutList>();
}

void setRange(StatisticsWindow& w, QDate from, QDate to)
{
    w.fromDateEdit->setDate(from);
    w.toDateEdit->setDate(to);
}

void setMarch(StatisticsWindow& w)
{
    setRange(w, QDate(2026, 3, 1), QDate(2026, 3, 31));
}

// Types into an editable box key by key, as a user does.
void typeInto(QComboBox* box, const QString& text)
{
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    WindowDriver::typeText(box->lineEdit(), text);
}

void choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
}

QString cell(const StatisticsWindow& w, int row, const QString& field)
{
    const db::Dataset* d = w.dataset();
    return d->displayText(row, d->fieldIndex(field));
}

int gridRows(const StatisticsWindow& w)
{
    return w.resultGrid->model()->rowCount();
}

// Three sides' worth of March bills with known goods and companies.
void addMarchBills(TestApp& app)
{
    addGoods(app, "G1", "衬衫");
    addGoods(app, "G2", "长裤");
    addCompany(app, "C1", "华美服饰");
    addCompany(app, "C2", "锦绣制衣");
    for (const QString side : {"in", "out"}) {
        addBill(app, side, "20260305080000", "2026-03-05 00:00:00", "C1", side, {{"G1", 3, 10}, {"G1", 3, 10}});
        addBill(app, side, "20260306080000", "2026-03-06 00:00:00", "C2", "retu", {{"G2", 1, 5}});
        addBill(app, side, "20260407080000", "2026-04-07 00:00:00", "C2", side, {{"G2", 100, 5}});
    }
}

} // namespace

void TestListing::queryListsEveryLineWithTotals_data()
{
    QTest::addColumn<QString>("side");
    QTest::newRow("进货统计") << "in";
    QTest::newRow("出货统计") << "out";
}

void TestListing::queryListsEveryLineWithTotals()
{
    QFETCH(QString, side);
    TestApp app;
    addMarchBills(app);
    auto w = makeWindow(side);
    showWindow(*w);
    QCOMPARE(gridRows(*w), 0);   // nothing until 查询
    QVERIFY(w->quantityTotalEdit->text().isEmpty());

    setMarch(*w);
    WindowDriver::click(*w, "cmd_find");
    QVERIFY(app.dialogs().messages.isEmpty());
    QVERIFY(w->hasResult());
    // The two equal lines of the first bill are both listed.
    QCOMPARE(gridRows(*w), 3);
    QCOMPARE(w->quantityTotalEdit->text(), QString("7"));
    QCOMPARE(w->amountTotalEdit->text(), QString("65"));
    QCOMPARE(cell(*w, 0, "gods_name"), QString("衬衫"));
    QCOMPARE(cell(*w, 1, "comp_name"), QString("华美服饰"));
    QCOMPARE(cell(*w, 1, "sub_tota"), QString("30"));
    QCOMPARE(cell(*w, 2, "gods_unit"), QString("件"));
    QCOMPARE(w->dataset()->currentRow(), 0);

    // A range without bills empties the list; totals read 0.
    setRange(*w, QDate(2025, 1, 1), QDate(2025, 1, 31));
    w->cmd_findClick();
    QCOMPARE(gridRows(*w), 0);
    QCOMPARE(w->quantityTotalEdit->text(), QString("0"));
    QCOMPARE(w->amountTotalEdit->text(), QString("0"));
}

void TestListing::datePickersCountWholeDays()
{
    TestApp app;
    addBill(app, "out", "20260304235959", "2026-03-04 23:59:59", "C1", "out", {{"G1", 1, 1}});
    addBill(app, "out", "20260305000000", "2026-03-05 00:00:00", "C1", "out", {{"G1", 2, 1}});
    addBill(app, "out", "20260306000000", "2026-03-06 00:00:00", "C1", "out", {{"G1", 4, 1}});
    TFrmOutList w;
    showWindow(w);
    // The pickers carry a time of day of their own; only the dates count.
    w.fromDateEdit->setDateTime(QDateTime(QDate(2026, 3, 4), QTime(15, 0)));
    w.toDateEdit->setDateTime(QDateTime(QDate(2026, 3, 5), QTime(9, 0)));
    w.cmd_findClick();
    QCOMPARE(w.quantityTotalEdit->text(), QString("3"));
}

void TestListing::goodsAndCompanyFiltersExcludeEachOther()
{
    TestApp app;
    addMarchBills(app);
    TFrmInlist w;
    showWindow(w);
    setMarch(w);
    QCOMPARE(w.goodsCodeBox->count(), 2);
    QCOMPARE(w.companyNameBox->count(), 2);

    typeInto(w.goodsCodeBox, "G1");
    QCOMPARE(w.goodsNameBox->currentText(), QString("衬衫"));
    w.cmd_findClick();
    QCOMPARE(gridRows(w), 2);
    QCOMPARE(w.quantityTotalEdit->text(), QString("6"));

    // Choosing a company clears the goods boxes: the list is the company's only.
    choose(w.companyNameBox, "锦绣制衣");
    QCOMPARE(w.companyCodeBox->currentText(), QString("C2"));
    QVERIFY(w.goodsCodeBox->currentText().isEmpty());
    QVERIFY(w.goodsNameBox->currentText().isEmpty());
    w.cmd_findClick();
    QCOMPARE(gridRows(w), 1);
    QCOMPARE(cell(w, 0, "gods_code"), QString("G2"));

    // And a goods code clears the company again.
    typeInto(w.goodsCodeBox, "G2");
    QVERIFY(w.companyCodeBox->currentText().isEmpty());
    QVERIFY(w.companyNameBox->currentText().isEmpty());
    QCOMPARE(w.goodsNameBox->currentText(), QString("长裤"));

    // An unknown code leaves the name blank and lists nothing.
    typeInto(w.goodsCodeBox, "G9");
    QVERIFY(w.goodsNameBox->currentText().isEmpty());
    w.cmd_findClick();
    QCOMPARE(gridRows(w), 0);
}

void TestListing::goodsNameFindsItsCode()
{
    TestApp app;
    addMarchBills(app);
    addGoods(app, "G3", "O'Neil 外套");
    addBill(app, "out", "20260310080000", "2026-03-10 00:00:00", "C1", "out", {{"G3", 2, 50}});
    TFrmOutList w;
    showWindow(w);
    setMarch(w);

    choose(w.goodsNameBox, "长裤");
    QCOMPARE(w.goodsCodeBox->currentText(), QString("G2"));
    w.cmd_findClick();
    QCOMPARE(gridRows(w), 1);
    QCOMPARE(w.quantityTotalEdit->text(), QString("1"));

    // A typed name with an apostrophe finds its code like any other.
    typeInto(w.goodsNameBox, "O'Neil 外套");
    QCOMPARE(w.goodsCodeBox->currentText(), QString("G3"));
    w.cmd_findClick();
    QCOMPARE(w.amountTotalEdit->text(), QString("100"));

    // A name of no goods lists nothing rather than everything.
    typeInto(w.goodsNameBox, "无此货品");
    QVERIFY(w.goodsCodeBox->currentText().isEmpty());
    w.cmd_findClick();
    QCOMPARE(gridRows(w), 0);
    QVERIFY(app.dialogs().messages.isEmpty());
}

void TestListing::billTypeChoiceNarrowsTheList()
{
    TestApp app;
    addMarchBills(app);
    TFrmInlist w;
    showWindow(w);
    setMarch(w);
    QVERIFY(w.allRadio->isChecked());
    QCOMPARE(w.ownRadio->text(), QString("进货"));
    QCOMPARE(w.returnRadio->text(), QString("顾客退货"));
    w.returnRadio->click();
    w.cmd_findClick();
    QCOMPARE(w.quantityTotalEdit->text(), QString("1"));
    w.ownRadio->click();
    w.cmd_findClick();
    QCOMPARE(w.quantityTotalEdit->text(), QString("6"));

    TFrmOutList out;
    QCOMPARE(out.ownRadio->text(), QString("销售"));
    QCOMPARE(out.returnRadio->text(), QString("退货厂商"));
}

void TestListing::printingBeforeAnyQueryDoesNothing()
{
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    addMarchBills(app);
    int previews = 0;
    app.dialogs().onExec = [&](QDialog*) { return ++previews, int(QDialog::Rejected); };
    for (const QString side : {"in", "out"}) {
        auto w = makeWindow(side);
        showWindow(*w);
        WindowDriver::click(*w, "cmd_prin");
        QCOMPARE(previews, 0);
        QVERIFY(app.dialogs().messages.isEmpty());
    }
}

void TestListing::printingAnEmptyOrFailedResultDoesNothing()
{
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    addMarchBills(app);
    int previews = 0;
    app.dialogs().onExec = [&](QDialog*) { return ++previews, int(QDialog::Rejected); };
    TFrmOutList w;
    showWindow(w);
    setRange(w, QDate(2025, 1, 1), QDate(2025, 1, 2));
    w.cmd_findClick();
    w.cmd_prinClick();
    QCOMPARE(previews, 0);

    // A listing that fails says so once; its old totals stay but nothing prints.
    setMarch(w);
    w.cmd_findClick();
    QCOMPARE(w.quantityTotalEdit->text(), QString("7"));
    app.execAsOwner("drop table outgoods");
    w.cmd_findClick();
    QCOMPARE(app.dialogs().messages.size(), 1);
    QVERIFY(app.dialogs().lastMessage().startsWith("查询失败"));
    QVERIFY(!w.dataset()->isOpen());
    QCOMPARE(w.quantityTotalEdit->text(), QString("7"));
    w.cmd_prinClick();
    QCOMPARE(previews, 0);
    QVERIFY(w.isVisible());
}

void TestListing::printShowsWhatWasListed_data()
{
    QTest::addColumn<QString>("side");
    QTest::addColumn<QString>("typeLabel");
    QTest::addColumn<QString>("typeText");
    QTest::newRow("进货统计") << "in" << "list_type" << "顾客退货";
    QTest::newRow("出货统计") << "out" << "QRLabel5" << "退货厂商";
}

void TestListing::printShowsWhatWasListed()
{
    QFETCH(QString, side);
    QFETCH(QString, typeLabel);
    QFETCH(QString, typeText);
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    addMarchBills(app);
    auto w = makeWindow(side);
    showWindow(*w);
    setMarch(*w);
    choose(w->companyCodeBox, "C2");
    w->returnRadio->click();
    w->cmd_findClick();
    QCOMPARE(w->quantityTotalEdit->text(), QString("1"));
    // Choices changed after the query do not change what the print-out says.
    w->allRadio->click();
    choose(w->goodsCodeBox, "G1");

    ReportLayout* shown = nullptr;
    int detailRows = 0;
    app.dialogs().onExec = [&](QDialog* d) {
        auto* preview = qobject_cast<ReportPreview*>(d);
        if (!preview)
            return int(QDialog::Rejected);
        const ReportLayout& layout = side == "in" ? static_cast<ReportLayout&>(ReportLayouts::get<TQRinstat>())
                                                  : static_cast<ReportLayout&>(ReportLayouts::get<TQRoutlist>());
        shown = const_cast<ReportLayout*>(&layout);
        const ReportDocument document = layout.prepare();
        for (const ReportPage& page : document.pages())
            detailRows += page.count(ReportBand::Kind::Detail);
        return int(QDialog::Rejected);
    };
    w->cmd_prinClick();
    QVERIFY(shown);
    QCOMPARE(detailRows, 1);
    QCOMPARE(shown->labelText("comp_no"), QString("C2"));
    QCOMPARE(shown->labelText("comp_name"), QString("锦绣制衣"));
    QCOMPARE(shown->labelText("gods_code"), QString());
    QCOMPARE(shown->labelText(typeLabel), typeText);
    QCOMPARE(shown->labelText("datea"), QString("2026-03-01"));
    QCOMPARE(shown->labelText("dateb"), QString("2026-03-31"));
    QCOMPARE(shown->labelText("hjsl"), QString("1"));
    QCOMPARE(shown->labelText("hjje"), QString("5"));
    QVERIFY(!w->dataset()->controlsDisabled());
}

void TestListing::rightsEnableFindAndPrint()
{
    TestApp app;
    QString rights(25, '0');
    rights[7] = '1';   // 进货统计 only
    app.setRights(rights);
    TFrmInlist in;
    TFrmOutList out;
    QVERIFY(in.cmd_find->isEnabled());
    QVERIFY(in.cmd_prin->isEnabled());
    QVERIFY(!out.cmd_find->isEnabled());
    QVERIFY(!out.cmd_prin->isEnabled());
    QVERIFY(out.cmd_exit->isEnabled());
}

void TestListing::closedWindowLeavesNoHook()
{
    TestApp app;
    const int hooks = app.dataModule().InListQ->hookCount();
    {
        TFrmInlist window;
        QCOMPARE(window.size(), QSize(792, 573));
        QVERIFY(app.dataModule().InListQ->hookCount() > hooks);
    }
    QCOMPARE(app.dataModule().InListQ->hookCount(), hooks);
}

QTEST_MAIN(TestListing)
#include "tst_listing.moc"
