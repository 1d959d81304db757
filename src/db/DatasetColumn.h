#pragma once

#include "db/Field.h"
#include "db/TextPool.h"

#include <QVariant>
#include <vector>

namespace db {

// The values of one data field for every record of a dataset, held by type:
// numbers as numbers, text as ids into the column's pool, NULL as a flag.
class DatasetColumn {
public:
    explicit DatasetColumn(FieldType type = FieldType::String) : m_type(type) {}

    FieldType type() const { return m_type; }
    qsizetype size() const { return qsizetype(m_null.size()); }

    // Appending while reading a statement.
    void appendNull();
    void appendDouble(double value);
    void appendInteger(qint64 value);
    void appendText(QByteArrayView utf8);
    void appendStoredDateTime(QByteArrayView utf8);   // "yyyy-MM-dd hh:mm:ss"
    void removeLast();

    bool isNull(qsizetype record) const { return m_null[size_t(record)]; }
    QVariant value(qsizetype record) const;
    void setValue(qsizetype record, const QVariant& value);
    // The text of a text column's record; a null string for NULL.
    QString text(qsizetype record) const;
    // A text column's record's place in the column's distinct texts; equal texts share it.
    quint32 textId(qsizetype record) const { return m_textIds[size_t(record)]; }
    qsizetype textCount() const { return m_pool.size(); }

private:
    void store(qsizetype record, const QVariant& value);
    static qint64 packDateTime(const QDateTime& dt);

    FieldType m_type;
    std::vector<bool> m_null;
    std::vector<double> m_doubles;     // Double
    std::vector<qint64> m_integers;    // Integer; DateTime as day * ms-per-day + ms of the day
    std::vector<quint32> m_textIds;    // String
    TextPool m_pool;
};

} // namespace db
