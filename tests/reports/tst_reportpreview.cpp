// The preview window: pages, moves, zoom, saving as PDF, printing through the
// print dialog, and the printer choices each layout keeps.
#include "ReportSamples.h"

#include "reports/ReportDocument.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportPreview.h"

#include <QAction>
#include <QFile>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

int pdfPages(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return QString::fromLatin1(file.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]")));
}

void trigger(QDialog* dialog, const char* name)
{
    QAction* action = dialog->findChild<QAction*>(QString::fromLatin1(name));
    QVERIFY2(action, name);
    action->trigger();
}

// 150 stock rows: five pages of the stock report.
void addManyStockRows(TestApp& app)
{
    for (int i = 0; i < 150; ++i)
        app.exec("insert into storemain (gods_code, gods_amou, cost_pric) values (:p1, :p2, 10)",
                 {QStringLiteral("G%1").arg(i, 4, 10, QLatin1Char('0')), i});
}

} // namespace

class TestReportPreview : public QObject {
    Q_OBJECT

private slots:
    void opensOnTheFirstPageAndMoves();
    void savesAsPdf();
    void printsTheChosenPagesAndKeepsTheChoices();
    void showsTheLayoutPaper();
};

void TestReportPreview::opensOnTheFirstPageAndMoves()
{
    TestApp app;
    QObject owner;
    addManyStockRows(app);
    ReportLayouts::createAll(&owner);
    app.dataModule().StoreQ->open();
    TRptstore& report = ReportLayouts::get<TRptstore>();
    const int expectedPages = report.prepare().pageCount();
    QVERIFY(expectedPages >= 4);

    bool ran = false;
    app.dialogs().onExec = [&](QDialog* dialog) {
        auto* preview = qobject_cast<ReportPreview*>(dialog);
        if (!preview)
            return int(QDialog::Rejected);
        ran = true;
        QPrintPreviewWidget* view = preview->previewWidget();
        auto* pageBox = preview->findChild<QSpinBox*>(QStringLiteral("pageBox"));
        [&] {
            QVERIFY(pageBox);
            QCOMPARE(preview->pageCount(), expectedPages);
            QCOMPARE(preview->currentPage(), 1);
            trigger(preview, "actNext");
            QCOMPARE(preview->currentPage(), 2);
            QCOMPARE(pageBox->value(), 2);
            trigger(preview, "actLast");
            QCOMPARE(preview->currentPage(), expectedPages);
            trigger(preview, "actNext");
            QCOMPARE(preview->currentPage(), expectedPages);
            trigger(preview, "actPrevious");
            QCOMPARE(preview->currentPage(), expectedPages - 1);
            trigger(preview, "actFirst");
            QCOMPARE(preview->currentPage(), 1);
            trigger(preview, "actPrevious");
            QCOMPARE(preview->currentPage(), 1);
            pageBox->setValue(3);
            QCOMPARE(preview->currentPage(), 3);
            QCOMPARE(pageBox->maximum(), expectedPages);

            trigger(preview, "actZoom100");
            QCOMPARE(view->zoomMode(), QPrintPreviewWidget::CustomZoom);
            QCOMPARE(view->zoomFactor(), 1.0);
            trigger(preview, "actFitWidth");
            QCOMPARE(view->zoomMode(), QPrintPreviewWidget::FitToWidth);
            trigger(preview, "actFitPage");
            QCOMPARE(view->zoomMode(), QPrintPreviewWidget::FitInView);
        }();
        trigger(preview, "actClose");
        return preview->result();
    };
    QCOMPARE(report.preview(), int(QDialog::Rejected));
    QVERIFY(ran);
}

void TestReportPreview::savesAsPdf()
{
    TestApp app;
    QObject owner;
    samples::fillAll(app, &owner);
    addManyStockRows(app);
    app.dataModule().StoreQ->requery();
    ReportLayouts::createAll(&owner);
    TRptstore& report = ReportLayouts::get<TRptstore>();
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("库存"));

    bool saved = false;
    bool cancelled = true;
    app.dialogs().onExec = [&](QDialog* dialog) {
        auto* preview = qobject_cast<ReportPreview*>(dialog);
        if (preview) {
            app.dialogs().fileAnswers = {chosen, QString()};
            saved = preview->saveAsPdf();
            cancelled = preview->saveAsPdf();
        }
        return int(QDialog::Rejected);
    };
    report.preview();
    QVERIFY(saved);
    QVERIFY(!cancelled);
    // The file gets its extension and holds every page of the report.
    const QString written = chosen + QStringLiteral(".pdf");
    QVERIFY(QFile::exists(written));
    QCOMPARE(pdfPages(written), report.prepare().pageCount());
    QVERIFY(app.dialogs().messages.isEmpty());
}

void TestReportPreview::printsTheChosenPagesAndKeepsTheChoices()
{
    TestApp app;
    QObject owner;
    samples::fillAll(app, &owner);
    addManyStockRows(app);
    app.dataModule().StoreQ->requery();
    ReportLayouts::createAll(&owner);
    TRptstore& store = ReportLayouts::get<TRptstore>();
    TQRin& bill = ReportLayouts::get<TQRin>();
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("printed.pdf"));

    int dialogMax = 0;
    bool printed = false;
    app.dialogs().onExec = [&](QDialog* dialog) {
        if (auto* print = qobject_cast<QPrintDialog*>(dialog)) {
            dialogMax = print->maxPage();
            // What the user picks in the print dialog: pages 2 to 3, two copies, to a file.
            QPrinter* printer = print->printer();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(output);
            printer->setPrintRange(QPrinter::PageRange);
            printer->setFromTo(2, 3);
            printer->setCopyCount(2);
            return int(QDialog::Accepted);
        }
        if (auto* preview = qobject_cast<ReportPreview*>(dialog))
            printed = preview->print();
        return int(QDialog::Rejected);
    };
    store.preview();
    QVERIFY(printed);
    QCOMPARE(dialogMax, store.prepare().pageCount());
    const int copiesPerPage = store.printer().supportsMultipleCopies() ? 1 : 2;
    QCOMPARE(pdfPages(output), 2 * copiesPerPage);

    // The choices stay with the stock report for its next print ...
    app.dialogs().onExec = [](QDialog*) { return int(QDialog::Rejected); };
    store.preview();
    QCOMPARE(store.printer().copyCount(), 2);
    QCOMPARE(store.printer().outputFileName(), output);
    QCOMPARE(store.printer().fromPage(), 2);
    // ... and no other layout sees them.
    QVERIFY(&bill.printer() != &store.printer());
    bill.preview();
    QCOMPARE(bill.printer().copyCount(), 1);
    QVERIFY(bill.printer().outputFileName() != output);
    QCOMPARE(bill.printer().fromPage(), 0);

    // A cancelled print dialog prints nothing.
    QFile::remove(output);
    bool cancelledPrint = true;
    app.dialogs().onExec = [&](QDialog* dialog) {
        if (auto* preview = qobject_cast<ReportPreview*>(dialog))
            cancelledPrint = preview->print();
        return int(QDialog::Rejected);
    };
    store.preview();
    QVERIFY(!cancelledPrint);
    QVERIFY(!QFile::exists(output));
}

void TestReportPreview::showsTheLayoutPaper()
{
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    TQRout& out = ReportLayouts::get<TQRout>();

    QSizeF shown;
    app.dialogs().onExec = [&](QDialog* dialog) {
        if (qobject_cast<ReportPreview*>(dialog))
            shown = out.printer().pageLayout().fullRect(QPageLayout::Millimeter).size();
        return int(QDialog::Rejected);
    };
    const auto near = [](QSizeF a, QSizeF b) {
        return qAbs(a.width() - b.width()) < 0.5 && qAbs(a.height() - b.height()) < 0.5;
    };
    out.preview();
    QVERIFY2(near(shown, {218, 140}), qPrintable(QStringLiteral("%1 x %2").arg(shown.width()).arg(shown.height())));
    out.setCustomPaper(241, 93);
    out.preview();
    QVERIFY2(near(shown, {241, 93}), qPrintable(QStringLiteral("%1 x %2").arg(shown.width()).arg(shown.height())));
    out.setPaperA4();
    out.preview();
    QVERIFY(near(shown, {210, 297}));
}

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
