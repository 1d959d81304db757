#include "db/SqliteEngine.h"

#include "db/Error.h"
#include "db/Statement.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QObject>
#include <QThread>
#include <QTimer>

namespace db {

namespace {

// Dates are stored as "yyyy-MM-dd hh:mm:ss"; year() and month() read the text directly.
void datePart(sqlite3_context* context, int argc, sqlite3_value** argv, int from, int length)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int size = sqlite3_value_bytes(argv[0]);
    if (!text || size < from + length) {
        sqlite3_result_null(context);
        return;
    }
    int value = 0;
    for (int i = from; i < from + length; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            sqlite3_result_null(context);
            return;
        }
        value = value * 10 + (text[i] - '0');
    }
    sqlite3_result_int(context, value);
}

void yearFunction(sqlite3_context* c, int argc, sqlite3_value** argv) { datePart(c, argc, argv, 0, 4); }
void monthFunction(sqlite3_context* c, int argc, sqlite3_value** argv) { datePart(c, argc, argv, 5, 2); }

// Another copy of the program may save bill after bill; a save waits up to
// writeWaitMs for its turn. The pauses grow but stay short, so a waiting save
// looks again soon after the other one commits instead of sleeping through it.
constexpr int writeWaitMs = 10000;

int pauseMs(int attempt) { return qMin(1 << qMin(attempt, 5), 25); }   // 1, 2, 4 … 25 ms

int waitForTurn(void*, int attempt)
{
    // The pauses so far: 1 + 2 + 4 + 8 + 16, then 25 each.
    const int waited = attempt <= 5 ? (1 << attempt) - 1 : 31 + 25 * (attempt - 5);
    if (waited >= writeWaitMs)
        return 0;
    sqlite3_sleep(pauseMs(attempt));
    return 1;
}

// The extended code tells "the file was replaced" apart from "the file is read-only".
int errorCode(sqlite3* handle, int resultCode)
{
    return handle ? sqlite3_extended_errcode(handle) : resultCode;
}
Error::Kind errorKind(int code)
{
    if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY)
        return Error::UniqueViolation;
    if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED)
        return Error::LockTimeout;
    return Error::Other;
}

class FileCursor final : public Cursor {
public:
    FileCursor(sqlite3* handle, const QString& sql) : m_handle(handle), m_sql(sql)
    {
        const QByteArray text = sql.toUtf8();
        check(handle, sqlite3_prepare_v2(handle, text.constData(), text.size(), &m_statement, nullptr), sql);
        if (!m_statement)
            throw Error(QStringLiteral("空语句"), SQLITE_MISUSE, sql);
    }
    ~FileCursor() override { sqlite3_finalize(m_statement); }

    int parameterIndex(const QByteArray& colonName) const override
    {
        return sqlite3_bind_parameter_index(m_statement, colonName.constData());
    }

    void bind(int index, const QVariant& value) override
    {
        // A statement that has run takes new values only after a reset; binding
        // starts the next run on both engines.
        sqlite3_reset(m_statement);
        int rc = SQLITE_OK;
        if (!value.isValid() || value.isNull()) {
            rc = sqlite3_bind_null(m_statement, index);
        } else {
            switch (value.typeId()) {
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_statement, index, value.toDouble());
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Long:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(m_statement, index, value.toLongLong());
                break;
            default: {
                const QByteArray text = (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime
                                             ? toStoredDateTime(value)
                                             : value.toString())
                                            .toUtf8();
                rc = sqlite3_bind_text(m_statement, index, text.constData(), text.size(), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        check(m_handle, rc, m_sql);
    }

    bool next() override
    {
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        sqlite3_reset(m_statement);
        check(m_handle, rc, m_sql);
        return false;
    }

    int execute() override
    {
        while (next()) {
        }
        return sqlite3_changes(m_handle);
    }

    void reset() override { sqlite3_reset(m_statement); }

    int columnCount() override { return sqlite3_column_count(m_statement); }
    QString columnName(int column) override { return QString::fromUtf8(sqlite3_column_name(m_statement, column)); }
    QString originTable(int column) override
    {
        return QString::fromUtf8(sqlite3_column_table_name(m_statement, column));
    }
    QString originColumn(int column) override
    {
        return QString::fromUtf8(sqlite3_column_origin_name(m_statement, column));
    }
    QString declaredType(int column) override
    {
        return QString::fromUtf8(sqlite3_column_decltype(m_statement, column));
    }
    bool isNull(int column) const override { return sqlite3_column_type(m_statement, column) == SQLITE_NULL; }
    double doubleValue(int column) const override { return sqlite3_column_double(m_statement, column); }
    qint64 intValue(int column) const override { return sqlite3_column_int64(m_statement, column); }
    QByteArrayView utf8Text(int column) const override
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        return text ? QByteArrayView(text, sqlite3_column_bytes(m_statement, column)) : QByteArrayView();
    }
    QVariant value(int column) const override
    {
        switch (sqlite3_column_type(m_statement, column)) {
        case SQLITE_INTEGER:
            return QVariant(intValue(column));
        case SQLITE_FLOAT:
            return QVariant(doubleValue(column));
        case SQLITE_NULL:
            return QVariant();
        default: {
            const QByteArrayView text = utf8Text(column);
            return QVariant(QString::fromUtf8(text.data(), text.size()));
        }
        }
    }

private:
    sqlite3* m_handle;
    sqlite3_stmt* m_statement = nullptr;
    QString m_sql;
};

class FileEngine final : public Engine {
public:
    explicit FileEngine(sqlite3* handle) : m_handle(handle) { sqlite3_wal_hook(handle, &FileEngine::logWritten, this); }
    ~FileEngine() override { sqlite3_close_v2(m_handle); }

    sqlite3* handle() const { return m_handle; }

    std::unique_ptr<Cursor> prepare(const QString& sql) override
    {
        return std::make_unique<FileCursor>(m_handle, sql);
    }

    void execute(const QString& sql) override
    {
        char* errorText = nullptr;
        const int rc = sqlite3_exec(m_handle, sql.toUtf8().constData(), nullptr, nullptr, &errorText);
        if (rc != SQLITE_OK) {
            const QString message = errorText ? QString::fromUtf8(errorText) : QString::fromUtf8(sqlite3_errstr(rc));
            sqlite3_free(errorText);
            throw Error(message, errorCode(m_handle, rc), sql, errorKind(errorCode(m_handle, rc)));
        }
    }

    qint64 lastInsertRowId() override { return sqlite3_last_insert_rowid(m_handle); }
    int changes() override { return sqlite3_changes(m_handle); }

    // A deferred transaction reads one snapshot of the file from its first read
    // on, and the working tables are the connection's own: Snapshot needs no more.
    void begin(TransactionKind kind) override
    {
        execute(kind == TransactionKind::Write ? QStringLiteral("begin immediate") : QStringLiteral("begin"));
    }

    void commit() override
    {
        try {
            execute(QStringLiteral("commit"));
        } catch (...) {
            rollback();
            throw;
        }
    }

    void rollback() noexcept override { executeQuietly(QStringLiteral("rollback")); }

    void executeQuietly(const QString& sql) noexcept override
    {
        sqlite3_exec(m_handle, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    }

    QString same(const QString& left, const QString& right) const override
    {
        return QStringLiteral("%1 is %2").arg(left, right);
    }

    int shapeVersion() override { return intOf(QStringLiteral("pragma user_version")); }
    void setShapeVersion(int version) override { execute(QStringLiteral("pragma user_version=%1").arg(version)); }

    QStringList tableNames() override
    {
        return textsOf(QStringLiteral("select lower(name) from sqlite_master where type='table' "
                                      "and name not like 'sqlite\\_%' escape '\\' order by name"), 0);
    }

    QStringList columnsOf(const QString& table) override
    {
        QStringList names = textsOf(QStringLiteral("pragma table_info(\"%1\")").arg(table), 1);
        for (QString& name : names)
            name = name.toLower();
        return names;
    }

    bool hasIndex(const QString& name) override
    {
        FileCursor query(m_handle, QStringLiteral("select 1 from sqlite_master where type='index' and name=:name"));
        query.bind(1, name);
        return query.next();
    }

    QString integrityProblem() override
    {
        const QStringList verdict = textsOf(QStringLiteral("pragma integrity_check"), 0);
        return verdict == QStringList{QStringLiteral("ok")} ? QString() : verdict.join(QLatin1Char('\n'));
    }

    // The mode stays with the file: a backup reading on a connection of its own
    // never holds up a save. Where the file system has no shared memory the
    // engine keeps its rollback journal; the program still works.
    void prepareForWork() override { execute(QStringLiteral("pragma journal_mode=wal")); }

    // A counter of the file's numbers on after its highest row by itself.
    void counterFollowsRows(const QString&, const QString&) override {}

    // The file has all the statements use (year() and month() come with the connection).
    void prepareShape() override {}

    void createTable(const Table& table) override
    {
        execute(Schema::createStatement(table));
        if (table.appendOnly)
            for (const char* change : {"update", "delete"})
                execute(QStringLiteral("create trigger %1_no_%2 before %2 on %1 "
                                       "begin select raise(abort, '%1 只能追加，不能修改或删除'); end")
                            .arg(table.name, QString::fromLatin1(change)));
        roundWholeAmounts(table, false);
    }

    void createWorkingTable(const Table& table) override
    {
        execute(QStringLiteral("create temp") + Schema::createStatement(table).mid(6));
        roundWholeAmounts(table, true);
    }

    void addColumn(const QString& table, const Column& column) override
    {
        execute(QStringLiteral("alter table %1 add column %2").arg(table, columnDefinition(column, false)));
    }

private:
    // decimal(18,0): a fractional value is rounded half away from zero when stored.
    void roundWholeAmounts(const Table& table, bool temporary)
    {
        const Column* amount = Schema::column(table.name, QStringLiteral("now_amou"));
        if (!amount || amount->type != ColumnType::Decimal)
            return;
        for (const char* when : {"insert", "update of now_amou"})
            execute(QStringLiteral("create %4 trigger %1_round_%2 after %3 on %1 when typeof(new.now_amou)='real' "
                                   "begin update %1 set now_amou=cast(round(new.now_amou) as integer) "
                                   "where rowid=new.rowid; end")
                        .arg(table.name, QString::fromLatin1(when).section(QLatin1Char(' '), 0, 0),
                             QString::fromLatin1(when), temporary ? QStringLiteral("temp") : QString()));
    }

    qint64 intOf(const QString& sql)
    {
        FileCursor query(m_handle, sql);
        return query.next() ? query.intValue(0) : 0;
    }

    QStringList textsOf(const QString& sql, int column)
    {
        FileCursor query(m_handle, sql);
        QStringList texts;
        while (query.next())
            texts << query.value(column).toString();
        return texts;
    }

    // After each commit into the write-ahead log: the log is folded back into
    // the file once the program is idle, so that the file alone (copied to a
    // stick while the program runs) holds every save.
    static int logWritten(void* self, sqlite3*, const char*, int pages)
    {
        static_cast<FileEngine*>(self)->foldLogWhenIdle(pages);
        return SQLITE_OK;
    }

    void foldLogWhenIdle(int pages)
    {
        // A long run of writes (an import) folds as it goes, as the engine's own
        // automatic fold would, and a worker's thread may never return to an
        // event loop: both fold at once.
        if (pages >= 1000 || !QCoreApplication::instance()
            || QThread::currentThread() != QCoreApplication::instance()->thread()) {
            foldLog();
            return;
        }
        if (m_foldDue)
            return;
        m_foldDue = true;
        QTimer::singleShot(0, &m_idle, [this] {
            m_foldDue = false;
            foldLog();
        });
    }

    // Passive: copies what no reader still needs and waits for nobody; what
    // is left goes at the next fold.
    void foldLog() noexcept { sqlite3_wal_checkpoint_v2(m_handle, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr); }

    sqlite3* m_handle;
    QObject m_idle;   // a fold still due goes with the engine
    bool m_foldDue = false;
};

} // namespace

void check(sqlite3* handle, int resultCode, const QString& sql)
{
    if (resultCode == SQLITE_OK || resultCode == SQLITE_ROW || resultCode == SQLITE_DONE)
        return;
    const QString message = handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                                   : QString::fromUtf8(sqlite3_errstr(resultCode));
    throw Error(message, errorCode(handle, resultCode), sql, errorKind(errorCode(handle, resultCode)));
}

std::unique_ptr<Engine> openFileEngine(const QString& path, const QString& key, bool create)
{
    if (!create && !QFileInfo::exists(path))
        throw Error(QStringLiteral("数据库文件不存在: %1").arg(path), SQLITE_CANTOPEN);

    sqlite3* handle = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                                       : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(handle);
        throw Error(message, rc);
    }
    auto engine = std::make_unique<FileEngine>(handle);
    const QByteArray keyBytes = key.toUtf8();
    check(handle, sqlite3_key(handle, keyBytes.constData(), keyBytes.size()));
    sqlite3_busy_handler(handle, waitForTurn, nullptr);
    // Reading the catalogue is the first read that needs the key: a wrong key or a
    // file that is no database fails here.
    engine->execute(QStringLiteral("select count(*) from sqlite_master"));
    check(handle, sqlite3_create_function(handle, "year", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                          yearFunction, nullptr, nullptr));
    check(handle, sqlite3_create_function(handle, "month", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                          monthFunction, nullptr, nullptr));
    return engine;
}

sqlite3* fileHandle(Engine& engine)
{
    auto* file = dynamic_cast<FileEngine*>(&engine);
    if (!file)
        throw Error(QStringLiteral("店铺服务器上不能这样做，只有本机文件可以"));
    return file->handle();
}

} // namespace db
