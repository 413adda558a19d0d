#include "number_text.h"

#include <cwctype>
#include <limits>

namespace zelo::pages {
namespace {

constexpr long long kDecimalBase = 10;
constexpr long long kSaturated = std::numeric_limits<long long>::max();

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

std::optional<long long> leadingNumber(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    if (i >= text.size() || !isDigit(text[i])) return std::nullopt;
    long long value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const long long digit = text[i] - L'0';
        value = value > (kSaturated - digit) / kDecimalBase ? kSaturated : value * kDecimalBase + digit;
    }
    return negative ? -value : value;
}

}  // namespace zelo::pages
