#include "db/Field.h"

#include "db/Error.h"

#include <QDateTime>
#include <QRegularExpression>
#include <cmath>

namespace db {

QString formatNumber(double value, const QString& format)
{
    if (format.isEmpty()) {
        QString text = QString::number(value, 'f', 10);
        if (text.contains(QLatin1Char('.'))) {
            while (text.endsWith(QLatin1Char('0')))
                text.chop(1);
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
        }
        return text == QLatin1String("-0") ? QStringLiteral("0") : text;
    }
    const int point = format.indexOf(QLatin1Char('.'));
    const QString fraction = point >= 0 ? format.mid(point + 1) : QString();
    const int required = fraction.count(QLatin1Char('0'));
    const int optional = fraction.count(QLatin1Char('#'));
    QString text = QString::number(value, 'f', required + optional);
    if (optional > 0 && text.contains(QLatin1Char('.'))) {
        int removable = optional;
        while (removable > 0 && text.endsWith(QLatin1Char('0'))) {
            text.chop(1);
            --removable;
        }
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    if (format.contains(QLatin1Char(','))) {
        const bool negative = text.startsWith(QLatin1Char('-'));
        if (negative)
            text.remove(0, 1);
        int end = text.indexOf(QLatin1Char('.'));
        if (end < 0)
            end = text.size();
        for (int i = end - 3; i > 0; i -= 3)
            text.insert(i, QLatin1Char(','));
        if (negative)
            text.prepend(QLatin1Char('-'));
    }
    // "-0" after rounding reads as a sign error on a bill.
    static const QRegularExpression negativeZero(QStringLiteral("^-0(\\.0*)?$"));
    if (negativeZero.match(text).hasMatch())
        text.remove(0, 1);
    return text;
}

QVariant convertToFieldType(const QVariant& value, FieldType type)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (type) {
    case FieldType::String:
        if (value.typeId() == QMetaType::Double)
            return formatNumber(value.toDouble(), {});
        return value.toString();
    case FieldType::Double: {
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString().trimmed();
            if (text.isEmpty())
                return {};
            bool ok = false;
            const double number = text.toDouble(&ok);
            if (!ok)
                throw Error(QStringLiteral("“%1”不是有效的数值").arg(text));
            return number;
        }
        return value.toDouble();
    }
    case FieldType::Integer: {
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString().trimmed();
            if (text.isEmpty())
                return {};
            bool ok = false;
            const qlonglong number = text.toLongLong(&ok);
            if (!ok)
                throw Error(QStringLiteral("“%1”不是有效的整数").arg(text));
            return number;
        }
        return qlonglong(std::llround(value.toDouble()));
    }
    case FieldType::DateTime:
        if (value.typeId() == QMetaType::QDate)
            return QDateTime(value.toDate(), QTime(0, 0));
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString().trimmed();
            if (text.isEmpty())
                return {};
            QDateTime dt = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
            if (!dt.isValid())
                dt = QDateTime(QDate::fromString(text, QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
            if (!dt.isValid())
                throw Error(QStringLiteral("“%1”不是有效的日期").arg(text));
            return dt;
        }
        return value.toDateTime();
    }
    return value;
}

QString displayText(const QVariant& value, const Field& field)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (field.type) {
    case FieldType::Double:
    case FieldType::Integer:
        return formatNumber(value.toDouble(), field.displayFormat);
    case FieldType::DateTime: {
        const QDateTime dt = value.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
        return dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    }
    case FieldType::String:
        break;
    }
    return value.toString();
}

} // namespace db
