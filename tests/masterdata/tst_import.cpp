// The import window: what it tells the user, the report and saving it, the
// question about new code-list values, and the rights it asks for.
#include "TestSupport.h"

#include "core/CurrentRights.h"
#include "core/SheetReader.h"
#include "masterdata/TFrmImport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

private slots:
    void init() { app = std::make_unique<TestApp>(); }
    void cleanup() { app.reset(); }

    void badFileShowsTheReportAndWritesNothing();
    void newListValuesAreAskedAbout();
    void rightsOfTheKind();
};

void TestImport::badFileShowsTheReportAndWritesNothing()
{
    TFrmImport window;
    window.findChild<QLineEdit*>("FileEdit")->setText(
        writeCsv("bad.csv", "编码,名称,零售价,批发价\nG1,甲,1,2\n\nG1,乙,1,x\n"));
    QVERIFY(!window.cmd_importClick());
    QCOMPARE(app->dialogs().lastMessage(), QStringLiteral("发现 2 处错误，没有导入任何数据。请按报告改正文件后重新导入。"));
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

QTEST_MAIN(TestImport)
#include "tst_import.moc"
