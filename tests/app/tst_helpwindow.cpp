// The guide: 帮助 and F1 open it, the contents list jumps to a chapter, the search box finds words.
#include "TestSupport.h"

#include "app/Application.h"
#include "app/HelpWindow.h"
#include "app/TfrmMain.h"
#include "app/WindowCatalog.h"

#include <QAction>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

class TestHelpWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void helpMenuOpensOneGuide();
    void guideCoversTheShopsWork();
    void contentsJumpToTheChapter();
    void searchFindsEveryPlaceAndSaysWhenNone();
    void f1OpensThePageOfTheWindow();
    void everyCommandWindowHasAChapter();
};

namespace {

// The heading at the top of the page as it is scrolled now.
QString headingInView(QTextBrowser* browser)
{
    return browser->cursorForPosition(QPoint(4, 4)).block().text();
}

// Chinese comes from the input method as committed text, not from key events.
void typeChinese(QWidget* box, const QString& text)
{
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(box, &commit);
}

} // namespace

void TestHelpWindow::initTestCase()
{
    Q_INIT_RESOURCE(resources);
}

void TestHelpWindow::helpMenuOpensOneGuide()
{
    TestApp app;
    TfrmMain w;
    w.menuItem("N50")->trigger();
    auto* help = w.findChild<HelpWindow*>();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QCOMPARE(help->windowTitle(), QString("使用指南"));
    const QString text = help->findChild<QTextBrowser*>("browser")->toPlainText();
    QVERIFY(text.contains("admin"));
    // Chosen again, the one guide comes back instead of a second.
    help->close();
    w.menuItem("N50")->trigger();
    QCOMPARE(w.findChildren<HelpWindow*>().size(), 1);
    QVERIFY(help->isVisible());
}

void TestHelpWindow::guideCoversTheShopsWork()
{
    HelpWindow help;
    auto* contents = help.findChild<QListWidget*>("contents");
    QStringList chapters;
    for (int i = 0; i < contents->count(); ++i)
        chapters << contents->item(i)->text();
    QCOMPARE(chapters, QStringList({"第一次启动和管理员密码", "基本资料", "进货：从头到尾", "款号、颜色和尺码", "销售",
                                    "零售收银", "退货", "月末盘点", "扫描、条码和标签", "收款和付款", "对帐单和统计",
                                    "款式分析和库龄", "会员和促销", "备份和恢复",
                                    "几台电脑共用店铺服务器", "用户和权限",
                                    "键盘输入"}));
    // Every picture the guide shows is in the program's resources.
    QTextDocument* page = help.findChild<QTextBrowser*>("browser")->document();
    int pictures = 0;
    for (QTextBlock block = page->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QString name = it.fragment().charFormat().toImageFormat().name();
                QVERIFY2(!QImage(":/guide/" + name).isNull(), qPrintable(name));
                ++pictures;
            }
    QVERIFY(pictures >= 4);
    // The commands a shop finds only on buttons and keys are explained too.
    const QString text = page->toPlainText();
    for (const QString& command : {"扫描(F2)", "生成条码", "打印标签", "Alt+L", "盘点复核", "标签纸"})
        QVERIFY2(text.contains(command), qPrintable(command));
}

void TestHelpWindow::contentsJumpToTheChapter()
{
    HelpWindow help;
    help.resize(800, 400);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    auto* contents = help.findChild<QListWidget*>("contents");
    auto* browser = help.findChild<QTextBrowser*>("browser");
    QCOMPARE(browser->verticalScrollBar()->value(), 0);

    const QListWidgetItem* count = contents->findItems("月末盘点", Qt::MatchExactly).value(0);
    QVERIFY(count);
    QTest::mouseClick(contents->viewport(), Qt::LeftButton, {}, contents->visualItemRect(count).center());
    QCOMPARE(headingInView(browser), QString("月末盘点"));

    // The arrow keys walk the list, and the page follows.
    QTest::keyClick(contents, Qt::Key_Down);
    QCOMPARE(headingInView(browser), QString("扫描、条码和标签"));
    QTest::keyClick(contents, Qt::Key_Home);
    QCOMPARE(headingInView(browser), QString("第一次启动和管理员密码"));
}

void TestHelpWindow::searchFindsEveryPlaceAndSaysWhenNone()
{
    HelpWindow help;
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    auto* search = help.findChild<QLineEdit*>("searchEdit");
    auto* browser = help.findChild<QTextBrowser*>("browser");
    auto* result = help.findChild<QLabel*>("searchResult");
    search->setFocus();

    const QString word = "不入库";
    const int places = browser->toPlainText().count(word);
    QVERIFY(places >= 2);
    typeChinese(search, word);
    QList<int> found;
    for (int i = 0; i < places; ++i) {
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(browser->textCursor().selectedText(), word);
        found << browser->textCursor().selectionStart();
        QVERIFY(search->hasFocus());
    }
    QVERIFY(std::is_sorted(found.begin(), found.end()));
    QCOMPARE(QSet<int>(found.begin(), found.end()).size(), places);
    // Past the last place the search starts again from the top.
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(browser->textCursor().selectionStart(), found.first());
    QVERIFY(result->text().isEmpty());

    search->clear();
    const int scrolled = browser->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    typeChinese(search, "直播带货");
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(result->text(), QString("没有找到“直播带货”"));
    QCOMPARE(browser->verticalScrollBar()->value(), scrolled);
    QVERIFY(help.isVisible());
    // A word that is there again clears the message.
    search->clear();
    QTest::keyClicks(search, "admin");
    QTest::keyClick(search, Qt::Key_Return);
    QVERIFY(result->text().isEmpty());
    QCOMPARE(browser->textCursor().selectedText(), QString("admin"));
}

void TestHelpWindow::f1OpensThePageOfTheWindow()
{
    TestApp app;
    WindowCatalog::registerAll();
    std::unique_ptr<QDialog> purchase(WindowCatalog::create("TFrmIn", nullptr));
    QVERIFY(purchase);
    // Shown as the main window shows it: modal.
    purchase->setWindowModality(Qt::ApplicationModal);
    purchase->show();
    QVERIFY(QTest::qWaitForWindowExposed(purchase.get()));
    QWidget* typingIn = purchase->focusWidget() ? purchase->focusWidget() : purchase.get();
    QTest::keyClick(typingIn, Qt::Key_F1);
    auto* help = purchase->findChild<HelpWindow*>();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    auto* browser = help->findChild<QTextBrowser*>("browser");
    QCOMPARE(headingInView(browser), QString("进货：从头到尾"));
    QCOMPARE(help->findChild<QListWidget*>("contents")->currentItem()->text(), QString("进货：从头到尾"));
    // F1 again, or F1 in the guide itself, brings no second guide.
    QTest::keyClick(typingIn, Qt::Key_F1);
    QTest::keyClick(browser, Qt::Key_F1);
    QCOMPARE(purchase->findChildren<HelpWindow*>().size(), 1);
}

// Every window of the catalogue, opened as the main window opens it: F1 shows a
// chapter of the guide, the one its entry names (not the first by default).
void TestHelpWindow::everyCommandWindowHasAChapter()
{
    TestApp app;
    WindowCatalog::registerAll();
    QVERIFY(WindowCatalog::classNames().size() >= 25);
    for (const QString& windowClass : WindowCatalog::classNames()) {
        const QString chapter = HelpWindow::chapterFor(windowClass);
        QVERIFY2(!chapter.isEmpty(), qPrintable(windowClass + " has no chapter"));
        std::unique_ptr<QDialog> window(WindowCatalog::create(windowClass, nullptr));
        QVERIFY(window);
        HelpWindow* help = HelpWindow::showFor(window.get());
        auto* contents = help->findChild<QListWidget*>("contents");
        QVERIFY2(contents->currentItem() && contents->currentItem()->text() == chapter,
                 qPrintable(windowClass + " opens \"" + (contents->currentItem() ? contents->currentItem()->text() : QString())
                            + "\", not \"" + chapter + "\""));
    }
}

int main(int argc, char* argv[])
{
    // The program's own application object, so Enter behaves as it does for the user.
    Application app(argc, argv);
    TestHelpWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_helpwindow.moc"
