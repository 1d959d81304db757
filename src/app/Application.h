#pragma once

#include <QApplication>

class QAbstractButton;

// The program's application object: reports exceptions that reach the event
// loop in one error box (the window stays open), opens the guide on F1, and
// makes Enter also act as Tab in every window, except on a focused button,
// which Enter presses.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The error box for an exception that reached the event loop.
    static void reportError(const QString& message);

private:
    // The push or tool button that an Enter sent to it presses, or nullptr.
    static QAbstractButton* pressableButton(QObject* receiver);
};
