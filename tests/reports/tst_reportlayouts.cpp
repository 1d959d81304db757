// The layouts: creation, catalogue, named labels, fit of texts, and their
// PDF output over sample rows.
#include "ReportSamples.h"

#include "reports/ReportDocument.h"
#include "reports/ReportLayouts.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(ReportPaper)

namespace {

using Kind = ReportBand::Kind;

const QStringList creationOrder = {"TQRoutlist", "TQgath",  "TQincost", "TQRiss",      "TQRinstat",
                                   "TQoutcost",  "TRptstore", "TQRpd",   "TQpay",       "TQRcheck",
                                   "TQRout",     "TQRin",   "TQalarm",  "TQRoutSortG", "TQRoutSortC",
                                   "TQoperlog",  "TQageing", "TQcompdetail", "LabelLayout", "AnalysisLayout"};

// The printed forms. Barcode labels are sized to their label paper and read the
// rows chosen when printing (tst_labels covers them); the analysis listing takes
// its columns and rows from its window (tst_analysiswindows).
QList<ReportLayout*> formLayouts()
{
    QList<ReportLayout*> forms = ReportLayouts::all();
    forms.removeIf([](ReportLayout* layout) {
        return layout->objectName() == QStringLiteral("LabelLayout") || layout->objectName() == QStringLiteral("AnalysisLayout");
    });
    return forms;
}

ReportLayout* layoutNamed(const QString& name)
{
    for (ReportLayout* layout : ReportLayouts::all())
        if (layout->objectName() == name)
            return layout;
    return nullptr;
}

QString bandCode(const ReportLayout& layout)
{
    QString code;
    const QList<std::pair<Kind, QChar>> letters = {{Kind::Title, 'T'}, {Kind::PageHeader, 'H'}, {Kind::Detail, 'D'},
                                                   {Kind::Summary, 'S'}, {Kind::PageFooter, 'F'}};
    for (const auto& [kind, letter] : letters)
        if (layout.band(kind))
            code += letter;
    return code;
}

// Layout of the extracted text may break lines and spaced titles anywhere.
QString comparable(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

QString pdfText(const QString& fileName)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), fileName,
                                                QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

const QStringList goodsHeadings = {"货品编码", "货品名称", "分类", "品牌"};

} // namespace

class TestReportLayouts : public QObject {
    Q_OBJECT

private slots:
    void createdOnceInStartupOrder();
    void catalogue_data();
    void catalogue();
    void namedLabels_data();
    void namedLabels();
    void everyTextFitsItsBox();
    void everyDataTextNamesAFieldOfItsDataset();
    void emptyListsPrintTheFormOnly();
    void rendersTitleAndHeadingsToPdf_data();
    void rendersTitleAndHeadingsToPdf();
    void salesBillPaperFollowsTheWindow();
    void everyLayoutStaysInsideTheMargins_data();
    void everyLayoutStaysInsideTheMargins();
};

void TestReportLayouts::createdOnceInStartupOrder()
{
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    QStringList names;
    for (ReportLayout* layout : ReportLayouts::all())
        names << layout->objectName();
    QCOMPARE(names, creationOrder);
    QCOMPARE(ReportLayouts::get<TQRin>().objectName(), QStringLiteral("TQRin"));
    QCOMPARE(ReportLayouts::get<TQRout>().objectName(), QStringLiteral("TQRout"));
    QCOMPARE(ReportLayouts::get<TQRoutSortC>().objectName(), QStringLiteral("TQRoutSortC"));

    // A label set by one print stays for the next.
    ReportLayouts::get<TQgath>().setLabelText(QStringLiteral("khbm"), QStringLiteral("C001"));
    QCOMPARE(ReportLayouts::get<TQgath>().labelText(QStringLiteral("khbm")), QStringLiteral("C001"));
    QCOMPARE(ReportLayouts::get<TQpay>().labelText(QStringLiteral("khbm")), QString());

    // Creating again replaces the set instead of adding to it.
    TQRin* first = &ReportLayouts::get<TQRin>();
    QPointer<TQRin> guard(first);
    ReportLayouts::createAll(&owner);
    QVERIFY(guard.isNull());
    QCOMPARE(ReportLayouts::all().size(), int(creationOrder.size()));
    QCOMPARE(owner.findChildren<ReportLayout*>().size(), int(creationOrder.size()));
}

void TestReportLayouts::catalogue_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("bands");
    QTest::addColumn<QString>("dataset");
    QTest::addColumn<QSizeF>("paper");

    const QSizeF a4(210, 297);
    QTest::newRow("TQRin") << "TQRin" << "进货单" << "HDSF" << "InGoodsQ" << a4;
    QTest::newRow("TQRout") << "TQRout" << "销售单" << "HDS" << "OutTempQ" << QSizeF(218, 140);
    QTest::newRow("TQRinstat") << "TQRinstat" << "进  货  统  计" << "HDSF" << "InListQ" << a4;
    QTest::newRow("TQRoutlist") << "TQRoutlist" << "出货统计" << "HDSF" << "OutListQ" << a4;
    QTest::newRow("TQRoutSortG") << "TQRoutSortG" << "出货排行-按货品" << "HDSF" << "OutSortQ" << a4;
    QTest::newRow("TQRoutSortC") << "TQRoutSortC" << "出货排行-按客户" << "HDSF" << "OutSortCQ" << a4;
    QTest::newRow("TRptstore") << "TRptstore" << "库存报表" << "TDF" << "StoreQ" << a4;
    QTest::newRow("TQalarm") << "TQalarm" << "库存报警" << "TDF" << "AlarmQ" << a4;
    QTest::newRow("TQRcheck") << "TQRcheck" << "库存调整表" << "TD" << "ChektempQ" << a4;
    QTest::newRow("TQRpd") << "TQRpd" << "盘 点 表" << "TD" << "ChektempQ" << a4;
    QTest::newRow("TQRiss") << "TQRiss" << "进销存表" << "TDS" << "MiosQ" << a4;
    QTest::newRow("TQgath") << "TQgath" << "收款单" << "TD" << "GathQ" << a4;
    QTest::newRow("TQpay") << "TQpay" << "付款单" << "TD" << "PayQ" << a4;
    QTest::newRow("TQincost") << "TQincost" << "进货对帐单" << "TD" << "PayQ" << a4;
    QTest::newRow("TQoutcost") << "TQoutcost" << "出货对帐单" << "TD" << "GathQ" << a4;
    QTest::newRow("TQageing") << "TQageing" << "应收账龄" << "HDSF" << "AgeingQ" << a4;
    QTest::newRow("TQcompdetail") << "TQcompdetail" << "客户往来明细" << "HDSF" << "CompDetailQ" << a4;
}

void TestReportLayouts::catalogue()
{
    QFETCH(QString, layout);
    QFETCH(QString, title);
    QFETCH(QString, bands);
    QFETCH(QString, dataset);
    QFETCH(QSizeF, paper);

    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    const ReportLayout* report = layoutNamed(layout);
    QVERIFY(report);
    QCOMPARE(report->title(), title);
    QCOMPARE(bandCode(*report), bands);
    QVERIFY(report->masterDataset());
    QCOMPARE(report->masterDataset()->name(), dataset);
    QCOMPARE(report->paper().sizeMm(), paper);
    QCOMPARE(report->paper().a4, paper == QSizeF(210, 297));

    // The title is the largest text, centred at the top of the first band.
    const Kind first = report->band(Kind::Title) ? Kind::Title : Kind::PageHeader;
    const ReportItem* titleItem = nullptr;
    for (const ReportItem& item : report->band(first)->items)
        if (item.kind == ReportItem::Kind::Label && item.text == title)
            titleItem = &item;
    QVERIFY(titleItem);
    QCOMPARE(titleItem->rect.top(), 0.0);
    QCOMPARE(titleItem->alignment & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(titleItem->rect.center().x(), report->contentWidth() / 2);
    for (Kind kind : report->bandKinds())
        for (const ReportItem& item : report->band(kind)->items)
            if (item.isText())
                QVERIFY(item.font.pointSize <= titleItem->font.pointSize);
    QVERIFY(titleItem->font.pointSize >= 12 && titleItem->font.pointSize <= 15);
}

void TestReportLayouts::namedLabels_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("TQRin") << "TQRin" << QStringList{"QRLabel1", "QRLabel11", "QRLabel29", "QRLabel30", "QRLabel31"};
    QTest::newRow("TQRout") << "TQRout" << QStringList{"QRLabel1", "QRLabel11", "QRLabel29", "QRLabel30", "QRLabel31"};
    const QStringList listing = {"gods_code", "gods_name", "comp_no", "comp_name", "datea", "dateb", "hjsl", "hjje"};
    QTest::newRow("TQRinstat") << "TQRinstat" << listing + QStringList{"list_type"};
    QTest::newRow("TQRoutlist") << "TQRoutlist" << listing + QStringList{"QRLabel5"};
    const QStringList ranking = {"datea", "dateb", "hjsl", "hjje", "sort_type", "out_type"};
    QTest::newRow("TQRoutSortG") << "TQRoutSortG" << ranking;
    QTest::newRow("TQRoutSortC") << "TQRoutSortC" << ranking;
    QTest::newRow("TRptstore") << "TRptstore" << QStringList{"hjsl", "hjcb"};
    QTest::newRow("TQalarm") << "TQalarm" << QStringList{"hjsl"};
    const QStringList voucher = {"khbm", "khmc", "lsdh", "rqfw1", "rqfw2", "ysjea", "ysjeb", "qkje", "skje",
                                 "zhje", "skdh", "skri", "kdr",   "skr",   "fhr",   "pzh",   "bz",   "sqjy"};
    QTest::newRow("TQgath") << "TQgath" << voucher;
    QTest::newRow("TQpay") << "TQpay" << voucher;
    const QStringList statement = {"khbm", "khmc", "rqfw1", "rqfw2", "ysjea", "ysjeb", "qkje"};
    QTest::newRow("TQincost") << "TQincost" << statement;
    QTest::newRow("TQoutcost") << "TQoutcost" << statement;
}

void TestReportLayouts::namedLabels()
{
    QFETCH(QString, layout);
    QFETCH(QStringList, names);
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    ReportLayout* report = layoutNamed(layout);
    QVERIFY(report);
    for (const QString& name : names) {
        QVERIFY2(report->hasLabel(name), qPrintable(name));
        report->setLabelText(name, name + QStringLiteral("值"));
    }
    // Each name is one label: setting one leaves the others as they were.
    for (const QString& name : names)
        QCOMPARE(report->labelText(name), name + QStringLiteral("值"));
    QCOMPARE(report->labelNames().removeDuplicates(), 0);
}

void TestReportLayouts::everyTextFitsItsBox()
{
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    // Values as wide as the windows put there: a 14-digit bill number, a date, a name.
    ReportFont font;
    for (ReportLayout* report : formLayouts()) {
        const double right = report->objectName() == QStringLiteral("TQRout") ? 198 : 190;
        for (Kind kind : report->bandKinds()) {
            const ReportBand* band = report->band(kind);
            for (const ReportItem& item : band->items) {
                const QString where = QStringLiteral("%1 %2 '%3'").arg(report->objectName(), item.name, item.text);
                QVERIFY2(item.rect.right() <= right + 1e-9, qPrintable(where));
                QVERIFY2(item.rect.bottom() <= band->height + 1e-9, qPrintable(where));
                if (!item.isText())
                    continue;
                QVERIFY2(item.font.lineHeightMm() <= item.rect.height(), qPrintable(where));
                const bool centred = item.alignment & Qt::AlignHCenter;
                const double room = item.rect.width() - (centred ? 0 : 2 * ReportDocument::textPaddingMm);
                QVERIFY2(item.font.textWidthMm(item.text) <= room, qPrintable(where));
                if (item.field == QStringLiteral("bill_no"))
                    QVERIFY2(item.font.textWidthMm(QStringLiteral("20240316093000")) <= room, qPrintable(where));
                if (item.field == QStringLiteral("bill_date"))
                    QVERIFY2(item.font.textWidthMm(QStringLiteral("2024-03-16")) <= room, qPrintable(where));
                if (item.field == QStringLiteral("comp_name") && item.kind == ReportItem::Kind::DataText)
                    QVERIFY2(item.font.textWidthMm(QStringLiteral("杭州澜禾服饰有限公司")) <= room, qPrintable(where));
            }
        }
    }
}

void TestReportLayouts::everyDataTextNamesAFieldOfItsDataset()
{
    TestApp app;
    QObject owner;
    samples::fillAll(app, &owner);
    ReportLayouts::createAll(&owner);
    for (ReportLayout* report : formLayouts()) {
        int dataTexts = 0;
        for (Kind kind : report->bandKinds())
            for (const ReportItem& item : report->band(kind)->items) {
                if (item.kind != ReportItem::Kind::DataText)
                    continue;
                ++dataTexts;
                const QString where = report->objectName() + QLatin1Char(' ') + item.field;
                QVERIFY2(item.dataset, qPrintable(where));
                QVERIFY2(item.dataset->hasField(item.field), qPrintable(where));
                // Lines come from the master; only bill headers read another dataset.
                if (kind == Kind::Detail)
                    QCOMPARE(item.dataset.data(), report->masterDataset());
            }
        QVERIFY2(dataTexts > 0, qPrintable(report->objectName()));
    }
}

void TestReportLayouts::emptyListsPrintTheFormOnly()
{
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    TFrmDataMod& dm = app.dataModule();
    dm.OutTempQ->setSql(QStringLiteral("select * from outtemp"));
    for (ReportLayout* report : formLayouts()) {
        // Once over an open empty list, once over a list never opened.
        for (bool open : {true, false}) {
            if (open)
                report->masterDataset()->open();
            else
                report->masterDataset()->close();
            const ReportDocument document = report->prepare();
            QCOMPARE(document.pageCount(), 1);
            const ReportPage& page = document.page(0);
            QCOMPARE(page.count(Kind::Detail), 0);
            QCOMPARE(page.count(Kind::Title) + page.count(Kind::PageHeader), 1);
            QCOMPARE(page.count(Kind::Summary), report->band(Kind::Summary) ? 1 : 0);
        }
    }
}

void TestReportLayouts::rendersTitleAndHeadingsToPdf_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("TQRin") << "TQRin"
                           << QStringList{"杭州澜禾进货单", "凭证号", "单流水号", "开单日期", "币种", "客户名称",
                                          "结算方式", "货品编码", "货品名称", "分类", "品牌", "款式", "单位",
                                          "单价", "数量", "小计", "备注", "合计金额大写", "合计数量", "合计金额",
                                          "付款金额", "制单", "经手", "复核", "业务", "发货", "收货",
                                          "20240315101530", "男士休闲衬衫", "404.63", "杭州澜禾服饰有限公司", "张三"};
    QTest::newRow("TQRout") << "TQRout"
                            << QStringList{"杭州澜禾销售单", "公司名称", "联系人", "电话", "0571-88886666", "编码",
                                           "产品名称", "款式", "收款金额", "合计金额大写", "制单", "收货",
                                           "儿童运动鞋", "910"};
    QTest::newRow("TQRinstat") << "TQRinstat"
                               << QStringList{"进货统计", "货品编码", "货品名称", "日期范围", "客户编码", "客户名称",
                                              "流水号", "货品编码", "货品名称", "分类", "单位", "单价", "数量",
                                              "小计", "合计数量", "合计金额", "女式牛仔裤", "960"};
    QTest::newRow("TQRoutlist") << "TQRoutlist"
                                << QStringList{"出货统计", "货品编码", "货品名称", "日期范围", "客户编码",
                                               "客户名称", "流水号", "单价", "合计数量", "合计金额", "杭州澜禾服饰有限公司"};
    QTest::newRow("TQRoutSortG") << "TQRoutSortG"
                                 << QStringList{"出货排行-按货品", "排序方式：", "日期范围", "货品编码", "货品名称",
                                                "分类", "品牌", "颜色", "尺码", "单位", "单价", "数量", "小计",
                                                "合计数量", "合计金额", "男士休闲衬衫"};
    QTest::newRow("TQRoutSortC") << "TQRoutSortC"
                                 << QStringList{"出货排行-按客户", "排序方式：", "公司编码", "公司名称", "负责人",
                                                "数量", "金额", "合计数量", "合计金额", "王经理"};
    QTest::newRow("TRptstore") << "TRptstore"
                               << goodsHeadings + QStringList{"库存报表", "总数量", "总成本", "款式", "颜色", "尺码",
                                                              "单位", "数量", "成本", "小计", "1867.5"};
    QTest::newRow("TQalarm") << "TQalarm"
                             << QStringList{"库存报警", "总数量", "商品编码", "商品名称", "分类", "品牌", "颜色",
                                            "尺码", "单位", "数量", "库存上限", "库存下限", "女式牛仔裤"};
    QTest::newRow("TQRcheck") << "TQRcheck"
                              << goodsHeadings + QStringList{"库存调整表", "款式", "颜色", "尺码", "单位",
                                                             "库存数量", "调整数量", "118"};
    QTest::newRow("TQRpd") << "TQRpd"
                           << goodsHeadings + QStringList{"盘点表", "款式", "颜色", "尺码", "单位", "库存数量",
                                                          "实盘数量", "盈亏数量", "-2"};
    QTest::newRow("TQRiss") << "TQRiss"
                            << QStringList{"进销存表", "货品编码", "货品名称", "分类", "单位", "上月结存", "本月进货",
                                           "本月出货", "本月结存", "合计", "儿童运动鞋"};
    const QStringList settlement = {"流水单号", "开单日期", "操作人", "公司编码", "公司名", "20240316093000",
                                    "2024-03-15", "杭州澜禾服饰有限公司", "1346.5"};
    QTest::newRow("TQgath") << "TQgath"
                            << settlement + QStringList{"收款单", "客户编码", "客户名称", "收款单号", "收款日期",
                                                        "收款金额", "结余金额", "日期范围", "开单人", "收款人",
                                                        "应收金额", "已收金额", "复核人", "凭证号", "欠款金额",
                                                        "上期节余", "备注："};
    QTest::newRow("TQpay") << "TQpay"
                           << settlement + QStringList{"付款单", "付款单号", "付款日期", "付款金额", "付款人",
                                                       "应付金额", "已付金额", "欠款金额", "欠付金额", "结余金额",
                                                       "上期节余", "开单人", "复核人", "凭证号", "备注："};
    QTest::newRow("TQincost") << "TQincost"
                              << settlement + QStringList{"进货对帐单", "客户编码", "客户名称", "应付金额",
                                                          "已付金额", "日期范围", "欠款金额", "欠付金额"};
    QTest::newRow("TQoutcost") << "TQoutcost"
                               << settlement + QStringList{"出货对帐单", "应收金额", "已收金额", "欠收金额",
                                                           "应付金额", "已付金额", "欠付金额"};
}

void TestReportLayouts::rendersTitleAndHeadingsToPdf()
{
    QFETCH(QString, layout);
    QFETCH(QStringList, texts);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");

    TestApp app;
    QObject owner;
    samples::fillAll(app, &owner);
    ReportLayouts::createAll(&owner);
    ReportLayout* report = layoutNamed(layout);
    QVERIFY(report);
    if (report->hasLabel(QStringLiteral("QRLabel1")))
        report->setLabelText(QStringLiteral("QRLabel1"), QStringLiteral("杭州澜禾") + report->title());

    QTemporaryDir dir;
    const QString file = dir.filePath(layout + QStringLiteral(".pdf"));
    report->writePdf(file);
    const QString text = comparable(pdfText(file));
    QVERIFY2(!text.isEmpty(), "no text in the PDF");
    for (const QString& expected : texts)
        QVERIFY2(text.contains(comparable(expected)), qPrintable(layout + QStringLiteral(": ") + expected));
}

void TestReportLayouts::salesBillPaperFollowsTheWindow()
{
    TestApp app;
    QObject owner;
    ReportLayouts::createAll(&owner);
    TQRout& out = ReportLayouts::get<TQRout>();
    out.setCustomPaper(241, 93);
    QCOMPARE(out.prepare().pageSizeMm(), QSizeF(241, 93));
    // The change stays for later prints and touches no other layout.
    QCOMPARE(out.paper(), ReportPaper::custom(241, 93));
    QVERIFY(ReportLayouts::get<TQRin>().paper().a4);
    out.setPaperA4();
    QCOMPARE(out.prepare().pageSizeMm(), QSizeF(210, 297));
}

// Every paper the basic settings allow: A4, the default 218 × 140 and custom
// sizes from 50 × 80 to 400 × 500 millimetres.
void TestReportLayouts::everyLayoutStaysInsideTheMargins_data()
{
    QTest::addColumn<ReportPaper>("paper");
    QTest::newRow("A4") << ReportPaper::A4();
    QTest::newRow("默认 218 x 140") << ReportPaper::custom(218, 140);
    QTest::newRow("自定义 50 x 80") << ReportPaper::custom(50, 80);
    QTest::newRow("自定义 120 x 200") << ReportPaper::custom(120, 200);
    QTest::newRow("自定义 400 x 500") << ReportPaper::custom(400, 500);
}

void TestReportLayouts::everyLayoutStaysInsideTheMargins()
{
    QFETCH(ReportPaper, paper);
    TestApp app;
    QObject owner;
    samples::fillAll(app, &owner);
    ReportLayouts::createAll(&owner);
    const double left = ReportPaper::margin;
    const double right = paper.width - ReportPaper::margin;
    for (ReportLayout* report : formLayouts()) {
        report->setPaper(paper);
        const ReportDocument document = report->prepare();
        QVERIFY(document.pageCount() > 0);
        double widest = 0;
        for (const ReportPage& page : document.pages())
            for (const ReportPage::PlacedBand& placed : page.bands)
                for (const ReportItem& item : report->band(placed.kind)->items) {
                    const QRectF r = document.itemRectMm(item, placed);
                    const QString where = QStringLiteral("%1 %2 '%3' %4..%5 mm")
                                              .arg(report->objectName(), item.name, item.text)
                                              .arg(r.left())
                                              .arg(r.right());
                    QVERIFY2(r.left() >= left - 1e-6 && r.right() <= right + 1e-6, qPrintable(where));
                    widest = qMax(widest, r.right());
                }
        // Narrowed to the paper, not further; kept as designed on a wider one.
        const double designedRight = left + report->contentWidth();
        QVERIFY2(widest >= qMin(right, designedRight) - 1e-6, qPrintable(report->objectName()));
    }
}

QTEST_MAIN(TestReportLayouts)
#include "tst_reportlayouts.moc"
