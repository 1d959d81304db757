#include "ui/ScanBar.h"

#include "core/Clock.h"
#include "ui/EnterWalk.h"
#include "ui/ScanBurst.h"
#include "ui/WindowParts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>

namespace ui {

namespace {
// Refusals kept in view beside the banner.
constexpr int keptRefusals = 3;
}

ScanBar::ScanBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ScanBar"));
    m_box = WindowParts::named<QLineEdit>("ScanBox", this);
    m_box->setPlaceholderText(QStringLiteral("扫描条码或输入货品编码后回车"));
    m_box->setToolTip(QStringLiteral("F2：到扫描框；Esc：回到明细"));
    m_box->setMaxLength(40);
    m_box->setMinimumWidth(200);
    // Its Enter is the end of a code, never a move to the next box.
    setWalksEnter(m_box);
    m_box->installEventFilter(this);
    m_banner = WindowParts::named<QLabel>("ScanBanner", this);
    m_banner->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_banner->hide();
    m_refusals = WindowParts::named<QLabel>("ScanRefusals", this);
    m_refusals->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_refusals->setStyleSheet(QStringLiteral("QLabel{color:#c62828}"));
    // However long the list, it never widens the window: what is cut off shows in its tip.
    m_refusals->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_refusals->hide();

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(WindowParts::caption(QStringLiteral("扫描(F2)"), m_box, this));
    row->addWidget(m_box);
    row->addWidget(m_banner);
    row->addWidget(m_refusals, 1);

    QWidget* window = parent ? parent->window() : this;
    auto* jump = new QShortcut(QKeySequence(Qt::Key_F2), window);
    connect(jump, &QShortcut::activated, this, [this] {
        m_box->setFocus(Qt::ShortcutFocusReason);
        m_box->selectAll();
    });
    // A scan that arrives while the focus is elsewhere in the window.
    connect(new ScanBurst(window, m_box), &ScanBurst::scanned, this, [this](const QString& code) {
        m_box->clear();
        take(code);
    });
}

void ScanBar::tell(const QString& text, bool fault)
{
    if (text.isEmpty())
        m_lastRefusals.clear();
    else if (fault) {
        m_lastRefusals.prepend(Clock::now().toString(QStringLiteral("HH:mm:ss ")) + text);
        while (m_lastRefusals.size() > keptRefusals)
            m_lastRefusals.removeLast();
    }
    m_refusals->setText(m_lastRefusals.join(QStringLiteral("；")));
    m_refusals->setToolTip(m_lastRefusals.join(QLatin1Char('\n')));
    m_refusals->setVisible(!m_lastRefusals.isEmpty());
    m_banner->setText(text);
    m_banner->setStyleSheet(fault ? QStringLiteral("QLabel{background:#c62828;color:white;padding:2px 6px;font-weight:bold}")
                                  : QStringLiteral("QLabel{background:#e8f5e9;color:#1b5e20;padding:2px 6px}"));
    m_banner->setVisible(!text.isEmpty());
    if (fault)
        QApplication::beep();
}

void ScanBar::take(const QString& code)
{
    emit scanned(code);
    // Whatever the scan did, the next one comes here.
    m_box->setFocus();
}

bool ScanBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_box || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const quint64 lastKey = std::exchange(m_lastKey, key->timestamp());
    if (isEnterKey(key)) {
        const QString code = m_box->text();
        m_box->clear();
        take(code);
        return true;
    }
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        // A Tab a scanner sends within its code is no move; a person's Tab leaves the box.
        const bool withinScan = key->timestamp() != 0 && !m_box->text().isEmpty()
                                && key->timestamp() - lastKey <= quint64(ScanBurst::keyGap);
        return withinScan;
    }
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && m_escapeTarget) {
        m_escapeTarget->setFocus(Qt::OtherFocusReason);
        return true;
    }
    // A scanner's prefix sent as a control combination must not select, undo or cut.
    const bool editingCombo = key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Copy)
                              || key->matches(QKeySequence::SelectAll);
    if ((key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) && !editingCombo)
        return true;
    return false;
}

} // namespace ui
