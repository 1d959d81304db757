// Grid windows: resizable and maximizable, wide enough for their columns, and
// back at the size and place they had when last closed.
#include "ui/WindowPlacement.h"

#include <QDialog>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <QtTest>

class TestWindowPlacement : public QObject {
    Q_OBJECT

private slots:
    void init() { ui::forgetWindowPlacements(); }
    void opensWideEnoughForTheColumns();
    void reopensWhereItWasClosed();
    void restoringFromMinimizedKeepsThePlace();
};

namespace {

// A small dialog whose grid has six columns of 100 pixels.
class GridDialog : public QDialog {
public:
    explicit GridDialog(const QString& name)
    {
        setObjectName(name);
        resize(300, 200);
        auto* layout = new QVBoxLayout(this);
        grid = new QTableView(this);
        model.setColumnCount(6);
        model.setRowCount(3);
        grid->setModel(&model);
        for (int column = 0; column < 6; ++column)
            grid->setColumnWidth(column, 100);
        layout->addWidget(grid, 1);
        ui::placeGridWindow(this, grid);
    }
    QStandardItemModel model;
    QTableView* grid;
};

void showAndWait(QWidget& window)
{
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

} // namespace

void TestWindowPlacement::opensWideEnoughForTheColumns()
{
    GridDialog w("Wide");
    showAndWait(w);
    QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    QVERIFY(w.minimumWidth() < w.maximumWidth());
    QTRY_VERIFY(w.grid->viewport()->width() >= w.grid->horizontalHeader()->length());
    // The grid takes the room the window is given.
    const int gridWidth = w.grid->width();
    w.resize(w.width() + 80, w.height() + 60);
    QTRY_COMPARE(w.grid->width(), gridWidth + 80);
}

void TestWindowPlacement::reopensWhereItWasClosed()
{
    QRect closedAt;
    {
        GridDialog w("Listing");
        showAndWait(w);
        w.setGeometry(QRect(QPoint(40, 30), QSize(700, 500)));
        QTRY_COMPARE(w.size(), QSize(700, 500));
        closedAt = w.geometry();
        w.close();
    }
    GridDialog again("Listing");
    showAndWait(again);
    QCOMPARE(again.geometry(), closedAt);

    // Another window keeps its own placement.
    GridDialog other("Ranking");
    showAndWait(other);
    QVERIFY(other.size() != QSize(700, 500));
}

void TestWindowPlacement::restoringFromMinimizedKeepsThePlace()
{
    GridDialog w("Finder");
    showAndWait(w);
    w.setGeometry(QRect(QPoint(20, 20), QSize(650, 450)));
    QTRY_COMPARE(w.size(), QSize(650, 450));
    const QRect left = w.geometry();
    w.showMinimized();
    QTRY_VERIFY(w.isMinimized());
    w.showNormal();
    // Restoring from the task bar is no new opening: the window stays as the user left it.
    QTRY_COMPARE(w.geometry(), left);
}

QTEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
