#pragma once

#include "core/ServerPassword.h"
#include "core/ShopServer.h"
#include "core/TFrmDataMod.h"
#include "ui/Dialogs.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <functional>
#include <memory>

// Answers the dialog seam without a screen and records what was shown.
class ScriptedDialogs : public ui::Dialogs {
public:
    struct Shown {
        QString text;
        QString caption;
        Icon icon;
    };

    void message(QWidget* parent, const QString& text, const QString& caption, Icon icon) override;
    bool ask(QWidget* parent, const QString& text, const QString& caption, bool yesNo,
             Default defaultButton) override;
    int exec(QDialog* dialog) override;
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override;
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override;
    QString existingDirectory(QWidget*, const QString&, const QString&) override;

    QList<Shown> messages;          // every message box, in order
    QStringList questions;          // every question asked
    QList<Default> questionDefaults; // the default button of each question, in order
    QList<bool> answers;            // answers to the next questions; empty -> defaultAnswer
    bool defaultAnswer = true;
    // Called as each question is asked, before it is answered.
    std::function<void(const QString&)> onAsk;
    // Runs a modal window; by default the window is rejected without being shown.
    std::function<int(QDialog*)> onExec;
    QStringList fileAnswers;        // answers to file and directory dialogs, in order
    QStringList fileSuggestions;    // the directory or file each file dialog started at
    // Shows each message as a real modal box that closes itself, as a user closes one:
    // the focus leaves the window and a nested event loop runs meanwhile.
    bool modalMessages = false;

    QString lastMessage() const { return messages.isEmpty() ? QString() : messages.last().text; }
    void clear();
};

// Remembered server passwords in memory: no test touches the desktop keyring.
class MemoryPasswords : public ServerPassword::Store {
public:
    QString read(const QString& key) override { return kept.value(key); }
    QString write(const QString& key, const QString& password) override
    {
        kept.insert(key, password);
        return {};
    }
    QString remove(const QString& key) override
    {
        kept.remove(key);
        return {};
    }
    QHash<QString, QString> kept;
};

namespace db {
class Connection;
}

// Gives the open database the shape and version of the program's first release:
// later tables dropped, later columns taken out, the administrator's password plain.
void makeFirstRelease(db::Connection& connection);

// A whole application in a temporary directory: system.ini, a new database
// with its administrator, the data module connected, the dialog seam scripted
// and the administrator's rights current.
class TestApp {
public:
    TestApp();
    ~TestApp();
    TestApp(const TestApp&) = delete;
    TestApp& operator=(const TestApp&) = delete;

    QString directory() const { return m_dir.path(); }
    // True when the tests run on the test server rather than on files.
    static bool onServer();
    TFrmDataMod& dataModule() { return *m_dataModule; }
    ScriptedDialogs& dialogs() { return m_dialogs; }
    MemoryPasswords& passwords() { return m_passwords; }

    // The password of the server's owner role (see db::ServerRoles).
    static QString ownerPassword();
    // A connection that may change the tables' shape: on the server its owner's
    // (the data module's connection logs in as the PCs do), else the data module's.
    db::Connection& owner();
    // Runs SQL that changes the shape (DDL, a version mark) as owner().
    void execAsOwner(const QString& sql);
    // Opens the same database on another connection, as a second copy of the program would.
    void openAnother(db::Connection& connection) const;
    // Runs SQL with parameters given in order as :p1, :p2, ...
    void exec(const QString& sql, const QVariantList& parameters = {});
    // The first column of the first row.
    QVariant scalar(const QString& sql, const QVariantList& parameters = {});
    // Makes the database refuse `event` ("insert", "update" or "delete") on
    // `table` with `message` while `condition` holds (old./new. and sub-selects
    // allowed; empty = always), as a full disk or a broken constraint would.
    // `first` runs before each check (to count calls). allow() ends it.
    void refuse(const QString& name, const QString& event, const QString& table, const QString& condition,
                const QString& message, const QString& first = {});
    void allow(const QString& name, const QString& table);
    // Sets the current user's seven rights strings to one string.
    void setRights(const QString& rights);

private:
    QTemporaryDir m_dir;
    QString m_serverDatabase;   // this app's database on the test server
    ShopServer::Place m_place;  // where the data module's connection opened
    ScriptedDialogs m_dialogs;
    MemoryPasswords m_passwords;
    std::unique_ptr<TFrmDataMod> m_dataModule;
    std::unique_ptr<db::Connection> m_owner;  // on the server, opened when first asked for
};
