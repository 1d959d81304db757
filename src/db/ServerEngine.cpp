#include "db/ServerEngine.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Statement.h"

#include <libpq-fe.h>

#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QRegularExpression>

#include <cerrno>
#include <functional>

#include <netdb.h>
#include <poll.h>

namespace db {

QString numberedParameters(const QString& sql, QList<QByteArray>* names)
{
    QString out;
    out.reserve(sql.size() + 8);
    const int n = sql.size();
    auto isNameStart = [](QChar c) { return c.isLetter() || c == QLatin1Char('_'); };
    for (int i = 0; i < n; ++i) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int end = sql.indexOf(c, i + 1);   // a doubled quote reads as two strings in a row
            const int stop = end < 0 ? n : end + 1;
            out += QStringView(sql).mid(i, stop - i);
            i = stop - 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            const int end = sql.indexOf(QLatin1Char('\n'), i);
            const int stop = end < 0 ? n : end;
            out += QStringView(sql).mid(i, stop - i);
            i = stop - 1;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
            const int end = sql.indexOf(QStringLiteral("*/"), i + 2);
            const int stop = end < 0 ? n : end + 2;
            out += QStringView(sql).mid(i, stop - i);
            i = stop - 1;
        } else if (c == QLatin1Char(':') && i + 1 < n && sql.at(i + 1) == QLatin1Char(':')) {
            out += QStringLiteral("::");
            ++i;
        } else if (c == QLatin1Char(':') && i + 1 < n && isNameStart(sql.at(i + 1))) {
            int end = i + 1;
            while (end < n && (sql.at(end).isLetterOrNumber() || sql.at(end) == QLatin1Char('_')))
                ++end;
            const QByteArray name = sql.mid(i, end - i).toUtf8();
            int number = names->indexOf(name) + 1;
            if (number == 0) {
                names->append(name);
                number = names->size();
            }
            out += QLatin1Char('$') + QString::number(number);
            i = end - 1;
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

// The key of the shop's one write lock, held to the end of a write transaction.
constexpr qint64 writeLockKey = 4172093865;

// Type numbers of the server's built-in types.
enum : Oid { BoolOid = 16, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, Float4Oid = 700, Float8Oid = 701,
             NumericOid = 1700 };

Error::Kind kindOf(PGconn* connection, const PGresult* result)
{
    if (PQstatus(connection) == CONNECTION_BAD)
        return Error::ConnectionLost;
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const QByteArray code(state ? state : "");
    if (code == "23505")
        return Error::UniqueViolation;
    if (code == "55P03" || code == "40P01" || code == "40001")
        return Error::LockTimeout;
    if (code.startsWith("08") || code == "57P01" || code == "57P02" || code == "57P03")
        return Error::ConnectionLost;
    return Error::Other;
}

// What may be sent again after a lost connection: it changed nothing.
bool changesNothing(const QString& sql)
{
    const QString start = sql.trimmed().left(6).toLower();
    return start == QLatin1String("select") || start.startsWith(QLatin1String("begin"));
}

// Throws unless `result` is a success; takes ownership of a failed result.
void check(PGconn* connection, PGresult* result, const QString& sql)
{
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return;
    QString message = QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(connection)).trimmed();
    if (message.isEmpty())
        message = QString::fromUtf8(PQerrorMessage(connection)).trimmed();
    const Error::Kind kind = kindOf(connection, result);
    PQclear(result);
    throw Error(message, 0, sql, kind);
}

class ServerEngine;

class ServerCursor final : public Cursor {
public:
    ServerCursor(ServerEngine& engine, const QString& sql);
    ~ServerCursor() override { PQclear(m_result); }

    int parameterIndex(const QByteArray& colonName) const override { return m_names.indexOf(colonName) + 1; }

    void bind(int index, const QVariant& value) override
    {
        clearResult();
        QByteArray& slot = m_values[index - 1];
        m_null[index - 1] = !value.isValid() || value.isNull();
        if (m_null[index - 1]) {
            slot.clear();
            return;
        }
        switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
            slot = QByteArray::number(value.toDouble(), 'g', 17);
            break;
        case QMetaType::Bool:
            slot = value.toBool() ? "1" : "0";
            break;
        case QMetaType::QDate:
        case QMetaType::QDateTime:
            slot = toStoredDateTime(value).toUtf8();
            // No date is no value: the server takes no blank as a date.
            m_null[index - 1] = slot.isEmpty();
            break;
        default:
            slot = value.toString().toUtf8();
            break;
        }
    }

    bool next() override
    {
        if (!m_result || m_row >= PQntuples(m_result))
            run();
        ++m_row;
        return m_row < PQntuples(m_result);
    }

    int execute() override;
    void reset() override { clearResult(); }

    int columnCount() override { return PQnfields(described()); }
    QString columnName(int column) override { return QString::fromUtf8(PQfname(described(), column)); }
    QString originTable(int column) override;
    QString originColumn(int column) override;
    QString declaredType(int column) override
    {
        switch (PQftype(described(), column)) {
        case Int2Oid:
        case Int4Oid:
        case Int8Oid:
        case BoolOid:
            return QStringLiteral("INTEGER");
        case Float4Oid:
        case Float8Oid:
        case NumericOid:
            return QStringLiteral("DOUBLE");
        default:
            return QStringLiteral("TEXT");
        }
    }

    bool isNull(int column) const override { return PQgetisnull(m_result, m_row, column); }
    double doubleValue(int column) const override
    {
        const char* text = PQgetvalue(m_result, m_row, column);
        return isBool(column) ? (*text == 't') : std::strtod(text, nullptr);
    }
    qint64 intValue(int column) const override
    {
        const char* text = PQgetvalue(m_result, m_row, column);
        if (isBool(column))
            return *text == 't';
        const QByteArrayView view(text, PQgetlength(m_result, m_row, column));
        bool ok = false;
        const qint64 whole = view.toLongLong(&ok);
        return ok ? whole : qint64(std::strtod(text, nullptr));
    }
    QByteArrayView utf8Text(int column) const override
    {
        if (PQgetisnull(m_result, m_row, column))
            return {};
        return QByteArrayView(PQgetvalue(m_result, m_row, column), PQgetlength(m_result, m_row, column));
    }
    QVariant value(int column) const override
    {
        if (PQgetisnull(m_result, m_row, column))
            return {};
        switch (PQftype(m_result, column)) {
        case Int2Oid:
        case Int4Oid:
        case Int8Oid:
        case BoolOid:
            return QVariant(intValue(column));
        case Float4Oid:
        case Float8Oid:
            return QVariant(doubleValue(column));
        case NumericOid: {
            // A whole number (a decimal column, a count) reads as an integer, as on the file.
            const QByteArrayView text = utf8Text(column);
            if (!text.contains('.'))
                return QVariant(intValue(column));
            return QVariant(doubleValue(column));
        }
        default: {
            const QByteArrayView text = utf8Text(column);
            return QVariant(QString::fromUtf8(text.data(), text.size()));
        }
        }
    }

private:
    bool isBool(int column) const { return PQftype(m_result, column) == BoolOid; }
    void clearResult()
    {
        PQclear(m_result);
        m_result = nullptr;
        m_row = -1;
    }
    void run();
    // The result's shape; a statement not yet run runs now to learn it.
    PGresult* described()
    {
        if (!m_result)
            run();
        return m_result;
    }

    ServerEngine& m_engine;
    QString m_sql;
    QList<QByteArray> m_names;   // before the SQL that numbers them
    QByteArray m_numberedSql;
    QList<QByteArray> m_values;
    QList<bool> m_null;
    PGresult* m_result = nullptr;
    int m_row = -1;
};

class ServerEngine final : public Engine {
public:
    explicit ServerEngine(PGconn* connection) : m_connection(connection) {}
    ~ServerEngine() override { PQfinish(m_connection); }

    PGconn* connection() const { return m_connection; }

    std::unique_ptr<Cursor> prepare(const QString& sql) override
    {
        return std::make_unique<ServerCursor>(*this, sql);
    }

    void execute(const QString& sql) override
    {
        const QByteArray text = sql.toUtf8();
        PGresult* result = send(sql, [&] { return PQexec(m_connection, text.constData()); });
        noteChanges(result);
        PQclear(result);
    }

    // Sends one statement and throws unless it succeeded. A connection found
    // lost while nothing was in flight (no transaction open, and a read or the
    // start of a transaction) is made anew and the statement sent once more,
    // so that a restarted server goes unnoticed.
    PGresult* send(const QString& sql, const std::function<PGresult*()>& once)
    {
        reconnectIfLost();
        PGresult* result = once();
        const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && !m_inTransaction && changesNothing(sql)
            && kindOf(m_connection, result) == Error::ConnectionLost) {
            PQclear(result);
            reconnect();
            result = once();
        }
        check(m_connection, result, sql);
        return result;
    }

    qint64 lastInsertRowId() override
    {
        PGresult* result = PQexec(m_connection, "select lastval()");
        check(m_connection, result, QStringLiteral("select lastval()"));
        const qint64 id = QByteArray(PQgetvalue(result, 0, 0)).toLongLong();
        PQclear(result);
        return id;
    }

    int changes() override { return m_changes; }

    // Every writer takes the one lock first, so saves run one after the other,
    // as on the file; readers never wait for it.
    void begin(TransactionKind kind) override
    {
        // Read only still writes temporary tables: the working tables are.
        execute(kind == TransactionKind::Snapshot ? QStringLiteral("begin isolation level repeatable read read only")
                                                  : QStringLiteral("begin isolation level read committed"));
        m_inTransaction = true;
        if (kind != TransactionKind::Write)
            return;
        try {
            execute(QStringLiteral("select pg_advisory_xact_lock(%1)").arg(writeLockKey));
        } catch (...) {
            rollback();
            throw;
        }
    }

    void commit() override
    {
        // The server turns the commit of a failed transaction into a rollback
        // without an error; that must not pass for a save.
        if (PQtransactionStatus(m_connection) == PQTRANS_INERROR) {
            rollback();
            throw Error(QStringLiteral("事务中的语句出错，修改没有保存"), 0, QStringLiteral("commit"));
        }
        try {
            execute(QStringLiteral("commit"));
        } catch (...) {
            rollback();
            throw;
        }
        m_inTransaction = false;
    }

    void rollback() noexcept override
    {
        executeQuietly(QStringLiteral("rollback"));
        m_inTransaction = false;
    }

    void executeEverySession(const QString& sql) override
    {
        execute(sql);
        m_sessionSetup << sql;
    }

    // A connection lost between saves is made anew, with what the session had.
    // Never inside a transaction: what it did before is gone, and must fail.
    void reconnectIfLost()
    {
        if (!m_inTransaction && PQstatus(m_connection) == CONNECTION_BAD)
            reconnect();
    }

    void reconnect()
    {
        PQreset(m_connection);
        if (PQstatus(m_connection) != CONNECTION_OK)
            throw Error(QString::fromUtf8(PQerrorMessage(m_connection)).trimmed(), 0, {}, Error::Unreachable);
        for (const QString& sql : std::as_const(m_sessionSetup))
            executeQuietly(sql);
    }

    void executeQuietly(const QString& sql) noexcept override
    {
        PQclear(PQexec(m_connection, sql.toUtf8().constData()));
    }

    void noteChanges(PGresult* result)
    {
        m_changes = QByteArray(PQcmdTuples(result)).toInt();
    }

    QString same(const QString& left, const QString& right) const override
    {
        return QStringLiteral("%1 is not distinct from %2").arg(left, right);
    }

    // A table of its own: the file keeps the number in its header.
    int shapeVersion() override
    {
        if (!tableNames().contains(QStringLiteral("shape_version")))
            return 0;
        const QStringList version = textsOf(QStringLiteral("select coalesce(max(version),0) from shape_version"));
        return version.value(0).toInt();
    }

    void setShapeVersion(int version) override
    {
        execute(QStringLiteral("delete from shape_version; insert into shape_version values (%1)").arg(version));
    }

    QStringList tableNames() override
    {
        return textsOf(QStringLiteral("select lower(tablename::text) from pg_tables where schemaname='public' "
                                      "order by 1"));
    }

    QStringList columnsOf(const QString& table) override
    {
        return textsOf(QStringLiteral("select lower(a.attname::text) from pg_attribute a "
                                      "where a.attrelid=to_regclass('public.' || quote_ident($1)) "
                                      "and a.attnum>0 and not a.attisdropped order by a.attnum"),
                       table.toLower());
    }

    bool hasIndex(const QString& name) override
    {
        return !textsOf(QStringLiteral("select 1 from pg_indexes where schemaname='public' and indexname=$1"),
                        name).isEmpty();
    }

    // The server keeps its own pages sound.
    QString integrityProblem() override { return {}; }
    void prepareForWork() override {}

    void counterFollowsRows(const QString& table, const QString& counter) override
    {
        execute(QStringLiteral("select setval(pg_get_serial_sequence('%1','%2'), coalesce(max(%2),0)+1, false) from %1")
                    .arg(table, counter));
    }

    // What the file's engine has built in or the program adds to it: case-blind
    // text, year(), month(), total() and round() of a double; and the version's table.
    void prepareShape() override
    {
        static const char* const functions[] = {
            "create extension if not exists citext",
            "create or replace function year(timestamp) returns integer language sql immutable "
            "as 'select extract(year from $1)::integer'",
            "create or replace function month(timestamp) returns integer language sql immutable "
            "as 'select extract(month from $1)::integer'",
            "create or replace function round(double precision, integer) returns double precision language sql "
            "immutable as 'select round($1::numeric, $2)::double precision'",
            "create or replace aggregate total(double precision) (sfunc = float8pl, stype = double precision, "
            "initcond = '0')",
            "create or replace aggregate total(numeric) (sfunc = numeric_add, stype = numeric, initcond = '0')",
            "create or replace function refuse_change() returns trigger language plpgsql "
            "as $$begin raise exception '% 只能追加，不能修改或删除', tg_table_name; end$$",
            "create table if not exists shape_version (version integer not null)",
        };
        for (const char* sql : functions)
            execute(QString::fromLatin1(sql));
    }

    void createTable(const Table& table) override
    {
        execute(Schema::createStatement(table, true));
        if (table.appendOnly)
            execute(QStringLiteral("create trigger %1_no_change before update or delete on %1 "
                                   "for each statement execute function refuse_change()")
                        .arg(table.name));
    }

    // A temporary table is the session's: made again whenever the connection is.
    void createWorkingTable(const Table& table) override
    {
        executeEverySession(QStringLiteral("create temp table %1 (like public.%1 including all)").arg(table.name));
    }

    void addColumn(const QString& table, const Column& column) override
    {
        execute(QStringLiteral("alter table %1 add column %2").arg(table, columnDefinition(column, true)));
    }

    QString tableName(Oid table)
    {
        if (table == InvalidOid)
            return {};
        return catalogue(table).value(0);
    }

    QString columnName(Oid table, int number)
    {
        if (table == InvalidOid || number <= 0)
            return {};
        return catalogue(table).value(number);
    }

private:
    // The first column of every row of `sql`, with at most one parameter.
    QStringList textsOf(const QString& sql, const QString& parameter = {})
    {
        const QByteArray text = sql.toUtf8(), value = parameter.toUtf8();
        const char* values[] = {value.constData()};
        PGresult* result = send(sql, [&] {
            return PQexecParams(m_connection, text.constData(), parameter.isNull() ? 0 : 1, nullptr, values,
                                nullptr, nullptr, 0);
        });
        QStringList texts;
        for (int row = 0; row < PQntuples(result); ++row)
            texts << QString::fromUtf8(PQgetvalue(result, row, 0));
        PQclear(result);
        return texts;
    }

    // A table's name (at 0) and its columns' names (at their numbers), read once.
    const QHash<int, QString>& catalogue(Oid table)
    {
        auto it = m_catalogue.find(table);
        if (it != m_catalogue.end())
            return *it;
        QHash<int, QString> names;
        const QByteArray sql = "select 0, relname::text from pg_class where oid=" + QByteArray::number(table)
                               + " union all select attnum, attname::text from pg_attribute where attrelid="
                               + QByteArray::number(table) + " and attnum>0 and not attisdropped";
        PGresult* result = PQexec(m_connection, sql.constData());
        check(m_connection, result, QString::fromUtf8(sql));
        for (int row = 0; row < PQntuples(result); ++row)
            names.insert(QByteArray(PQgetvalue(result, row, 0)).toInt(), QString::fromUtf8(PQgetvalue(result, row, 1)));
        PQclear(result);
        return *m_catalogue.insert(table, names);
    }

    PGconn* m_connection;
    bool m_inTransaction = false;
    QStringList m_sessionSetup;
    int m_changes = 0;
    QHash<Oid, QHash<int, QString>> m_catalogue;
};

ServerCursor::ServerCursor(ServerEngine& engine, const QString& sql)
    : m_engine(engine), m_sql(sql), m_numberedSql(numberedParameters(sql, &m_names).toUtf8())
{
    if (sql.trimmed().isEmpty())
        throw Error(QStringLiteral("空语句"), 0, sql);
    m_values.resize(m_names.size());
    m_null.fill(true, m_names.size());
}

void ServerCursor::run()
{
    clearResult();
    QList<const char*> values(m_values.size());
    for (int i = 0; i < m_values.size(); ++i)
        values[i] = m_null[i] ? nullptr : m_values[i].constData();
    // Sent untyped, so the server reads each value as the type its place needs.
    PGresult* result = m_engine.send(m_sql, [&] {
        return PQexecParams(m_engine.connection(), m_numberedSql.constData(), int(values.size()), nullptr,
                            values.constData(), nullptr, nullptr, 0);
    });
    m_engine.noteChanges(result);
    m_result = result;
    m_row = -1;
}

int ServerCursor::execute()
{
    run();
    m_row = PQntuples(m_result);
    return m_engine.changes();
}

QString ServerCursor::originTable(int column)
{
    return m_engine.tableName(PQftable(described(), column));
}

QString ServerCursor::originColumn(int column)
{
    return m_engine.columnName(PQftable(described(), column), PQftablecol(described(), column));
}

} // namespace

namespace {

// libpq keeps no result of a refused start, only its text; in the verbose form
// that text carries the server's code after the severity ("FATAL:  28P01: …"),
// in whatever language the server speaks.
QByteArray refusalCode(const QString& message)
{
    static const QRegularExpression code(QStringLiteral(":  ([0-9A-Z]{5}): "));
    return code.match(message).captured(1).toLatin1();
}

// The verbose text as the user reads it: without the code and the server's source line.
QString readable(QString message)
{
    static const QRegularExpression code(QStringLiteral("(?<=:  )[0-9A-Z]{5}: "));
    static const QRegularExpression sourceLine(QStringLiteral("\\n[^\\n]*:  \\w+, [\\w.]+\\.c:\\d+(?=\\n|$)"));
    return message.remove(code).remove(sourceLine).trimmed();
}

bool resolves(const QString& host)
{
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int rc = getaddrinfo(host.toUtf8().constData(), nullptr, &hints, &found);
    if (found)
        freeaddrinfo(found);
    return rc == 0;
}

// Why a connection was not let in. `answered`: something at the address took
// the connection; `code`: the server's reason, when it gave one.
Error::Kind refusal(PGconn* connection, const ServerAddress& address, const QByteArray& code, bool answered,
                    bool timedOut)
{
    if (PQconnectionNeedsPassword(connection))
        return Error::PasswordNeeded;
    if (code == "28P01")
        return address.password.isEmpty() ? Error::PasswordNeeded : Error::PasswordWrong;
    if (code == "3D000")
        return Error::NoSuchDatabase;
    if (code.startsWith("28"))
        return Error::UserRefused;
    if (timedOut)
        return Error::NoAnswer;
    if (!code.isEmpty() || answered)
        return Error::Other;
    // A socket folder is no name to look up.
    if (!address.host.isEmpty() && !address.host.startsWith(QLatin1Char('/')) && !resolves(address.host))
        return Error::UnknownHost;
    return Error::NotListening;
}

constexpr int connectWaitMs = 5000;

} // namespace

std::unique_ptr<Engine> openServerEngine(const ServerAddress& address)
{
    const QByteArray host = address.host.toUtf8(), port = QByteArray::number(address.port),
                     database = address.database.toUtf8(), user = address.user.toUtf8(),
                     password = address.password.toUtf8(), sslMode = address.sslMode.toUtf8(),
                     waitSeconds = QByteArray::number(connectWaitMs / 1000);
    // A save waits 5 s for another PC's lock, then says so; a PC left in the
    // middle of a transaction lets go after ten minutes.
    const char* keys[] = {"host", "port", "dbname", "user", "password", "sslmode", "connect_timeout",
                          "client_encoding", "application_name", "options", nullptr};
    const char* values[] = {host.constData(), port.constData(), database.constData(), user.constData(),
                            password.isEmpty() ? nullptr : password.constData(), sslMode.constData(),
                            waitSeconds.constData(), "UTF8", "brovanta",
                            "-c lock_timeout=5000 -c idle_in_transaction_session_timeout=600000 "
                            "-c datestyle=ISO,YMD -c extra_float_digits=1",
                            nullptr};
    PGconn* connection = PQconnectStartParams(keys, values, 0);
    if (!connection)
        throw Error(QStringLiteral("内存不足，无法连接服务器"), 0, {}, Error::Unreachable);
    PQsetErrorVerbosity(connection, PQERRORS_VERBOSE);
    // Step by step, to know how far it got and whether the wait ran out.
    const QDeadlineTimer deadline(connectWaitMs);
    PostgresPollingStatusType step = PGRES_POLLING_WRITING;
    bool answered = false, timedOut = false;
    while (PQstatus(connection) != CONNECTION_BAD && step != PGRES_POLLING_OK && step != PGRES_POLLING_FAILED) {
        pollfd wait{PQsocket(connection), short(step == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        const int ready = ::poll(&wait, 1, int(deadline.remainingTime()));
        if (ready == 0) {
            timedOut = true;
            break;
        }
        if (ready < 0 && errno != EINTR)
            break;
        step = PQconnectPoll(connection);
        const ConnStatusType status = PQstatus(connection);
        answered = answered || (status != CONNECTION_STARTED && status != CONNECTION_NEEDED && status != CONNECTION_BAD);
    }
    if (step != PGRES_POLLING_OK || PQstatus(connection) != CONNECTION_OK) {
        const QString message = QString::fromUtf8(PQerrorMessage(connection));
        const Error::Kind kind = refusal(connection, address, refusalCode(message), answered, timedOut);
        PQfinish(connection);
        throw Error(timedOut ? QStringLiteral("%1 秒内没有应答").arg(connectWaitMs / 1000) : readable(message),
                    0, {}, kind);
    }
    PQsetErrorVerbosity(connection, PQERRORS_DEFAULT);
    // The server's notices ("does not exist, skipping") are not for the user.
    PQsetNoticeProcessor(connection, [](void*, const char*) {}, nullptr);
    return std::make_unique<ServerEngine>(connection);
}

} // namespace db
