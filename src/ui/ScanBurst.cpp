#include "ui/ScanBurst.h"

#include "ui/EnterWalk.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace ui {

namespace {

// Text a key types: one printable character, no Ctrl, Alt or Meta.
bool typesText(const QKeyEvent* key)
{
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = key->text();
    return text.size() == 1 && text.at(0).isPrint();
}

} // namespace

ScanBurst::ScanBurst(QWidget* window, QWidget* scanBox)
    : QObject(window), m_window(window), m_scanBox(scanBox)
{
    // A person who stops typing sees the held keys arrive at once.
    m_pause.setSingleShot(true);
    m_pause.setInterval(2 * keyGap);
    connect(&m_pause, &QTimer::timeout, this, &ScanBurst::release);
    qApp->installEventFilter(this);
}

ScanBurst::~ScanBurst()
{
    qApp->removeEventFilter(this);
}

bool ScanBurst::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || m_releasing || !m_window)
        return false;
    auto* receiver = qobject_cast<QWidget*>(watched);
    // Only the first delivery, to the focused widget; not the parents it propagates to.
    if (!receiver || receiver != QApplication::focusWidget() || receiver->window() != m_window
        || QApplication::activePopupWidget())
        return false;
    return take(receiver, static_cast<QKeyEvent*>(event));
}

bool ScanBurst::take(QWidget* receiver, QKeyEvent* key)
{
    const quint64 at = key->timestamp();
    if (!m_held.empty() && (at == 0 || at - m_lastKey > keyGap) && releaseBefore(receiver, key))
        return true;
    if (at == 0)
        return false;
    const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
    if (receiver == m_scanBox || receiver->property("takesScans").toBool()) {
        // The box (or one that reads cards) takes a scan itself; a Tab before it is held, and dropped when a code follows.
        if (tab && m_held.empty()) {
            hold(receiver, key);
            return true;
        }
        if (!m_held.empty()) {
            if (typesText(key))
                drop();
            else
                release();
        }
        return false;
    }
    if (typesText(key)) {
        hold(receiver, key);
        m_code += key->text();
        return true;
    }
    // A scanner may send Tab before or within its code: no move when a code follows.
    if (tab) {
        hold(receiver, key);
        return true;
    }
    if (m_held.empty())
        return false;
    if (isEnterKey(key) && m_code.size() >= shortestCode) {
        const QString code = m_code;
        drop();
        emit scanned(code);
        return true;
    }
    return releaseBefore(receiver, key);
}

bool ScanBurst::releaseBefore(QWidget* receiver, QKeyEvent* key)
{
    release();
    // The held keys may have opened a cell editor: this key follows them there.
    QWidget* focus = QApplication::focusWidget();
    if (focus == receiver || !focus || focus->window() != m_window)
        return false;
    m_releasing = true;
    QCoreApplication::sendEvent(focus, key);
    m_releasing = false;
    return true;
}

void ScanBurst::drop()
{
    m_pause.stop();
    m_held.clear();
    m_code.clear();
}

void ScanBurst::hold(QWidget* receiver, const QKeyEvent* key)
{
    m_held.push_back({receiver, std::unique_ptr<QKeyEvent>(static_cast<QKeyEvent*>(key->clone()))});
    m_lastKey = key->timestamp();
    m_pause.start();
}

void ScanBurst::release()
{
    m_pause.stop();
    std::vector<Held> held;
    held.swap(m_held);
    m_code.clear();
    // Keys meant for a widget that has lost the focus meanwhile (a click, or an
    // Enter that pressed a button) are dropped rather than typed somewhere else.
    if (held.empty() || QApplication::focusWidget() != held.front().receiver)
        return;
    m_releasing = true;
    for (const Held& h : held) {
        // A held Tab may have moved the focus on: the next keys follow it.
        if (QWidget* focus = QApplication::focusWidget(); focus && focus->window() == m_window)
            QCoreApplication::sendEvent(focus, h.key.get());
    }
    m_releasing = false;
}

} // namespace ui
