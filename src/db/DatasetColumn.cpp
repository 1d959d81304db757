#include "db/DatasetColumn.h"

#include <QDateTime>
#include <limits>

namespace db {

namespace {

constexpr qint64 msPerDay = 86400000;
constexpr qint64 invalidDateTime = std::numeric_limits<qint64>::min();

int digits(QByteArrayView text, int from, int count)
{
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

void DatasetColumn::appendNull()
{
    m_null.push_back(true);
    switch (m_type) {
    case FieldType::String:
        m_textIds.push_back(0);
        break;
    case FieldType::Double:
        m_doubles.push_back(0);
        break;
    case FieldType::Integer:
    case FieldType::DateTime:
        m_integers.push_back(0);
        break;
    }
}

void DatasetColumn::appendDouble(double value)
{
    m_null.push_back(false);
    m_doubles.push_back(value);
}

void DatasetColumn::appendInteger(qint64 value)
{
    m_null.push_back(false);
    m_integers.push_back(value);
}

void DatasetColumn::appendText(QByteArrayView utf8)
{
    m_null.push_back(false);
    m_textIds.push_back(m_pool.intern(utf8));
}

// Reads the stored form without the cost of a format parser; what is not a
// date-time reads as NULL.
void DatasetColumn::appendStoredDateTime(QByteArrayView text)
{
    if (text.size() >= 10) {
        const int year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2);
        int hour = 0, minute = 0, second = 0;
        if (text.size() >= 19) {
            hour = digits(text, 11, 2);
            minute = digits(text, 14, 2);
            second = digits(text, 17, 2);
        }
        const QDate date(year, month, day);
        const QTime time(hour, minute, second);
        if (date.isValid() && time.isValid()) {
            appendInteger(date.toJulianDay() * msPerDay + time.msecsSinceStartOfDay());
            return;
        }
    }
    appendNull();
}

void DatasetColumn::removeLast()
{
    m_null.pop_back();
    switch (m_type) {
    case FieldType::String:
        m_textIds.pop_back();
        break;
    case FieldType::Double:
        m_doubles.pop_back();
        break;
    case FieldType::Integer:
    case FieldType::DateTime:
        m_integers.pop_back();
        break;
    }
}

qint64 DatasetColumn::packDateTime(const QDateTime& dt)
{
    if (!dt.isValid())
        return invalidDateTime;
    return dt.date().toJulianDay() * msPerDay + dt.time().msecsSinceStartOfDay();
}

void DatasetColumn::store(qsizetype record, const QVariant& value)
{
    const auto r = size_t(record);
    if (!value.isValid() || value.isNull()) {
        m_null[r] = true;
        return;
    }
    m_null[r] = false;
    switch (m_type) {
    case FieldType::String:
        m_textIds[r] = m_pool.intern(value.toString());
        break;
    case FieldType::Double:
        m_doubles[r] = value.toDouble();
        break;
    case FieldType::Integer:
        m_integers[r] = value.toLongLong();
        break;
    case FieldType::DateTime:
        m_integers[r] = packDateTime(value.toDateTime());
        break;
    }
}

void DatasetColumn::setValue(qsizetype record, const QVariant& value)
{
    store(record, value);
}

QVariant DatasetColumn::value(qsizetype record) const
{
    const auto r = size_t(record);
    if (m_null[r])
        return {};
    switch (m_type) {
    case FieldType::String:
        return m_pool.text(m_textIds[r]);
    case FieldType::Double:
        return m_doubles[r];
    case FieldType::Integer:
        return qlonglong(m_integers[r]);
    case FieldType::DateTime: {
        const qint64 packed = m_integers[r];
        if (packed == invalidDateTime)
            return QDateTime();
        const qint64 day = packed >= 0 ? packed / msPerDay : (packed - msPerDay + 1) / msPerDay;
        return QDateTime(QDate::fromJulianDay(day), QTime::fromMSecsSinceStartOfDay(int(packed - day * msPerDay)));
    }
    }
    return {};
}

QString DatasetColumn::text(qsizetype record) const
{
    const auto r = size_t(record);
    if (m_null[r])
        return {};
    if (m_type == FieldType::String)
        return m_pool.text(m_textIds[r]);
    return value(record).toString();
}

} // namespace db
