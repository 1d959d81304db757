#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace db {

class Connection;

enum class ColumnType { Text, Double, DateTime, Counter, Decimal };

struct Column {
    QString name;
    ColumnType type;
    int size = 0;            // characters, for text columns
    QVariant defaultValue;   // invalid when the column has none
};

struct Table {
    QString name;
    QList<Column> columns;
};

// The tables of the database, each with its columns in table order.
class Schema {
public:
    static const QList<Table>& tables();
    static const Table* table(const QString& name);
    // Any table's column of this name (a column name means the same thing in every table).
    static const Column* column(const QString& name);
    static const Column* column(const QString& table, const QString& name);

    // Creates every table in an empty database.
    static void create(Connection& connection);
    // Adds the indexes a file made by an earlier version lacks; existing ones stay.
    static void createIndexes(Connection& connection);
    static QString createStatement(const Table& table);
};

} // namespace db
