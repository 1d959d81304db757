#include "ui/ModeWindow.h"

#include "core/CurrentRights.h"

#include <QCloseEvent>

namespace ui {

ModeWindow::ModeWindow(QWidget* parent)
    : QDialog(parent)
{
}

void ModeWindow::setMode(Mode mode)
{
    m_mode = mode;
    updateButtons();
}

void ModeWindow::closeEvent(QCloseEvent* event)
{
    if (canClose())
        event->accept();
    else
        event->ignore();
}

void ModeWindow::reject()
{
    // Escape closes a dialog without a close event; it must obey the same rule.
    if (canClose())
        QDialog::reject();
}

void applyRight(QWidget* button, Right right, int position)
{
    if (!hasRight(right, position))
        button->setEnabled(false);
}

} // namespace ui
