// The size and colour grid as a user types it, under the program's own
// application object (Enter acts as Tab): in a purchase, in a stock count and
// in the stock query, and the style generation dialog of 货品资料.
#include "TestSupport.h"
#include "WindowDriver.h"

#include "app/Application.h"
#include "bills/TFrmIn.h"
#include "core/Clock.h"
#include "db/Dataset.h"
#include "masterdata/StyleGenerationDialog.h"
#include "masterdata/TFrmGoods.h"
#include "reports/ReportLayouts.h"
#include "shop/StyleGeneration.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"
#include "ui/StyleGridDialog.h"
#include "warehouse/TFrmStorChk.h"
#include "warehouse/TFrmStore.h"

#include <QDateEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <memory>

using WindowDriver::showWindow;
using WindowDriver::typeText;

class TestStyleGridDialog : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void purchaseTypedThroughTheGrid();
    void countAndStockQueryByStyle();
    void generationDialogPreviewsAndRefuses();

private:
    std::unique_ptr<TestApp> m_app;
    std::unique_ptr<QObject> m_reports;
};

namespace {

void key(Qt::Key k)
{
    QTest::keyClick(QApplication::focusWidget(), k);
    QCoreApplication::processEvents();
}

void type(const QString& text)
{
    for (const QChar c : text)
        typeText(QApplication::focusWidget(), QString(c));
}

QPair<int, int> at(const ui::StyleGridDialog* d)
{
    return {d->table->currentRow(), d->table->currentColumn()};
}

// The dialog shown as exec() would show it; `drive` types into it and returns its result.
void onGrid(TestApp& app, const std::function<void(ui::StyleGridDialog*)>& drive)
{
    app.dialogs().onExec = [drive](QDialog* dialog) {
        auto* grid = qobject_cast<ui::StyleGridDialog*>(dialog);
        if (!grid)
            return int(QDialog::Rejected);
        QWidget* window = QApplication::activeWindow();
        QPointer<QWidget> focus = QApplication::focusWidget();
        grid->setResult(QDialog::Rejected);
        grid->show();
        QApplication::setActiveWindow(grid);
        grid->table->setFocus();
        drive(grid);
        grid->hide();
        // As the end of exec() gives the window and its focus back.
        QApplication::setActiveWindow(window);
        if (!QApplication::focusWidget() && focus)
            focus->setFocus();
        return grid->result();
    };
}

QStringList codesOn(db::Dataset* lines)
{
    QStringList codes;
    for (int row = 0; row < lines->recordCount(); ++row)
        codes << lines->value(row, lines->fieldIndex("gods_code")).toString()
                     + QLatin1Char('=') + lines->value(row, lines->fieldIndex("sub_amou")).toString();
    return codes;
}

} // namespace

void TestStyleGridDialog::init()
{
    Clock::setFixed(QDateTime(QDate(2026, 12, 10), QTime(10, 15)));
    m_app = std::make_unique<TestApp>();
    m_reports = std::make_unique<QObject>();
    ReportLayouts::createAll(m_reports.get());
    for (const auto& [code, name] : {std::pair{"W", "白"}, std::pair{"B", "黑"}})
        m_app->exec("insert into baseitem(gods_color_id,gods_color) values(:p1,:p2)", {code, QString::fromUtf8(name)});
    for (const auto& [code, name] : {std::pair{"1", "S"}, std::pair{"2", "M"}, std::pair{"3", "L"}})
        m_app->exec("insert into baseitem(gods_size_id,gods_size) values(:p1,:p2)", {code, name});
    StyleGeneration::Request r;
    r.style = "T01";
    r.stem = QStringLiteral("衬衫");
    r.purchasePrice = 40.0;
    r.colors = StyleGeneration::colorList(m_app->dataModule().AdoConn);
    r.sizes = StyleGeneration::sizeList(m_app->dataModule().AdoConn);
    StyleGeneration::generate(m_app->dataModule().AdoConn, r);
    // Black M is not made: its cell is greyed.
    m_app->exec("delete from goods where gods_code='T01-B-2'");
    m_app->exec("insert into goods(gods_code,gods_name,valu_in) values('X1','别的',10)");
}

void TestStyleGridDialog::cleanup()
{
    m_reports.reset();
    m_app.reset();
    Clock::setFixed({});
}

void TestStyleGridDialog::purchaseTypedThroughTheGrid()
{
    TFrmIn w;
    showWindow(w);
    QApplication::setActiveWindow(&w);
    w.cmd_addClick();
    w.linesGrid->setFocus(Qt::TabFocusReason);
    type("X1");
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    type("2");
    key(Qt::Key_Return);

    // A style nobody made: told, and no grid.
    bool opened = false;
    m_app->dialogs().onExec = [&opened](QDialog*) { opened = true; return int(QDialog::Rejected); };
    type("ZZ");
    key(Qt::Key_F7);
    QVERIFY(!opened);
    QCOMPARE(m_app->dialogs().lastMessage(), QStringLiteral("款号“ZZ”没有货品"));

    onGrid(*m_app, [this](ui::StyleGridDialog* d) {
        QCOMPARE(d->table->rowCount(), 3);   // 黑, 白, 合计
        QVERIFY(!(d->table->item(0, 1)->flags() & Qt::ItemIsEditable));
        QCOMPARE(at(d), qMakePair(0, 0));
        type("3");
        key(Qt::Key_Return);
        QCOMPARE(at(d), qMakePair(0, 2));   // the greyed 黑 M is passed by
        // A real message box takes the focus from the cell's editor while it shows.
        m_app->dialogs().modalMessages = true;
        for (const char* bad : {"-1", "abc", "1.234"}) {
            type(QString::fromLatin1(bad));
            key(Qt::Key_Tab);
            QVERIFY(m_app->dialogs().lastMessage().startsWith(QStringLiteral("黑 L：")));
            QVERIFY(m_app->dialogs().lastMessage().contains(QString::fromLatin1(bad)));
            QCOMPARE(at(d), qMakePair(0, 2));
        }
        m_app->dialogs().modalMessages = false;
        type("4");   // over the refused text, which stays selected
        key(Qt::Key_Tab);
        QCOMPARE(at(d), qMakePair(1, 0));
        type("2");
        key(Qt::Key_Return);
        key(Qt::Key_Return);   // nothing typed in 白 M
        QCOMPARE(at(d), qMakePair(1, 2));
        type("5");
        key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), d->cmd_ok);
        QCOMPARE(d->table->item(2, 3)->text(), QStringLiteral("14"));
        QCOMPARE(d->table->item(0, 3)->text(), QStringLiteral("7"));
        QCOMPARE(d->table->item(2, 0)->text(), QStringLiteral("5"));
        key(Qt::Key_Return);   // Enter on 确定 presses it
    });
    type("T01");
    key(Qt::Key_F7);
    // The typed style took the blank line; new goods in colour-then-size order with their price.
    QCOMPARE(codesOn(w.lines()), (QStringList{"X1=2", "T01-B-1=3", "T01-B-3=4", "T01-W-1=2", "T01-W-3=5"}));
    QCOMPARE(w.lines()->value(1, w.lines()->fieldIndex("unit_pric")).toDouble(), 40.0);
    QCOMPARE(w.totalQuantityEdit->text(), QStringLiteral("16"));

    // Cancel changes nothing; OK from the current line's goods changes only its cells.
    onGrid(*m_app, [](ui::StyleGridDialog* d) {
        type("9");
        d->cmd_canc->click();
    });
    QTest::keyClick(w.linesGrid, Qt::Key_F7);
    QCOMPARE(codesOn(w.lines()).size(), 5);
    onGrid(*m_app, [](ui::StyleGridDialog* d) {
        QCOMPARE(d->table->item(0, 2)->text(), QStringLiteral("4"));
        d->table->setCurrentCell(0, 2);
        type("0");
        d->cmd_ok->click();
    });
    QTest::keyClick(w.linesGrid, Qt::Key_F7);
    QCOMPARE(codesOn(w.lines()), (QStringList{"X1=2", "T01-B-1=3", "T01-W-1=2", "T01-W-3=5"}));
    w.cmd_saveClick();
    QCOMPARE(m_app->scalar("select count(*) from ingoods").toInt(), 4);
}

void TestStyleGridDialog::countAndStockQueryByStyle()
{
    m_app->exec("insert into storemain(gods_code,gods_amou,cost_pric) values('T01-W-1',6,40),('T01-B-3',2,40),('X1',1,10)");
    TFrmStorChk w;
    showWindow(w);
    QApplication::setActiveWindow(&w);
    w.monthEdit->setDate(QDate(2026, 11, 30));
    w.cmd_editClick();
    QCOMPARE(w.mode(), ui::ModeWindow::Mode::Editing);
    w.codeEdit->setText("T01");
    // Only goods with stock records are on the sheet, so only they take a count.
    onGrid(*m_app, [](ui::StyleGridDialog* d) {
        QVERIFY(!(d->table->item(1, 1)->flags() & Qt::ItemIsEditable));
        QCOMPARE(d->table->item(1, 0)->text(), QStringLiteral("6"));
        QCOMPARE(at(d), qMakePair(0, 2));
        type("0");
        key(Qt::Key_Return);
        QCOMPARE(at(d), qMakePair(1, 0));
        type("5");
        key(Qt::Key_Return);
        d->cmd_ok->click();
    });
    w.codeEdit->setFocus();
    key(Qt::Key_F7);
    db::Dataset* sheet = m_app->dataModule().ChektempQ;
    const auto counted = [sheet](const char* code) {
        return sheet->value(sheet->find("gods_code", code), sheet->fieldIndex("chek_amou")).toDouble();
    };
    QCOMPARE(counted("T01-W-1"), 5.0);
    QCOMPARE(counted("T01-B-3"), 0.0);
    QCOMPARE(counted("X1"), 1.0);
    w.cmd_cancClick();

    TFrmStore store;
    showWindow(store);
    QApplication::setActiveWindow(&store);
    store.codeEdit->setText("T01-W-3");   // a goods code stands for its style
    QString shown;
    bool editable = true;
    m_app->dialogs().onExec = [&](QDialog* dialog) {
        auto* d = qobject_cast<ui::StyleGridDialog*>(dialog);
        shown = d->table->item(1, 0)->text() + QLatin1Char('/') + d->table->item(2, 3)->text();
        editable = d->cmd_ok->isVisibleTo(d) || (d->table->item(0, 0)->flags() & Qt::ItemIsEditable);
        return int(QDialog::Rejected);
    };
    store.codeEdit->setFocus();
    key(Qt::Key_F7);
    QCOMPARE(shown, QStringLiteral("6/8"));
    QVERIFY(!editable);
}

void TestStyleGridDialog::generationDialogPreviewsAndRefuses()
{
    TFrmGoods goods;
    showWindow(goods);
    const auto drive = [this](StyleGenerationDialog* d) {
        d->styleEdit->setText("T01");
        d->stemEdit->setText(QStringLiteral("衬衫"));
        d->colorList->item(1)->setCheckState(Qt::Checked);   // 白, after 黑 in the list
        d->showPreview();
        QCOMPARE(d->preview->rowCount(), 0);
        d->cmd_makeClick();
        QCOMPARE(m_app->dialogs().lastMessage(), QStringLiteral("请至少选择一个尺码"));
        for (int row = 0; row < 3; ++row)
            d->sizeList->item(row)->setCheckState(Qt::Checked);
        d->colorList->item(0)->setCheckState(Qt::Checked);   // 黑: only its M is new
        d->showPreview();
        QCOMPARE(d->preview->rowCount(), 6);
        QCOMPARE(d->preview->item(1, 0)->text(), QStringLiteral("T01-B-2"));
        QCOMPARE(d->preview->item(1, 4)->text(), QStringLiteral("新增"));
        QCOMPARE(d->preview->item(0, 4)->text(), QStringLiteral("已存在，跳过"));
        d->priceInEdit->setText("1e3");
        d->cmd_makeClick();
        QCOMPARE(m_app->dialogs().lastMessage(), QStringLiteral("“1e3”不是有效的数值"));
        d->priceInEdit->setText("45");
        d->cmd_makeClick();
    };
    m_app->dialogs().onExec = [drive](QDialog* dialog) {
        auto* d = qobject_cast<StyleGenerationDialog*>(dialog);
        if (!d)
            return int(QDialog::Rejected);
        drive(d);
        return d->result();
    };
    goods.cmd_style->click();
    QCOMPARE(m_app->dialogs().lastMessage(), QStringLiteral("已生成 1 种货品"));
    QCOMPARE(m_app->scalar("select gods_name||cast(valu_in as integer) from goods where gods_code='T01-B-2'").toString(),
             QStringLiteral("衬衫 黑 M45"));
    QCOMPARE(goods.codeEdit->text(), QStringLiteral("T01-B-2"));
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    TestStyleGridDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_stylegriddialog.moc"
