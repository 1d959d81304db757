#pragma once

#include "core/CurrentRights.h"

#include <QDialog>

namespace ui {

// A modal window that edits data: its mode is "null" (browsing), "add" or
// "edit". One routine, updateButtons(), sets every button from the mode and
// the current rights. While adding or editing the window refuses to close.
class ModeWindow : public QDialog {
    Q_OBJECT
public:
    explicit ModeWindow(QWidget* parent = nullptr);

    QString mode() const { return m_mode; }
    bool isEditing() const { return m_mode != QLatin1String("null"); }
    void setMode(const QString& mode);

protected:
    // Sets every button from the mode and the rights; called by setMode.
    virtual void updateButtons() = 0;
    // Whether the window may close now; by default only while browsing.
    virtual bool canClose() const { return !isEditing(); }

    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QString m_mode = QStringLiteral("null");
};

// Disables the button when the current user lacks the right at the position.
void applyRight(QWidget* button, Right right, int position);

} // namespace ui
