#include "ui/WindowPlacement.h"

#include <QDialog>
#include <QEvent>
#include <QHash>
#include <QHeaderView>
#include <QLayout>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>

namespace ui {

namespace {

// Window geometry by object name, for the life of the program.
QHash<QString, QByteArray>& remembered()
{
    static QHash<QString, QByteArray> placements;
    return placements;
}

// The width the window needs to show every column of the grid without scrolling.
int widthForColumns(const QWidget* window, const QTableView* grid)
{
    int width = grid->horizontalHeader()->length() + 2 * grid->frameWidth()
                + grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
    if (!grid->verticalHeader()->isHidden())
        width += grid->verticalHeader()->sizeHint().width();
    if (const QLayout* layout = window->layout()) {
        const QMargins margins = layout->contentsMargins();
        width += margins.left() + margins.right();
    }
    return width;
}

class GridWindowPlacement : public QObject {
public:
    GridWindowPlacement(QWidget* window, QTableView* grid)
        : QObject(window), m_window(window), m_grid(grid)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Minimizing hides a window spontaneously; only closing (a hide from inside) ends a placement.
        if (watched == m_window && !event->spontaneous()) {
            if (event->type() == QEvent::Show)
                place();
            else if (event->type() == QEvent::Hide)
                remembered().insert(m_window->objectName(), m_window->saveGeometry());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void place()
    {
        const QByteArray geometry = remembered().value(m_window->objectName());
        if (!geometry.isEmpty() && m_window->restoreGeometry(geometry))
            return;
        int width = m_window->width();
        if (m_grid)
            width = qMax(width, widthForColumns(m_window, m_grid));
        if (const QScreen* screen = m_window->screen())
            width = qMin(width, screen->availableGeometry().width());
        m_window->resize(width, m_window->height());
        centreOnScreen(m_window);
    }

    QWidget* m_window;
    QPointer<QTableView> m_grid;
};

} // namespace

void placeGridWindow(QWidget* window, QTableView* grid)
{
    window->setWindowFlags(window->windowFlags() | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (auto* dialog = qobject_cast<QDialog*>(window))
        dialog->setSizeGripEnabled(true);
    new GridWindowPlacement(window, grid);
}

void forgetWindowPlacements()
{
    remembered().clear();
}

} // namespace ui
