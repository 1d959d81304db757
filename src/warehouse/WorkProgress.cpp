#include "warehouse/WorkProgress.h"

#include <QProgressDialog>

WorkProgress::WorkProgress(const QString& text, QWidget* parent)
    : m_dialog(std::make_unique<QProgressDialog>(text, QString(), 0, 100, parent))
{
    m_dialog->setObjectName(QStringLiteral("WorkProgress"));
    m_dialog->setWindowTitle(QStringLiteral("请稍候"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(700);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setValue(0);
}

WorkProgress::~WorkProgress()
{
    m_dialog->close();
}

void WorkProgress::step(int done, int total)
{
    m_dialog->setValue(total > 0 ? int(qint64(done) * 100 / total) : 100);
}
