#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace ui {

class ScanBurst;

// The box a hand scanner types into (it types the code fast and ends with
// Enter), with the banner beside it that tells what became of the last scan.
// A scan typed while the focus is anywhere else in the window lands here too,
// and none of its keys reach the focused widget. F2 anywhere in the window puts
// the focus into the box; Tab and Shift+Tab leave it, Escape goes to the
// escape target. A refused scan shows in the banner and beeps (a message box
// would be closed unread by the next scan's Enter), and stays in the list of
// the last refusals beside it, which a good scan does not clear.
class ScanBar : public QWidget {
    Q_OBJECT
public:
    explicit ScanBar(QWidget* parent = nullptr);

    QLineEdit* box() const { return m_box; }
    QLabel* banner() const { return m_banner; }
    QLabel* refusals() const { return m_refusals; }

    // What the last scan did; `fault` beeps, colours the banner and is kept
    // in the list of refusals. An empty text clears the banner and the list.
    void tell(const QString& text, bool fault = false);
    // Where Escape in the box goes (the lines the scans fill).
    void setEscapeTarget(QWidget* target) { m_escapeTarget = target; }

signals:
    void scanned(const QString& code);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void take(const QString& code);

    QLineEdit* m_box;
    QLabel* m_banner;
    QLabel* m_refusals;
    QPointer<QWidget> m_escapeTarget;
    QStringList m_lastRefusals;
    quint64 m_lastKey = 0;
};

} // namespace ui
