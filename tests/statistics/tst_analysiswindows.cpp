// The analysis windows: reading aside and showing what was read, the margin
// column only with its right, a style opened by Enter as its size × colour grid
// and size curve, the export, the age buckets with their totals.
#include "StyleSamples.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "reports/AnalysisLayout.h"
#include "reports/ReportDocument.h"
#include "reports/ReportLayouts.h"
#include "shop/TillShift.h"
#include "statistics/StyleCellsDialog.h"
#include "statistics/TFrmDayEnd.h"
#include "statistics/TFrmSizeShare.h"
#include "statistics/TFrmSlowStock.h"
#include "statistics/TFrmStyleAnalysis.h"
#include "statistics/TFrmTurnover.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

using StockPosting::BillKind;
using StyleSamples::addGoods;
using StyleSamples::save;

class TestAnalysisWindows : public QObject {
    Q_OBJECT

private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2026, 3, 31), QTime(10, 0))); }
    void cleanup() { Clock::setFixed({}); }
    void styleListReadsAsideAndHidesTheMarginWithoutTheRight();
    void enterOpensTheStyleGrid();
    void printAndExportTakeWhatTheTableShows();
    void dayEndPrintsItsShiftsAndTakings();
    void sizeShareOfTheChosenBrand();
    void stockAgeTotalsAndChart();
};

namespace {

// Style T in black S, M and white M; a goods L sold from opening stock; a loose goods.
void shopData(TestApp& app)
{
    app.exec("insert into baseitem(gods_size_id,gods_size) values('1','S'),('2','M'),('3','L')");
    addGoods(app, "T-B-S", "T", "黑", "S");
    addGoods(app, "T-B-M", "T", "黑", "M");
    addGoods(app, "T-W-M", "T", "白", "M");
    addGoods(app, "T-B-L", "T", "黑", "L");
    addGoods(app, "LOOSE", {}, "灰", "F", "OTHER");
    save(app, BillKind::Purchase, {2025, 6, 1}, {{"T-B-S", 5, 30, {}}, {"T-B-M", 10, 30, {}}, {"T-W-M", 4, 30, {}}});
    save(app, BillKind::Purchase, {2026, 3, 2}, {{"LOOSE", 2, 10, {}}, {"T-B-M", 10, 30, {}}});
    app.exec("insert into storemain(gods_code,gods_amou,cost_pric) values('T-B-L',3,25)");
    save(app, BillKind::Sale, {2026, 3, 20}, {{"T-B-S", 5, 60, {}}, {"T-B-M", 4, 60, {}}, {"T-B-L", 2, 60, {}},
                                              {"LOOSE", 2, 20, {}}});
}

template <typename Window>
void find(Window& window)
{
    QSignalSpy shown(&window, &AnalysisWindow::resultShown);
    window.cmd_find->click();
    QVERIFY(window.isReading() || shown.count() == 1);
    QVERIFY(shown.count() == 1 || shown.wait(10000));
    QVERIFY(!window.isReading());
}

QString text(const QStandardItemModel* model, int row, int column)
{
    return model->index(row, column).data().toString();
}

QStringList captions(const QStandardItemModel* model)
{
    QStringList result;
    for (int c = 0; c < model->columnCount(); ++c)
        result << model->headerData(c, Qt::Horizontal).toString();
    return result;
}

} // namespace

void TestAnalysisWindows::styleListReadsAsideAndHidesTheMarginWithoutTheRight()
{
    TestApp app;
    shopData(app);
    TFrmStyleAnalysis window;
    window.fromDateEdit->setDate({2026, 3, 1});
    find(window);
    QVERIFY(app.dialogs().messages.isEmpty());
    const QStandardItemModel* model = window.model();
    QCOMPARE(model->rowCount(), 2);
    QVERIFY(captions(model).contains("毛利"));
    // T sold 11 of the 10 it received in March (June's purchase is outside): it leads LOOSE's 100 %.
    QCOMPARE(text(model, 0, 0), QStringLiteral("T"));
    QCOMPARE(text(model, 1, 0), QStringLiteral("LOOSE"));
    QCOMPARE(text(model, 0, 2), QStringLiteral("11"));
    QCOMPARE(text(model, 0, 5), QStringLiteral("110"));
    QCOMPARE(text(model, 0, 8), QStringLiteral("2025-06-01"));

    // Without 查看毛利 the column is not there, and the grouping is named in the first caption.
    QString rights(Function::Count, QLatin1Char('1'));
    rights[Function::GrossProfit - 1] = QLatin1Char('0');
    app.setRights(rights);
    window.GroupBox->setCurrentIndex(1);
    find(window);
    QVERIFY(!captions(window.model()).contains("毛利"));
    QCOMPARE(captions(window.model()).first(), QStringLiteral("品牌"));
    QCOMPARE(window.model()->rowCount(), 2);

    // By season: T has none, LOOSE is of SS26.
    app.exec("update goods set season='SS26' where gods_code='LOOSE'");
    window.GroupBox->setCurrentIndex(window.GroupBox->findText(QStringLiteral("季节")));
    find(window);
    QCOMPARE(captions(window.model()).first(), QStringLiteral("季节"));
    QCOMPARE(window.model()->rowCount(), 2);
    QCOMPARE(text(window.model(), 0, 0), QStringLiteral("未分季节"));
    QCOMPARE(text(window.model(), 1, 0), QStringLiteral("SS26"));
}

void TestAnalysisWindows::enterOpensTheStyleGrid()
{
    TestApp app;
    shopData(app);
    TFrmStyleAnalysis window;
    window.fromDateEdit->setDate({2026, 3, 1});
    window.show();
    find(window);
    QStringList grid;
    QStringList curve;
    app.dialogs().onExec = [&](QDialog* dialog) {
        auto* cells = qobject_cast<StyleCellsDialog*>(dialog);
        if (!cells)
            return int(QDialog::Rejected);
        QTableWidget* table = cells->CellGrid;
        // Colours down, sizes across, totals last; the white S and L hold no goods.
        grid << table->horizontalHeaderItem(0)->text() + table->horizontalHeaderItem(3)->text()
             << table->verticalHeaderItem(1)->text() + table->verticalHeaderItem(2)->text()
             << table->item(1, 1)->text() << table->item(0, 0)->text() << table->item(2, 3)->text();
        cells->FigureBox->setCurrentIndex(int(StyleCellsDialog::Shown::SellThrough));
        grid << table->item(1, 1)->text() << table->item(1, 2)->text();
        auto* series = qobject_cast<QBarSeries*>(cells->SizeCurve->chart()->series().value(0));
        for (QBarSet* set : series->barSets())
            curve << set->label() + QStringLiteral(":%1/%2/%3").arg(set->at(0)).arg(set->at(1)).arg(set->at(2));
        return int(QDialog::Rejected);
    };
    window.ResultGrid->setFocus();
    window.ResultGrid->selectRow(0);
    QTest::keyClick(window.ResultGrid, Qt::Key_Return);
    QCOMPARE(grid, (QStringList{"S合计", "黑合计", "4", "", "11", "40.0", "-"}));
    QCOMPARE(curve, (QStringList{"进货:0/10/0", "净销售:5/4/2"}));

    // A brand is no style: Enter opens nothing.
    grid.clear();
    window.GroupBox->setCurrentIndex(1);
    find(window);
    window.ResultGrid->selectRow(0);
    QTest::keyClick(window.ResultGrid, Qt::Key_Return);
    QVERIFY(grid.isEmpty());
}

// 日结 prints the shifts as its grid shows them, the day and its takings above.
void TestAnalysisWindows::dayEndPrintsItsShiftsAndTakings()
{
    TestApp app;
    QObject reports;
    ReportLayouts::createAll(&reports);
    db::Connection& books = app.dataModule().AdoConn;
    TillShift::close(books, TillShift::open(books, QStringLiteral("admin"), 100), 99.5);
    TFrmDayEnd window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(window.shiftsGrid()->rowCount(), 1);
    QStringList printed;
    app.dialogs().onExec = [&](QDialog*) {
        const AnalysisLayout& layout = ReportLayouts::get<AnalysisLayout>();
        const ReportDocument document = layout.prepare();
        printed << layout.labelText("title") << layout.labelText("choices");
        for (const ReportPage::PlacedBand& band : document.page(0).bands)
            if (band.kind == ReportBand::Kind::Detail)
                for (const ReportItem& item : layout.band(ReportBand::Kind::Detail)->items)
                    if (item.kind == ReportItem::Kind::DataText)
                        printed << document.itemText(item, band);
        return int(QDialog::Rejected);
    };
    window.printButton()->click();
    QCOMPARE(printed, (QStringList{"日结", "2026-03-31  销售 0 单，退货 0 单，收款合计 0", "admin", "10:00", "10:00", "100",
                                   "100", "99.5", "-0.5"}));
    QCOMPARE(ReportLayouts::get<AnalysisLayout>().rowCount(), 0);
}

void TestAnalysisWindows::printAndExportTakeWhatTheTableShows()
{
    TestApp app;
    QObject reports;
    ReportLayouts::createAll(&reports);
    shopData(app);
    TFrmTurnover window;
    window.fromDateEdit->setDate({2026, 3, 1});
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    find(window);
    QCOMPARE(window.model()->rowCount(), 2);

    // The print-out: the window's title and choices, its columns, its rows as shown.
    QStringList printed;
    app.dialogs().onExec = [&](QDialog*) {
        const AnalysisLayout& layout = ReportLayouts::get<AnalysisLayout>();
        const ReportDocument document = layout.prepare();
        printed << layout.labelText("title") << layout.labelText("choices") << QString::number(document.pageCount());
        for (const ReportPage::PlacedBand& band : document.page(0).bands)
            if (band.kind == ReportBand::Kind::Detail && band.row == 1)
                for (const ReportItem& item : layout.band(ReportBand::Kind::Detail)->items)
                    if (item.kind == ReportItem::Kind::DataText)
                        printed << document.itemText(item, band);
        return int(QDialog::Rejected);
    };
    window.cmd_prin->click();
    QCOMPARE(printed.mid(0, 3), (QStringList{"周转", "按款号  2026-03-01 至 2026-03-31", "1"}));
    QCOMPARE(printed.mid(3), (QStringList{"T", "320", "645", "625", "0.5", "21", "59"}));
    QCOMPARE(ReportLayouts::get<AnalysisLayout>().rowCount(), 0);   // nothing of the window is kept
    const QString file = app.directory() + QStringLiteral("/turnover.csv");
    app.dialogs().fileAnswers = {file};
    window.ResultGrid->setFocus();
    QTest::keyClick(window.ResultGrid, Qt::Key_E, Qt::ControlModifier);
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(written.readAll()).remove(QChar(0xfeff)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines.at(0).startsWith(QStringLiteral("款号,销售成本,期初库存金额")), qPrintable(lines.at(0)));
    // T: 9 of its goods at 30 and 2 at 25 sold; LOOSE its 2 at 10.
    QVERIFY2(lines.at(2).startsWith(QStringLiteral("T,320,")), qPrintable(lines.at(2)));
}

void TestAnalysisWindows::sizeShareOfTheChosenBrand()
{
    TestApp app;
    shopData(app);
    TFrmSizeShare window;
    QCOMPARE(window.ValueBox->count(), 3);   // all, BX, OTHER
    window.ValueBox->setCurrentText("BX");
    window.fromDateEdit->setDate({2026, 3, 1});
    find(window);
    const QStandardItemModel* model = window.model();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(text(model, 0, 0) + text(model, 1, 0) + text(model, 2, 0), QStringLiteral("SML"));
    QCOMPARE(text(model, 1, 2), QStringLiteral("100"));    // March bought only M
    auto* series = qobject_cast<QBarSeries*>(window.ShareChart->chart()->series().value(0));
    QVERIFY(series);
    QCOMPARE(series->barSets().size(), 2);
    QCOMPARE(series->barSets().at(1)->at(2), 18.2);   // L: 2 of 11 sold
}

void TestAnalysisWindows::stockAgeTotalsAndChart()
{
    TestApp app;
    shopData(app);
    TFrmSlowStock window;
    window.AgeButton->setChecked(true);
    QVERIFY(!window.DaysBox->isEnabled());
    window.GroupBox->setCurrentIndex(1);   // 款号
    find(window);
    const QStandardItemModel* model = window.model();
    QCOMPARE(model->rowCount(), 2);   // T and the total
    QCOMPARE(text(model, 1, 0), QStringLiteral("合计"));
    // T: 16 black M (10 of March, 6 of June 2025), 4 white M of June, 1 L of no purchase.
    QCOMPARE(text(model, 1, 1), QStringLiteral("10"));
    QCOMPARE(text(model, 1, 7), QStringLiteral("10"));
    QCOMPARE(text(model, 1, 9), QStringLiteral("1"));
    QVERIFY(window.AgeChart->isVisibleTo(&window));
    auto* series = qobject_cast<QBarSeries*>(window.AgeChart->chart()->series().value(0));
    QCOMPARE(series->barSets().first()->count(), StyleAnalysis::ageBucketCount);

    window.SlowButton->setChecked(true);
    find(window);
    QVERIFY(!window.AgeChart->isVisibleTo(&window));
    QCOMPARE(captions(window.model()).first(), QStringLiteral("款号"));
}

QTEST_MAIN(TestAnalysisWindows)
#include "tst_analysiswindows.moc"
