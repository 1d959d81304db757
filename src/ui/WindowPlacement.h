#pragma once

#include <QScreen>
#include <QWidget>

class QTableView;

namespace ui {

// Centres a window on the screen it is shown on (call from its showEvent).
inline void centreOnScreen(QWidget* window)
{
    if (const QScreen* screen = window->screen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

// Gives a dialog a size the user cannot change, and so no maximize button.
inline void setFixedWindowSize(QWidget* window, int width, int height)
{
    window->setFixedSize(width, height);
    window->setWindowFlags((window->windowFlags() & ~Qt::WindowMaximizeButtonHint & ~Qt::WindowMinimizeButtonHint)
                           | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                           | Qt::MSWindowsFixedSizeDialogHint);
}

// For a window whose work is a grid (call once, in its constructor): it can be
// resized, minimized and maximized, with the grid taking the room as the layout
// gives it the stretch. Each time it is shown it opens at least as wide as the
// grid's columns (within the screen), or with the size and place it had when a
// window of the same object name was last closed in this run; the first time it
// is centred. The window must not centre itself in its showEvent.
void placeGridWindow(QWidget* window, QTableView* grid);

// Forgets every remembered size and place (a new run, as far as windows know).
void forgetWindowPlacements();

} // namespace ui
