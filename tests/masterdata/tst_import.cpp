// The import window: what it tells the user, the report and saving it, the
// question about new code-list values, and the rights it asks for.
#include "TestSupport.h"

#include "core/CurrentRights.h"
#include "core/SheetReader.h"
#include "db/Statement.h"
#include "masterdata/TFrmCompany.h"
#include "masterdata/TFrmGoods.h"
#include "masterdata/TFrmImport.h"
#include "shop/Barcodes.h"
#include "ui/DbGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QAction>
#include <QTableWidget>
#include <QtTest>

class TestImport : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;

    QString writeCsv(const QString& name, const QString& text)
    {
        const QString fileName = app->directory() + QLatin1Char('/') + name;
        QFile file(fileName);
        if (file.open(QIODevice::WriteOnly))
            file.write(text.toUtf8());
        return fileName;
    }

    static QStringList captionsOf(const SheetRow& header)
    {
        QStringList captions;
        for (const QVariant& cell : header.cells)
            captions << cell.toString();
        return captions;
    }

private slots:
    void init() { app = std::make_unique<TestApp>(); }
    void cleanup() { app.reset(); }

    void badFileShowsTheReportAndWritesNothing();
    void newListValuesAreAskedAbout();
    void rightsOfTheKind();
    void pathsThatAreNoWorkbookSayWhy_data();
    void pathsThatAreNoWorkbookSayWhy();
    void ignoredColumnIsToldInTheBox();
    void goodsExportComesBackAsItWas();
    void companyExportHoldsWhatTheWindowEdits();
};

void TestImport::badFileShowsTheReportAndWritesNothing()
{
    TFrmImport window;
    window.findChild<QLineEdit*>("FileEdit")->setText(
        writeCsv("bad.csv", "编码,名称,零售价,批发价\nG1,甲,1,2\n\nG1,乙,1,x\n"));
    QVERIFY(!window.cmd_importClick());
    QCOMPARE(app->dialogs().lastMessage(), QStringLiteral("发现 2 处错误，没有导入任何数据。请按报告改正文件后重新导入。\n"
                                                          "未识别的列（已忽略）：零售价"));
    auto* grid = window.findChild<QTableWidget*>("ReportGrid");
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("4"));
    QCOMPARE(grid->item(0, 3)->text(), QStringLiteral("不是数字"));
    QCOMPARE(grid->item(1, 3)->text(), QStringLiteral("与第 2 行重复"));
    QVERIFY(window.findChild<QLabel*>("SummaryLabel")->text().contains(QStringLiteral("零售价")));
    QCOMPARE(app->scalar("select count(*) from goods").toInt(), 0);

    // 保存报告: the same lines as CSV.
    auto* save = window.findChild<QPushButton*>("cmd_report");
    QVERIFY(save->isEnabled());
    const QString report = app->directory() + QStringLiteral("/report.csv");
    app->dialogs().fileAnswers << report;
    save->click();
    const QList<SheetRow> rows = SheetReader::read(report);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[1].cells.value(0).toString(), QStringLiteral("4"));
    QCOMPARE(rows[2].cells.value(3).toString(), QStringLiteral("与第 2 行重复"));
}

void TestImport::newListValuesAreAskedAbout()
{
    TFrmImport window;
    window.findChild<QLineEdit*>("FileEdit")->setText(writeCsv("brands.csv", "编码,名称,品牌\nG1,甲,新品牌\n"));
    app->dialogs().answers = {false};
    QVERIFY(!window.cmd_importClick());
    QVERIFY(app->dialogs().questions.value(0).contains(QStringLiteral("品牌“新品牌”")));
    QCOMPARE(window.findChild<QTableWidget*>("ReportGrid")->item(0, 3)->text(),
             QStringLiteral("“新品牌”不在品牌列表中"));
    QCOMPARE(app->scalar("select count(*) from goods").toInt(), 0);

    app->dialogs().answers = {true};
    QVERIFY(window.cmd_importClick());
    QCOMPARE(app->scalar("select gods_spec from goods where gods_code='G1'").toString(), QStringLiteral("新品牌"));
    QCOMPARE(app->dialogs().lastMessage(), QStringLiteral("导入完成：货品资料 新增 1 条，更新 0 条。"));
}

void TestImport::rightsOfTheKind()
{
    TFrmImport window;
    window.findChild<QLineEdit*>("FileEdit")->setText(writeCsv("staff.csv", "员工编号,姓名\nE9,王五\n"));
    window.findChild<QComboBox*>("KindBox")->setCurrentIndex(2);
    QCOMPARE(window.kind(), SheetImport::Kind::Employees);
    // Importing adds: the add right of 员工资料 (position 1); 更新已有 needs its edit right too.
    QString withoutEmployees(Function::Count, QLatin1Char('1'));
    withoutEmployees[0] = QLatin1Char('0');
    CurrentRights::current().add = withoutEmployees;
    QVERIFY(!window.cmd_importClick());
    QCOMPARE(app->dialogs().lastMessage(), QStringLiteral("您没有导入员工资料的权限"));
    CurrentRights::current().add = QString(Function::Count, QLatin1Char('1'));
    CurrentRights::current().edit = withoutEmployees;
    window.findChild<QCheckBox*>("UpdateBox")->setChecked(true);
    app->dialogs().clear();
    QVERIFY(!window.cmd_importClick());
    QCOMPARE(app->dialogs().lastMessage(), QStringLiteral("您没有导入员工资料的权限"));
    window.findChild<QCheckBox*>("UpdateBox")->setChecked(false);
    QVERIFY(window.cmd_importClick());
    QCOMPARE(app->scalar("select empl_name from employee where empl_code='E9'").toString(), QStringLiteral("王五"));
}

void TestImport::pathsThatAreNoWorkbookSayWhy_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("no such file") << "missing.xlsx" << "文件不存在：%1";
    QTest::newRow("old format") << "old.xls" << "%1 是旧的 Excel 格式(.xls)，请在 Excel 中另存为 .xlsx 后再导入";
}

// After the box, the summary no longer shows the previous file's report.
void TestImport::pathsThatAreNoWorkbookSayWhy()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    TFrmImport window;
    auto* file = window.findChild<QLineEdit*>("FileEdit");
    file->setText(writeCsv("bad.csv", "编码,名称,批发价\nG1,甲,x\n"));
    QVERIFY(!window.cmd_importClick());
    auto* summary = window.findChild<QLabel*>("SummaryLabel");
    QVERIFY(summary->text().contains(QStringLiteral("发现 1 处错误")));

    const QString path = app->directory() + QLatin1Char('/') + name;
    if (name.endsWith(".xls"))
        writeCsv(name, "not a workbook of today");
    file->setText(path);
    QVERIFY(!window.cmd_importClick());
    QCOMPARE(app->dialogs().lastMessage(), message.arg(QDir::toNativeSeparators(path)));
    QVERIFY(!summary->text().contains(QStringLiteral("发现")));
    QCOMPARE(window.findChild<QTableWidget*>("ReportGrid")->rowCount(), 0);
}

void TestImport::ignoredColumnIsToldInTheBox()
{
    TFrmImport window;
    window.findChild<QLineEdit*>("FileEdit")->setText(writeCsv("goods.csv", "编码,名称,网址\nG1,甲,http://x\n"));
    QVERIFY(window.cmd_importClick());
    QCOMPARE(app->dialogs().lastMessage(),
             QStringLiteral("导入完成：货品资料 新增 1 条，更新 0 条。\n未识别的列（已忽略）：网址"));
}

// 货品资料's export holds every field the window edits under the captions the
// import reads: exported, imported into an empty catalogue and exported again,
// the file is the same.
void TestImport::goodsExportComesBackAsItWas()
{
    app->exec("insert into company(comp_code,comp_name) values('P01','生产商'),('S01','供应商')");
    const QString insert =
        "insert into goods(gods_code,gods_name,bar_code,gods_spec,gods_kind,gods_type,styl_code,gods_size,gods_color,"
        "gods_unit,gods_face,gods_in,prod_place,pack_unit,agent_pric,batch_out,valu_in,valu_out,mate_pric,mach_pric,"
        "max_amou,min_amou,prod_code,supp_code,gods_note) values(:p1,:p2,:p3,:p4,:p5,:p6,:p7,:p8,:p9,:p10,:p11,:p12,"
        ":p13,:p14,:p15,:p16,:p17,:p18,:p19,:p20,:p21,:p22,:p23,:p24,:p25)";
    for (int i = 1; i <= 1000; ++i) {
        const QString digits = QString::number(690000000000LL + i);
        app->exec(insert, {QString("G%1").arg(i, 4, 10, QChar('0')), QString("货品%1").arg(i),
                           digits + QString::number(Barcodes::checkDigit(digits)), QString("品牌%1").arg(i % 3),
                           QString("分类%1").arg(i % 4), QString("款式%1").arg(i % 5), QString("ST%1").arg(i / 10),
                           QString("尺码%1").arg(i % 6), QString("颜色%1").arg(i % 7), "件", "棉", "涤纶", "广州",
                           "箱", i * 0.5, i + 0.25, i * 1.5, i * 2.0 + 0.99, 1.1, 2.2, 100 + i, i % 100, "P01",
                           "S01", QString("备注，\"%1\"").arg(i)});
    }
    const auto exportGoods = [this](const QString& name) {
        TFrmGoods w;
        const QString fileName = app->directory() + QLatin1Char('/') + name;
        app->dialogs().fileAnswers << fileName;
        QAction* action = w.listGrid->findChild<QAction*>(name.endsWith(".csv") ? "actExportCsv" : "actExportExcel");
        action->trigger();
        return fileName;
    };
    const QString firstCsv = exportGoods("first.csv");
    const QString firstXlsx = exportGoods("first.xlsx");
    const QList<SheetRow> first = SheetReader::read(firstXlsx);
    QCOMPARE(first.size(), 1001);
    QCOMPARE(captionsOf(first[0]), SheetImport::templateCaptions(SheetImport::Kind::Goods));

    app->exec("delete from goods");
    app->exec("delete from baseitem");
    TFrmImport window;
    window.findChild<QLineEdit*>("FileEdit")->setText(firstXlsx);
    app->dialogs().answers = {true};   // the code-list values are added
    QVERIFY(window.cmd_importClick());
    QCOMPARE(app->scalar("select count(*) from goods").toInt(), 1000);

    const auto cells = [](const QList<SheetRow>& rows) {
        QList<QVariantList> all;
        for (const SheetRow& row : rows)
            all << (QVariantList{row.number} + row.cells);
        return all;
    };
    QCOMPARE(cells(SheetReader::read(exportGoods("second.xlsx"))), cells(first));
    QFile a(firstCsv);
    QFile b(exportGoods("second.csv"));
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(b.readAll(), a.readAll());
}

void TestImport::companyExportHoldsWhatTheWindowEdits()
{
    app->exec("insert into company(comp_code,comp_name,comp_addr,rela_name,rela_phon,head_name,head_phon,bank_no,"
              "comp_type,belo_coun,belo_prov,belo_area,post_code,fax,e_mail,comp_note,cred_limit) values('C1','甲',"
              "'地址','联系人','1','负责人','2','6222','客户','中国','广东','华南','510000','3','a@b.c','备注',5000)");
    TFrmCompany w;
    const QString fileName = app->directory() + QStringLiteral("/companies.csv");
    app->dialogs().fileAnswers << fileName;
    w.listGrid->findChild<QAction*>("actExportCsv")->trigger();
    const QList<SheetRow> rows = SheetReader::read(fileName);
    QCOMPARE(rows.size(), 2);
    const QStringList header = captionsOf(rows[0]);
    QCOMPARE(header, SheetImport::templateCaptions(SheetImport::Kind::Companies));
    QVERIFY(header.contains(QStringLiteral("信用额度")));

    app->exec("delete from company");
    const SheetImport::Checked checked = SheetImport::check(app->dataModule().AdoConn, SheetImport::Kind::Companies, rows, false);
    QVERIFY(checked.clean());
    QVERIFY(checked.unknownColumns.isEmpty());
    QVERIFY(SheetImport::write(app->dataModule().AdoConn, checked, false));
    QCOMPARE(app->scalar("select head_phon||'/'||cast(cred_limit as integer)||'/'||belo_area from company").toString(),
             QStringLiteral("2/5000/华南"));
}

QTEST_MAIN(TestImport)
#include "tst_import.moc"
