#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace ui {

// The box a hand scanner types into (it types the code fast and ends with
// Enter), with the banner beside it that tells what became of the last scan.
// F2 anywhere in its window puts the focus into the box. A refused scan shows
// in the banner and beeps: a message box would be closed unread by the next
// scan's Enter. Tab and control characters a scanner sends around the code are
// ignored; the box keeps the focus from one scan to the next.
class ScanBar : public QWidget {
    Q_OBJECT
public:
    explicit ScanBar(QWidget* parent = nullptr);

    QLineEdit* box() const { return m_box; }
    QLabel* banner() const { return m_banner; }

    // What the last scan did; `fault` beeps and colours the banner.
    void tell(const QString& text, bool fault = false);

signals:
    void scanned(const QString& code);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_box;
    QLabel* m_banner;
};

} // namespace ui
