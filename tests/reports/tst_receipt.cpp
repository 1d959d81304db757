// Till receipts: the ESC/POS bytes read back as the printer prints them, where
// they are sent (a device, a queue that fails) and the page a normal printer prints.
#include "EscPosReader.h"

#include "reports/EscPosReceipt.h"
#include "reports/ReceiptLayout.h"
#include "reports/ReceiptPrinter.h"
#include "reports/ReceiptText.h"
#include "reports/ReportDocument.h"

#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

shop::Receipt sale()
{
    shop::Receipt r;
    r.shopName = QStringLiteral("衣恋服饰");
    r.shopAddress = QStringLiteral("城关镇解放路18号");
    r.shopPhone = QStringLiteral("0931-8812345");
    r.number = QStringLiteral("XS202612110001");
    r.when = QDateTime(QDate(2026, 12, 11), QTime(14, 3, 5));
    r.cashier = QStringLiteral("王丽");
    r.lines = {{QStringLiteral("短袖衬衫 白 XL"), 2, 59, 118},
               {QStringLiteral("牛仔裤 蓝 32"), 1, 139.5, 139.5},
               {QStringLiteral("Socks 黑 M"), 3, 10, 30}};
    r.discount = 7.5;
    r.total = 280;
    r.payments = {{QStringLiteral("现金"), 200}, {QStringLiteral("微信"), 100}};
    r.change = 20;
    r.cashTaken = true;
    return r;
}

QString tool(const char* name)
{
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (path.isEmpty())
        qFatal("%s is missing: install zbar-tools and poppler-utils (scripts/install-deps.sh)", name);
    return path;
}

} // namespace

class TestReceipt : public QObject {
    Q_OBJECT

private slots:
    void saleReadsBackAsTheCashierChecksIt_data();
    void saleReadsBackAsTheCashierChecksIt();
    void drawerOpensOnlyForCash();
    void returnReceiptSaysSoAndPaysBack();
    void longChineseNameWrapsOnTheNarrowRoll();
    void wrappingKeepsWordsAndCharactersWhole();
    void controlCharactersNeverReachThePrinter();
    void barcodeFitsTheRollOrIsLeftOut();
    void deviceKeepsEveryReceiptAndAFailingOneIsSaid();
    void queueThatFailsIsSaid();
    void pageFallbackScansBack_data();
    void pageFallbackScansBack();
    void longReceiptGoesOnOverPages();
    void shiftSlipShowsTheCashAndTheDifference();
};

void TestReceipt::saleReadsBackAsTheCashierChecksIt_data()
{
    QTest::addColumn<int>("columns");
    QTest::newRow("80 mm") << 48;
    QTest::newRow("58 mm") << 32;
}

void TestReceipt::saleReadsBackAsTheCashierChecksIt()
{
    QFETCH(int, columns);
    const EscPosReader printed(EscPosReceipt::bytes(sale(), columns));
    QVERIFY2(printed.fault.isEmpty(), qPrintable(printed.fault));
    QVERIFY(printed.reset && printed.chineseMode);
    for (const EscPosReader::TextLine& line : printed.lines)
        QVERIFY2(line.columns == columns, qPrintable(QStringLiteral("%1 columns: %2").arg(line.columns).arg(line.text)));

    const QStringList texts = printed.texts();
    QCOMPARE(texts.first(), QStringLiteral("衣恋服饰"));
    QVERIFY(printed.lines.first().bold);
    // Centred: as many spaces before as after, give or take one.
    const QString name = printed.lines.first().text;
    const qsizetype before = name.indexOf(QStringLiteral("衣"));
    QVERIFY(qAbs(before - (name.size() - before - 4)) <= 1);
    QVERIFY(texts.contains(QStringLiteral("电话：0931-8812345")));
    QVERIFY(texts.contains(QStringLiteral("单号：XS202612110001")));
    QVERIFY(texts.contains(QStringLiteral("日期：2026-12-11 14:03:05")));
    QVERIFY(texts.contains(QStringLiteral("收银：王丽")));

    // Each goods line: its name, then quantity × price with the amount at the right edge.
    const int first = int(texts.indexOf(QStringLiteral("短袖衬衫 白 XL")));
    QVERIFY(first > 0);
    QVERIFY(texts.at(first + 1).startsWith(QStringLiteral("2 × 59.00")));
    QVERIFY(printed.lines.at(first + 1).text.endsWith(QStringLiteral(" 118.00")));
    QVERIFY(texts.at(first + 3).startsWith(QStringLiteral("1 × 139.50")));
    QVERIFY(texts.at(first + 3).endsWith(QStringLiteral("139.50")));

    QVERIFY(printed.line(QStringLiteral("件数")).text.endsWith(QStringLiteral(" 6")));
    QVERIFY(printed.line(QStringLiteral("折扣")).text.endsWith(QStringLiteral(" -7.50")));
    const EscPosReader::TextLine total = printed.line(QStringLiteral("合计"));
    QVERIFY(total.text.endsWith(QStringLiteral(" 280.00")));
    QVERIFY(total.large && total.bold);
    QVERIFY(printed.line(QStringLiteral("现金")).text.endsWith(QStringLiteral(" 200.00")));
    QVERIFY(printed.line(QStringLiteral("微信")).text.endsWith(QStringLiteral(" 100.00")));
    QVERIFY(printed.line(QStringLiteral("找零")).text.endsWith(QStringLiteral(" 20.00")));
    QVERIFY(!printed.line(QStringLiteral("现金")).large);   // the size went back after the total
    QVERIFY(!printed.largeLeftOn);

    QCOMPARE(printed.barcodes, QStringList{QStringLiteral("XS202612110001")});
    QVERIFY(printed.cut);
    QVERIFY(printed.drawerPulse && printed.pulseAfterCut);
}

void TestReceipt::drawerOpensOnlyForCash()
{
    shop::Receipt r = sale();
    r.payments = {{QStringLiteral("支付宝"), 280}};
    r.change = 0;
    r.cashTaken = false;
    const EscPosReader printed(EscPosReceipt::bytes(r, 48));
    QVERIFY(printed.fault.isEmpty());
    QVERIFY(printed.cut);
    QVERIFY(!printed.drawerPulse);
    QVERIFY(printed.line(QStringLiteral("找零")).text.isEmpty());
}

void TestReceipt::returnReceiptSaysSoAndPaysBack()
{
    shop::Receipt r = sale();
    r.isReturn = true;
    r.number = QStringLiteral("TH202612110002");
    r.lines = {{QStringLiteral("短袖衬衫 白 XL"), 1, 59, 59}};
    r.discount = 0;
    r.total = 59;
    r.payments = {{QStringLiteral("现金"), 59}};
    r.change = 0;
    const EscPosReader printed(EscPosReceipt::bytes(r, 32));
    QVERIFY(printed.fault.isEmpty());
    QVERIFY(printed.texts().contains(QStringLiteral("退货小票")));
    QVERIFY(printed.line(QStringLiteral("退款合计")).text.endsWith(QStringLiteral(" 59.00")));
    QVERIFY(printed.line(QStringLiteral("退现金")).text.endsWith(QStringLiteral(" 59.00")));
    QVERIFY(printed.line(QStringLiteral("折扣")).text.isEmpty());
    QCOMPARE(printed.barcodes, QStringList{QStringLiteral("TH202612110002")});
}

void TestReceipt::longChineseNameWrapsOnTheNarrowRoll()
{
    shop::Receipt r = sale();
    const QString name = QStringLiteral("秋冬新款加厚加绒高领套头针织毛衣女士宽松外穿 酒红 XXL");
    r.lines = {{name, 12, 1234.56, 14814.72}};
    const EscPosReader printed(EscPosReceipt::bytes(r, 32));
    QVERIFY(printed.fault.isEmpty());
    QCOMPARE(printed.widest(), 32);
    const QStringList texts = printed.texts();
    const int first = int(texts.indexOf(QStringLiteral("秋冬新款加厚加绒高领套头针织毛衣")));
    QVERIFY2(first > 0, qPrintable(texts.join('\n')));
    // Nothing of the name is lost between its lines.
    QCOMPARE(texts.at(first) + texts.at(first + 1), name);
    QVERIFY(texts.at(first + 2).startsWith(QStringLiteral("12 × 1234.56")));
    QVERIFY(texts.at(first + 2).endsWith(QStringLiteral("14814.72")));
}

void TestReceipt::wrappingKeepsWordsAndCharactersWhole()
{
    // A Latin word moves to the next line whole.
    QCOMPARE(ReceiptText::wrap(QStringLiteral("Cotton Polo Shirt"), 12),
             (QStringList{QStringLiteral("Cotton Polo"), QStringLiteral("Shirt")}));
    // A character beyond the basic plane is one character of two columns.
    const QString rare = QStringLiteral("𠀀𠀀𠀀");
    QCOMPARE(ReceiptText::displayWidth(rare), 6);
    QCOMPARE(ReceiptText::wrap(rare, 5), (QStringList{QStringLiteral("𠀀𠀀"), QStringLiteral("𠀀")}));
    // A Chinese character never straddles the edge: an odd width leaves a column free.
    QCOMPARE(ReceiptText::wrap(QStringLiteral("毛衣毛衣"), 7), (QStringList{QStringLiteral("毛衣毛"), QStringLiteral("衣")}));
    // A caption and an amount too wide together take two lines, the amount at the right.
    shop::Receipt r = sale();
    r.payments = {{QStringLiteral("很长很长的一种结算方式名称"), 123456789.5}};
    const QList<ReceiptText::Line> lines = ReceiptText::lines(r, 32);
    const qsizetype at = std::find_if(lines.cbegin(), lines.cend(), [](const ReceiptText::Line& l) {
                             return l.text.startsWith(QStringLiteral("很长"));
                         }) - lines.cbegin();
    QVERIFY(at < lines.size() - 1);
    QVERIFY(lines.at(at).right.isEmpty());
    QCOMPARE(lines.at(at + 1).right, QStringLiteral("123456789.50"));
    QCOMPARE(ReceiptText::padded(lines.at(at + 1), 32).size(), 32);
}

void TestReceipt::controlCharactersNeverReachThePrinter()
{
    shop::Receipt r = sale();
    // ESC i is a full cut on many printers; GS V would cut too.
    r.lines = {{QStringLiteral("衬衫\x1bi\x1dV白"), 1, 10, 10}};
    r.cashier = QStringLiteral("王\n丽");
    const EscPosReader printed(EscPosReceipt::bytes(r, 48));
    QVERIFY2(printed.fault.isEmpty(), qPrintable(printed.fault));
    QVERIFY(printed.texts().contains(QStringLiteral("衬衫 i V白")));
    QVERIFY(printed.texts().contains(QStringLiteral("收银：王 丽")));
}

void TestReceipt::barcodeFitsTheRollOrIsLeftOut()
{
    shop::Receipt r = sale();
    // Code 128's own escape is doubled and read back as one.
    r.number = QStringLiteral("A{1");
    QCOMPARE(EscPosReader(EscPosReceipt::bytes(r, 32)).barcodes, QStringList{QStringLiteral("A{1")});

    // The bars and their quiet zones across the paper at the widest module that fits.
    r.number = QStringLiteral("XS20261211000123");
    for (int columns : {32, 48}) {
        const EscPosReader printed(EscPosReceipt::bytes(r, columns));
        QCOMPARE(printed.barcodes, QStringList{r.number});
        const int modules = 11 * int(r.number.size()) + 55;
        const int dots = printed.barcodeModuleDots.first();
        QVERIFY(modules * dots <= EscPosReceipt::dotsAcross(columns));
        QVERIFY(modules * (dots + 1) > EscPosReceipt::dotsAcross(columns) || dots == 3);
    }
    // Too long for the narrow roll even at one dot a module: the number is still printed as text.
    r.number = QString(40, QLatin1Char('7'));
    const EscPosReader narrow(EscPosReceipt::bytes(r, 32));
    QVERIFY(narrow.fault.isEmpty());
    QVERIFY(narrow.barcodes.isEmpty());
    QVERIFY(narrow.texts().join(QString()).contains(r.number.left(20)));
    // A number Code 128 set B cannot hold gets no bars.
    r.number = QStringLiteral("XS收银01");
    QVERIFY(EscPosReader(EscPosReceipt::bytes(r, 48)).barcodes.isEmpty());
}

void TestReceipt::deviceKeepsEveryReceiptAndAFailingOneIsSaid()
{
    const QTemporaryDir dir;
    ReceiptPrinterSettings settings;
    settings.output = ReceiptPrinterSettings::Output::Device;
    settings.target = dir.filePath(QStringLiteral("lp0"));
    settings.paperMm = 58;
    const ReceiptPrinter printer(settings);
    // A device that is not there is said, never created as a file.
    QVERIFY(printer.print(sale()).startsWith(QStringLiteral("小票没有打印：无法打开小票打印机 %1（").arg(settings.target)));
    QVERIFY(!QFile::exists(settings.target));
    QFile plugged(settings.target);
    QVERIFY(plugged.open(QIODevice::WriteOnly));
    plugged.close();
    shop::Receipt second = sale();
    second.number = QStringLiteral("XS202612110002");
    QCOMPARE(printer.print(sale()), QString());
    QCOMPARE(printer.print(second), QString());
    QFile device(settings.target);
    QVERIFY(device.open(QIODevice::ReadOnly));
    QCOMPARE(device.readAll(), EscPosReceipt::bytes(sale(), 32) + EscPosReceipt::bytes(second, 32));

    // A device that takes nothing more (here: a full disk) is said with the reason.
    if (QFileInfo::exists(QStringLiteral("/dev/full"))) {
        settings.target = QStringLiteral("/dev/full");
        QCOMPARE(ReceiptPrinter(settings).print(sale()), QStringLiteral("小票没有打印：小票打印机 /dev/full 缺纸，请检查后重打小票"));
    }
    settings.target.clear();
    QCOMPARE(ReceiptPrinter(settings).print(sale()), QStringLiteral("小票没有打印：基本设置中没有填写小票打印机的设备文件"));
}

void TestReceipt::queueThatFailsIsSaid()
{
    // No CUPS server answers here: lp refuses the job, and the refusal is passed on.
    const QTemporaryDir dir;
    qputenv("CUPS_SERVER", dir.filePath(QStringLiteral("no.sock")).toLocal8Bit());
    ReceiptPrinterSettings settings;
    settings.output = ReceiptPrinterSettings::Output::Queue;
    settings.target = QStringLiteral("till");
    const QString said = ReceiptPrinter(settings).print(sale());
    qunsetenv("CUPS_SERVER");
    if (QStandardPaths::findExecutable(QStringLiteral("lp")).isEmpty())
        QCOMPARE(said, QStringLiteral("小票没有打印：找不到打印命令 lp（请安装 cups-bsd）"));
    else
        QVERIFY2(said.startsWith(QStringLiteral("小票没有打印：小票打印机“till”没有接收小票（")), qPrintable(said));
}

void TestReceipt::pageFallbackScansBack_data()
{
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<int>("columns");
    QTest::newRow("A4, 80 mm receipt") << QSizeF(210, 297) << 48;
    QTest::newRow("a 58 mm roll driver") << QSizeF(58, 210) << 32;
}

void TestReceipt::pageFallbackScansBack()
{
    QFETCH(QSizeF, page);
    QFETCH(int, columns);
    const QTemporaryDir dir;
    ReceiptPrinterSettings settings;
    settings.paperMm = columns == 32 ? 58 : 80;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("receipt.pdf")));
    printer.setPageSize(QPageSize(page, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    QCOMPARE(ReceiptPrinter(settings).printOnPage(ReceiptText::slip(sale(), columns), printer), QString());

    // Every line's text lies within the roll's width (or the page's) on the one page.
    QCOMPARE(ReceiptLayout::pageCount(ReceiptText::slip(sale(), columns), columns, page), 1);
    const ReceiptLayout layout(ReceiptText::slip(sale(), columns), columns, page);
    QVERIFY(layout.contentWidth() <= page.width() - 2 * layout.paper().border + 1e-9);
    QVERIFY(layout.contentWidth() <= ReceiptLayout::rollWidthMm(columns) + 1e-9);
    for (const ReportItem& item : layout.band(ReportBand::Kind::Title)->items)
        if (item.isText())
            QVERIFY2(item.font.textWidthMm(item.text) <= layout.contentWidth() - 2 * ReportDocument::textPaddingMm,
                     qPrintable(item.text));

    // The text as a saved PDF holds it (a printer's PDF names some ideographs by their radicals).
    const QString saved = dir.filePath(QStringLiteral("saved.pdf"));
    layout.writePdf(saved);
    QProcess text;
    text.start(tool("pdftotext"), {QStringLiteral("-layout"), saved, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(60000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected : {"衣恋服饰", "短袖衬衫 白 XL", "280.00", "找零", "XS202612110001"})
        QVERIFY2(printed.contains(QString::fromUtf8(expected)), expected);

    QProcess render;
    render.start(tool("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                                    printer.outputFileName(), dir.filePath(QStringLiteral("page"))});
    QVERIFY(render.waitForFinished(60000) && render.exitCode() == 0);
    QProcess scan;
    scan.start(tool("zbarimg"), {QStringLiteral("--quiet"), dir.filePath(QStringLiteral("page-1.png"))});
    QVERIFY(scan.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(scan.readAllStandardOutput()).trimmed(), QStringLiteral("CODE-128:XS202612110001"));
}

void TestReceipt::longReceiptGoesOnOverPages()
{
    shop::Receipt r = sale();
    for (int i = 1; i <= 40; ++i)
        r.lines.append({QStringLiteral("袜子 %1").arg(i), 1, 5, 5});
    const QSizeF page(58, 100);
    const int pages = ReceiptLayout::pageCount(ReceiptText::slip(r, 32), 32, page);
    QVERIFY(pages > 2);

    // Every text of the roll once, in its order, inside its page; the barcode after the last line.
    QStringList expected;
    for (const ReceiptText::Line& line : ReceiptText::lines(r, 32))
        for (const QString& text : {line.text, line.right})
            if (!line.rule && !text.isEmpty())
                expected << text;
    QStringList printed;
    for (int p = 0; p < pages; ++p) {
        const ReceiptLayout layout(ReceiptText::slip(r, 32), 32, page, p);
        const double bottom = page.height() - 2 * layout.paper().border;
        int barcodes = 0;
        for (const ReportItem& item : layout.band(ReportBand::Kind::Title)->items) {
            QVERIFY2(item.rect.bottom() <= bottom + 1e-9, qPrintable(item.text));
            if (item.isText())
                printed << item.text;
            barcodes += item.kind == ReportItem::Kind::Barcode ? 1 : 0;
        }
        QCOMPARE(barcodes, p == pages - 1 ? 1 : 0);
    }
    QCOMPARE(printed, expected);

    const QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("long.pdf")));
    printer.setPageSize(QPageSize(page, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    ReceiptPrinterSettings settings;
    settings.paperMm = 58;
    QCOMPARE(ReceiptPrinter(settings).printOnPage(ReceiptText::slip(r, 32), printer), QString());
    QProcess info;
    info.start(tool("pdfinfo"), {printer.outputFileName()});
    QVERIFY(info.waitForFinished(60000));
    QVERIFY(QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))));
}

void TestReceipt::shiftSlipShowsTheCashAndTheDifference()
{
    TillShift::Report report;
    report.shopName = QStringLiteral("衣恋服饰");
    report.shift = {7, QStringLiteral("王丽"), QDateTime(QDate(2026, 12, 11), QTime(9, 0)),
                    QDateTime(QDate(2026, 12, 11), QTime(18, 30)), 200, 1078.5, 1078, -0.5};
    report.takings.byMethod = {{QStringLiteral("现金"), 878.5}, {QStringLiteral("微信"), 460}};
    report.takings.cashIn = 968.5;
    report.takings.cashRefunded = 90;
    report.takings.sales = 20;
    report.takings.returns = 1;
    const EscPosReader printed(EscPosReceipt::bytes(ReceiptText::slip(report, 32), 32));
    QVERIFY2(printed.fault.isEmpty(), qPrintable(printed.fault));
    for (const EscPosReader::TextLine& line : printed.lines)
        QCOMPARE(line.columns, 32);
    QCOMPARE(printed.texts().mid(0, 2), QStringList({"衣恋服饰", "交班单"}));
    QVERIFY(printed.texts().contains(QStringLiteral("交班：2026-12-11 18:30:00")));
    const QStringList sums = {"销售单数 20", "退货单数 1", "现金 878.50", "微信 460.00", "收款合计 1338.50", "备用金 200.00",
                              "现金收入 968.50", "现金退款 90.00", "应有现金 1078.50", "清点现金 1078.00"};
    for (const QString& sum : sums) {
        const QString caption = sum.section(QLatin1Char(' '), 0, 0);
        QCOMPARE(printed.line(caption).text.simplified(), sum);
    }
    QCOMPARE(printed.line(QStringLiteral("短款")).text.simplified(), QStringLiteral("短款 0.50"));
    QVERIFY(printed.line(QStringLiteral("短款")).large);
    // No receipt number to scan, no cash taken: no barcode, no drawer.
    QVERIFY(printed.barcodes.isEmpty());
    QVERIFY(printed.cut && !printed.drawerPulse);
}

QTEST_MAIN(TestReceipt)
#include "tst_receipt.moc"
