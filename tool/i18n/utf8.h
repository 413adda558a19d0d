// UTF-8 to and from the platform's wide text (UTF-16 where wchar_t has 16
// bits, code points where it has 32).
#ifndef ZELO_I18N_UTF8_H
#define ZELO_I18N_UTF8_H

#include <string>
#include <string_view>

namespace zelo::i18n {

// Malformed or truncated sequences become U+FFFD, so a bad cell shows up on
// screen instead of cutting the text short.
std::wstring widenUtf8(std::u8string_view text);

// Whether text is well-formed UTF-8 throughout (no overlong forms,
// surrogates or code points past U+10FFFF).
bool isValidUtf8(std::u8string_view text);

// The platform's wide text as UTF-8 (a surrogate pair where wchar_t has 16
// bits); a lone surrogate becomes U+FFFD.
std::string narrowToUtf8(std::wstring_view text);

}  // namespace zelo::i18n

#endif
