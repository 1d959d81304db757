#pragma once

#include <QString>
#include <QVariant>
#include <exception>
#include <stdexcept>

namespace db {
struct Field;
}

namespace ui {

// The text an editor starts from: the raw value, without the display format,
// so that editing never loses digits a format hides.
QString editText(const QVariant& value, const db::Field& field);

// A typed value the program refuses; what() is the message for the user (UTF-8).
class InputError : public std::runtime_error {
public:
    explicit InputError(const QString& message);
};

// The one reading of a typed number, for every number box and grid cell:
// ASCII or full-width digits, the point typed as ".", "．" or "。", a leading
// minus. Blank text gives NULL. Exponents ("1e3"), any other character and
// values beyond what a shop can mean (shop/Amounts.h, with `places` decimals)
// throw InputError naming the text: nothing is dropped or changed silently.
QVariant parseNumber(const QString& typed, int places);

// How many decimals a typed number of the field may have.
int numberPlaces(const db::Field& field);

// What the user typed, as the field takes it: a number field's text through
// parseNumber (throws InputError), anything else unchanged.
QVariant typedValue(const QVariant& typed, const db::Field& field);

// Whether writing `typed` (already converted to the field's type) over
// `stored` would change nothing; NULL and empty text count as equal.
bool sameValue(const QVariant& typed, const QVariant& stored);

// The message of an error for the user.
QString errorText(const std::exception& error);

} // namespace ui
