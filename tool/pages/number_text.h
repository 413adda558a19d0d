// Reading the number at the start of a text typed into an edit control.
#ifndef ZELO_PAGES_NUMBER_TEXT_H
#define ZELO_PAGES_NUMBER_TEXT_H

#include <optional>
#include <string_view>

namespace zelo::pages {

// Leading blanks and one sign are skipped, then decimal digits are read up
// to the first other character. nullopt when there is no digit. Values
// beyond the type's range saturate, so range checks still reject them.
std::optional<long long> leadingNumber(std::wstring_view text);

}  // namespace zelo::pages

#endif
