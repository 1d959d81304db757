// The company statement window's own part: what it refuses, and the company,
// side and period it hands to the statement. Its figures are the module's.
#include "AccountsData.h"
#include "TestSupport.h"
#include "WindowDriver.h"

#include "accounts/TFrmCompDetail.h"
#include "core/Clock.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>
#include <memory>

using namespace AccountsData;
using WindowDriver::showWindow;
using WindowDriver::typeText;

namespace {

void query(TFrmCompDetail& w, const QString& code)
{
    w.ComboBox1->lineEdit()->clear();
    typeText(w.ComboBox1->lineEdit(), code);
    QTest::mouseClick(w.cmd_find, Qt::LeftButton);
}

// Each line as "kind number increase decrease balance".
QStringList lines(TFrmCompDetail& w)
{
    QStringList result;
    for (int row = 0; row < w.Grid1->rowCount(); ++row) {
        QStringList cells;
        for (int c = 1; c < w.Grid1->columnCount(); ++c)
            cells << w.Grid1->item(row, c)->text();
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
        QCOMPARE(w.DP1->date(), QDate(2026, 6, 1));
        QCOMPARE(w.DP2->date(), QDate(2026, 6, 30));
        query(w, "C1");
        QCOMPARE(w.ComboBox2->currentText(), QString("华美服饰"));
        QCOMPARE(w.Edit1->text(), QString("100"));
        QCOMPARE(lines(w), QStringList({"销售 S2 40  140"}));
        QCOMPARE(w.Edit2->text(), QString("140"));

        QTest::mouseClick(w.RadioButton2, Qt::LeftButton);
        QTest::mouseClick(w.cmd_find, Qt::LeftButton);
        QCOMPARE(w.Edit1->text(), QString("0"));
        QCOMPARE(lines(w), QStringList({"进货 P1 70  70"}));

        w.DP2->setDate(QDate(2026, 6, 9));
        QTest::mouseClick(w.cmd_find, Qt::LeftButton);
        QVERIFY(lines(w).isEmpty());
        QCOMPARE(w.Edit2->text(), QString("0"));
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
        QVERIFY(w.Edit2->text().isEmpty());

        w.DP1->setDate(QDate(2026, 7, 1));
        query(w, "C1");
        QCOMPARE(app->dialogs().lastMessage(), QString("起始日期晚于截止日期，请重新选择日期"));
        QVERIFY(lines(w).isEmpty());
    }
};

QTEST_MAIN(TestCompDetail)
#include "tst_compdetail.moc"
