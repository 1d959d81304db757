#pragma once

#include "ui/BusyCursor.h"

#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

namespace ui {

// The busy cursor and, once work runs longer than a second, a progress dialog
// with 取消. Called with the work done so far; false once the user cancelled.
class CancelProgress {
public:
    CancelProgress(const QString& text, QWidget* parent);
    ~CancelProgress();
    CancelProgress(const CancelProgress&) = delete;
    CancelProgress& operator=(const CancelProgress&) = delete;

    bool operator()(int done, int total);
    // Hides the dialog before a message box is shown.
    void close();

private:
    BusyCursor m_busy;
    QString m_text;
    QWidget* m_parent;
    std::unique_ptr<QProgressDialog> m_dialog;
};

} // namespace ui
