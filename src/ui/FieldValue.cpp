#include "ui/FieldValue.h"

#include "db/Error.h"
#include "db/Field.h"
#include "shop/Amounts.h"

#include <QRegularExpression>

namespace ui {

namespace {

bool isBlank(const QVariant& v)
{
    return !v.isValid() || v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

bool isNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

} // namespace

InputError::InputError(const QString& message)
    : std::runtime_error(message.toStdString())
{
}

QVariant parseNumber(const QString& typed, int places)
{
    QString text = typed;
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)   // full-width forms of ASCII
            c = QChar(u - 0xFEE0);
        else if (u == 0x3002)             // ideographic full stop, typed for the point
            c = QLatin1Char('.');
    }
    text = text.trimmed();   // also the ideographic space
    if (text.isEmpty())
        return {};
    static const QRegularExpression number(QStringLiteral("^-?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    if (!number.match(text).hasMatch())
        throw InputError(QStringLiteral("“%1”不是有效的数值").arg(typed.trimmed()));
    const double value = text.toDouble();
    if (!shop::amounts::fits(value, places))
        throw InputError(shop::amounts::refusal(typed.trimmed(), places));
    if (places == 0)
        return qlonglong(value);
    return value;
}

int numberPlaces(const db::Field& field)
{
    if (field.type == db::FieldType::Integer)
        return 0;
    return shop::amounts::placesOf(field.name);
}

QVariant typedValue(const QVariant& typed, const db::Field& field)
{
    if ((field.type != db::FieldType::Double && field.type != db::FieldType::Integer)
        || typed.typeId() != QMetaType::QString)
        return typed;
    return parseNumber(typed.toString(), numberPlaces(field));
}

QString editText(const QVariant& value, const db::Field& field)
{
    db::Field plain = field;
    plain.displayFormat.clear();
    return db::displayText(value, plain);
}

bool sameValue(const QVariant& typed, const QVariant& stored)
{
    if (isBlank(typed) || isBlank(stored))
        return isBlank(typed) && isBlank(stored);
    if (isNumber(typed) && isNumber(stored))
        return typed.toDouble() == stored.toDouble();
    return typed == stored;
}

QString errorText(const std::exception& error)
{
    if (const auto* dbError = dynamic_cast<const db::Error*>(&error))
        return db::userText(*dbError);
    return QString::fromUtf8(error.what());
}

} // namespace ui
