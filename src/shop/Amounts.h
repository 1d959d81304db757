#pragma once

#include <QString>

// What a shop can mean by a number: quantities, unit prices and amounts have at
// most 9 digits before the point and 2 after it. Anything beyond is a typing
// slip (an extra zero, "1e15"), never a real purchase.
namespace shop::amounts {

inline constexpr int integerDigits = 9;
inline constexpr int decimals = 2;
// A unit price may be a share of a bulk price (100 pieces for 33.33).
inline constexpr int priceDecimals = 4;
// Exchange rates are quoted finer than money.
inline constexpr int rateDecimals = 6;

// The decimals a number column keeps.
int placesOf(const QString& column);

// Whether the value has at most integerDigits digits before the point and
// `places` after it.
bool fits(double value, int places = decimals);

// An amount rounded to the cent, halves away from zero: every stored total.
double cents(double amount);

// The refusal of a typed value that does not fit, naming the value.
QString refusal(const QString& typed, int places = decimals);

} // namespace shop::amounts
