#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <vector>

class QKeyEvent;
class QWidget;

namespace ui {

// Tells a hand scanner from a person at the keyboard of one window. A scanner
// types a code, each key a few milliseconds after the last, and ends it with
// Enter. Printable keys bound for any widget of the window other than the scan
// box (or a widget whose property "takesScans" is true) are held back until it is clear which it is: a burst that ends in Enter
// becomes one scanned code and never reaches the focused widget; otherwise the
// held keys go on to the focused widget as typed, at the next slower key or
// after a short pause. A Tab is held the same way, since scanners may send one
// before the code; it is dropped when a code follows. Keys are timed by their
// event timestamps; a key without one (0: made by the program) is never held.
class ScanBurst : public QObject {
    Q_OBJECT
public:
    // Longest gap between two keys of one scan, in milliseconds.
    static constexpr int keyGap = 40;
    // Fewest characters a scan has.
    static constexpr int shortestCode = 3;

    ScanBurst(QWidget* window, QWidget* scanBox);
    ~ScanBurst() override;

signals:
    void scanned(const QString& code);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool take(QWidget* receiver, QKeyEvent* key);
    void hold(QWidget* receiver, const QKeyEvent* key);
    // Delivers the held keys as typed.
    void release();
    // Delivers the held keys, then `key` where they left the focus: true when
    // that is not its receiver (a key opened a cell editor) and it went there.
    bool releaseBefore(QWidget* receiver, QKeyEvent* key);
    // Forgets the held keys: they were a scan's.
    void drop();

    struct Held {
        QPointer<QWidget> receiver;
        std::unique_ptr<QKeyEvent> key;
    };

    QPointer<QWidget> m_window;
    QPointer<QWidget> m_scanBox;
    std::vector<Held> m_held;
    QString m_code;
    quint64 m_lastKey = 0;
    bool m_releasing = false;
    QTimer m_pause;
};

} // namespace ui
