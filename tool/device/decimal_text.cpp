#include "decimal_text.h"

#include <charconv>
#include <cstddef>
#include <cstdio>
#include <limits>
#include <locale>
#include <sstream>
#include <string>

namespace zelo::device {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithWord(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (lower(text[i]) != word[i]) return false;
    }
    return true;
}

std::size_t digitsAt(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && isDigit(text[end])) ++end;
    return end - at;
}

// Length of the number at the start of text (no sign), 0 when none.
std::size_t numberLength(std::string_view text) {
    std::size_t at = digitsAt(text, 0);
    std::size_t digits = at;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fraction = digitsAt(text, at + 1);
        digits += fraction;
        at += 1 + fraction;
    }
    if (digits == 0) return 0;
    // An exponent counts only with at least one digit.
    if (at < text.size() && lower(text[at]) == 'e') {
        std::size_t sign = at + 1;
        if (sign < text.size() && (text[sign] == '+' || text[sign] == '-')) ++sign;
        const std::size_t exponent = digitsAt(text, sign);
        if (exponent > 0) at = sign + exponent;
    }
    return at;
}

double specialValue(std::string_view text, bool negative) {
    double value = 0.0;
    if (startsWithWord(text, "inf")) {
        value = std::numeric_limits<double>::infinity();
    } else if (startsWithWord(text, "nan")) {
        value = std::numeric_limits<double>::quiet_NaN();
    }
    return negative ? -value : value;
}

}  // namespace

double leadingDecimal(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '+')) text.remove_prefix(1);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    const std::size_t length = numberLength(text);
    if (length == 0) return specialValue(text, negative);
    // The classic locale reads the point as the decimal separator and
    // rounds as from_chars does; out of range fails the stream.
    std::istringstream stream{std::string(text.substr(0, length))};
    stream.imbue(std::locale::classic());
    double value = 0.0;
    stream >> value;
    if (stream.fail()) return 0.0;
    return negative ? -value : value;
}

std::string fixedDecimalText(double value, int decimals) {
    constexpr std::size_t kTextSize = 512;  // the widest double in fixed notation fits
    char text[kTextSize];
#if defined(__cpp_lib_to_chars)
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) return {};
    return std::string(text, end);
#else
    // printf rounds exactly as well; only the point may be the locale's.
    const int length = std::snprintf(text, sizeof text, "%.*f", decimals, value);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof text) return {};
    std::string out(text, static_cast<std::size_t>(length));
    for (char &c : out) {
        if (c == ',') c = '.';
    }
    return out;
#endif
}

}  // namespace zelo::device
