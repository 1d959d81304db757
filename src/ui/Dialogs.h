#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace ui {

// The one seam through which every message box, question, file dialog and
// modal window is shown, so that tests can answer them without a screen.
class Dialogs {
public:
    enum class Icon { Information, Warning, Critical, Question };
    // The button Enter presses: OK/Yes, or Cancel/No where a slip of the key must not confirm.
    enum class Default { Accept, Cancel };
    virtual ~Dialogs() = default;

    virtual void message(QWidget* parent, const QString& text, const QString& caption, Icon icon) = 0;
    // OK/Cancel (or Yes/No): true for OK or Yes.
    virtual bool ask(QWidget* parent, const QString& text, const QString& caption, bool yesNo,
                     Default defaultButton) = 0;
    // Shows a window modally; returns its result code.
    virtual int exec(QDialog* dialog) = 0;
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& directory,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& directory,
                                 const QString& filter) = 0;
    virtual QString existingDirectory(QWidget* parent, const QString& caption, const QString& directory) = 0;
};

Dialogs& dialogs();
// Replaces the seam (tests); nullptr restores the on-screen dialogs.
void setDialogs(Dialogs* dialogs);

// The usual shapes, all captioned "提示" unless told otherwise.
void inform(const QString& text, QWidget* parent = nullptr);
void warn(const QString& text, QWidget* parent = nullptr);
void showError(const QString& text, QWidget* parent = nullptr, const QString& caption = {});
bool confirm(const QString& text, QWidget* parent = nullptr);   // OK / Cancel
bool askYesNo(const QString& text, QWidget* parent = nullptr);  // Yes / No

} // namespace ui
