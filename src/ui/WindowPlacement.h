#pragma once

#include <QScreen>
#include <QWidget>

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

} // namespace ui
