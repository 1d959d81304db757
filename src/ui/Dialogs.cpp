#include "ui/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace ui {

namespace {

class ScreenDialogs : public Dialogs {
public:
    void message(QWidget* parent, const QString& text, const QString& caption, Icon icon) override
    {
        QMessageBox box(toQt(icon), caption, text, QMessageBox::Ok, parent);
        box.exec();
    }

    bool ask(QWidget* parent, const QString& text, const QString& caption, bool yesNo,
             Default defaultButton) override
    {
        const auto buttons = yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok | QMessageBox::Cancel;
        QMessageBox box(QMessageBox::Question, caption, text, buttons, parent);
        if (defaultButton == Default::Cancel)
            box.setDefaultButton(yesNo ? QMessageBox::No : QMessageBox::Cancel);
        else
            box.setDefaultButton(yesNo ? QMessageBox::Yes : QMessageBox::Ok);
        const int answer = box.exec();
        return answer == QMessageBox::Ok || answer == QMessageBox::Yes;
    }

    int exec(QDialog* dialog) override { return dialog->exec(); }

    QString openFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, directory, filter);
    }

    QString saveFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, directory, filter);
    }

    QString existingDirectory(QWidget* parent, const QString& caption, const QString& directory) override
    {
        return QFileDialog::getExistingDirectory(parent, caption, directory);
    }

private:
    static QMessageBox::Icon toQt(Icon icon)
    {
        switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        }
        return QMessageBox::NoIcon;
    }
};

ScreenDialogs screen;
Dialogs* current = &screen;

QWidget* defaultParent(QWidget* parent)
{
    return parent ? parent : QApplication::activeWindow();
}

} // namespace

Dialogs& dialogs()
{
    return *current;
}

void setDialogs(Dialogs* dialogs)
{
    current = dialogs ? dialogs : &screen;
}

void inform(const QString& text, QWidget* parent)
{
    current->message(defaultParent(parent), text, QStringLiteral("提示"), Dialogs::Icon::Information);
}

void warn(const QString& text, QWidget* parent)
{
    current->message(defaultParent(parent), text, QStringLiteral("提示"), Dialogs::Icon::Warning);
}

void showError(const QString& text, QWidget* parent, const QString& caption)
{
    current->message(defaultParent(parent), text, caption.isEmpty() ? QStringLiteral("错误") : caption,
                     Dialogs::Icon::Critical);
}

bool confirm(const QString& text, QWidget* parent)
{
    return current->ask(defaultParent(parent), text, QStringLiteral("提示"), false, Dialogs::Default::Accept);
}

bool askYesNo(const QString& text, QWidget* parent)
{
    return current->ask(defaultParent(parent), text, QStringLiteral("提示"), true, Dialogs::Default::Accept);
}

} // namespace ui
