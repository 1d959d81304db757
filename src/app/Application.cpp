#include "app/Application.h"

#include "db/Error.h"
#include "ui/Dialogs.h"

#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

void Application::reportError(const QString& message)
{
    ui::showError(message);
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    // Enter moves on like Tab; a button must not swallow it as a dialog's default.
    if (event->type() == QEvent::Polish)
        if (auto* button = qobject_cast<QPushButton*>(receiver))
            button->setAutoDefault(false);

    bool enter = false;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        enter = (key == Qt::Key_Return || key == Qt::Key_Enter) && receiver == focusWidget()
                && !activePopupWidget();
    }
    QPointer<QWidget> target = enter ? focusWidget() : nullptr;

    bool handled = false;
    try {
        handled = QApplication::notify(receiver, event);
    } catch (const db::Error& e) {
        reportError(e.message());
        return true;
    } catch (const std::exception& e) {
        reportError(QString::fromUtf8(e.what()));
        return true;
    } catch (...) {
        reportError(QStringLiteral("发生未知错误"));
        return true;
    }

    // The Enter itself was delivered; unless its handler moved the focus, Tab follows.
    if (target && focusWidget() == target) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        notify(target, &tab);
    }
    return handled;
}
