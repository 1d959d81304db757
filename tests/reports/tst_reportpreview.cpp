// The preview window: pages, moves, zoom, saving as PDF, printing through the
// print dialog, and the printer choices each layout keeps.
#include "ReportSamples.h"

#include "reports/ReportDocument.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportPageView.h"
#include "reports/ReportPreview.h"

#include "core/Clock.h"
#include "core/SheetReader.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
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

// Stock rows G0000, G0001, ...: 150 of them make four pages of the stock report.
void addManyStockRows(TestApp& app, int count = 150)
{
    app.exec("with recursive n(i) as (select 0 union all select i + 1 from n where i + 1 < :p1) "
             "insert into storemain (gods_code, gods_amou, cost_pric) select 'G'||substr(cast(10000 + i as text), 2), i, 10 from n",
             {count});
}

// Shows the preview as a user would see it: a window of a set size, painted.
void showPreview(ReportPreview* preview)
{
    preview->resize(900, 700);
    preview->show();
    QVERIFY(QTest::qWaitForWindowExposed(preview));
}

bool hasInk(const QImage& image, const QRect& rect)
{
    const QRect inside = rect.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                return true;
    return false;
}

} // namespace

class TestReportPreview : public QObject {
    Q_OBJECT

private slots:
    void opensOnTheFirstPageAndMoves();
    void paintsOnlyThePagesInView();
    void savesAsPdf();
    void exportsTheLinesToASpreadsheet();
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
        ReportPageView* view = preview->pageView();
        auto* pageBox = preview->findChild<QSpinBox*>(QStringLiteral("pageBox"));
        [&] {
            QVERIFY(view);
            QVERIFY(pageBox);
            showPreview(preview);
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
            const QRect viewport = view->viewport()->rect();
            QVERIFY(view->pageRect(3).intersects(viewport));

            // The current page follows scrolling: most of page 2 in view makes it current.
            QScrollBar* scroll = view->verticalScrollBar();
            scroll->setValue(view->pageRect(2).top() + scroll->value() + view->pageRect(2).height() / 4);
            QCOMPARE(preview->currentPage(), 2);
            QCOMPARE(pageBox->value(), 2);

            // Zooming keeps the current page in view.
            trigger(preview, "actZoom100");
            QCOMPARE(view->zoomMode(), ReportPageView::ZoomMode::Custom);
            QCOMPARE(view->zoomFactor(), 1.0);
            QCOMPARE(preview->currentPage(), 2);
            QVERIFY(view->pageRect(2).intersects(viewport));
            const int realWidth = qRound(report.paper().width * view->logicalDpiX() / 25.4);
            QVERIFY2(qAbs(view->pageRect(2).width() - realWidth) <= 1, qPrintable(QString::number(view->pageRect(2).width())));

            trigger(preview, "actFitWidth");
            QCOMPARE(view->zoomMode(), ReportPageView::ZoomMode::FitToWidth);
            QCOMPARE(preview->currentPage(), 2);
            const QRect wide = view->pageRect(2);
            QVERIFY(wide.left() >= 0 && wide.right() < viewport.width());
            QVERIFY2(wide.width() > viewport.width() * 9 / 10, qPrintable(QString::number(wide.width())));
            QCOMPARE(view->horizontalScrollBar()->maximum(), 0);

            trigger(preview, "actFitPage");
            QCOMPARE(view->zoomMode(), ReportPageView::ZoomMode::FitInView);
            QCOMPARE(preview->currentPage(), 2);
            QVERIFY2(viewport.contains(view->pageRect(2)), qPrintable(QStringLiteral("%1 %2").arg(
                view->pageRect(2).height()).arg(viewport.height())));
            QVERIFY(view->pageRect(2).height() > viewport.height() * 8 / 10);
        }();
        trigger(preview, "actClose");
        return preview->result();
    };
    QCOMPARE(report.preview(), int(QDialog::Rejected));
    QVERIFY(ran);
}

void TestReportPreview::paintsOnlyThePagesInView()
{
    TestApp app;
    QObject owner;
    addManyStockRows(app, 1500);
    ReportLayouts::createAll(&owner);
    app.dataModule().StoreQ->open();
    TRptstore& report = ReportLayouts::get<TRptstore>();
    const int last = report.prepare().pageCount();
    QVERIFY(last >= 30);

    bool ran = false;
    app.dialogs().onExec = [&](QDialog* dialog) {
        auto* preview = qobject_cast<ReportPreview*>(dialog);
        if (!preview)
            return int(QDialog::Rejected);
        ran = true;
        ReportPageView* view = preview->pageView();
        QSignalSpy rendered(view, &ReportPageView::pageRendered);
        const auto renderedPages = [&] {
            QList<int> pages;
            for (const QList<QVariant>& call : rendered)
                pages.append(call.at(0).toInt());
            return pages;
        };
        [&] {
            showPreview(preview);
            QTRY_VERIFY(!rendered.isEmpty());
            QCoreApplication::processEvents();
            // The first page is on screen, painted once; nothing far below it was painted.
            const QList<int> opening = renderedPages();
            QCOMPARE(opening.first(), 1);
            QCOMPARE(opening.count(1), 1);
            for (int page : opening)
                QVERIFY2(page <= 2, qPrintable(QString::number(page)));
            QVERIFY(hasInk(view->viewport()->grab().toImage(), view->pageRect(1)));

            // Going to the last page paints it, and none of the pages between.
            rendered.clear();
            trigger(preview, "actLast");
            QTRY_VERIFY(renderedPages().contains(last));
            for (int page : renderedPages())
                QVERIFY2(page >= last - 1, qPrintable(QString::number(page)));
            QVERIFY(hasInk(view->viewport()->grab().toImage(), view->pageRect(last)));

            // Back on the first page, its picture is reused rather than painted again.
            rendered.clear();
            trigger(preview, "actFirst");
            QCoreApplication::processEvents();
            view->viewport()->repaint();
            QVERIFY2(!renderedPages().contains(1), qPrintable(QString::number(rendered.count())));
        }();
        return int(QDialog::Rejected);
    };
    report.preview();
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

    Clock::setFixed(QDateTime(QDate(2025, 3, 14), QTime(9, 30)));

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
    // Offered: the title and the date, first in the documents folder, then where the last PDF went.
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QFileInfo(documents).isDir())
        documents = QDir::homePath();
    QCOMPARE(app.dialogs().fileSuggestions,
             (QStringList{QDir(documents).filePath("库存报表_20250314.pdf"), dir.filePath("库存报表_20250314.pdf")}));
    // The file gets its extension and holds every page of the report.
    const QString written = chosen + QStringLiteral(".pdf");
    QVERIFY(QFile::exists(written));
    QCOMPARE(pdfPages(written), report.prepare().pageCount());
    QVERIFY(app.dialogs().messages.isEmpty());
}

// The lines as printed: the headings over the columns, numbers as numbers, codes as text.
void TestReportPreview::exportsTheLinesToASpreadsheet()
{
    TestApp app;
    QObject owner;
    samples::fillAll(app, &owner);
    app.exec("update goods set gods_code='0690123456789' where gods_code='G0001'");
    app.exec("update storemain set gods_code='0690123456789' where gods_code='G0001'");
    app.dataModule().GoodsQ->requery();
    app.dataModule().StoreQ->requery();
    ReportLayouts::createAll(&owner);
    TRptstore& report = ReportLayouts::get<TRptstore>();
    QTemporaryDir dir;
    app.dialogs().fileAnswers = {dir.filePath(QStringLiteral("库存"))};
    app.dialogs().onExec = [&](QDialog* dialog) {
        trigger(dialog, "actExport");
        return int(QDialog::Rejected);
    };
    report.preview();

    // The title and the totals above the captions, as printed.
    const QList<SheetRow> rows = SheetReader::read(dir.filePath(QStringLiteral("库存.xlsx")));
    QCOMPARE(rows.size(), app.dataModule().StoreQ->recordCount() + 3);
    QCOMPARE(rows[0].cells.value(0), QVariant(report.labelText(QStringLiteral("title"))));
    QCOMPARE(rows[1].cells.value(0), QVariant(QStringLiteral("总数量")));
    QStringList header;
    for (const QVariant& cell : rows[2].cells)
        header << cell.toString();
    QCOMPARE(header, (QStringList{"货品编码", "货品名称", "分类", "品牌", "款式", "颜色", "尺码", "单位", "数量",
                                  "成本", "小计"}));
    const auto line = std::find_if(rows.cbegin(), rows.cend(), [](const SheetRow& r) {
        return r.cells.value(0) == QVariant(QStringLiteral("0690123456789"));
    });
    QVERIFY(line != rows.cend());
    QCOMPARE(line->cells[1], QVariant(QStringLiteral("男士休闲衬衫")));
    QCOMPARE(line->cells[8], QVariant(120.0));
    QCOMPARE(line->cells[10], QVariant(120 * 45.5));
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

    const auto landscape = [](ReportPreview* preview) {
        const QRect page = preview->pageView()->pageRect(1);
        return page.width() > page.height();
    };
    int dialogMax = 0;
    bool printed = false;
    int pagesAfter = 0;
    bool landscapeAfter = false;
    app.dialogs().onExec = [&](QDialog* dialog) {
        if (auto* print = qobject_cast<QPrintDialog*>(dialog)) {
            dialogMax = print->maxPage();
            // What the user picks in the print dialog: landscape, pages 2 to 3, two copies, to a file.
            QPrinter* printer = print->printer();
            printer->setPageOrientation(QPageLayout::Landscape);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(output);
            printer->setPrintRange(QPrinter::PageRange);
            printer->setFromTo(2, 3);
            printer->setCopyCount(2);
            return int(QDialog::Accepted);
        }
        if (auto* preview = qobject_cast<ReportPreview*>(dialog)) {
            printed = preview->print();
            pagesAfter = preview->pageCount();
            landscapeAfter = landscape(preview);
        }
        return int(QDialog::Rejected);
    };
    store.preview();
    QVERIFY(printed);
    QCOMPARE(dialogMax, store.prepare().pageCount());
    const int copiesPerPage = store.printer().supportsMultipleCopies() ? 1 : 2;
    QCOMPARE(pdfPages(output), 2 * copiesPerPage);
    // The preview shows the pages as printed: across the paper.
    QVERIFY(landscapeAfter);
    QCOMPARE(pagesAfter, store.prepare(QSizeF(297, 210)).pageCount());

    // The choices stay with the stock report for its next print ...
    bool landscapeNext = false;
    app.dialogs().onExec = [&](QDialog* dialog) {
        if (auto* preview = qobject_cast<ReportPreview*>(dialog))
            landscapeNext = landscape(preview);
        return int(QDialog::Rejected);
    };
    store.preview();
    QVERIFY(landscapeNext);
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
