#include "TestSupport.h"

#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/CurrentRights.h"
#include "core/DatabaseFile.h"
#include "core/ShopServer.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Schema.h"
#include "db/ServerRoles.h"
#include "db/Statement.h"

#include <QCoreApplication>
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
        // Offscreen a window may never report itself active: the test goes on either way.
        (void)QTest::qWaitForWindowActive(parent->window());
    }
}

bool ScriptedDialogs::ask(QWidget*, const QString& text, const QString&, bool, Default defaultButton)
{
    questions << text;
    questionDefaults << defaultButton;
    if (onAsk)
        onAsk(text);
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

// The test server: BROVANTA_TEST_SERVER names its socket directory. Each
// TestApp works on a database of its own, copied from a template that holds
// the schema and the administrator.
namespace TestServer {

QString socketDirectory()
{
    return qEnvironmentVariable("BROVANTA_TEST_SERVER");
}

// The server's superuser, who makes and drops the tests' databases.
db::ServerAddress address(const QString& database)
{
    db::ServerAddress a;
    a.host = socketDirectory();
    a.database = database;
    a.user = QStringLiteral("postgres");
    return a;
}

// As a shop's PCs log in: the role that may not change the tables' shape.
db::ServerAddress pcAddress(const QString& database)
{
    db::ServerAddress a = address(database);
    a.user = QStringLiteral("brovanta");
    return a;
}

void openOwner(db::Connection& owner, const QString& database)
{
    owner.openServer(db::ServerRoles::ownerAddress(address(database), TestApp::ownerPassword()));
}

const QString templateName = QStringLiteral("brovanta_template");

// Test programs start side by side: the first to take the lock makes the template.
void makeTemplateOnce(db::Connection& admin)
{
    admin.execute(QStringLiteral("select pg_advisory_lock(1)"));
    db::Statement exists(admin, QStringLiteral("select count(*) from pg_database where datname=:n"));
    exists.bind(QStringLiteral("n"), templateName);
    exists.next();
    if (exists.intValue(0) == 0) {
        admin.execute(QStringLiteral("create database %1 owner %2").arg(templateName, db::ServerRoles::owner));
        db::Connection owner;
        openOwner(owner, templateName);
        DatabaseFile::initialize(owner);
    }
    admin.execute(QStringLiteral("select pg_advisory_unlock(1)"));
}

QString createDatabase()
{
    static int made = 0;
    const QString name = QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
    db::Connection admin;
    admin.openServer(address(QStringLiteral("postgres")));
    makeTemplateOnce(admin);
    admin.execute(QStringLiteral("drop database if exists %1").arg(name));
    admin.execute(QStringLiteral("create database %1 template %2 owner %3").arg(name, templateName, db::ServerRoles::owner));
    // Rights on the tables come with the template; those on the database itself do not.
    db::Connection owner;
    openOwner(owner, name);
    db::ServerRoles::grantWork(owner, pcAddress(name).user);
    return name;
}

void dropDatabase(const QString& name)
{
    db::Connection admin;
    admin.openServer(address(QStringLiteral("postgres")));
    admin.execute(QStringLiteral("drop database if exists %1 with (force)").arg(name));
}

} // namespace TestServer

bool TestApp::onServer()
{
    return !TestServer::socketDirectory().isEmpty();
}

QString TestApp::ownerPassword()
{
    return QStringLiteral("brovanta-owner-secret");
}

db::Connection& TestApp::owner()
{
    if (!onServer())
        return m_dataModule->AdoConn;
    if (!m_owner) {
        m_owner = std::make_unique<db::Connection>();
        TestServer::openOwner(*m_owner, m_serverDatabase);
    }
    return *m_owner;
}

void TestApp::execAsOwner(const QString& sql)
{
    owner().execute(sql);
}

TestApp::TestApp()
{
    AppPaths::setDirectory(m_dir.path());
    ServerPassword::setStore(&m_passwords);
    m_dataModule = std::make_unique<TFrmDataMod>();
    if (onServer()) {
        m_serverDatabase = TestServer::createDatabase();
        const db::ServerAddress address = TestServer::pcAddress(m_serverDatabase);
        ShopServer::choose(true);
        ShopServer::saveAddress(address);
        ShopServer::open(m_dataModule->AdoConn, address);
    } else {
        DatabaseFile::createIfMissing(AppPaths::databaseFile());
        DatabaseFile::open(m_dataModule->AdoConn, AppPaths::databaseFile());
    }
    m_place = ShopServer::placeOf(m_dataModule->AdoConn);
    ui::setDialogs(&m_dialogs);
    CurrentRights::current().clear();
    CurrentRights::current().userId = DatabaseFile::adminId;
    setRights(QString(Function::Count, QLatin1Char('1')));
}

TestApp::~TestApp()
{
    Clock::setFixed({});
    ui::setDialogs(nullptr);
    ServerPassword::setStore(nullptr);
    m_dataModule.reset();
    m_owner.reset();
    CurrentRights::current().clear();
    if (!m_serverDatabase.isEmpty()) {
        try {
            TestServer::dropDatabase(m_serverDatabase);
        } catch (const db::Error& e) {
            qWarning("test database %s left: %s", qPrintable(m_serverDatabase), qPrintable(e.message()));
        }
    }
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

void TestApp::openAnother(db::Connection& connection) const
{
    ShopServer::open(connection, m_place);
}

void TestApp::refuse(const QString& name, const QString& event, const QString& table, const QString& condition,
                     const QString& message, const QString& first)
{
    if (onServer()) {
        // A working table is the connection's own temporary table: its trigger is the connection's too.
        const bool own = db::Schema::isScratch(table);
        db::Connection& maker = own ? m_dataModule->AdoConn : owner();
        const QString function = (own ? QStringLiteral("pg_temp.") : QString()) + name;
        maker.execute(QStringLiteral("create function %1() returns trigger language plpgsql as $$begin %2 "
                                     "if %3 then raise exception '%4'; end if; "
                                     "if tg_op='DELETE' then return old; end if; return new; end$$")
                          .arg(function, first.isEmpty() ? QString() : first + QLatin1Char(';'),
                               condition.isEmpty() ? QStringLiteral("true") : condition, message));
        maker.execute(QStringLiteral("create trigger %1 before %2 on %3 for each row execute function %4()")
                          .arg(name, event, table, function));
        return;
    }
    exec(QStringLiteral("create temp trigger %1 before %2 on %3 %4 begin %5 select raise(abort, '%6') %7; end")
             .arg(name, event, table, first.isEmpty() && !condition.isEmpty() ? QStringLiteral("when ") + condition : QString(),
                  first.isEmpty() ? QString() : first + QLatin1Char(';'), message,
                  !first.isEmpty() && !condition.isEmpty() ? QStringLiteral("where ") + condition : QString()));
}

void TestApp::allow(const QString& name, const QString& table)
{
    if (!onServer())
        exec(QStringLiteral("drop trigger if exists temp.%1").arg(name));
    else if (db::Schema::isScratch(table))
        exec(QStringLiteral("drop trigger if exists %1 on %2").arg(name, table));
    else
        execAsOwner(QStringLiteral("drop trigger if exists %1 on %2").arg(name, table));
}

void TestApp::setRights(const QString& rights)
{
    CurrentRights& r = CurrentRights::current();
    r.use = r.add = r.edit = r.dele = r.chek = r.find = r.prin = rights;
}

void makeFirstRelease(db::Connection& connection)
{
    for (const db::Table& table : db::Schema::tables()) {
        if (table.since > 1) {
            connection.execute(QStringLiteral("drop table %1").arg(table.name));
            continue;
        }
        db::Table first{table.name, {}};
        for (const db::Column& column : table.columns)
            if (column.since <= 1)
                first.columns << column;
        if (first.columns.size() == table.columns.size())
            continue;
        // The engine cannot drop a column: the table is made again without the later ones.
        // Named in `main`: a working table of the connection hides the file's of its name.
        QStringList names;
        for (const db::Column& column : first.columns)
            names << column.name;
        connection.execute(QStringLiteral("alter table main.%1 rename to later_%1").arg(table.name));
        connection.execute(db::Schema::createStatement(first).replace("create table ", "create table main."));
        connection.execute(QStringLiteral("insert into main.%1 (%2) select %2 from main.later_%1").arg(table.name, names.join(',')));
        connection.execute(QStringLiteral("drop table main.later_%1").arg(table.name));
    }
    db::Statement admin(connection, QStringLiteral("update powers set password=:p where user_id=:id"));
    admin.bind(QStringLiteral("p"), DatabaseFile::adminPassword).bind(QStringLiteral("id"), DatabaseFile::adminId);
    admin.execute();
    connection.execute(QStringLiteral("pragma user_version=0"));
}
