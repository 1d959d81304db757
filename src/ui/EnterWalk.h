#pragma once

#include <QKeyEvent>
#include <QWidget>

namespace ui {

// Enter acts as Tab in every window, except in a widget that walks Enter
// itself (the bill lines): no Tab may follow its Enter.
inline void setWalksEnter(QWidget* widget)
{
    widget->setProperty("walksEnter", true);
}

inline bool walksEnter(const QWidget* widget)
{
    for (; widget && !widget->isWindow(); widget = widget->parentWidget())
        if (widget->property("walksEnter").toBool())
            return true;
    return false;
}

inline bool isEnterKey(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// F4 or Alt+Down: the list or picker of a box or cell.
inline bool opensListKey(const QKeyEvent* key)
{
    return (key->key() == Qt::Key_F4 && key->modifiers() == Qt::NoModifier)
           || (key->key() == Qt::Key_Down && key->modifiers() == Qt::AltModifier);
}

} // namespace ui
