#include "utf8.h"

#include <cstddef>
#include <cstdint>

namespace zelo::i18n {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kSurrogateLast = 0xDFFF;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char32_t kLowSurrogateBase = 0xDC00;
constexpr unsigned kSurrogateShift = 10;
constexpr char32_t kSurrogateMask = 0x3FF;
constexpr std::uint8_t kContinuationMask = 0xC0;
constexpr std::uint8_t kContinuationTag = 0x80;
constexpr std::uint8_t kContinuationBits = 0x3F;
constexpr unsigned kBitsPerContinuation = 6;

struct LeadByte {
    std::uint8_t mask;
    std::uint8_t tag;
    std::size_t length;
    char32_t smallest;  // anything below is an overlong form
};

constexpr LeadByte kLeadBytes[] = {
    {0x80, 0x00, 1, 0x0},
    {0xE0, 0xC0, 2, 0x80},
    {0xF0, 0xE0, 3, 0x800},
    {0xF8, 0xF0, 4, 0x10000},
};

// Decodes one code point at text[pos]; advances pos past what it consumed.
char32_t decodeOne(std::u8string_view text, std::size_t &pos) {
    const auto lead = static_cast<std::uint8_t>(text[pos]);
    for (const LeadByte &form : kLeadBytes) {
        if ((lead & form.mask) != form.tag) continue;
        char32_t value = lead & static_cast<std::uint8_t>(~form.mask);
        for (std::size_t i = 1; i < form.length; ++i) {
            if (pos + i >= text.size()) {
                pos += i;
                return kReplacement;
            }
            const auto next = static_cast<std::uint8_t>(text[pos + i]);
            if ((next & kContinuationMask) != kContinuationTag) {
                pos += i;
                return kReplacement;
            }
            value = (value << kBitsPerContinuation) | (next & kContinuationBits);
        }
        pos += form.length;
        const bool surrogate = value >= kSurrogateFirst && value <= kSurrogateLast;
        if (value < form.smallest || value > kMaxCodePoint || surrogate) return kReplacement;
        return value;
    }
    ++pos;
    return kReplacement;
}

void append(std::wstring &out, char32_t value) {
    if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
        if (value >= kFirstSupplementary) {
            const char32_t offset = value - kFirstSupplementary;
            out.push_back(static_cast<wchar_t>(kSurrogateFirst + (offset >> kSurrogateShift)));
            out.push_back(static_cast<wchar_t>(kLowSurrogateBase + (offset & kSurrogateMask)));
            return;
        }
    }
    out.push_back(static_cast<wchar_t>(value));
}

// One code point as one to four UTF-8 bytes.
void appendUtf8(std::string &out, char32_t c) {
    constexpr char32_t kOneByteEnd = 0x80;
    constexpr char32_t kTwoBytesEnd = 0x800;
    constexpr char32_t kThreeBytesEnd = 0x10000;
    constexpr std::uint8_t kTwoByteLead = 0xC0;
    constexpr std::uint8_t kThreeByteLead = 0xE0;
    constexpr std::uint8_t kFourByteLead = 0xF0;
    const auto continuation = [&](unsigned shift) {
        out.push_back(static_cast<char>(kContinuationTag | ((c >> shift) & kContinuationBits)));
    };
    if (c < kOneByteEnd) {
        out.push_back(static_cast<char>(c));
    } else if (c < kTwoBytesEnd) {
        out.push_back(static_cast<char>(kTwoByteLead | (c >> kBitsPerContinuation)));
        continuation(0);
    } else if (c < kThreeBytesEnd) {
        out.push_back(static_cast<char>(kThreeByteLead | (c >> (2 * kBitsPerContinuation))));
        continuation(kBitsPerContinuation);
        continuation(0);
    } else {
        out.push_back(static_cast<char>(kFourByteLead | (c >> (3 * kBitsPerContinuation))));
        continuation(2 * kBitsPerContinuation);
        continuation(kBitsPerContinuation);
        continuation(0);
    }
}

bool isHighSurrogate(char32_t c) { return c >= kSurrogateFirst && c < kLowSurrogateBase; }
bool isLowSurrogate(char32_t c) { return c >= kLowSurrogateBase && c <= kSurrogateLast; }

}  // namespace

std::string narrowToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(static_cast<char32_t>(text[i + 1]))) {
            const char32_t low = static_cast<char32_t>(text[++i]);
            c = kFirstSupplementary + ((c - kSurrogateFirst) << kSurrogateShift) + (low - kLowSurrogateBase);
        }
        if (c >= kSurrogateFirst && c <= kSurrogateLast) c = kReplacement;
        if (c > kMaxCodePoint) c = kReplacement;
        appendUtf8(out, c);
    }
    return out;
}

bool isValidUtf8(std::u8string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        // U+FFFD spelled out in the text is valid; one decodeOne made up is not.
        const std::size_t start = pos;
        if (decodeOne(text, pos) == kReplacement && text.substr(start, pos - start) != u8"\uFFFD") return false;
    }
    return true;
}

std::wstring widenUtf8(std::u8string_view text) {
    std::wstring out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) append(out, decodeOne(text, pos));
    return out;
}

}  // namespace zelo::i18n
