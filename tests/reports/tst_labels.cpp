// Barcode labels on each paper: the PDF page rendered to PNG (pdftoppm) must
// scan back (zbarimg) to the codes printed, one per label, each in its symbology
// (EAN-13 for 13 valid digits, EAN-8 for 8, Code 128 otherwise).
#include "TestSupport.h"

#include "core/LabelPaper.h"
#include "db/Dataset.h"
#include "reports/LabelLayout.h"
#include "reports/ReportDocument.h"
#include "reports/ReportLayouts.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

class TestLabels : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyLabelScansBackOnEveryPaper_data();
    void everyLabelScansBackOnEveryPaper();
    void sheetPutsThreeLabelsInARow();
    void longCode128ScansAtAThermalPrintersResolution_data();
    void longCode128ScansAtAThermalPrintersResolution();
    void aCodeTooLongForTheLabelIsRefused();
    void thirteenDigitsWithAWrongCheckDigitPrintAsCode128();

private:
    std::unique_ptr<TestApp> m_app;
    std::unique_ptr<QObject> m_reports;
};

namespace {

QString tool(const char* name)
{
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (path.isEmpty())
        qFatal("%s is missing: install zbar-tools and poppler-utils (scripts/install-deps.sh)", name);
    return path;
}

// The codes zbarimg reads, label by label, as "symbology:code" ("EAN-13:…",
// "CODE-128:…"): each label's place cut out of its page, since a scanner reads
// one label at a time.
QStringList scanLabels(const QList<QImage>& pages, const ReportDocument& doc, double border, double dpi)
{
    const QTemporaryDir dir;
    const double px = dpi / 25.4;
    const double width = doc.layout().contentWidth() / doc.layout().detailColumns();
    const double height = doc.layout().band(ReportBand::Kind::Detail)->height;
    QStringList codes;
    for (int p = 0; p < pages.size(); ++p) {
        for (const ReportPage::PlacedBand& band : doc.page(p).bands) {
            const QRect cut = QRectF((border + band.left) * px, band.top * px, width * px, height * px).toRect();
            const QString label = dir.filePath(QStringLiteral("label.png"));
            pages.at(p).copy(cut).save(label);
            QProcess scan;
            scan.start(tool("zbarimg"), {QStringLiteral("--quiet"), label});
            scan.waitForFinished(60000);
            const QString read = QString::fromUtf8(scan.readAllStandardOutput()).trimmed();
            codes << (read.isEmpty() ? QStringLiteral("(unread)") : read);
        }
    }
    codes.sort();
    return codes;
}

// The PDF's pages as pdftoppm renders them, then read label by label.
QStringList scanLabels(const QString& pdf, const ReportDocument& doc, double border, double dpi = 300)
{
    const QDir dir(QFileInfo(pdf).absolutePath());
    QProcess render;
    render.start(tool("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), pdf,
                                    dir.filePath(QStringLiteral("page"))});
    if (!render.waitForFinished(60000) || render.exitCode() != 0)
        qFatal("pdftoppm failed");
    const QStringList files = dir.entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
    if (files.size() != doc.pageCount())
        return {QStringLiteral("%1 pages rendered").arg(files.size())};
    QList<QImage> pages;
    for (const QString& file : files)
        pages << QImage(dir.filePath(file));
    return scanLabels(pages, doc, border, dpi);
}

} // namespace

void TestLabels::init()
{
    m_app = std::make_unique<TestApp>();
    m_reports = std::make_unique<QObject>();
    ReportLayouts::createAll(m_reports.get());
    m_app->exec("insert into goods(gods_code,gods_name,gods_color,gods_size,valu_out,bar_code) "
                "values('G13','BX红XL衬衫','红','XL',128,'4006381333931')");
    m_app->exec("insert into goods(gods_code,gods_name,gods_color,gods_size,valu_out,bar_code) "
                "values('G8','短袜','白','M',9.5,'73513537')");
    // No barcode: the goods code prints in Code 128.
    m_app->exec("insert into goods(gods_code,gods_name,gods_color,gods_size,valu_out) "
                "values('T-001','帽子','黑','均码',35)");
    m_app->exec("insert into ingoods(bill_no,gods_code,sub_amou,unit_pric) values('B1','G13',2,60)");
    m_app->exec("insert into ingoods(bill_no,gods_code,sub_amou,unit_pric) values('B1','G8',3,4)");
    m_app->exec("insert into ingoods(bill_no,gods_code,sub_amou,unit_pric) values('B1','T-001',1,20)");
    m_app->exec("insert into ingoods(bill_no,gods_code,sub_amou,unit_pric) values('B2','G13',9,60)");
}

void TestLabels::cleanup()
{
    m_reports.reset();
    m_app.reset();
}

void TestLabels::everyLabelScansBackOnEveryPaper_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("codes");
    const QString ean13 = QStringLiteral("EAN-13:4006381333931");
    const QString ean8 = QStringLiteral("EAN-8:73513537");
    const QString code128 = QStringLiteral("CODE-128:T-001");
    const QStringList perPiece = {code128, ean13, ean13, ean8, ean8, ean8};
    const QStringList perLine = {code128, ean13, ean8};
    const QStringList goods = {ean8, ean8};
    for (const LabelPaper::Shape& s : LabelPaper::shapes()) {
        const int paper = int(s.kind);
        QTest::addRow("%s 每件", qPrintable(s.name)) << paper << "piece" << perPiece;
        QTest::addRow("%s 每行", qPrintable(s.name)) << paper << "line" << perLine;
        QTest::addRow("%s 货品", qPrintable(s.name)) << paper << "goods" << goods;
    }
}

void TestLabels::everyLabelScansBackOnEveryPaper()
{
    QFETCH(int, paper);
    QFETCH(QString, source);
    QFETCH(QStringList, codes);
    QVERIFY(LabelPaper::setCurrent(LabelPaper::Kind(paper)));
    LabelLayout& labels = ReportLayouts::get<LabelLayout>();
    if (source == QLatin1String("goods"))
        labels.forGoods(QStringLiteral("G8"), 2);
    else
        labels.forPurchase(QStringLiteral("B1"), source == QLatin1String("piece"));
    QCOMPARE(labels.rows()->recordCount(), codes.size());
    const LabelPaper::Shape& shape = LabelPaper::shape(LabelPaper::Kind(paper));
    const ReportDocument doc = labels.prepare();
    QCOMPARE(doc.pageCount(), shape.across > 1 ? 1 : int(codes.size()));
    QCOMPARE(doc.pageSizeMm(), shape.page);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
    labels.writePdf(pdf);
    QCOMPARE(scanLabels(pdf, doc, shape.border), codes);
}

void TestLabels::sheetPutsThreeLabelsInARow()
{
    QVERIFY(LabelPaper::setCurrent(LabelPaper::Kind::SheetA4));
    LabelLayout& labels = ReportLayouts::get<LabelLayout>();
    labels.forPurchase(QStringLiteral("B2"), true);
    const ReportDocument doc = labels.prepare();
    QCOMPARE(doc.pageCount(), 1);
    const QList<ReportPage::PlacedBand>& bands = doc.page(0).bands;
    QCOMPARE(bands.size(), 9);
    // Rows of three, 37 mm apart, the fourth label starting the second row.
    QCOMPARE(bands.at(2).top, bands.at(0).top);
    QVERIFY(bands.at(2).left > bands.at(1).left);
    QCOMPARE(bands.at(3).left, 0.0);
    QCOMPARE(bands.at(3).top - bands.at(0).top, 37.0);
    // 25 labels fill one sheet of 24 and start a second.
    labels.forGoods(QStringLiteral("G13"), 25);
    QCOMPARE(labels.prepare().pageCount(), 2);
    QCOMPARE(labels.prepare().page(1).bands.size(), 1);
}

void TestLabels::longCode128ScansAtAThermalPrintersResolution_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<int>("dpi");   // 0: the PDF, rendered at a thermal printer's 203 dpi
    for (const LabelPaper::Shape& s : LabelPaper::shapes())
        for (const int dpi : {0, 203, 300, 600})
            QTest::addRow("%s %s", qPrintable(s.name), dpi ? qPrintable(QStringLiteral("printed at %1 dpi").arg(dpi)) : "PDF")
                << int(s.kind) << dpi;
}

// Twenty characters of Code 128 on each label: bars of whole dots of the printer.
void TestLabels::longCode128ScansAtAThermalPrintersResolution()
{
    QFETCH(int, paper);
    QFETCH(int, dpi);
    const QString twenty = QStringLiteral("ST0102XLBLK-2024-RED");
    QCOMPARE(twenty.size(), 20);
    m_app->exec("insert into goods(gods_code,gods_name,valu_out,bar_code) values('L20','长码衬衫',99,:p1)", {twenty});
    QVERIFY(LabelPaper::setCurrent(LabelPaper::Kind(paper)));
    LabelLayout& labels = ReportLayouts::get<LabelLayout>();
    labels.forGoods(QStringLiteral("L20"), 1);
    const ReportDocument doc = labels.prepare();
    const double border = LabelPaper::shape(LabelPaper::Kind(paper)).border;
    if (dpi) {
        // What a printer of that resolution is given: the page painted on its dots.
        QCOMPARE(scanLabels({doc.toImage(0, dpi)}, doc, border, dpi), QStringList{QStringLiteral("CODE-128:") + twenty});
        return;
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
    labels.writePdf(pdf);
    QCOMPARE(scanLabels(pdf, doc, border, 203), QStringList{QStringLiteral("CODE-128:") + twenty});
}

void TestLabels::aCodeTooLongForTheLabelIsRefused()
{
    const QString code = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ-0123456789");
    m_app->exec("insert into goods(gods_code,gods_name,valu_out,bar_code) values('L37','长码',9,:p1)", {code});
    QVERIFY(LabelPaper::setCurrent(LabelPaper::Kind::Roll40x30));
    LabelLayout& labels = ReportLayouts::get<LabelLayout>();
    try {
        labels.forGoods(QStringLiteral("L37"), 1);
        QFAIL("a code of 37 characters was laid out on a 40 mm label");
    } catch (const std::exception& e) {
        const QString message = QString::fromStdString(e.what());
        QVERIFY2(message.startsWith(QStringLiteral("条码“%1”太长").arg(code)), qPrintable(message));
    }
}

// An EAN's check digit is its proof: digits that fail it are no EAN, and a
// scanner must read them back exactly as typed.
void TestLabels::thirteenDigitsWithAWrongCheckDigitPrintAsCode128()
{
    m_app->exec("insert into goods(gods_code,gods_name,valu_out,bar_code) values('W13','错码',9,'4006381333932')");
    QVERIFY(LabelPaper::setCurrent(LabelPaper::Kind::Roll40x30));
    LabelLayout& labels = ReportLayouts::get<LabelLayout>();
    labels.forGoods(QStringLiteral("W13"), 1);
    const ReportDocument doc = labels.prepare();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
    labels.writePdf(pdf);
    QCOMPARE(scanLabels(pdf, doc, LabelPaper::shape(LabelPaper::Kind::Roll40x30).border),
             QStringList{QStringLiteral("CODE-128:4006381333932")});
}

QTEST_MAIN(TestLabels)
#include "tst_labels.moc"
