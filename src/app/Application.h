#pragma once

#include <QApplication>

// The program's application object: reports exceptions that reach the event
// loop in one error box (the window stays open), and makes Enter also act as
// Tab in every window.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The error box for an exception that reached the event loop.
    static void reportError(const QString& message);
};
