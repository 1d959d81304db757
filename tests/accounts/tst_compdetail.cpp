// The company statement window's own part: what it refuses, and the company,
// side and period it hands to the statement. Its figures are the module's.
#include "AccountsData.h"
#include "TestSupport.h"
#include "WindowDriver.h"

#include "accounts/TFrmCompDetail.h"
#include "core/Clock.h"
#include "core/SheetReader.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportPreview.h"
#include "reports/TQcompdetail.h"
#include "ui/DbGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QAction>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace AccountsData;
using WindowDriver::showWindow;
using WindowDriver::typeText;

namespace {

void query(TFrmCompDetail& w, const QString& code)
{
    w.companyCodeBox->lineEdit()->clear();
    typeText(w.companyCodeBox->lineEdit(), code);
    QTest::mouseClick(w.cmd_find, Qt::LeftButton);
}

// Each line as "kind number increase decrease credit balance".
QStringList lines(TFrmCompDetail& w)
{
    QStringList result;
    const QAbstractItemModel* model = w.movementGrid->model();
    for (int row = 0; model && row < model->rowCount(); ++row) {
        QStringList cells;
        for (int c = 1; c < model->columnCount(); ++c)
            cells << model->index(row, c).data().toString();
        result << cells.join(' ');
    }
    return result;
}

} // namespace

class TestCompDetail : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;

private slots:
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2026, 6, 30), QTime(10, 0)));
        app = std::make_unique<TestApp>();
        addCompany(*app, "C1", "华美服饰");
        addBill(*app, "outmain", "S1", 10, "C1", 100, 0, "out", 5);   // before the period
        addBill(*app, "outmain", "S2", 5, "C1", 40, 0, "out", 6);
        addBill(*app, "inmain", "P1", 10, "C1", 70, 0, "in", 6);
    }
    void cleanup() { app.reset(); }

    void companySideAndPeriodReachTheStatement()
    {
        TFrmCompDetail w;
        showWindow(w);
        // The period opens at the first of the month, to today.
        QCOMPARE(w.fromDateEdit->date(), QDate(2026, 6, 1));
        QCOMPARE(w.toDateEdit->date(), QDate(2026, 6, 30));
        query(w, "C1");
        QCOMPARE(w.companyNameBox->currentText(), QString("华美服饰"));
        QCOMPARE(w.broughtForwardEdit->text(), QString("100"));
        QCOMPARE(lines(w), QStringList({"销售 S2 40   140"}));
        QCOMPARE(w.closingBalanceEdit->text(), QString("140"));

        QTest::mouseClick(w.payableRadio, Qt::LeftButton);
        QTest::mouseClick(w.cmd_find, Qt::LeftButton);
        QCOMPARE(w.broughtForwardEdit->text(), QString("0"));
        QCOMPARE(lines(w), QStringList({"进货 P1 70   70"}));

        w.toDateEdit->setDate(QDate(2026, 6, 9));
        QTest::mouseClick(w.cmd_find, Qt::LeftButton);
        QVERIFY(lines(w).isEmpty());
        QCOMPARE(w.closingBalanceEdit->text(), QString("0"));
    }

    void refusesNoCompanyAnUnknownCodeAndAReversedPeriod()
    {
        TFrmCompDetail w;
        showWindow(w);
        QTest::mouseClick(w.cmd_find, Qt::LeftButton);
        QCOMPARE(app->dialogs().lastMessage(), QString("请选择客户"));

        query(w, "C1");
        QCOMPARE(lines(w).size(), 1);
        query(w, "C9");
        QCOMPARE(app->dialogs().lastMessage(), QString("客户编码“C9”不存在"));
        QVERIFY(lines(w).isEmpty());   // not C1's lines under C9's message
        QVERIFY(w.closingBalanceEdit->text().isEmpty());

        w.fromDateEdit->setDate(QDate(2026, 7, 1));
        query(w, "C1");
        QCOMPARE(app->dialogs().lastMessage(), QString("起始日期晚于截止日期，请重新选择日期"));
        QVERIFY(lines(w).isEmpty());
    }

    // The statement prints with its company, period and balances, and exports
    // like every grid (Ctrl+E) with its numbers as numbers.
    void printsAndExportsTheStatement()
    {
        QObject owner;
        ReportLayouts::createAll(&owner);
        TFrmCompDetail w;
        showWindow(w);
        query(w, "C1");
        int rows = 0;
        app->dialogs().onExec = [&](QDialog* dialog) {
            if (qobject_cast<ReportPreview*>(dialog))
                rows = ReportLayouts::get<TQcompdetail>().masterDataset()->recordCount();
            return int(QDialog::Rejected);
        };
        QTest::mouseClick(w.cmd_prin, Qt::LeftButton);
        QVERIFY(app->dialogs().messages.isEmpty());
        QCOMPARE(rows, 1);
        TQcompdetail& report = ReportLayouts::get<TQcompdetail>();
        QCOMPARE(report.labelText("khbm"), QString("C1"));
        QCOMPARE(report.labelText("khmc"), QString("华美服饰"));
        QCOMPARE(report.labelText("sqjy"), QString("100"));
        QCOMPARE(report.labelText("qmye"), QString("140"));
        QVERIFY(report.labelText("rqfw").startsWith(QLocale().toString(QDate(2026, 6, 1), QLocale::ShortFormat)));

        QTemporaryDir dir;
        const QString file = dir.filePath("statement.xlsx");
        app->dialogs().fileAnswers << file;
        w.movementGrid->setFocus();
        QTest::keyClick(w.movementGrid, Qt::Key_E, Qt::ControlModifier);
        // Title, company, period; the captions; the line; the balances.
        const QList<SheetRow> sheet = SheetReader::read(file);
        QCOMPARE(sheet.size(), 5);
        QCOMPARE(sheet.at(0).cells.value(0), QVariant(QString("客户往来明细（应收）")));
        QCOMPARE(sheet.at(1).cells.mid(0, 4), (QList<QVariant>{"客户编码", "C1", "客户名称", "华美服饰"}));
        QCOMPARE(sheet.at(2).cells.value(0), QVariant(QString("日期")));
        QCOMPARE(sheet.at(3).cells.at(2).toString(), QString("S2"));
        QCOMPARE(sheet.at(3).cells.at(6), QVariant(140.0));
        QCOMPARE(sheet.at(4).cells, (QList<QVariant>{"上期结余", 100.0, "期末余额", 140.0}));
    }
};

QTEST_MAIN(TestCompDetail)
#include "tst_compdetail.moc"
