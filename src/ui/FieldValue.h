#pragma once

#include <QString>
#include <QVariant>
#include <exception>

namespace db {
struct Field;
}

namespace ui {

// The text an editor starts from: the raw value, without the display format,
// so that editing never loses digits a format hides.
QString editText(const QVariant& value, const db::Field& field);

// What the user typed, as the field takes it: a number typed with the full-width
// digits and point of a Chinese input method ("１２３．５") becomes "123.5".
QVariant typedValue(const QVariant& typed, const db::Field& field);

// Whether writing `typed` (already converted to the field's type) over
// `stored` would change nothing; NULL and empty text count as equal.
bool sameValue(const QVariant& typed, const QVariant& stored);

// The message of an error for the user.
QString errorText(const std::exception& error);

} // namespace ui
