#pragma once

#include "ui/BusyCursor.h"

#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

// The busy cursor and, for work that runs longer than about a second, a
// progress dialog without a cancel button (the work is one transaction).
class WorkProgress {
public:
    WorkProgress(const QString& text, QWidget* parent);
    ~WorkProgress();
    WorkProgress(const WorkProgress&) = delete;
    WorkProgress& operator=(const WorkProgress&) = delete;

    void step(int done, int total);

private:
    ui::BusyCursor m_busy;
    std::unique_ptr<QProgressDialog> m_dialog;
};
