// The application object: Enter acts as Tab, errors reach one error box, one copy per user.
#include "TestSupport.h"

#include "app/Application.h"
#include "app/SingleInstance.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

class TestApplication : public QObject {
    Q_OBJECT

private slots:
    void enterMovesToTheNextControl();
    void enterHandlerThatMovesFocusIsRespected();
    void exceptionInAHandlerIsReportedAndWindowStays();
    void secondCopyIsRefused();
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
    SingleInstance first;
    QVERIFY(first.acquire());
    SingleInstance second;
    QVERIFY(!second.acquire());
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
