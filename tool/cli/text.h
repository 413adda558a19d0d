// Texts the command line prints: the catalogue's English wording for the
// program's own messages, and times.
#ifndef ZELO_CLI_TEXT_H
#define ZELO_CLI_TEXT_H

#include <cstdint>
#include <string>
#include <string_view>

#include "messages.h"

namespace zelo::cli {

// UTF-8 of a wide text.
std::string utf8Of(std::wstring_view text);

// Whether bytes from the command line are well-formed UTF-8.
bool isUtf8(std::string_view text);

// The catalogue's English text on one line (line breaks become spaces).
std::string englishText(i18n::Msg id);
std::string oneLine(std::string text);

// "2026-12-08 06:55:00 UTC".
std::string utcText(std::int64_t unixSeconds);

}  // namespace zelo::cli

#endif
