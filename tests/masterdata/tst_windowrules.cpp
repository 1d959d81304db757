// Rules every master-data window keeps: each box is named by its caption, typing
// stops at the column's width, a fixed-size window cannot be maximized.
#include "TestSupport.h"
#include "WindowDriver.h"

#include "db/Dataset.h"
#include "ui/TFrmCompFind.h"
#include "masterdata/TFrmCompany.h"
#include "masterdata/TFrmEmployee.h"
#include "masterdata/TFrmGoods.h"
#include "ui/TFrmGoodsFind.h"
#include "masterdata/TFrmPower.h"
#include "masterdata/TFrmUser.h"
#include "ui/DbComboBox.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"

#include <QAbstractSpinBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>
#include <functional>
#include <memory>

using WindowDriver::showWindow;

using Factory = std::function<QDialog*()>;
Q_DECLARE_METATYPE(Factory)

namespace {

void addWindows()
{
    QTest::addColumn<Factory>("make");
    QTest::newRow("货品资料") << Factory([] { return new TFrmGoods; });
    QTest::newRow("公司资料") << Factory([] { return new TFrmCompany; });
    QTest::newRow("员工资料") << Factory([] { return new TFrmEmployee; });
    QTest::newRow("基本设置") << Factory([] { return new TFrmUser; });
    QTest::newRow("权限设置") << Factory([] { return new TFrmPower; });
    QTest::newRow("货品查询") << Factory([] { return new TFrmGoodsFind; });
    QTest::newRow("公司查询") << Factory([] { return new TFrmCompFind; });
}

// Boxes a user types into or picks from; the line edit inside a combo box or
// spin box and a grid's cell editor belong to their owner.
QList<QWidget*> inputBoxes(QWidget& window)
{
    QList<QWidget*> boxes;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const bool box = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)
                         || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QPlainTextEdit*>(w);
        const bool inner = qobject_cast<QComboBox*>(w->parentWidget())
                           || qobject_cast<QAbstractSpinBox*>(w->parentWidget())
                           || qobject_cast<QAbstractItemView*>(w->parentWidget() ? w->parentWidget()->parentWidget()
                                                                                 : nullptr);
        if (box && !inner)
            boxes << w;
    }
    return boxes;
}

} // namespace

class TestWindowRules : public QObject {
    Q_OBJECT

private slots:
    void everyBoxIsNamedByItsCaption_data() { addWindows(); }
    void everyBoxIsNamedByItsCaption();
    void boxesStopAtTheColumnWidth_data() { addWindows(); }
    void boxesStopAtTheColumnWidth();
    void fixedSizeWindowsCannotBeMaximized_data() { addWindows(); }
    void fixedSizeWindowsCannotBeMaximized();
    void pastedTextStopsAtTheColumnWidth();
    void companyListShowsTenRows();
};

void TestWindowRules::everyBoxIsNamedByItsCaption()
{
    QFETCH(Factory, make);
    TestApp app;
    std::unique_ptr<QDialog> window(make());
    const QList<QLabel*> labels = window->findChildren<QLabel*>();
    const QList<QWidget*> boxes = inputBoxes(*window);
    QVERIFY(!boxes.isEmpty());
    for (QWidget* box : boxes) {
        QString caption = box->accessibleName();
        for (const QLabel* label : labels)
            if (label->buddy() == box && caption.isEmpty())
                caption = label->text();
        QVERIFY2(!caption.trimmed().isEmpty(), qPrintable(box->objectName() + " has no caption"));
    }
    // Captions of the data group name their own boxes, not the group.
    for (const QLabel* label : labels)
        if (label->buddy())
            QVERIFY2(boxes.contains(label->buddy()), qPrintable(label->text()));
}

void TestWindowRules::boxesStopAtTheColumnWidth()
{
    QFETCH(Factory, make);
    TestApp app;
    std::unique_ptr<QDialog> window(make());
    int checked = 0;
    const auto fieldSize = [](db::Dataset* d, const QString& field) {
        const int i = d ? d->fieldIndex(field) : -1;
        return i >= 0 ? d->field(i).size : 0;
    };
    for (ui::DbEdit* edit : window->findChildren<ui::DbEdit*>()) {
        const int size = fieldSize(edit->dataset(), edit->fieldName());
        if (size <= 0)
            continue;
        QCOMPARE(edit->maxLength(), size);
        ++checked;
    }
    for (ui::DbComboBox* combo : window->findChildren<ui::DbComboBox*>()) {
        const int size = fieldSize(combo->dataset(), combo->fieldName());
        if (size <= 0 || !combo->lineEdit())
            continue;
        QVERIFY2(combo->lineEdit()->maxLength() == size, qPrintable(combo->objectName()));
        ++checked;
    }
    if (window->findChildren<ui::DbEdit*>().isEmpty() && window->findChildren<ui::DbComboBox*>().isEmpty())
        return;
    QVERIFY(checked > 0);
}

void TestWindowRules::fixedSizeWindowsCannotBeMaximized()
{
    QFETCH(Factory, make);
    TestApp app;
    std::unique_ptr<QDialog> window(make());
    if (window->minimumSize() != window->maximumSize())
        return;
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
}

void TestWindowRules::pastedTextStopsAtTheColumnWidth()
{
    TestApp app;
    TFrmGoods w;
    showWindow(w);
    w.cmd_addClick();
    QGuiApplication::clipboard()->setText(QString(300, QChar(0x886B)));   // 衫
    w.nameEdit->setFocus();
    QTest::keySequence(w.nameEdit, QKeySequence::Paste);
    // What the box shows is what is stored.
    QCOMPARE(w.nameEdit->text().size(), 40);
    QTest::keyClicks(w.codeEdit, "G1");
    w.cmd_saveClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Browsing);
    QCOMPARE(app.scalar("select gods_name from goods where gods_code='G1'").toString(), QString(40, QChar(0x886B)));
}

void TestWindowRules::companyListShowsTenRows()
{
    TestApp app;
    for (int i = 0; i < 12; ++i)
        app.exec("insert into company(comp_code, comp_name) values(:p1, :p2)", {QString("C%1").arg(i, 2, 10, QChar('0')), "公司"});
    TFrmCompany w;
    showWindow(w);
    ui::DbGrid* grid = w.listGrid;
    const int rowHeight = grid->verticalHeader()->defaultSectionSize();
    QVERIFY2(grid->viewport()->height() >= 10 * rowHeight,
             qPrintable(QString("%1 px for rows of %2 px").arg(grid->viewport()->height()).arg(rowHeight)));
}

QTEST_MAIN(TestWindowRules)
#include "tst_windowrules.moc"
