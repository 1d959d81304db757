// Pagination, painting and run-time set-up of a layout, without a window.
#include "ReportSamples.h"

#include "reports/ReportDocument.h"
#include "reports/ReportLayout.h"
#include "reports/ReportPaginator.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Kind = ReportBand::Kind;

// A layout on 100 mm square paper whose bands are given by a short code:
// T title, H page header, D detail, S summary, F page footer.
class TestLayout : public ReportLayout {
public:
    explicit TestLayout(const QString& bands, double detailHeight = 10)
    {
        setTitle(QStringLiteral("测试报表"));
        setCustomPaper(100, 100);
        setContentWidth(80);
        if (bands.contains('T'))
            addBand(Kind::Title, 20);
        if (bands.contains('H'))
            addBand(Kind::PageHeader, 20);
        addBand(Kind::Detail, detailHeight);
        if (bands.contains('S'))
            addBand(Kind::Summary, 15);
        if (bands.contains('F'))
            addBand(Kind::PageFooter, 10);
        const Kind top = bands.contains('T') ? Kind::Title : Kind::PageHeader;
        if (band(top))
            addLabel(top, QRectF(0, 5, 80, 8), QStringLiteral("左"), Qt::AlignLeft, QStringLiteral("lbl"));
    }
    using ReportLayout::addData;
    using ReportLayout::addLabel;
};

QList<int> rowsOf(const ReportPage& page)
{
    QList<int> rows;
    for (const ReportPage::PlacedBand& b : page.bands)
        if (b.kind == Kind::Detail)
            rows << b.row;
    return rows;
}

// The horizontal extent of dark pixels in a strip of an image, in millimetres.
QPair<double, double> inkSpan(const QImage& image, double dpi, double topMm, double bottomMm)
{
    const double perMm = dpi / 25.4;
    int minX = image.width(), maxX = -1;
    for (int y = int(topMm * perMm); y < int(bottomMm * perMm); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                minX = qMin(minX, x);
                maxX = qMax(maxX, x);
            }
    return {minX / perMm, maxX / perMm};
}

QSizeF pdfPageSizeMm(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromLatin1(file.readAll());
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]")).match(text);
    if (!m.hasMatch())
        return {};
    return {m.captured(1).toDouble() * 25.4 / 72, m.captured(2).toDouble() * 25.4 / 72};
}

} // namespace

class TestReportEngine : public QObject {
    Q_OBJECT

private slots:
    void emptyListPrintsTheFormOnce_data();
    void emptyListPrintsTheFormOnce();
    void longListBreaksPages_data();
    void longListBreaksPages();
    void bandTallerThanAPageStillEnds();
    void detailTextsFollowTheirRowOthersTheCurrentRow();
    void labelTextAndAlignmentAreSetByName();
    void unknownLabelNameIsRefused();
    void customPaperAndBackToA4();
    void pdfTextReadsAsPrinted();
};

void TestReportEngine::emptyListPrintsTheFormOnce_data()
{
    QTest::addColumn<QString>("bands");
    QTest::newRow("header, summary, footer") << "HSF";
    QTest::newRow("title, footer") << "TF";
    QTest::newRow("title only") << "T";
    QTest::newRow("header and summary, no footer") << "HS";
}

void TestReportEngine::emptyListPrintsTheFormOnce()
{
    QFETCH(QString, bands);
    const TestLayout layout(bands);
    const QList<ReportPage> pages = ReportPaginator::paginate(layout, {100, 100}, 0);
    QCOMPARE(pages.size(), 1);
    const ReportPage& page = pages.first();
    QCOMPARE(page.count(Kind::Detail), 0);
    QCOMPARE(page.count(Kind::Title), bands.contains('T') ? 1 : 0);
    QCOMPARE(page.count(Kind::PageHeader), bands.contains('H') ? 1 : 0);
    QCOMPARE(page.count(Kind::Summary), bands.contains('S') ? 1 : 0);
    QCOMPARE(page.count(Kind::PageFooter), bands.contains('F') ? 1 : 0);
    // The form starts at the top margin.
    QCOMPARE(page.bands.first().top, 10.0);
}

void TestReportEngine::longListBreaksPages_data()
{
    QTest::addColumn<QString>("bands");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("rowsPerPage");

    // Header 20 + footer 10 on 80 mm of content: 5 rows of 10 mm per page.
    QTest::newRow("fits with summary") << "HSF" << 3 << QList<int>{3};
    QTest::newRow("summary pushed to a page of its own") << "HSF" << 5 << QList<int>{5, 0};
    QTest::newRow("summary does not fit below 4 rows") << "HSF" << 4 << QList<int>{4, 0};
    QTest::newRow("three pages") << "HSF" << 12 << QList<int>{5, 5, 2};
    QTest::newRow("full pages then summary") << "HSF" << 15 << QList<int>{5, 5, 5, 0};
    // No footer: the rows may run down to the bottom margin.
    QTest::newRow("no footer") << "HS" << 13 << QList<int>{6, 6, 1};
    // A title only on the first page: later pages start at the margin.
    QTest::newRow("title band") << "TF" << 12 << QList<int>{5, 7};
    QTest::newRow("title band, three pages") << "TF" << 13 << QList<int>{5, 7, 1};
    QTest::newRow("title and header") << "THF" << 6 << QList<int>{3, 3};
}

void TestReportEngine::longListBreaksPages()
{
    QFETCH(QString, bands);
    QFETCH(int, rows);
    QFETCH(QList<int>, rowsPerPage);
    const TestLayout layout(bands);
    const QList<ReportPage> pages = ReportPaginator::paginate(layout, {100, 100}, rows);
    QCOMPARE(pages.size(), rowsPerPage.size());

    const double footerTop = bands.contains('F') ? 80.0 : 90.0;
    QList<int> printed;
    for (int p = 0; p < pages.size(); ++p) {
        const ReportPage& page = pages.at(p);
        QCOMPARE(page.count(Kind::Detail), rowsPerPage.at(p));
        printed += rowsOf(page);
        QCOMPARE(page.count(Kind::Title), bands.contains('T') && p == 0 ? 1 : 0);
        QCOMPARE(page.count(Kind::PageHeader), bands.contains('H') ? 1 : 0);
        if (bands.contains('H')) {
            // The page header comes first on every page except under the title.
            const int index = bands.contains('T') && p == 0 ? 1 : 0;
            QCOMPARE(page.bands.at(index).kind, Kind::PageHeader);
        }
        if (bands.contains('F')) {
            QCOMPARE(page.bands.last().kind, Kind::PageFooter);
            QCOMPARE(page.bands.last().top, footerTop);
        }
        // Nothing but the footer reaches into the footer's space.
        for (const ReportPage::PlacedBand& b : page.bands)
            if (b.kind != Kind::PageFooter)
                QVERIFY2(b.top + layout.band(b.kind)->height <= footerTop + 1e-9,
                         qPrintable(QStringLiteral("page %1 band at %2").arg(p + 1).arg(b.top)));
        // Bands follow one another without gaps or overlaps.
        for (int i = 1; i < page.bands.size(); ++i)
            if (page.bands.at(i).kind != Kind::PageFooter)
                QCOMPARE(page.bands.at(i).top,
                         page.bands.at(i - 1).top + layout.band(page.bands.at(i - 1).kind)->height);
    }
    QList<int> expected;
    for (int r = 0; r < rows; ++r)
        expected << r;
    QCOMPARE(printed, expected);

    int summaries = 0;
    for (const ReportPage& page : pages)
        summaries += page.count(Kind::Summary);
    QCOMPARE(summaries, bands.contains('S') ? 1 : 0);
    if (bands.contains('S')) {
        // The summary follows the last row.
        const QList<ReportPage::PlacedBand>& last = pages.last().bands;
        const int at = [&] {
            for (int i = 0; i < last.size(); ++i)
                if (last.at(i).kind == Kind::Summary)
                    return i;
            return -1;
        }();
        QVERIFY(at > 0);
        QVERIFY(last.at(at - 1).kind == Kind::Detail || last.at(at - 1).kind == Kind::PageHeader);
        if (last.at(at - 1).kind == Kind::Detail)
            QCOMPARE(last.at(at - 1).row, rows - 1);
    }
}

void TestReportEngine::bandTallerThanAPageStillEnds()
{
    const TestLayout layout(QStringLiteral("HSF"), 200);
    const QList<ReportPage> pages = ReportPaginator::paginate(layout, {100, 100}, 3);
    QCOMPARE(pages.size(), 4);
    for (int p = 0; p < 3; ++p)
        QCOMPARE(rowsOf(pages.at(p)), QList<int>{p});
    QCOMPARE(pages.last().count(Kind::Summary), 1);
}

void TestReportEngine::detailTextsFollowTheirRowOthersTheCurrentRow()
{
    TestApp app;
    QObject owner;
    samples::fillAll(app, &owner);
    TFrmDataMod& dm = app.dataModule();

    TestLayout layout(QStringLiteral("HSF"));
    layout.setMasterDataset(dm.StoreQ);
    layout.addData(Kind::Detail, QRectF(0, 0, 20, 10), dm.StoreQ, QStringLiteral("gods_name"));
    layout.addData(Kind::Detail, QRectF(20, 0, 20, 10), dm.StoreQ, QStringLiteral("cost_pric"));
    layout.addData(Kind::Detail, QRectF(40, 0, 20, 10), dm.StoreQ, QStringLiteral("cost_tota"));
    layout.addData(Kind::PageHeader, QRectF(0, 14, 40, 5), dm.InMainQ, QStringLiteral("bill_no"));
    layout.addData(Kind::PageHeader, QRectF(40, 14, 40, 5), dm.InMainQ, QStringLiteral("hand_name"));

    dm.StoreQ->locate(QStringLiteral("gods_code"), QStringLiteral("G0003"));
    dm.InMainQ->last();
    const ReportDocument document = layout.prepare();
    QCOMPARE(document.pageCount(), 1);
    const ReportPage& page = document.page(0);
    QStringList names, prices, totals, headerTexts;
    for (const ReportPage::PlacedBand& placed : page.bands) {
        for (const ReportItem& item : layout.band(placed.kind)->items) {
            if (item.kind != ReportItem::Kind::DataText)
                continue;
            const QString text = document.itemText(item, placed);
            if (item.field == QStringLiteral("gods_name"))
                names << text;
            else if (item.field == QStringLiteral("cost_pric"))
                prices << text;
            else if (item.field == QStringLiteral("cost_tota"))
                totals << text;
            else
                headerTexts << text;
        }
    }
    // Look-ups, display format and calculated fields, row by row in dataset order.
    QCOMPARE(names, (QStringList{"男士休闲衬衫", "女式牛仔裤", "儿童运动鞋"}));
    QCOMPARE(prices, (QStringList{"45.5", "80", "62.25"}));
    QCOMPARE(totals, (QStringList{"5460", "240", "1867.5"}));
    // The header dataset shows its current row and its employee look-up.
    QCOMPARE(headerTexts, (QStringList{"20240316093000", "张三"}));
    // Preparing does not move the master's current row.
    QCOMPARE(dm.StoreQ->displayText(QStringLiteral("gods_code")), QStringLiteral("G0003"));

    // A closed header dataset prints empty values rather than failing.
    dm.InMainQ->close();
    const ReportPage::PlacedBand header = page.bands.first();
    for (const ReportItem& item : layout.band(Kind::PageHeader)->items)
        if (item.kind == ReportItem::Kind::DataText)
            QCOMPARE(layout.prepare().itemText(item, header), QString());
    QImage image = layout.prepare().toImage(0, 50);
    QVERIFY(!image.isNull());
}

void TestReportEngine::labelTextAndAlignmentAreSetByName()
{
    TestLayout layout(QStringLiteral("HF"));
    layout.setCustomPaper(210, 100);
    const double dpi = 150;
    // The label spans 10..90 mm across the page and 15..23 mm down.
    const auto span = [&] { return inkSpan(layout.prepare().toImage(0, dpi), dpi, 15, 23); };

    layout.setLabelText(QStringLiteral("lbl"), QStringLiteral("左对齐"));
    QCOMPARE(layout.labelText(QStringLiteral("lbl")), QStringLiteral("左对齐"));
    const auto left = span();
    QVERIFY2(left.first > 10 && left.first < 12.5, qPrintable(QString::number(left.first)));

    layout.setLabelAlignment(QStringLiteral("lbl"), Qt::AlignRight);
    QCOMPARE(layout.labelAlignment(QStringLiteral("lbl")), Qt::AlignRight);
    const auto right = span();
    QVERIFY2(right.second > 87.5 && right.second < 90, qPrintable(QString::number(right.second)));
    QVERIFY(qAbs((right.second - right.first) - (left.second - left.first)) < 0.5);

    layout.setLabelAlignment(QStringLiteral("lbl"), Qt::AlignHCenter);
    const auto centre = span();
    QVERIFY(qAbs((centre.first + centre.second) / 2 - 50) < 1);

    // A longer text takes more room; an empty one prints nothing.
    layout.setLabelText(QStringLiteral("lbl"), QStringLiteral("左对齐左对齐"));
    const auto longer = span();
    QVERIFY(longer.second - longer.first > 1.8 * (centre.second - centre.first));
    layout.setLabelText(QStringLiteral("lbl"), QString());
    QCOMPARE(span().second, -1.0 / (dpi / 25.4));
}

void TestReportEngine::unknownLabelNameIsRefused()
{
    TestLayout layout(QStringLiteral("HF"));
    QVERIFY(layout.hasLabel(QStringLiteral("lbl")));
    QVERIFY(!layout.hasLabel(QStringLiteral("LBL")));
    QVERIFY(!layout.hasLabel(QString()));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, layout.setLabelText(QStringLiteral("nosuch"), QStringLiteral("x")));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, layout.setLabelAlignment(QString(), Qt::AlignRight));
}

void TestReportEngine::customPaperAndBackToA4()
{
    QTemporaryDir dir;
    TestLayout layout(QStringLiteral("HSF"), 6.6);
    const QString custom = dir.filePath(QStringLiteral("custom.pdf"));
    const QString a4 = dir.filePath(QStringLiteral("a4.pdf"));

    layout.setCustomPaper(241, 93);
    QCOMPARE(layout.paper(), ReportPaper::custom(241, 93));
    QCOMPARE(layout.prepare().pageSizeMm(), QSizeF(241, 93));
    layout.writePdf(custom);
    // PDF page sizes are whole points (0.35 mm).
    const QSizeF customSize = pdfPageSizeMm(custom);
    QVERIFY2(qAbs(customSize.width() - 241) < 0.4 && qAbs(customSize.height() - 93) < 0.4,
             qPrintable(QStringLiteral("%1 x %2").arg(customSize.width()).arg(customSize.height())));

    layout.setPaperA4();
    QVERIFY(layout.paper().a4);
    QCOMPARE(layout.prepare().pageSizeMm(), QSizeF(210, 297));
    layout.writePdf(a4);
    const QSizeF a4Size = pdfPageSizeMm(a4);
    QVERIFY(qAbs(a4Size.width() - 210) < 0.4 && qAbs(a4Size.height() - 297) < 0.4);

    // The page length decides the page breaks: 80 rows need more short pages.
    const int shortPages = ReportPaginator::paginate(layout, {241, 93}, 80).size();
    const int a4Pages = ReportPaginator::paginate(layout, {210, 297}, 80).size();
    QCOMPARE(shortPages, 14);   // 73 mm - header 20 - footer 10 = 43 mm: 6 rows a page
    QCOMPARE(a4Pages, 3);       // 277 - 30 = 247 mm: 37 rows a page
}

void TestReportEngine::pdfTextReadsAsPrinted()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext is not installed");
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("texts.pdf"));
    const QStringList texts = {QStringLiteral("A01"), QStringLiteral("ST01-02-3"), QStringLiteral("短袖衬衫 白 XL"),
                               QStringLiteral("1,234.50"), QStringLiteral("客户 G0001")};
    TestLayout layout(QStringLiteral("H"));
    layout.setCustomPaper(210, 100);
    // Each text alone on its line, in the serif and the sans families, plain and bold.
    for (int i = 0; i < texts.size(); ++i) {
        ReportItem& serif = layout.addLabel(Kind::PageHeader, QRectF(0, 3 * i, 40, 3), texts.at(i), Qt::AlignLeft);
        serif.font.pointSize = 6;
        ReportItem& sans = layout.addLabel(Kind::PageHeader, QRectF(40, 3 * i, 40, 3), texts.at(i), Qt::AlignLeft);
        sans.font = {QStringLiteral("Arial"), 6, true};
    }
    layout.setLabelText(QStringLiteral("lbl"), QString());
    layout.writePdf(fileName);

    QProcess process;
    process.start(pdftotext, {QStringLiteral("-layout"), fileName, QStringLiteral("-")});
    QVERIFY(process.waitForFinished());
    const QString read = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString& text : texts)
        QVERIFY2(read.count(text) == 2, qPrintable(QStringLiteral("%1 in:\n%2").arg(text, read)));
}

QTEST_MAIN(TestReportEngine)
#include "tst_reportengine.moc"
