#ifndef ZELO_DEVICE_DECIMAL_TEXT_H
#define ZELO_DEVICE_DECIMAL_TEXT_H

// Version texts as numbers: the leading decimal number of a text, read the
// same way on every platform and in every locale. Written out rather than
// left to std::from_chars, which not every standard library has for
// floating point (the browser build's lacks it).

#include <string>
#include <string_view>

namespace zelo::device {

// Skips leading blanks, tabs and plus signs, then reads what
// std::from_chars(first, last, double&) would read (general format: an
// optional minus, digits with an optional point and fraction, an optional
// exponent; or inf, infinity, nan). 0 when there is no number or it is out
// of the range of double.
double leadingDecimal(std::string_view text);

// value with exactly decimals digits after a point, rounded as
// std::to_chars(..., std::chars_format::fixed, decimals) rounds.
std::string fixedDecimalText(double value, int decimals);

}  // namespace zelo::device

#endif
