#include "ui/CancelProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace ui {

CancelProgress::CancelProgress(const QString& text, QWidget* parent)
    : m_text(text), m_parent(parent)
{
}

CancelProgress::~CancelProgress() = default;

bool CancelProgress::operator()(int done, int total)
{
    if (!m_dialog) {
        m_dialog = std::make_unique<QProgressDialog>(m_text, QStringLiteral("取消"), 0, total, m_parent);
        m_dialog->setObjectName(QStringLiteral("progress"));
        m_dialog->setWindowTitle(QStringLiteral("请稍候"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(1000);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
    }
    m_dialog->setMaximum(total);
    m_dialog->setValue(done);
    QCoreApplication::processEvents();
    return !m_dialog->wasCanceled();
}

void CancelProgress::close()
{
    m_dialog.reset();
}

} // namespace ui
