#include "TestSupport.h"

#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/DatabaseFile.h"
#include "db/Statement.h"

#include <QDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

void ScriptedDialogs::message(QWidget* parent, const QString& text, const QString& caption, Icon icon)
{
    messages.append({text, caption, icon});
    if (!modalMessages)
        return;
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, parent);
    QTimer::singleShot(100, &box, &QDialog::accept);
    box.exec();
    // As a window manager does, the window under the box becomes active again.
    if (parent) {
        parent->window()->activateWindow();
        QTest::qWaitForWindowActive(parent->window());
    }
}

bool ScriptedDialogs::ask(QWidget*, const QString& text, const QString&, bool, Default defaultButton)
{
    questions << text;
    questionDefaults << defaultButton;
    return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
}

int ScriptedDialogs::exec(QDialog* dialog)
{
    return onExec ? onExec(dialog) : int(QDialog::Rejected);
}

QString ScriptedDialogs::openFileName(QWidget*, const QString&, const QString& directory, const QString&)
{
    fileSuggestions << directory;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString ScriptedDialogs::saveFileName(QWidget*, const QString&, const QString& directory, const QString&)
{
    fileSuggestions << directory;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString ScriptedDialogs::existingDirectory(QWidget*, const QString&, const QString& directory)
{
    fileSuggestions << directory;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

void ScriptedDialogs::clear()
{
    messages.clear();
    questions.clear();
    questionDefaults.clear();
    answers.clear();
    fileAnswers.clear();
    fileSuggestions.clear();
}

TestApp::TestApp()
{
    AppPaths::setDirectory(m_dir.path());
    DatabaseFile::createIfMissing(AppPaths::databaseFile());
    m_dataModule = std::make_unique<TFrmDataMod>();
    DatabaseFile::open(m_dataModule->AdoConn, AppPaths::databaseFile());
    ui::setDialogs(&m_dialogs);
    CurrentRights::current().clear();
    CurrentRights::current().userId = DatabaseFile::adminId;
    setRights(QString(Function::Count, QLatin1Char('1')));
}

TestApp::~TestApp()
{
    Clock::setFixed({});
    ui::setDialogs(nullptr);
    m_dataModule.reset();
    CurrentRights::current().clear();
}

void TestApp::exec(const QString& sql, const QVariantList& parameters)
{
    db::Statement statement(m_dataModule->AdoConn, sql);
    for (int i = 0; i < parameters.size(); ++i)
        statement.bind(QStringLiteral("p%1").arg(i + 1), parameters.at(i));
    statement.execute();
}

QVariant TestApp::scalar(const QString& sql, const QVariantList& parameters)
{
    db::Statement statement(m_dataModule->AdoConn, sql);
    for (int i = 0; i < parameters.size(); ++i)
        statement.bind(QStringLiteral("p%1").arg(i + 1), parameters.at(i));
    return statement.next() ? statement.value(0) : QVariant();
}

void TestApp::setRights(const QString& rights)
{
    CurrentRights& r = CurrentRights::current();
    r.use = r.add = r.edit = r.dele = r.chek = r.find = r.prin = rights;
}
