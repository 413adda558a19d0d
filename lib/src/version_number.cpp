#include "version_number.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>

#include "constants.h"

namespace zelo {

namespace {

constexpr std::string_view kExponentSuffix = "D2";
constexpr float kVersionScale = 10.0f;
// Digits beyond these cannot change a 4-character text's value; the caps
// only keep arithmetic finite for odd input.
constexpr int kMaxMantissaDigits = 18;
constexpr int kMaxExponent = 9999;
constexpr int kDecimalBase = 10;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isExponentMark(char c) { return c == 'D' || c == 'd' || c == 'E' || c == 'e'; }

// Reads optional sign and digits at pos; false (pos untouched) without digits.
bool readExponent(std::string_view s, std::size_t &pos, int &exponent) {
    std::size_t at = pos;
    bool negative = false;
    if (at < s.size() && (s[at] == '+' || s[at] == '-')) {
        negative = s[at++] == '-';
    }
    if (at >= s.size() || !isDigit(s[at])) {
        return false;
    }
    int value = 0;
    for (; at < s.size() && isDigit(s[at]); ++at) {
        value = std::min(kMaxExponent, value * kDecimalBase + (s[at] - '0'));
    }
    exponent = negative ? -value : value;
    pos = at;
    return true;
}

double powerOfTen(int exponent) {
    double result = 1.0;
    for (int i = 0; i < exponent && std::isfinite(result); ++i) {
        result *= kDecimalBase;
    }
    return result;
}

// Decimal number with D or E as exponent mark, like strtod without the
// locale's decimal point, hexadecimal forms, inf or nan. 0 without digits.
double parseDecimal(std::string_view s) {
    std::size_t pos = 0;
    while (pos < s.size() && isSpace(s[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        negative = s[pos++] == '-';
    }
    std::uint64_t mantissa = 0;
    int digits = 0;
    int scale = 0;  // power of ten applied to mantissa
    bool inFraction = false;
    for (; pos < s.size(); ++pos) {
        const char c = s[pos];
        if (c == '.' && !inFraction) {
            inFraction = true;
            continue;
        }
        if (!isDigit(c)) {
            break;
        }
        if (digits < kMaxMantissaDigits) {
            mantissa = mantissa * kDecimalBase + static_cast<std::uint64_t>(c - '0');
            digits += mantissa != 0 ? 1 : 0;
            scale -= inFraction ? 1 : 0;
        } else if (!inFraction) {
            ++scale;
        }
    }
    if (mantissa == 0) {  // no digits, or only zeros
        return 0.0;
    }
    int exponent = 0;
    if (pos < s.size() && isExponentMark(s[pos])) {
        ++pos;
        readExponent(s, pos, exponent);
    }
    const int power = scale + exponent;
    const double magnitude = power >= 0 ? static_cast<double>(mantissa) * powerOfTen(power)
                                        : static_cast<double>(mantissa) / powerOfTen(-power);
    return negative ? -magnitude : magnitude;
}

// Narrows to float, scales and truncates; out-of-range values saturate.
std::int32_t scaleToInt32(double parsed) {
    constexpr double kUpper = 2147483648.0;  // 2^31
    if (parsed >= kUpper) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (parsed < -kUpper) {
        return std::numeric_limits<std::int32_t>::min();
    }
    const float value = static_cast<float>(parsed) * kVersionScale;
    if (value >= static_cast<float>(kUpper)) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < -static_cast<float>(kUpper)) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t versionNumber(std::string_view text) {
    std::string buffer(text.substr(0, std::min(text.size(), kVersionTextLength)));
    buffer = buffer.substr(0, buffer.find('\0'));
    buffer += kExponentSuffix;
    return scaleToInt32(parseDecimal(buffer));
}

}  // namespace zelo
