#pragma once

#include "core/CurrentRights.h"

#include <QDialog>

namespace ui {

// A modal window that edits data: it is browsing, adding or editing. One
// routine, updateButtons(), sets every button from the mode and the current
// rights. While adding or editing the window refuses to close.
class ModeWindow : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Browsing, Adding, Editing };
    Q_ENUM(Mode)

    explicit ModeWindow(QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
    bool isEditing() const { return m_mode != Mode::Browsing; }
    void setMode(Mode mode);

protected:
    // Sets every button from the mode and the rights; called by setMode.
    virtual void updateButtons() = 0;
    // Whether the window may close now; by default only while browsing.
    virtual bool canClose() const { return !isEditing(); }

    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    Mode m_mode = Mode::Browsing;
};

// Disables the button when the current user lacks the right at the position.
void applyRight(QWidget* button, Right right, int position);

} // namespace ui
