// The change log viewer: its filters, its print-out, the rights that gate it,
// and that nothing in it changes a log line.
#include "TestSupport.h"
#include "WindowDriver.h"

#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "maintenance/TFrmOperLog.h"
#include "reports/ReportDocument.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportPreview.h"
#include "shop/OperationLog.h"
#include "ui/DbGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace WindowDriver;

class TestOperLog : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;
    QObject owner;

    void logAs(const QString& user, const QDateTime& at, const OperationLog::Entry& entry)
    {
        Clock::setFixed(at);
        CurrentRights::current().userId = user;
        OperationLog::write(app->dataModule().AdoConn, entry);
    }

    QStringList listedKeys()
    {
        QStringList keys;
        db::Dataset* list = app->dataModule().OperLogQ;
        for (int row = 0; row < list->recordCount(); ++row)
            keys << list->value(row, list->fieldIndex("log_key")).toString();
        return keys;
    }

    static void choose(QComboBox* box, const QString& text)
    {
        const int index = box->findText(text);
        QVERIFY2(index >= 0, qPrintable(text));
        box->setCurrentIndex(index);
    }

private slots:
    void init()
    {
        app = std::make_unique<TestApp>();
        ReportLayouts::createAll(&owner);
        logAs("admin", QDateTime(QDate(2026, 3, 1), QTime(8, 0)), {"进货输入", "新增", "20260301080000", "金额 47", "G1 3×12.5"});
        logAs("clerk", QDateTime(QDate(2026, 3, 2), QTime(23, 59, 59)), {"销售输入", "删除", "20260302090000", "金额 20 → 0", "G2 2×10"});
        logAs("clerk", QDateTime(QDate(2026, 3, 3), QTime(0, 0)), {"货品资料", "删除", "G2", {}, "gods_code=G2"});
        logAs("admin", QDateTime(QDate(2026, 3, 4), QTime(10, 0)), {"销售输入", "重印", "20260304100000", {}, {}});
        CurrentRights::current().userId = "admin";
        Clock::setFixed(QDateTime(QDate(2026, 3, 4), QTime(12, 0)));
    }
    void cleanup() { app.reset(); }

    void filtersNarrowTheList()
    {
        TFrmOperLog w;
        showWindow(w);
        QCOMPARE(w.UserBox->count(), 3);   // 全部, admin, clerk
        QVERIFY(w.ActionBox->findText("重印") > 0);

        w.fromDateEdit->setDate(QDate(2026, 3, 2));
        w.toDateEdit->setDate(QDate(2026, 3, 3));
        click(w, "cmd_find");
        // Whole days: the last second of the first day and the first of the last both count.
        QCOMPARE(listedKeys(), QStringList({"20260302090000", "G2"}));
        QCOMPARE(w.DetailText->toPlainText(), QString("G2 2×10"));

        w.fromDateEdit->setDate(QDate(2026, 3, 1));
        w.toDateEdit->setDate(QDate(2026, 3, 4));
        choose(w.UserBox, "admin");
        click(w, "cmd_find");
        QCOMPARE(listedKeys(), QStringList({"20260301080000", "20260304100000"}));

        choose(w.UserBox, "全部");
        choose(w.ActionBox, "删除");
        retype(w.KeyEdit, "2026");
        QTest::keyClick(w.KeyEdit, Qt::Key_Return);
        QCOMPARE(listedKeys(), QStringList({"20260302090000"}));

        // Wildcards typed are taken as they are.
        retype(w.KeyEdit, "%");
        QTest::keyClick(w.KeyEdit, Qt::Key_Return);
        QVERIFY(listedKeys().isEmpty());
        QVERIFY(w.DetailText->toPlainText().isEmpty());
    }

    void printListsWhatIsShown()
    {
        TFrmOperLog w;
        showWindow(w);
        w.fromDateEdit->setDate(QDate(2026, 3, 1));
        choose(w.ActionBox, "删除");
        click(w, "cmd_find");
        int detailRows = 0;
        bool previewed = false;
        app->dialogs().onExec = [&](QDialog* d) {
            previewed = qobject_cast<ReportPreview*>(d) != nullptr;
            const ReportDocument document = ReportLayouts::get<TQoperlog>().prepare();
            for (const ReportPage& page : document.pages())
                detailRows += page.count(ReportBand::Kind::Detail);
            return int(QDialog::Rejected);
        };
        click(w, "cmd_prin");
        QVERIFY(previewed);
        QCOMPARE(detailRows, 2);
        const TQoperlog& report = ReportLayouts::get<TQoperlog>();
        QCOMPARE(report.labelText("action"), QString("删除"));
        QCOMPARE(report.labelText("user"), QString("全部"));
        QCOMPARE(report.labelText("hjts"), QString("2"));
        QVERIFY(!app->dataModule().OperLogQ->controlsDisabled());
    }

    void rightsGateFindAndPrint()
    {
        QString rights(26, '1');
        rights[25] = '0';
        app->setRights(rights);
        TFrmOperLog closed;
        QVERIFY(!closed.cmd_find->isEnabled());
        QVERIFY(!closed.cmd_prin->isEnabled());
        // Enter in the key box does not get round the missing right.
        QTest::keyClick(closed.KeyEdit, Qt::Key_Return);
        QVERIFY(!app->dataModule().OperLogQ->isOpen());

        app->setRights(QString(26, '1'));
        TFrmOperLog open;
        QVERIFY(open.cmd_find->isEnabled());
        QVERIFY(open.cmd_prin->isEnabled());
    }

    void noLineCanBeChanged()
    {
        TFrmOperLog w;
        showWindow(w);
        w.fromDateEdit->setDate(QDate(2026, 3, 1));
        click(w, "cmd_find");
        QVERIFY(w.NoteLabel->text().contains("不能修改或删除"));
        // Typing into the grid and pressing Delete change nothing.
        w.logGrid->setFocus();
        w.logGrid->setCurrentIndex(w.logGrid->model()->index(0, 5));
        typeText(w.logGrid, "x");
        QTest::keyClick(w.logGrid, Qt::Key_Return);
        QTest::keyClick(w.logGrid, Qt::Key_Delete);
        QTest::keyClick(w.logGrid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(app->scalar("select count(*) from oper_log").toInt(), 4);
        QCOMPARE(app->scalar("select summary from oper_log where log_key='20260301080000'").toString(), QString("金额 47"));
        QCOMPARE(app->dataModule().OperLogQ->recordCount(), 4);
        // The window offers no button that would write.
        for (const QPushButton* button : w.findChildren<QPushButton*>())
            QVERIFY2(QStringList({"cmd_find", "cmd_prin", "cmd_exit"}).contains(button->objectName()),
                     qPrintable(button->objectName()));
    }
};

QTEST_MAIN(TestOperLog)
#include "tst_operlog.moc"
