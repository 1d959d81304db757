#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace ui {

// Shows the busy cursor for its lifetime; the normal cursor returns also when
// the work throws.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace ui
