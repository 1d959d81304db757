#pragma once

// Drives a window as a user would: widgets by object name, clicks, typed text.
#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QtTest>

namespace WindowDriver {

template <typename Widget>
Widget* child(QWidget& window, const char* name)
{
    auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

inline void showWindow(QWidget& window)
{
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

inline void click(QWidget& window, const char* button)
{
    QTest::mouseClick(child<QAbstractButton>(window, button), Qt::LeftButton);
}

// Key presses carrying each character, so that Chinese text is typed too.
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        const bool ascii = c.unicode() < 128;
        const auto key = ascii && c.isLetterOrNumber() ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, key, QString(c), Qt::NoModifier);
    }
}

// Replaces a box's text by typing; an empty text just clears it.
inline void retype(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    typeText(box, text);
}

inline void retype(QWidget& window, const char* box, const QString& text)
{
    retype(child<QLineEdit>(window, box), text);
}

// A key pressed and released at `at` milliseconds, as the keyboard driver stamps it,
// into whatever has the focus then.
inline void keyAt(Qt::Key key, const QString& text, quint64 at)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    press.setTimestamp(at);
    QApplication::sendEvent(QApplication::focusWidget(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    release.setTimestamp(at);
    QApplication::sendEvent(QApplication::focusWidget(), &release);
}

// Text typed `gap` milliseconds a key from `clock` on, the clock moved past it.
inline void typeAt(const QString& text, quint64& clock, int gap)
{
    for (const QChar c : text) {
        const auto key = c.isLetterOrNumber() && c.unicode() < 128 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        keyAt(key, QString(c), clock += gap);
    }
}

// A hand scanner: the code and Enter, 2 ms a key, wherever the focus is; then half a second passes.
inline void scanAt(const QString& code, quint64& clock)
{
    typeAt(code, clock, 2);
    keyAt(Qt::Key_Return, QStringLiteral("\r"), clock += 2);
    clock += 500;
}

} // namespace WindowDriver
