#include "app/Application.h"

#include "app/HelpWindow.h"
#include "db/Error.h"
#include "ui/Dialogs.h"
#include "ui/EnterWalk.h"

#include <QAbstractSpinBox>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

void Application::reportError(const QString& message)
{
    ui::showError(message);
}

QAbstractButton* Application::pressableButton(QObject* receiver)
{
    auto* button = qobject_cast<QAbstractButton*>(receiver);
    if (!button || !button->isEnabled() || !(qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button)))
        return nullptr;
    return button;
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    // Enter moves on like Tab; a button must not swallow it as a dialog's default.
    if (event->type() == QEvent::Polish)
        if (auto* button = qobject_cast<QPushButton*>(receiver))
            button->setAutoDefault(false);

    bool enter = false;
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // F1 anywhere opens the guide at the page of the window it was pressed in.
        const auto* widget = qobject_cast<QWidget*>(receiver);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && widget && !activePopupWidget()) {
            if (!qobject_cast<HelpWindow*>(widget->window()))
                HelpWindow::showFor(widget->window());
            return true;
        }
        enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && receiver == focusWidget()
                && !activePopupWidget();
    }
    // Enter on a focused button presses it, as Space does; nothing moves on.
    QAbstractButton* button = enter ? pressableButton(receiver) : nullptr;
    QPointer<QWidget> target = enter && !button ? focusWidget() : nullptr;

    bool handled = false;
    try {
        if (button) {
            if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
                button->click();
            return true;
        }
        handled = QApplication::notify(receiver, event);
    } catch (const db::Error& e) {
        reportError(db::userText(e));
        return true;
    } catch (const std::exception& e) {
        reportError(QString::fromUtf8(e.what()));
        return true;
    } catch (...) {
        reportError(QStringLiteral("发生未知错误"));
        return true;
    }

    // The Enter itself was delivered; unless its handler moved the focus, Tab follows.
    // A date picker or spin box takes Tab to step through its own sections, so its
    // window moves the focus instead.
    if (target && focusWidget() == target && !ui::walksEnter(target)) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        notify(qobject_cast<QAbstractSpinBox*>(target) ? target->window() : target.data(), &tab);
    }
    return handled;
}
