#include "ui/FieldValue.h"

#include "db/Error.h"
#include "db/Field.h"

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
        return dbError->message();
    return QString::fromUtf8(error.what());
}

} // namespace ui
