// The member and markdown windows: a card typed with its boxes, a refusal told
// at its box, the quick find by part of a phone moving on when pressed again,
// the member's page opened from the list, and a markdown's scope values.
#include "TestSupport.h"
#include "WindowDriver.h"

#include "core/Clock.h"
#include "db/Dataset.h"
#include "masterdata/MemberPageDialog.h"
#include "masterdata/TFrmMarkdown.h"
#include "masterdata/TFrmMember.h"
#include "ui/DbComboBox.h"
#include "ui/DbDateEdit.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using WindowDriver::retype;
using WindowDriver::showWindow;

class TestMember : public QObject {
    Q_OBJECT

private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2026, 3, 31), QTime(10, 0))); }
    void cleanup() { Clock::setFixed({}); }
    void newCardIsRefusedAtEachBoxUntilItIsRight();
    void quickFindTakesPartOfAPhoneAndMovesOn();
    void membersPageOpensFromTheList();
    void markdownOffersTheValuesOfItsScopeAndRefusesAtTheBox();
};

namespace {

void addMember(TestApp& app, const QString& card, const QString& name, const QString& mobile)
{
    app.exec("insert into member(card_no,memb_name,mobile,points) values(:p1,:p2,:p3,0)", {card, name, mobile});
}

} // namespace

void TestMember::newCardIsRefusedAtEachBoxUntilItIsRight()
{
    TestApp app;
    addMember(app, "M001", "张三", "13812345678");
    TFrmMember w;
    showWindow(w);
    // The levels a new database starts with.
    QCOMPARE(w.levelBox->count(), 3);

    w.cmd_addClick();
    QVERIFY(!w.pointsEdit->isEnabled());
    QVERIFY(w.codeEdit->hasFocus());
    QCOMPARE(w.joinDateEdit->date(), QDate(2026, 3, 31));
    QTest::keyClicks(w.codeEdit, "M002");
    WindowDriver::typeText(w.nameEdit, "李四");
    QTest::keyClicks(w.mobileEdit, "1391234");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(app.dialogs().lastMessage(), QStringLiteral("手机“1391234”不是 11 位手机号码"));
    QVERIFY(w.mobileEdit->hasFocus());

    retype(w.mobileEdit, "13812345678");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(app.dialogs().lastMessage(), QStringLiteral("手机“13812345678”已是会员卡“M001”的手机号"));

    retype(w.mobileEdit, "13912345678");
    WindowDriver::typeText(w.levelBox->lineEdit(), "钻石");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QVERIFY(app.dialogs().lastMessage().startsWith(QStringLiteral("等级“钻石”不是已设置的会员等级")));
    QVERIFY(w.levelBox->hasFocus());

    w.levelBox->lineEdit()->clear();
    WindowDriver::typeText(w.levelBox->lineEdit(), "金卡");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select mobile from member where card_no='M002'").toString(), QStringLiteral("13912345678"));
    QCOMPARE(app.scalar("select level_name from member where card_no='M002'").toString(), QStringLiteral("金卡"));
    QCOMPARE(app.scalar("select join_date from member where card_no='M002'").toString(),
             QStringLiteral("2026-03-31 00:00:00"));
    QCOMPARE(app.scalar("select points from member where card_no='M002'").toInt(), 0);
}

void TestMember::quickFindTakesPartOfAPhoneAndMovesOn()
{
    TestApp app;
    addMember(app, "M001", "张三", "13812345678");
    addMember(app, "M002", "李四", "13912345678");
    addMember(app, "M003", "王五", "13700000000");
    TFrmMember w;
    showWindow(w);
    db::Dataset* q = app.dataModule().MemberQ;
    retype(w.findEdit, "5678");
    QTest::keyClick(w.findEdit, Qt::Key_Return);
    QCOMPARE(q->text("card_no"), QStringLiteral("M001"));
    QTest::keyClick(w.findEdit, Qt::Key_Return);
    QCOMPARE(q->text("card_no"), QStringLiteral("M002"));
    QTest::keyClick(w.findEdit, Qt::Key_Return);
    QCOMPARE(q->text("card_no"), QStringLiteral("M001"));
    retype(w.findEdit, "王");
    QTest::keyClick(w.findEdit, Qt::Key_Return);
    QCOMPARE(q->text("card_no"), QStringLiteral("M003"));
    QVERIFY(app.dialogs().messages.isEmpty());
    retype(w.findEdit, "8888");
    QTest::keyClick(w.findEdit, Qt::Key_Return);
    QCOMPARE(app.dialogs().lastMessage(), QStringLiteral("没有找到卡号、手机或姓名含“8888”的会员"));
    QCOMPARE(q->text("card_no"), QStringLiteral("M003"));
}

void TestMember::membersPageOpensFromTheList()
{
    TestApp app;
    addMember(app, "M001", "张三", "13812345678");
    addMember(app, "M002", "李四", "13912345678");
    app.exec("insert into membpoint(card_no,point_date,bill_no,kind,points) values('M002','2026-03-10 00:00:00','B1','earned',120)");
    TFrmMember w;
    showWindow(w);
    QStringList opened;
    app.dialogs().onExec = [&](QDialog* dialog) {
        if (auto* page = qobject_cast<MemberPageDialog*>(dialog))
            opened << page->windowTitle() << QString::number(page->PointGrid->rowCount());
        return int(QDialog::Rejected);
    };
    const QPoint at = w.listGrid->visualRect(w.listGrid->model()->index(1, 1)).center();
    QTest::mouseClick(w.listGrid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(w.listGrid->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(opened, (QStringList{"会员档案 M002 李四", "1"}));
    QTest::keyClick(w.listGrid, Qt::Key_Up);
    QTest::keyClick(w.listGrid, Qt::Key_Return);
    QCOMPARE(opened.mid(2), (QStringList{"会员档案 M001 张三", "0"}));

    // Not while a card is being typed.
    w.cmd_addClick();
    QVERIFY(!w.pageButton->isEnabled());
    w.openPage();
    QCOMPARE(opened.size(), 4);
    w.cmd_cancClick();
    QVERIFY(w.pageButton->isEnabled());
}

void TestMember::markdownOffersTheValuesOfItsScopeAndRefusesAtTheBox()
{
    TestApp app;
    app.exec("insert into goods(gods_code,gods_name,styl_code,gods_spec,gods_kind) values"
             "('T-1','T','T','BX','上衣'),('U-1','U','U','AY','裤子')");
    TFrmMarkdown w;
    showWindow(w);
    w.cmd_addClick();
    QCOMPARE(w.scopeBox->currentText(), QStringLiteral("款号"));
    QCOMPARE(w.scopeValueBox->count(), 2);
    QCOMPARE(w.startDateEdit->date(), QDate(2026, 3, 31));
    WindowDriver::typeText(w.codeEdit, "夏清");
    w.scopeBox->setFocus();
    QTest::keyClick(w.scopeBox, Qt::Key_Down);
    QCOMPARE(w.scopeBox->currentText(), QStringLiteral("品牌"));
    QCOMPARE(w.scopeValueBox->itemText(0), QStringLiteral("AY"));
    QTest::keyClicks(w.scopeValueBox->lineEdit(), "BX");
    QTest::keyClicks(w.discountEdit, "70");
    QTest::keyClicks(w.fixedPriceEdit, "50");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Adding);
    QCOMPARE(app.dialogs().lastMessage(), QStringLiteral("折扣%“70”与一口价只能填一个"));
    QVERIFY(w.discountEdit->hasFocus());

    w.fixedPriceEdit->clear();
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select scope from markdown where mark_name='夏清'").toString(), QStringLiteral("品牌"));
    QCOMPARE(app.scalar("select scope_value from markdown where mark_name='夏清'").toString(), QStringLiteral("BX"));
    QCOMPARE(app.scalar("select discount from markdown where mark_name='夏清'").toDouble(), 70.0);
    QVERIFY(app.scalar("select fixed_pric from markdown where mark_name='夏清'").isNull());

    // Every goods names no value.
    w.cmd_addClick();
    WindowDriver::typeText(w.codeEdit, "全场");
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(w.scopeBox, Qt::Key_Down);
    QCOMPARE(w.scopeBox->currentText(), QStringLiteral("全部"));
    QVERIFY(!w.scopeValueBox->isEnabled());
    QTest::keyClicks(w.fixedPriceEdit, "59");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QVERIFY(app.scalar("select scope_value from markdown where mark_name='全场'").isNull());
}

QTEST_MAIN(TestMember)
#include "tst_member.moc"
