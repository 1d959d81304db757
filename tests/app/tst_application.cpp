// The application object: Enter acts as Tab, errors reach one error box, one copy per user.
#include "TestSupport.h"

#include "app/Application.h"
#include "core/AppPaths.h"
#include "app/SingleInstance.h"
#include "db/Dataset.h"
#include "ui/DatasetModel.h"
#include "ui/DbGrid.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QTemporaryDir>
#include <QDateEdit>
#include <QtTest>

class TestApplication : public QObject {
    Q_OBJECT

private slots:
    void enterMovesToTheNextControl();
    void enterHandlerThatMovesFocusIsRespected();
    void enterInADatePickerMovesToTheNextControl();
    void exceptionInAHandlerIsReportedAndWindowStays();
    void secondCopyIsRefused();
    void gridSurvivesAModalMessageDuringCommit_data();
    void gridSurvivesAModalMessageDuringCommit();
    void installedCopyKeepsItsDataPerUser_data();
    void installedCopyKeepsItsDataPerUser();
};

namespace {

struct Form : QDialog {
    QLineEdit* first = new QLineEdit(this);
    QLineEdit* second = new QLineEdit(this);
    QPushButton* button = new QPushButton(QStringLiteral("确定"), this);
    Form()
    {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(first);
        layout->addWidget(second);
        layout->addWidget(button);
    }
};

QLineEdit* openEditor(ui::DbGrid& grid, int row, int column)
{
    const QModelIndex index = grid.model()->index(row, column);
    grid.setCurrentIndex(index);
    grid.edit(index);
    // A closed editor lingers until its deferred deletion.
    for (QLineEdit* editor : grid.viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible())
            return editor;
    return nullptr;
}

} // namespace

void TestApplication::enterMovesToTheNextControl()
{
    TestApp app;
    Form form;
    int clicked = 0;
    connect(form.button, &QPushButton::clicked, [&clicked] { ++clicked; });
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.first->setFocus();
    int returned = 0;
    connect(form.first, &QLineEdit::returnPressed, [&returned] { ++returned; });
    QTest::keyClick(form.first, Qt::Key_Return);
    QCOMPARE(returned, 1);   // the Enter itself still arrives
    QCOMPARE(QApplication::focusWidget(), form.second);
    QTest::keyClick(form.second, Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), form.button);
    QCOMPARE(clicked, 0);   // no button took the Enter as a dialog's default
    QVERIFY(form.isVisible());
    // Enter on the focused button presses it, as Space does, and stays there.
    QTest::keyClick(form.button, Qt::Key_Return);
    QCOMPARE(clicked, 1);
    QCOMPARE(QApplication::focusWidget(), form.button);
    QTest::keyClick(form.button, Qt::Key_Enter);
    QCOMPARE(clicked, 2);
    form.button->setEnabled(false);
    form.first->setFocus();
    QTest::keyClick(form.first, Qt::Key_Return);
    QCOMPARE(clicked, 2);
}

void TestApplication::enterHandlerThatMovesFocusIsRespected()
{
    TestApp app;
    Form form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.second->setFocus();
    connect(form.second, &QLineEdit::returnPressed, [&form] { form.first->setFocus(); });
    QTest::keyClick(form.second, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), form.first);
}

void TestApplication::enterInADatePickerMovesToTheNextControl()
{
    TestApp app;
    Form form;
    auto* picker = new QDateEdit(QDate(2026, 12, 9), &form);
    form.layout()->addWidget(picker);
    QWidget::setTabOrder(form.first, picker);
    QWidget::setTabOrder(picker, form.second);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), form.second);
    // What is typed next goes to the next box, not into the date.
    QTest::keyClicks(form.second, "S01");
    QCOMPARE(picker->date(), QDate(2026, 12, 9));
    QCOMPARE(form.second->text(), QString("S01"));
}

void TestApplication::exceptionInAHandlerIsReportedAndWindowStays()
{
    TestApp app;
    Form form;
    connect(form.button, &QPushButton::clicked, [] { throw std::runtime_error("保存失败"); });
    form.show();
    QTest::mouseClick(form.button, Qt::LeftButton);
    QCOMPARE(app.dialogs().lastMessage(), QString("保存失败"));
    QCOMPARE(app.dialogs().messages.last().icon, ui::Dialogs::Icon::Critical);
    QVERIFY(form.isVisible());
}

void TestApplication::secondCopyIsRefused()
{
    // A lock of the test's own: a copy of the program running beside it changes nothing.
    QTemporaryDir dir;
    const QString lock = dir.filePath("brovanta.lock");
    SingleInstance first(lock);
    QVERIFY(first.acquire());
    SingleInstance second(lock);
    QVERIFY(!second.acquire());
}

void TestApplication::gridSurvivesAModalMessageDuringCommit_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("Tab") << int(Qt::Key_Tab);
}

// Enter in a cell also sends Tab, which commits the cell; the box's own event loop
// then runs the commit that Enter queued, while the focus leaves the editor.
void TestApplication::gridSurvivesAModalMessageDuringCommit()
{
    QFETCH(int, key);
    TestApp app;
    app.exec("insert into goods(gods_code, mate_pric) values('G1', 10), ('G2', 20)");
    app.dialogs().modalMessages = true;
    db::Dataset* goods = app.dataModule().GoodsQ;
    goods->open();
    QDialog window;
    auto* grid = new ui::DbGrid(&window);
    (new QVBoxLayout(&window))->addWidget(grid);
    grid->setDataset(goods);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const int price = grid->datasetModel()->columnOfField("mate_pric");

    for (int attempt = 0; attempt < 3; ++attempt) {
        QLineEdit* editor = openEditor(*grid, 1, price);
        QVERIFY(editor);
        editor->setFocus();
        editor->selectAll();
        QTest::keyClicks(editor, "abc");
        QTest::keyClick(editor, Qt::Key(key));
        QTRY_COMPARE(app.dialogs().messages.size(), attempt + 1);
        QTest::qWait(200);
        QCOMPARE(goods->value(1, goods->fieldIndex("mate_pric")).toDouble(), 20.0);
    }
    QLineEdit* editor = openEditor(*grid, 1, price);
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, "25");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(goods->value(1, goods->fieldIndex("mate_pric")).toDouble(), 25.0);
    goods->post();
    QCOMPARE(app.scalar("select mate_pric from goods where gods_code='G2'").toDouble(), 25.0);
}

// Run as root an installed copy could write beside itself; it keeps its data
// in the per-user location all the same, however its directory is spelled.
void TestApplication::installedCopyKeepsItsDataPerUser_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("beside");
    QTest::newRow("/usr/bin, writable") << "/usr/bin" << true << false;
    QTest::newRow("/bin, writable") << "/bin" << true << false;
    QTest::newRow("/sbin/, writable") << "/sbin/" << true << false;
    QTest::newRow("/usr/local/bin, writable") << "/usr/local/bin" << true << false;
    QTest::newRow("a build tree") << "/home/shop/brovanta-build" << true << true;
    QTest::newRow("a name only starting like usr") << "/usrdata/brovanta" << true << true;
    QTest::newRow("not writable") << "/home/shop/readonly" << false << false;
}

void TestApplication::installedCopyKeepsItsDataPerUser()
{
    QFETCH(QString, directory);
    QFETCH(bool, writable);
    QFETCH(bool, beside);
    QCOMPARE(AppPaths::keepsDataBeside(directory, writable), beside);
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"

