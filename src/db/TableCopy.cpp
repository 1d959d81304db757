#include "db/TableCopy.h"

#include "db/Connection.h"
#include "db/Engine.h"
#include "db/Error.h"
#include "db/Schema.h"
#include "db/Statement.h"
#include "db/Transaction.h"

namespace db {

namespace {

qint64 rowCount(Connection& connection, const QString& table)
{
    Statement count(connection, QStringLiteral("select count(*) from %1").arg(table));
    count.next();
    return count.intValue(0);
}

// The file takes any value in any column; a server takes no blank as a date or number.
QVariant cleaned(const Column& column, const QVariant& value)
{
    if (column.type != ColumnType::Text && value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty())
        return {};
    return value;
}

// Copies the rows of `table`, in the `columns` both databases have, and checks their number.
void copyRows(Connection& from, Connection& to, const QString& table, const QList<Column>& columns)
{
    QStringList names, parameters;
    for (const Column& c : columns) {
        names << c.name;
        parameters << QLatin1Char(':') + c.name;
    }
    const QString list = names.join(QLatin1Char(','));
    Statement read(from, QStringLiteral("select %1 from %2 order by %3").arg(list, table, Schema::rowIdColumn(table)));
    Statement write(to, QStringLiteral("insert into %1 (%2) values (%3)")
                            .arg(table, list, parameters.join(QLatin1Char(','))));
    while (read.next()) {
        for (int c = 0; c < columns.size(); ++c)
            write.bind(names.at(c), cleaned(columns.at(c), read.value(c)));
        write.execute();
    }
    if (const Column* counter = Schema::counterColumn(table))
        to.engine().counterFollowsRows(table, counter->name);
    if (rowCount(from, table) != rowCount(to, table))
        throw Error(QStringLiteral("复制表 %1 时行数不符，没有复制任何数据").arg(table));
}

} // namespace

void copyTables(Connection& from, Connection& to, const BackupProgress& progress, CopyInto into)
{
    QList<const Table*> tables;
    for (const Table& t : Schema::tables())
        if (!Schema::isScratch(t.name) && !(into == CopyInto::Replace && t.appendOnly))
            tables << &t;

    // One snapshot of the source, one transaction on the target.
    Transaction reading(from, Transaction::Snapshot);
    Transaction writing(to, Transaction::Write);
    for (const Table* table : tables) {
        if (into == CopyInto::Replace)
            to.execute(QStringLiteral("delete from %1").arg(table->name));
        else if (rowCount(to, table->name) > 0)
            throw Error(QStringLiteral("目标数据库已有数据（表 %1），没有复制任何数据").arg(table->name));
    }
    // Numbers are copied as they are, an older database's duplicates too; the
    // unique indexes follow wherever the numbers allow.
    Schema::dropUniqueNumbers(to);
    int done = 0;
    for (const Table* table : tables) {
        // A source of an older shape lacks the later tables and columns.
        const QStringList present = Schema::columnsOf(from, table->name);
        QList<Column> copied;
        for (const Column& c : table->columns)
            if (present.contains(c.name.toLower()))
                copied << c;
        if (!copied.isEmpty())
            copyRows(from, to, table->name, copied);
        if (progress && !progress(++done, int(tables.size())))
            throw Error(QStringLiteral("复制已取消，没有复制任何数据"));
    }
    Schema::makeUniqueNumbers(to);
    writing.commit();
    reading.commit();
}

} // namespace db
