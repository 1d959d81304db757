// Spreadsheets in and out: a grid's export re-imports as it was, GB18030 CSV,
// row numbers as Excel shows them, codes that Excel would damage, and the
// checks that keep a bad file from writing anything.
#include "TestSupport.h"

#include "core/SheetReader.h"
#include "core/SheetWriter.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "shop/SheetImport.h"
#include "ui/DbGrid.h"
#include "ui/SheetExport.h"

#include <QFile>
#include <QHeaderView>
#include <QStringEncoder>
#include <QtTest>
#include <minizip/zip.h>
#include <xlsxwriter.h>

using SheetImport::Kind;

class TestSheetImport : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;

    db::Connection& connection() { return app->dataModule().AdoConn; }
    QString path(const QString& name) const { return app->directory() + QLatin1Char('/') + name; }

    SheetImport::Checked checkFile(Kind kind, const QString& fileName, bool update = false)
    {
        return SheetImport::check(connection(), kind, SheetReader::read(fileName), update);
    }

    void writeFile(const QString& fileName, const QByteArray& bytes)
    {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QList<QStringList> goodsRows()
    {
        QList<QStringList> rows;
        db::Statement query(connection(), "select gods_code,gods_name,gods_spec,gods_color,batch_out,valu_out,"
                                          "supp_code,gods_note,season from goods order by gods_code");
        while (query.next()) {
            QStringList row;
            for (int c = 0; c < 9; ++c)
                row << (query.isNull(c) ? QStringLiteral("<null>") : query.value(c).toString());
            rows << row;
        }
        return rows;
    }

    // An .xlsx of one sheet whose rows are given as the sheet's own XML, as Excel
    // writes cells that libxlsxwriter cannot (error values, formulas without a result).
    void writeRawXlsx(const QString& fileName, const QString& rows)
    {
        zipFile zip = zipOpen(QFile::encodeName(fileName).constData(), APPEND_STATUS_CREATE);
        QVERIFY(zip);
        const QList<std::pair<const char*, QByteArray>> members = {
            {"xl/workbook.xml", "<workbook><sheets><sheet name=\"s\"/></sheets></workbook>"},
            {"xl/worksheets/sheet1.xml", "<worksheet><sheetData>" + rows.toUtf8() + "</sheetData></worksheet>"}};
        for (const auto& [name, data] : members) {
            QCOMPARE(zipOpenNewFileInZip(zip, name, nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6), ZIP_OK);
            QCOMPARE(zipWriteInFileInZip(zip, data.constData(), unsigned(data.size())), ZIP_OK);
            zipCloseFileInZip(zip);
        }
        QCOMPARE(zipClose(zip, nullptr), ZIP_OK);
    }

    QStringList problemTexts(const SheetImport::Checked& checked)
    {
        QStringList texts;
        for (const SheetImport::Problem& p : checked.problems)
            texts << QStringLiteral("%1|%2|%3|%4").arg(p.row).arg(p.column, p.value, p.reason);
        return texts;
    }

private slots:
    void init() { app = std::make_unique<TestApp>(); }
    void cleanup() { app.reset(); }

    void gridExportReimportsUnchanged_data();
    void gridExportReimportsUnchanged();
    void gb18030CsvWithChineseNames();
    void oneBadRowAmongFiveThousandWritesNothing_data();
    void oneBadRowAmongFiveThousandWritesNothing();
    void codesExcelShowsInNotationAreRefused();
    void rowRules();
    void headerRules();
    void openingStockUpdatesAndAdds();
    void openingStockRefusesGoodsWithBillsAndExistingRecords();
    void updateLeavesWhatTheFileDoesNotGive_data();
    void updateLeavesWhatTheFileDoesNotGive();
    void fieldRulesOfTheWindows_data();
    void fieldRulesOfTheWindows();
    void excelErrorsAndUncomputedFormulasAreRefused_data();
    void excelErrorsAndUncomputedFormulasAreRefused();
    void barcodesStyleCodesAndCreditLimits();
    void barcodeNeverAnotherGoodsCode_data();
    void barcodeNeverAnotherGoodsCode();
    void csvQuotesAndCarriageReturns();
    void csvKeepsTheFrameAroundTheLines();
};

// The goods grid exported by the user (columns moved on screen) and imported
// into an emptied catalogue gives the same rows: leading zeros, 13-digit codes,
// commas, quotes and line breaks, numbers and empty values all survive.
void TestSheetImport::gridExportReimportsUnchanged_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("xlsx") << ".xlsx";
    QTest::newRow("csv") << ".csv";
}

void TestSheetImport::gridExportReimportsUnchanged()
{
    QFETCH(QString, suffix);
    app->exec("insert into company(comp_code,comp_name) values('S01','供应商')");
    app->exec("insert into baseitem(gods_spec_id,gods_spec) values('1','品牌甲')");
    app->exec("insert into baseitem(gods_color_id,gods_color) values('1','红')");
    const QString insert = "insert into goods(gods_code,gods_name,gods_spec,gods_color,batch_out,valu_out,supp_code,"
                           "gods_note,season) values(:p1,:p2,:p3,:p4,:p5,:p6,:p7,:p8,:p9)";
    app->exec(insert, {"00123", "衬衫,长袖", "品牌甲", "红", 12.5, 99, "S01", "说\"明\"\n第二行", "2026春夏"});
    app->exec(insert, {"6901234567892", "裤子", QVariant(), QVariant(), 0.01, QVariant(), QVariant(), " 前后空格 ",
                       QVariant()});
    app->exec(insert, {"A-1", "帽", "品牌甲", QVariant(), 123456789.99, 1, "S01", QVariant(), "2026秋冬"});
    const QList<QStringList> before = goodsRows();

    db::Dataset* goods = app->dataModule().GoodsQ;
    goods->setSql("select * from goods order by gods_code");
    goods->open();
    ui::DbGrid grid;
    grid.setWindowTitle("货品资料");
    const QList<std::pair<QString, QString>> columns = {
        {"gods_name", "名称"}, {"gods_code", "编码"}, {"gods_spec", "品牌"}, {"gods_color", "颜色"},
        {"batch_out", "批发价"}, {"valu_out", "建议售价"}, {"supp_code", "供应商编码"}, {"supp_name", "供应商名称"},
        {"gods_note", "备注"}, {"season", "季节"}};
    for (const auto& [field, caption] : columns)
        grid.addColumn(field, caption, 80);
    grid.setDataset(goods);
    grid.horizontalHeader()->moveSection(1, 0);   // 编码 first on screen
    const QString fileName = path("goods" + suffix);
    app->dialogs().fileAnswers << fileName;
    QVERIFY(ui::SheetExport::exportGrid(grid, suffix == ".xlsx"));

    const QList<SheetRow> sheet = SheetReader::read(fileName);
    QCOMPARE(sheet.first().cells.value(0).toString(), QStringLiteral("编码"));
    QCOMPARE(sheet.first().cells.value(1).toString(), QStringLiteral("名称"));
    QCOMPARE(sheet.size(), 4);
    if (suffix == ".xlsx")   // numbers as numbers, codes as text
        QCOMPARE(sheet[1].cells[4].typeId(), QMetaType::Double);
    QCOMPARE(sheet[2].cells[0], QVariant(QStringLiteral("6901234567892")));

    goods->close();
    app->exec("delete from goods");
    const SheetImport::Checked checked = SheetImport::check(connection(), Kind::Goods, sheet, false);
    QVERIFY2(checked.clean(), qPrintable(problemTexts(checked).join('\n')));
    QVERIFY(checked.unknownColumns.isEmpty());   // 供应商名称 is known and not imported
    QVERIFY(checked.newListValues.isEmpty());
    QVERIFY(SheetImport::write(connection(), checked, false));
    QCOMPARE(goodsRows(), before);
    QCOMPARE(app->scalar("select count(*) from oper_log where win_name='货品资料' and act_name='导入'").toInt(), 1);
}

void TestSheetImport::gb18030CsvWithChineseNames()
{
    QStringEncoder gb("GB18030");
    QString text = QStringLiteral("编码,名称,品牌\r\n");
    for (int i = 1; i <= 300; ++i)
        text += QStringLiteral("%1,纯棉短袖衬衫%2号,澜禾\r\n").arg(i, 5, 10, QLatin1Char('0')).arg(i);
    const QByteArray bytes = gb(text);
    QVERIFY(QString::fromUtf8(bytes) != text);   // really not UTF-8
    writeFile(path("gb.csv"), bytes);

    const SheetImport::Checked checked = checkFile(Kind::Goods, path("gb.csv"));
    QVERIFY2(checked.problems.isEmpty(), qPrintable(problemTexts(checked).join('\n')));
    // The brand is not in its list: offered to add, not written without asking.
    QCOMPARE(checked.newListValues.size(), 1);
    QCOMPARE(checked.newListValues[0].value, QStringLiteral("澜禾"));
    QCOMPARE(checked.newListValues[0].row, 2);
    QVERIFY_THROWS_EXCEPTION(std::logic_error, SheetImport::write(connection(), checked, false));
    QCOMPARE(app->scalar("select count(*) from goods").toInt(), 0);

    QVERIFY(SheetImport::write(connection(), checked, true));
    QCOMPARE(app->scalar("select count(*) from goods").toInt(), 300);
    QCOMPARE(app->scalar("select gods_name from goods where gods_code='00042'").toString(),
             QStringLiteral("纯棉短袖衬衫42号"));
    QCOMPARE(app->scalar("select count(*) from baseitem where gods_spec='澜禾'").toInt(), 1);
}

void TestSheetImport::oneBadRowAmongFiveThousandWritesNothing_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("csv") << ".csv";
    QTest::newRow("xlsx") << ".xlsx";
}

// Excel rows: 1 the header, then goods; two blank rows (3 and 2001) keep their
// numbers, so the bad price on the 4,000th goods stands on row 4003.
void TestSheetImport::oneBadRowAmongFiveThousandWritesNothing()
{
    QFETCH(QString, suffix);
    const QString fileName = path("many" + suffix);
    const auto price = [](int i) { return i == 4000 ? QStringLiteral("12元") : QString::number(i % 97 + 0.5); };
    if (suffix == ".csv") {
        QString text = QStringLiteral("\xFEFF编码,名称,批发价\n");
        for (int i = 1; i <= 5000; ++i) {
            if (i == 2 || i == 1999)
                text += QStringLiteral(",,\n");
            text += QStringLiteral("G%1,货品%1,%2\n").arg(i).arg(price(i));
        }
        writeFile(fileName, text.toUtf8());
    } else {
        lxw_workbook* book = workbook_new(fileName.toUtf8().constData());
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        worksheet_write_string(sheet, 0, 0, "编码", nullptr);
        worksheet_write_string(sheet, 0, 1, "名称", nullptr);
        worksheet_write_string(sheet, 0, 2, "批发价", nullptr);
        lxw_row_t row = 1;
        for (int i = 1; i <= 5000; ++i, ++row) {
            if (i == 2 || i == 1999)
                ++row;
            worksheet_write_string(sheet, row, 0, QStringLiteral("G%1").arg(i).toUtf8().constData(), nullptr);
            worksheet_write_string(sheet, row, 1, QStringLiteral("货品%1").arg(i).toUtf8().constData(), nullptr);
            if (i == 4000)
                worksheet_write_string(sheet, row, 2, price(i).toUtf8().constData(), nullptr);
            else
                worksheet_write_number(sheet, row, 2, price(i).toDouble(), nullptr);
        }
        QCOMPARE(workbook_close(book), LXW_NO_ERROR);
    }
    const SheetImport::Checked checked = checkFile(Kind::Goods, fileName);
    QCOMPARE(problemTexts(checked), QStringList{QStringLiteral("4003|批发价|12元|不是数字")});
    QCOMPARE(checked.rows.size(), 5000);
    QVERIFY(!checked.clean());
    QVERIFY_THROWS_EXCEPTION(std::logic_error, SheetImport::write(connection(), checked, false));
    QCOMPARE(app->scalar("select count(*) from goods").toInt(), 0);
}

// A code of more than 15 digits typed into a General column is a number cell
// Excel has already rounded; a CSV that Excel saved holds 6.93E+12 as it showed it.
void TestSheetImport::codesExcelShowsInNotationAreRefused()
{
    const QString fileName = path("numbers.xlsx");
    lxw_workbook* book = workbook_new(fileName.toUtf8().constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    worksheet_write_string(sheet, 0, 0, "编码", nullptr);
    worksheet_write_string(sheet, 0, 1, "名称", nullptr);
    worksheet_write_number(sheet, 1, 0, 6930000000000123.0, nullptr);
    worksheet_write_string(sheet, 1, 1, "条码货品", nullptr);
    worksheet_write_number(sheet, 2, 0, 123, nullptr);   // a short code as a number is still its digits
    worksheet_write_string(sheet, 2, 1, "短码", nullptr);
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);

    SheetImport::Checked checked = checkFile(Kind::Goods, fileName);
    QCOMPARE(checked.problems.size(), 1);
    QCOMPARE(checked.problems[0].row, 2);
    QCOMPARE(checked.problems[0].value, QStringLiteral("6.93E+15"));
    QVERIFY(checked.problems[0].reason.contains(QStringLiteral("科学计数法")));
    QVERIFY(checked.problems[0].reason.contains(QStringLiteral("文本")));
    QCOMPARE(checked.rows[1][0].toString(), QStringLiteral("123"));

    writeFile(path("numbers.csv"), "\xEF\xBB\xBF编码,名称\r\n6.93E+12,条码货品\r\n");
    checked = checkFile(Kind::Goods, path("numbers.csv"));
    QCOMPARE(checked.problems.size(), 1);
    QVERIFY(checked.problems[0].reason.contains(QStringLiteral("科学计数法")));
}

void TestSheetImport::rowRules()
{
    app->exec("insert into goods(gods_code,gods_name) values('OLD','旧名')");
    app->exec("insert into company(comp_code,comp_name) values('S01','供应商')");
    writeFile(path("rules.csv"),
              QStringLiteral("编码,名称,批发价,供应商编码,备注\n"
                             "old,新名,1,S01,\n"                 // 2: in the database (code case ignored)
                             "N1,甲,x,,\n"                        // 3: not a number
                             "N1,乙,2,,\n"                        // 4: twice in the file
                             ",丙,3,,\n"                          // 5: no code
                             "N2,丁,1e3,,\n"                      // 6: exponents are no plain number
                             "N3,戊,1234567890,,\n"               // 7: beyond what a shop means
                             "N4,己,4,S99,\n"                     // 8: no such supplier
                             "N5,%1,5,,\n")                       // 9: longer than its 40 characters
                  .arg(QString(41, QChar(0x5B57)))
                  .toUtf8());
    SheetImport::Checked checked = checkFile(Kind::Goods, path("rules.csv"));
    const QStringList texts = problemTexts(checked);
    QCOMPARE(texts.size(), 8);
    QVERIFY(texts[0].startsWith(QStringLiteral("2|编码|old|编码已存在")));
    QCOMPARE(texts[1], QStringLiteral("3|批发价|x|不是数字"));
    QCOMPARE(texts[2], QStringLiteral("4|编码|N1|与第 3 行重复"));
    QCOMPARE(texts[3], QStringLiteral("5|编码||编码不能为空"));
    QCOMPARE(texts[4], QStringLiteral("6|批发价|1e3|不是数字"));
    QVERIFY(texts[5].startsWith(QStringLiteral("7|批发价|1234567890|")));
    QCOMPARE(texts[6], QStringLiteral("8|供应商编码|S99|公司编码不存在"));
    QCOMPARE(texts[7], QStringLiteral("9|名称|%1|超过 40 个字").arg(QString(41, QChar(0x5B57))));

    // 更新已有: the existing row takes the file's values, only the columns the file has.
    app->exec("update goods set gods_note='保留' where gods_code='OLD'");
    writeFile(path("update.csv"), QStringLiteral("编码,名称,批发价\nOLD,新名,8\nNEW,新货,9\n").toUtf8());
    checked = checkFile(Kind::Goods, path("update.csv"), true);
    QVERIFY(checked.clean());
    QCOMPARE(checked.updateCount(), 1);
    QVERIFY(SheetImport::write(connection(), checked, false));
    QCOMPARE(app->scalar("select gods_name||'/'||cast(batch_out as integer)||'/'||gods_note from goods "
                         "where gods_code='OLD'").toString(),
             QStringLiteral("新名/8/保留"));
    QCOMPARE(app->scalar("select count(*) from goods").toInt(), 2);

    // Employees: dates read as dates, the sex from its two values, a name required.
    writeFile(path("staff.csv"), QStringLiteral("员工编号,姓名,性别,出生日期,入职日期\n"
                                                "E1,张三,男,1990/3/5,2024-01-02\n"
                                                "E2,李四,M,1990-13-01,\n"
                                                "E3,,女,,\n")
                                     .toUtf8());
    checked = checkFile(Kind::Employees, path("staff.csv"));
    QCOMPARE(problemTexts(checked), (QStringList{QStringLiteral("3|出生日期|1990-13-01|不是日期"),
                                                 QStringLiteral("3|性别|M|只能是“男”或“女”"),
                                                 QStringLiteral("4|姓名||姓名不能为空")}));
    QCOMPARE(checked.rows[0][3], QVariant(QDateTime(QDate(1990, 3, 5), QTime(0, 0))));
}

void TestSheetImport::headerRules()
{
    writeFile(path("nocode.csv"), QStringLiteral("名称,品牌\n衬衫,甲\n").toUtf8());
    SheetImport::Checked checked = checkFile(Kind::Goods, path("nocode.csv"));
    QCOMPARE(checked.refusal, QStringLiteral("缺少必需的列：编码"));
    QVERIFY(checked.rows.isEmpty());

    writeFile(path("extra.csv"), QStringLiteral("客户编码,客户名称,网址,电话,电话\nC1,某公司,http://x,1,2\n").toUtf8());
    checked = checkFile(Kind::Companies, path("extra.csv"));
    QCOMPARE(checked.unknownColumns, QStringList{QStringLiteral("网址")});
    QCOMPARE(problemTexts(checked), QStringList{QStringLiteral("1|电话|电话|与前面的列重复")});

    // The template's header is one caption per field and reads back as the kind's columns.
    for (Kind kind : {Kind::Goods, Kind::Companies, Kind::Employees, Kind::OpeningStock}) {
        const QStringList captions = SheetImport::templateCaptions(kind);
        QList<SheetRow> sheet{{1, {}}};
        for (const QString& caption : captions)
            sheet[0].cells << caption;
        checked = SheetImport::check(connection(), kind, sheet, false);
        QVERIFY(checked.refusal.isEmpty());
        QCOMPARE(checked.fields.size(), captions.size());
    }
}

void TestSheetImport::openingStockUpdatesAndAdds()
{
    app->exec("insert into goods(gods_code,gods_name) values('G1','甲'),('G2','乙')");
    app->exec("insert into storemain(gods_code,gods_amou,cost_pric) values('G1',5,10)");
    writeFile(path("stock.csv"), QStringLiteral("货品编码,货品名称,数量,成本\nG1,甲,7,11.5\nG2,乙,3,\nG9,无,1,1\n").toUtf8());
    SheetImport::Checked checked = checkFile(Kind::OpeningStock, path("stock.csv"), true);
    QCOMPARE(problemTexts(checked), QStringList{QStringLiteral("4|货品编码|G9|货品编码不存在")});

    writeFile(path("stock.csv"), QStringLiteral("货品编码,货品名称,数量,成本\nG1,甲,7,11.5\nG2,乙,3,\n").toUtf8());
    checked = checkFile(Kind::OpeningStock, path("stock.csv"), true);
    QVERIFY(checked.clean());
    QVERIFY(SheetImport::write(connection(), checked, false));
    const QString stock("select cast(gods_amou*10 as integer)||':'||cast(cost_pric*10 as integer) from storemain "
                        "where gods_code=:p1");
    QCOMPARE(app->scalar(stock, {"G1"}).toString(), QStringLiteral("70:115"));
    QCOMPARE(app->scalar(stock, {"G2"}).toString(), QStringLiteral("30:0"));
    QCOMPARE(app->scalar("select count(*) from storemain").toInt(), 2);
    QCOMPARE(app->scalar("select count(*) from oper_log where win_name='库存初始化' and act_name='导入'").toInt(), 1);
}

// Opening stock is opening: a goods with bills is refused whatever is ticked,
// an existing stock record only with 更新已有.
void TestSheetImport::openingStockRefusesGoodsWithBillsAndExistingRecords()
{
    app->exec("insert into goods(gods_code,gods_name) values('G1','甲'),('G2','乙'),('G3','丙'),('G4','丁')");
    app->exec("insert into storemain(gods_code,gods_amou,cost_pric) values('G1',5,10),('G2',7,10)");
    app->exec("insert into ingoods(bill_no,gods_code,sub_amou,unit_pric) values('IN1','g2',10,10)");
    app->exec("insert into outgoods(bill_no,gods_code,sub_amou,unit_pric) values('OUT1','G4',1,20)");
    writeFile(path("stock.csv"), QStringLiteral("货品编码,数量,成本\nG1,2,10\nG2,9,10\nG3,3,4\nG4,1,1\n").toUtf8());
    SheetImport::Checked checked = checkFile(Kind::OpeningStock, path("stock.csv"));
    QCOMPARE(problemTexts(checked),
             (QStringList{QStringLiteral("2|货品编码|G1|库存记录已存在（可选择“更新已有”）"),
                          QStringLiteral("3|货品编码|G2|货品“G2 乙”已有单据，期初库存不能再导入，库存只能由单据、盘点和调整改变"),
                          QStringLiteral("5|货品编码|G4|货品“G4 丁”已有单据，期初库存不能再导入，库存只能由单据、盘点和调整改变")}));
    checked = checkFile(Kind::OpeningStock, path("stock.csv"), true);
    QCOMPARE(checked.problems.size(), 2);
    QCOMPARE(checked.problems[0].row, 3);

    writeFile(path("stock.csv"), QStringLiteral("货品编码,数量,成本\nG1,2,10\nG3,3,4\n").toUtf8());
    checked = checkFile(Kind::OpeningStock, path("stock.csv"), true);
    QVERIFY2(checked.clean(), qPrintable(problemTexts(checked).join('\n')));
    QVERIFY(SheetImport::write(connection(), checked, false));
    QCOMPARE(app->scalar("select gods_amou from storemain where gods_code='G1'").toDouble(), 2.0);
    QCOMPARE(app->scalar("select gods_amou from storemain where gods_code='G2'").toDouble(), 7.0);
}

// With 更新已有 an empty cell or a column the file lacks leaves the stored value.
void TestSheetImport::updateLeavesWhatTheFileDoesNotGive_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("expected");
    const QString goods("select gods_name||'/'||cast(valu_out as integer)||'/'||gods_note from goods where gods_code='G1'");
    QTest::newRow("empty name") << int(Kind::Goods) << "编码,名称,建议售价\nG1,,99\n" << goods << "旧名/99/旧备注";
    QTest::newRow("empty price") << int(Kind::Goods) << "编码,名称,建议售价\nG1,新名称,\n" << goods << "新名称/50/旧备注";
    QTest::newRow("blank name") << int(Kind::Goods) << "编码,名称\nG1,\"  \"\n" << goods << "旧名/50/旧备注";
    QTest::newRow("column absent") << int(Kind::Goods) << "编码,建议售价\nG1,60\n" << goods << "旧名/60/旧备注";
    QTest::newRow("company") << int(Kind::Companies) << "公司编码,公司名称,信用额度\nC1,,800\n"
                             << "select comp_name||'/'||cast(cred_limit as integer) from company where comp_code='C1'"
                             << "某公司/800";
    QTest::newRow("stock") << int(Kind::OpeningStock) << "货品编码,数量,成本\nG1,4,\n"
                           << "select cast(gods_amou as integer)||'/'||cast(cost_pric as integer) from storemain"
                           << "4/30";
}

void TestSheetImport::updateLeavesWhatTheFileDoesNotGive()
{
    QFETCH(int, kind);
    QFETCH(QString, file);
    QFETCH(QString, query);
    QFETCH(QString, expected);
    app->exec("insert into goods(gods_code,gods_name,valu_out,gods_note) values('G1','旧名',50,'旧备注')");
    app->exec("insert into company(comp_code,comp_name,cred_limit) values('C1','某公司',100)");
    app->exec("insert into storemain(gods_code,gods_amou,cost_pric) values('G1',1,30)");
    writeFile(path("update.csv"), file.toUtf8());
    const SheetImport::Checked checked = checkFile(Kind(kind), path("update.csv"), true);
    QVERIFY2(checked.clean(), qPrintable(problemTexts(checked).join('\n')));
    QVERIFY(SheetImport::write(connection(), checked, false));
    QCOMPARE(app->scalar(query).toString(), expected);
}

// What 货品资料 and 公司资料 refuse, the import refuses, by row and column.
void TestSheetImport::fieldRulesOfTheWindows_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("update");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("problems");
    QTest::newRow("goods") << int(Kind::Goods) << false
                           << "编码,建议售价,代理价,库存上限,库存下限,批发价,加工费用\n"
                              "N1,-5,,,,,\nN2,,-3,,,,\nN3,,,-100,,,\nN4,,,100,500,,\nN5,,,,,-0.01,\nN6,,,,,,-1\n"
                              "N7,0,0,100,100,0,0\n"
                           << QStringList{"2|建议售价|-5|不能为负数", "3|代理价|-3|不能为负数",
                                          "4|库存上限|-100|不能为负数", "5|库存下限|500|不能高于库存上限“100”",
                                          "6|批发价|-0.01|不能为负数", "7|加工费用|-1|不能为负数"};
    // The stored upper limit counts when the file gives only the lower one.
    QTest::newRow("stored upper limit") << int(Kind::Goods) << true << "编码,库存下限\nOLD,500\nOLD2,500\n"
                                        << QStringList{"2|库存下限|500|不能高于库存上限“100”"};
    QTest::newRow("credit limit") << int(Kind::Companies) << false << "公司编码,公司名称,信用额度\nC1,甲,-1\nC2,乙,0\n"
                                  << QStringList{"2|信用额度|-1|不能为负数"};
}

void TestSheetImport::fieldRulesOfTheWindows()
{
    QFETCH(int, kind);
    QFETCH(bool, update);
    QFETCH(QString, file);
    QFETCH(QStringList, problems);
    app->exec("insert into goods(gods_code,gods_name,max_amou) values('OLD','旧',100)");
    app->exec("insert into goods(gods_code,gods_name) values('OLD2','旧2')");
    writeFile(path("rules.csv"), file.toUtf8());
    const SheetImport::Checked checked = checkFile(Kind(kind), path("rules.csv"), update);
    QCOMPARE(problemTexts(checked), problems);
    QVERIFY_THROWS_EXCEPTION(std::logic_error, SheetImport::write(connection(), checked, false));
}

// Cells of the 名称 and 建议售价 columns on row 2, as Excel stores them.
void TestSheetImport::excelErrorsAndUncomputedFormulasAreRefused_data()
{
    QTest::addColumn<QString>("cells");
    QTest::addColumn<QStringList>("problems");
    QTest::newRow("#N/A as a name") << R"(<c r="B2" t="e"><v>#N/A</v></c><c r="C2"><v>5</v></c>)"
                                    << QStringList{"2|名称|#N/A|是 Excel 的错误值"};
    QTest::newRow("VLOOKUP giving #N/A") << R"(<c r="B2" t="e"><f>VLOOKUP(A2,X!A:B,2,0)</f><v>#N/A</v></c>)"
                                         << QStringList{"2|名称|#N/A|是 Excel 的错误值"};
    QTest::newRow("#DIV/0! as a price") << R"(<c r="B2" t="s"><v>0</v></c><c r="C2" t="e"><f>1/0</f><v>#DIV/0!</v></c>)"
                                        << QStringList{"2|建议售价|#DIV/0!|是 Excel 的错误值"};
    QTest::newRow("formula without result") << R"(<c r="B2" t="s"><v>0</v></c><c r="C2"><f>D2*2</f></c>)"
                                            << QStringList{"2|建议售价|=D2*2|公式没有计算结果，请在 Excel 中重新计算并保存"};
    QTest::newRow("text formula without result") << R"(<c r="B2" t="str"><f>A2&amp;"x"</f></c>)"
                                                 << QStringList{"2|名称|=A2&\"x\"|公式没有计算结果，请在 Excel 中重新计算并保存"};
    QTest::newRow("others") << R"(<c r="B2" t="e"><v>#VALUE!</v></c><c r="C2" t="e"><v>#REF!</v></c>)"
                            << QStringList{"2|名称|#VALUE!|是 Excel 的错误值", "2|建议售价|#REF!|是 Excel 的错误值"};
    QTest::newRow("formula with result") << R"(<c r="B2" t="str"><f>"甲"</f><v>甲</v></c><c r="C2"><f>2*3</f><v>6</v></c>)"
                                         << QStringList{};
}

void TestSheetImport::excelErrorsAndUncomputedFormulasAreRefused()
{
    QFETCH(QString, cells);
    QFETCH(QStringList, problems);
    app->exec("insert into baseitem(gods_spec_id,gods_spec) values('1','甲')");
    writeRawXlsx(path("errors.xlsx"),
                 R"(<row r="1"><c r="A1" t="inlineStr"><is><t>编码</t></is></c><c r="B1" t="inlineStr"><is><t>名称</t></is></c>)"
                 R"(<c r="C1" t="inlineStr"><is><t>建议售价</t></is></c></row><row r="2"><c r="A2" t="inlineStr"><is><t>G1</t></is></c>)"
                     + cells + "</row>");
    const SheetImport::Checked checked = checkFile(Kind::Goods, path("errors.xlsx"));
    QCOMPARE(problemTexts(checked), problems);

    // Error values that a CSV saved by Excel holds as text.
    writeFile(path("errors.csv"), QStringLiteral("编码,名称,建议售价\nG1,#N/A,#NUM!\nG2,#NAME?,#NULL!\n").toUtf8());
    QCOMPARE(checkFile(Kind::Goods, path("errors.csv")).problems.size(), 4);
}

// Every column a window edits is imported: barcodes as 货品资料 checks them,
// 款号, and companies' 信用额度; a 13-digit number cell is the text of its digits.
void TestSheetImport::barcodesStyleCodesAndCreditLimits()
{
    app->exec("insert into goods(gods_code,gods_name,bar_code) values('OLD','旧','4006381333931')");
    const QString fileName = path("barcodes.xlsx");
    lxw_workbook* book = workbook_new(fileName.toUtf8().constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    const char* header[] = {"编码", "名称", "条形码", "款号"};
    for (int c = 0; c < 4; ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), header[c], nullptr);
    const auto goods = [&](int row, const char* code) {
        worksheet_write_string(sheet, lxw_row_t(row), 0, code, nullptr);
        worksheet_write_string(sheet, lxw_row_t(row), 1, "货", nullptr);
        worksheet_write_string(sheet, lxw_row_t(row), 3, "ST01", nullptr);
    };
    goods(1, "N1");
    worksheet_write_number(sheet, 1, 2, 6901234567892.0, nullptr);   // all 13 digits held
    goods(2, "N2");
    worksheet_write_string(sheet, 2, 2, "6.90123E+12", nullptr);     // what Excel showed, already rounded
    goods(3, "N3");
    worksheet_write_string(sheet, 3, 2, "4006381333931", nullptr);   // OLD's
    goods(4, "N4");
    worksheet_write_string(sheet, 4, 2, "4006381333932", nullptr);   // a wrong check digit
    goods(5, "N5");
    worksheet_write_string(sheet, 5, 2, "6901234567892", nullptr);   // N1's, row 2
    goods(6, "N6");
    worksheet_write_number(sheet, 6, 2, 1234567890123456.0, nullptr);   // beyond Excel's 15 digits
    goods(7, "N7");
    worksheet_write_string(sheet, 7, 2, "T-001", nullptr);
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);

    SheetImport::Checked checked = checkFile(Kind::Goods, fileName);
    QVERIFY(checked.unknownColumns.isEmpty());
    const QStringList texts = problemTexts(checked);
    QCOMPARE(texts.size(), 5);
    QVERIFY(texts[0].startsWith(QStringLiteral("3|条形码|6.90123E+12|")));
    QCOMPARE(texts[1], QStringLiteral("4|条形码|4006381333931|已被货品“OLD 旧”使用"));
    QCOMPARE(texts[2], QStringLiteral("5|条形码|4006381333932|校验位不对（应为1）"));
    QCOMPARE(texts[3], QStringLiteral("6|条形码|6901234567892|与第 2 行重复"));
    QVERIFY(texts[4].startsWith(QStringLiteral("7|条形码|1.23E+15|")));
    QCOMPARE(checked.rows[0][2].toString(), QStringLiteral("6901234567892"));

    writeFile(path("good.csv"), QStringLiteral("编码,名称,条形码,款号\nN1,货,6901234567892,ST01\nN2,货,T-001,ST01\n").toUtf8());
    checked = checkFile(Kind::Goods, path("good.csv"));
    QVERIFY2(checked.clean(), qPrintable(problemTexts(checked).join('\n')));
    QVERIFY(SheetImport::write(connection(), checked, false));
    QCOMPARE(app->scalar("select bar_code||'/'||styl_code from goods where gods_code='N1'").toString(),
             QStringLiteral("6901234567892/ST01"));

    writeFile(path("companies.csv"), QStringLiteral("公司编码,公司名称,信用额度\nC1,甲,5000\n").toUtf8());
    checked = checkFile(Kind::Companies, path("companies.csv"));
    QVERIFY(checked.unknownColumns.isEmpty());
    QVERIFY(SheetImport::write(connection(), checked, false));
    QCOMPARE(app->scalar("select cred_limit from company where comp_code='C1'").toDouble(), 5000.0);
}

// A barcode is never another goods' code, nor a code another goods' barcode:
// against the database and against the file's other rows.
void TestSheetImport::barcodeNeverAnotherGoodsCode_data()
{
    QTest::addColumn<bool>("update");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("problems");
    QTest::newRow("a stored goods' code") << false << "编码,名称,条形码\nB-100,裤,1002\n"
                                          << QStringList{"2|条形码|1002|是货品“1002 衬衫”的编码"};
    QTest::newRow("a stored goods' barcode") << false << "编码,名称\n2000000000008\n"
                                             << QStringList{"2|编码|2000000000008|是货品“1003 外套”的条形码"};
    QTest::newRow("another row's code") << false << "编码,名称,条形码\nB-100,裤,B-200\nB-200,帽,\n"
                                        << QStringList{"2|条形码|B-200|是第 3 行货品的编码"};
    QTest::newRow("another row's barcode") << false << "编码,名称,条形码\nB-100,裤,\nB-200,帽,B-100\n"
                                           << QStringList{"3|条形码|B-100|是第 2 行货品的编码"};
    QTest::newRow("its own code") << false << "编码,名称,条形码\nB-100,裤,B-100\n" << QStringList{};
    QTest::newRow("updating its own barcode") << true << "编码,条形码\n1003,2000000000008\n" << QStringList{};
    QTest::newRow("updated goods takes a code") << true << "编码,条形码\n1003,1002\n"
                                                << QStringList{"2|条形码|1002|是货品“1002 衬衫”的编码"};
}

void TestSheetImport::barcodeNeverAnotherGoodsCode()
{
    QFETCH(bool, update);
    QFETCH(QString, file);
    QFETCH(QStringList, problems);
    app->exec("insert into goods(gods_code,gods_name) values('1002','衬衫')");
    app->exec("insert into goods(gods_code,gods_name,bar_code) values('1003','外套','2000000000008')");
    writeFile(path("clash.csv"), file.toUtf8());
    QCOMPARE(problemTexts(checkFile(Kind::Goods, path("clash.csv"), update)), problems);
}

// A quote inside a field that did not start with one is text; a lone carriage
// return inside a text is written quoted and read back in its row.
void TestSheetImport::csvQuotesAndCarriageReturns()
{
    const QList<SheetRow> read = SheetReader::readCsv(QStringLiteral("编码,名称\r\nN1,12\" 衬衫\r\nN2,乙\r\n").toUtf8());
    QCOMPARE(read.size(), 3);
    QCOMPARE(read[1].cells, (QList<QVariant>{QStringLiteral("N1"), QStringLiteral("12\" 衬衫")}));
    QCOMPARE(read[2].cells, (QList<QVariant>{QStringLiteral("N2"), QStringLiteral("乙")}));

    const QString fileName = path("cr.csv");
    const QStringList texts{QStringLiteral("甲\r乙"), QStringLiteral("丙")};
    QVERIFY(SheetWriter::write(fileName, QStringLiteral("货品"), {{QStringLiteral("名称")}}, int(texts.size()),
                               [&](int row, int) { return QVariant(texts.at(row)); }));
    const QList<SheetRow> back = SheetReader::read(fileName);
    QCOMPARE(back.size(), 3);
    QCOMPARE(back[1].cells, QList<QVariant>{QStringLiteral("甲\r乙")});
    QCOMPARE(back[2].cells, QList<QVariant>{QStringLiteral("丙")});
}

// A report's title above its captions and its totals below its lines.
void TestSheetImport::csvKeepsTheFrameAroundTheLines()
{
    const QString fileName = path("frame.csv");
    const SheetFrame frame{{{QStringLiteral("应收账龄")}}, {{QStringLiteral("欠款合计"), 1234.5}}};
    QVERIFY(SheetWriter::write(fileName, QStringLiteral("账龄"), {{QStringLiteral("公司编码")}}, 1,
                               [](int, int) { return QVariant(QStringLiteral("C1")); }, {}, frame));
    const QList<SheetRow> back = SheetReader::read(fileName);
    QCOMPARE(back.size(), 4);
    QCOMPARE(back[0].cells, QList<QVariant>{QStringLiteral("应收账龄")});
    QCOMPARE(back[1].cells, QList<QVariant>{QStringLiteral("公司编码")});
    QCOMPARE(back[2].cells, QList<QVariant>{QStringLiteral("C1")});
    QCOMPARE(back[3].cells, (QList<QVariant>{QStringLiteral("欠款合计"), QStringLiteral("1234.5")}));
}

QTEST_MAIN(TestSheetImport)
#include "tst_sheetimport.moc"
