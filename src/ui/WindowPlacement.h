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

} // namespace ui
