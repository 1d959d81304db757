#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace db {

class Connection;

enum class ColumnType { Text, Double, DateTime, Counter, Decimal };

struct Column {
    QString name;
    ColumnType type;
    int size = 0;            // characters, for text columns
    QVariant defaultValue;   // invalid when the column has none
    int since = 1;           // the shape version that added it
};

struct Table {
    QString name;
    QList<Column> columns;
    int since = 1;           // the shape version that added it
    bool appendOnly = false; // rows are never updated or deleted
};

// Numbers a database holds more than once, so that it cannot make their unique index.
struct DuplicateNumbers {
    QString table;
    QString column;
    QStringList numbers;     // each number held twice or more, in order
    int rows = 0;            // the rows holding them
};

// The tables of the database, each with its columns in table order.
class Schema {
public:
    static const QList<Table>& tables();
    static const Table* table(const QString& name);
    // Any table's column of this name (a column name means the same thing in every table).
    static const Column* column(const QString& name);
    static const Column* column(const QString& table, const QString& name);

    // Creates every table in an empty database and marks it with the current version.
    static void create(Connection& connection);
    // On a server the types differ, and a table without a counter gets a last
    // column `rowid` (the file's engine has one built in).
    static QString createStatement(const Table& table, bool server = false);
    // The column that tells a table's rows apart on both engines: its counter, else rowid.
    static QString rowIdColumn(const QString& table);
    // The table's counter column; none when it has none.
    static const Column* counterColumn(const QString& table);
    // Gives the connection its own working tables (outtemp, chektemp, miostemp,
    // mios) as temporary tables that hide the file's: two programs on one file
    // never empty each other's working rows.
    static void createScratchTables(Connection& connection);
    static bool isScratch(const QString& table);

    // Makes the unique indexes of the bill and voucher numbers (inmain, outmain,
    // gathmain, paymain) and the goods codes that the database lacks. A table that holds a number
    // twice is left as it is, without its index, and returned; a later call
    // makes the index once the duplicates are gone (on a server, a call by its
    // owner: its PCs only learn of the duplicates). Nothing is rewritten.
    static QList<DuplicateNumbers> makeUniqueNumbers(Connection& connection);
    // Before a copy of every row: the numbers come as they are, then makeUniqueNumbers.
    // A server's PCs keep the indexes, which then refuse a copy that holds a number twice.
    static void dropUniqueNumbers(Connection& connection);

    // The shape version this program writes: the highest `since` of any table or column.
    static int version();
    // The database's version (the file's PRAGMA user_version, a server's
    // shape_version); 0 for a file of the first release.
    static int fileVersion(Connection& connection);
    // Marks the database with `version` (a copy keeps its source's, so that it
    // is brought to the current shape when it is opened).
    static void setFileVersion(Connection& connection, int version);
    // The (lower-case) names of the columns a database's table has; none when it lacks the table.
    static QStringList columnsOf(Connection& connection, const QString& table);
    // Adds what the file's version lacks (tables, columns at the end, indexes) and
    // marks it current, in one transaction. Nothing is renamed or retyped.
    static void upgrade(Connection& connection);
};

} // namespace db
