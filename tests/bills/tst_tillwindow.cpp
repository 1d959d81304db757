// The till window's own part: opening with the focus in the scan box and the
// float asked, scans adding pieces, the keys of the line and the sale, the pay
// dialog's Enter, what reaches the books, and a printer failure that never
// loses the sale. The rules themselves are proven in tst_till.
#include "TestSupport.h"
#include "TillSamples.h"
#include "WindowDriver.h"

#include "bills/TFrmTill.h"
#include "bills/TillAmountDialog.h"
#include "bills/TillPayDialog.h"
#include "bills/TillReturnDialog.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "shop/TillShift.h"
#include "ui/MemberChoiceDialog.h"
#include "ui/ScanBar.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QtTest>
#include <functional>
#include <memory>

using namespace WindowDriver;

class TestTillWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<TestApp> app;
    QStringList amounts;                            // answers to the amount dialogs, in order
    std::function<void(TillPayDialog&)> paying;     // keys pressed in the pay dialog
    std::function<void(TillReturnDialog&)> returning;
    int memberRow = -1;                             // the row chosen among several members; -1 escapes
    QList<shop::Receipt> printed;
    QList<TillShift::Report> shiftsPrinted;
    QString printerFault;
    quint64 clock = 1000;

    double number(const QString& sql, const QVariantList& parameters = {}) { return app->scalar(sql, parameters).toDouble(); }

    void press(QWidget& window, Qt::Key key)
    {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, key);
    }

    std::unique_ptr<TFrmTill> openTill()
    {
        auto till = std::make_unique<TFrmTill>();
        till->show();
        [&] { QVERIFY(QTest::qWaitForWindowActive(till.get())); }();
        return till;
    }

private slots:
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2026, 3, 5), QTime(10, 15)));
        app = std::make_unique<TestApp>();
        TillSamples::addGoods(*app);
        amounts = {"100"};   // the float
        printed.clear();
        shiftsPrinted.clear();
        printerFault.clear();
        paying = nullptr;
        returning = nullptr;
        memberRow = -1;
        app->dialogs().onExec = [this](QDialog* dialog) {
            if (auto* members = qobject_cast<MemberChoiceDialog*>(dialog)) {
                if (memberRow < 0) {
                    QTest::keyClick(members->list(), Qt::Key_Escape);
                    return int(QDialog::Rejected);
                }
                for (int i = 0; i < memberRow; ++i)
                    QTest::keyClick(members->list(), Qt::Key_Down);
                QTest::keyClick(members->list(), Qt::Key_Return);
                return members->result();
            }
            if (auto* amount = qobject_cast<TillAmountDialog*>(dialog)) {
                if (amounts.isEmpty())
                    return int(QDialog::Rejected);
                amount->box()->setText(amounts.takeFirst());
                QTest::keyClick(amount->box(), Qt::Key_Return);
                return amount->result();
            }
            if (auto* pay = qobject_cast<TillPayDialog*>(dialog); pay && paying) {
                // Shown as exec shows it: the till's own keys are not at work meanwhile.
                pay->show();
                QApplication::setActiveWindow(pay);
                if (!QTest::qWaitForWindowActive(pay))
                    return int(QDialog::Rejected);
                paying(*pay);
                return pay->result();
            }
            if (auto* back = qobject_cast<TillReturnDialog*>(dialog); back && returning) {
                back->show();
                QApplication::setActiveWindow(back);
                if (!QTest::qWaitForWindowActive(back))
                    return int(QDialog::Rejected);
                returning(*back);
                return back->result();
            }
            return int(QDialog::Rejected);
        };
        TFrmTill::setReceiptPrinter([this](const shop::Receipt& receipt) {
            printed << receipt;
            return printerFault;
        });
        TFrmTill::setShiftPrinter([this](const TillShift::Report& report) {
            shiftsPrinted << report;
            return QString();
        });
    }

    void cleanup()
    {
        TFrmTill::setReceiptPrinter({});
        TFrmTill::setShiftPrinter({});
        app.reset();
        Clock::setFixed({});
    }

    void opensMaximizedWithTheFloatAskedAndTheFocusInTheScanBox()
    {
        auto till = openTill();
        QVERIFY(till->windowState() & Qt::WindowMaximized);
        QCOMPARE(QApplication::focusWidget(), till->scanBar()->box());
        QVERIFY(child<QLabel>(*till, "keysLabel")->text().contains("F12/Enter 收款"));
        const auto shift = TillShift::current(app->dataModule().AdoConn, CurrentRights::current().userId);
        QVERIFY(shift);
        QCOMPARE(shift->openingFloat, 100.0);
        QCOMPARE(till->shiftId(), shift->id);
    }

    void scannedSaleIsPaidBySplitMethodsAndPrinted()
    {
        auto till = openTill();
        scanAt("6901234567892", clock);
        scanAt("6901234567892", clock);
        scanAt("t2", clock);
        QCOMPARE(till->lines().size(), 2);
        QCOMPARE(till->lines().first().name, QString("短袖衬衫 白 XL"));
        QCOMPARE(till->lines().first().quantity, 2.0);
        QCOMPARE(child<QLabel>(*till, "totalLabel")->text(), QString("233.5"));
        QCOMPARE(child<QLabel>(*till, "piecesLabel")->text(), QString("3 件"));
        // 100 by WeChat, then 200 cash tendered: 66.50 change.
        paying = [](TillPayDialog& pay) {
            QTest::keyClick(pay.amountBox(), Qt::Key_Down);
            QCOMPARE(pay.methodList()->currentItem()->text(), QString("微信"));
            QTest::keyClicks(pay.amountBox(), "100");
            QTest::keyClick(pay.amountBox(), Qt::Key_Return);
            QCOMPARE(pay.rest(), 133.5);
            QTest::keyClick(pay.amountBox(), Qt::Key_Up);
            QTest::keyClicks(pay.amountBox(), "200");
            QTest::keyClick(pay.amountBox(), Qt::Key_Return);
        };
        // Enter on the empty scan box pays.
        QTest::keyClick(till->scanBar()->box(), Qt::Key_Return);
        QCOMPARE(number("select count(*) from outmain"), 1.0);
        QCOMPARE(number("select sum(paid_amou) from outpay where fee_type='现金'"), 133.5);
        QCOMPARE(number("select sum(paid_amou) from outpay where fee_type='微信'"), 100.0);
        QVERIFY(till->lines().isEmpty());
        QCOMPARE(printed.size(), 1);
        QCOMPARE(printed.first().change, 66.5);
        QCOMPARE(printed.first().total, 233.5);
        QVERIFY(printed.first().cashTaken);
        QTRY_COMPARE(QApplication::focusWidget(), till->scanBar()->box());
    }

    void enterOnAnEmptyAmountFillsTheRestIntoTheChosenMethod()
    {
        auto till = openTill();
        scanAt("T2", clock);
        paying = [](TillPayDialog& pay) {
            QTest::keyClick(pay.amountBox(), Qt::Key_Down);
            QTest::keyClick(pay.amountBox(), Qt::Key_Down);
            // More than is due is refused for any method but cash.
            QTest::keyClicks(pay.amountBox(), "50");
            QTest::keyClick(pay.amountBox(), Qt::Key_Return);
            QVERIFY(pay.result() != QDialog::Accepted);
            QCOMPARE(child<QLabel>(pay, "reasonLabel")->text(), QString("支付宝收款50超过还差的35.5"));
            pay.amountBox()->clear();
            QTest::keyClick(pay.amountBox(), Qt::Key_Return);
        };
        press(*till, Qt::Key_F12);
        QCOMPARE(app->scalar("select fee_type||' '||paid_amou from outpay").toString(), QString("支付宝 35.5"));
        QCOMPARE(printed.first().change, 0.0);
    }

    void memberKeyTakesACardOrAPhoneAndThePointsPay()
    {
        // 金卡: 90%, a point a yuan, as a new database has it.
        app->exec("insert into member(card_no,memb_name,mobile,level_name,points) values('M001','王芳','13812341234','金卡',500)");
        app->exec("insert into member(card_no,memb_name,mobile,level_name,points) values('M002','李强','13912345678','',0)");
        auto till = openTill();
        QVERIFY(child<QLabel>(*till, "keysLabel")->text().contains("Ins 会员"));
        scanAt("T1", clock);
        // A price set by hand stays when the member comes.
        scanAt("T2", clock);
        amounts << "30";
        press(*till, Qt::Key_F11);
        // The key, then the card scanned.
        press(*till, Qt::Key_Insert);
        QVERIFY(till->scanBar()->banner()->text().contains("请扫描会员卡"));
        scanAt("m001", clock);
        QCOMPARE(till->member()->cardNo, QString("M001"));
        QCOMPARE(child<QLabel>(*till, "customerLabel")->text(), QString("会员：王芳 金卡 积分 500"));
        QCOMPARE(till->lines().first().price, 89.1);
        QCOMPARE(till->lines().at(1).price, 30.0);
        QCOMPARE(QApplication::focusWidget(), till->scanBar()->box());
        // Part of a phone typed first: several fit, Escape keeps the member, a choice changes it.
        QTest::keyClicks(till->scanBar()->box(), "1234");
        press(*till, Qt::Key_Insert);
        QCOMPARE(till->member()->cardNo, QString("M001"));
        memberRow = 1;
        QTest::keyClicks(till->scanBar()->box(), "1234");
        press(*till, Qt::Key_Insert);
        QCOMPARE(till->member()->cardNo, QString("M002"));
        QCOMPARE(till->lines().first().price, 99.0);
        scanAt("M001", clock);
        QCOMPARE(till->member()->cardNo, QString("M002"));   // a scan without the key is goods
        QVERIFY(till->scanBar()->banner()->text().contains("M001"));
        QTest::keyClicks(till->scanBar()->box(), "M001");
        press(*till, Qt::Key_Insert);
        QCOMPARE(till->member()->cardNo, QString("M001"));
        QTest::keyClicks(till->scanBar()->box(), "99999");
        press(*till, Qt::Key_Insert);
        QCOMPARE(till->scanBar()->banner()->text(), QString("没有卡号或手机号为“99999”的会员"));
        QCOMPARE(till->member()->cardNo, QString("M001"));
        // 89.10 + 30 = 119.10: the points pay 5.00 (all 500), the rest in cash.
        paying = [](TillPayDialog& pay) {
            QCOMPARE(pay.methodList()->item(4)->text(), QString("积分（可抵 5）"));
            for (int i = 0; i < 4; ++i)
                QTest::keyClick(pay.amountBox(), Qt::Key_Down);
            QTest::keyClick(pay.amountBox(), Qt::Key_Return);
            QCOMPARE(pay.rest(), 114.1);
            for (int i = 0; i < 4; ++i)
                QTest::keyClick(pay.amountBox(), Qt::Key_Up);
            QTest::keyClick(pay.amountBox(), Qt::Key_Return);
        };
        press(*till, Qt::Key_F12);
        QCOMPARE(app->scalar("select card_no from outmain").toString(), QString("M001"));
        QCOMPARE(number("select paid_amou from outpay where fee_type='积分'"), 5.0);
        QCOMPARE(number("select points from member where card_no='M001'"), 114.0);
        QVERIFY(!till->member());
        QCOMPARE(child<QLabel>(*till, "customerLabel")->text(), QString("顾客：散客"));
        // The next sale: a phone part that fits one member.
        QTRY_COMPARE(QApplication::focusWidget(), till->scanBar()->box());
        scanAt("T2", clock);
        QTest::keyClicks(till->scanBar()->box(), "5678");
        press(*till, Qt::Key_Insert);
        QCOMPARE(till->member()->cardNo, QString("M002"));
        // The key and Enter on an empty box: no member again.
        press(*till, Qt::Key_Insert);
        press(*till, Qt::Key_Return);
        QVERIFY(!till->member());
        QCOMPARE(till->lines().first().price, 35.5);
    }

    void lineKeysAskAndKeepToTheLimit()
    {
        app->exec("insert into userinfo(comp_name,disc_limit) values('本店',80)");
        QString rights(Function::Count, '1');
        rights[Function::ChangePrice - 1] = '0';
        app->setRights(rights);
        auto till = openTill();
        scanAt("T1", clock);
        scanAt("T2", clock);
        // F3 on the current (last) line.
        amounts << "3";
        press(*till, Qt::Key_F3);
        QCOMPARE(till->lines().at(1).quantity, 3.0);
        // Up to the first line; 70% of 99 is below the limit without 改价.
        press(*till, Qt::Key_Up);
        amounts << "70";
        press(*till, Qt::Key_F4);
        QCOMPARE(till->lines().first().price, 99.0);
        QVERIFY(till->scanBar()->banner()->text().contains("需要“改价”权限"));
        amounts << "85";
        press(*till, Qt::Key_F4);
        QCOMPARE(till->lines().first().price, 84.15);
        // Whole-sale 90%: every line at 90% of its retail price.
        amounts << "90";
        press(*till, Qt::Key_F5);
        QCOMPARE(till->lines().first().price, 89.1);
        QCOMPARE(till->lines().at(1).price, 31.95);
        // Delete asks; No keeps the line.
        app->dialogs().answers = {false, true};
        press(*till, Qt::Key_Delete);
        QCOMPARE(till->lines().size(), 2);
        press(*till, Qt::Key_Delete);
        QCOMPARE(till->lines().size(), 1);
        QCOMPARE(app->dialogs().questions.last(), QString("删除第1行 短袖衬衫 白 XL？"));
    }

    void suspendedSalesWaitAndComeBack()
    {
        auto till = openTill();
        scanAt("T1", clock);
        press(*till, Qt::Key_F6);
        QVERIFY(till->lines().isEmpty());
        scanAt("T2", clock);
        press(*till, Qt::Key_F6);
        QCOMPARE(till->suspendedCount(), 2);
        scanAt("T2", clock);
        // The oldest comes back; the sale on the screen waits.
        press(*till, Qt::Key_F7);
        QCOMPARE(till->lines().first().code, QString("T1"));
        QCOMPARE(till->suspendedCount(), 2);
    }

    void printerFailureKeepsTheSaleAndReprints()
    {
        auto till = openTill();
        scanAt("T2", clock);
        printerFault = "小票没有打印：打印机缺纸";
        paying = [](TillPayDialog& pay) { QTest::keyClick(pay.amountBox(), Qt::Key_Return); };
        press(*till, Qt::Key_F12);
        QCOMPARE(number("select count(*) from outmain"), 1.0);
        QCOMPARE(app->dialogs().lastMessage(), QString("小票没有打印：打印机缺纸\n本单已经保存，可按 F9 重打小票。"));
        printerFault.clear();
        press(*till, Qt::Key_F9);
        QCOMPARE(printed.size(), 2);
        QCOMPARE(printed.last().number, till->lastReceipt());
        QCOMPARE(printed.last().lines.first().name, QString("长裤"));
    }

    void returnByTheReceiptsBarcodeAndShiftCloseShort()
    {
        auto till = openTill();
        scanAt("T1", clock);
        paying = [](TillPayDialog& pay) { QTest::keyClick(pay.amountBox(), Qt::Key_Return); };
        press(*till, Qt::Key_F12);
        const QString receipt = till->lastReceipt();
        Clock::setFixed(QDateTime(QDate(2026, 3, 5), QTime(10, 30)));
        returning = [&](TillReturnDialog& back) {
            scanAt(receipt, clock);
            QCOMPARE(back.soldGrid()->rowCount(), 1);
            QCOMPARE(back.firstMethodBox()->currentText(), QString("现金"));
            QTest::keyClicks(QApplication::focusWidget(), "2");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F12);
            QVERIFY(back.result() != QDialog::Accepted);
            QVERIFY(child<QLabel>(back, "reasonLabel")->text().contains("退货数量2超过可退数量1"));
            back.soldGrid()->setCurrentCell(0, 4);
            back.soldGrid()->item(0, 4)->setText("1");
            QTest::keyClick(back.soldGrid(), Qt::Key_F12);
        };
        press(*till, Qt::Key_F8);
        QCOMPARE(number("select count(*) from inmain where sale_no=:p1", {receipt}), 1.0);
        QVERIFY(printed.last().isReturn);
        // Float 100 + 99 − 99 expected; 99.5 counted is 0.5 short.
        amounts << "99.5";
        press(*till, Qt::Key_F10);
        QCOMPARE(number("select diff_amou from tillshift"), -0.5);
        QVERIFY(app->dialogs().lastMessage().contains("color:#c62828"));
        QVERIFY(app->dialogs().lastMessage().contains("短款 0.5"));
        QCOMPARE(till->shiftId(), 0);
        // Its 交班单 goes to the receipt printer, as stored.
        QCOMPARE(shiftsPrinted.size(), 1);
        QCOMPARE(shiftsPrinted.first().shift.difference, -0.5);
        QCOMPARE(shiftsPrinted.first().takings.returns, 1);
    }

    void shiftLeftOpenIsOfferedForClosingAtTheNextStart()
    {
        TillShift::open(app->dataModule().AdoConn, CurrentRights::current().userId, 50);
        app->dialogs().answers = {true};
        amounts = {"50", "20"};   // the count of the old shift, the float of the new one
        auto till = openTill();
        QVERIFY(app->dialogs().questions.first().contains("还没有交班"));
        QCOMPARE(number("select count(*) from tillshift where close_time is not null"), 1.0);
        QCOMPARE(number("select float_amou from tillshift where close_time is null"), 20.0);
    }
};

QTEST_MAIN(TestTillWindow)
#include "tst_tillwindow.moc"
