// The languages the program offers and the current one. The key is the
// number stored in the registry; any value may come back from there, so a
// key no language has is kept as it is and shows English.
#ifndef ZELO_I18N_LANGUAGE_H
#define ZELO_I18N_LANGUAGE_H

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "messages.h"

namespace zelo::i18n {

using LanguageKey = std::uint32_t;

inline constexpr LanguageKey kEnglishKey = 3;

struct Language {
    LanguageKey key;
    Column column;
    int radioId;              // radio button of the language dialog
    std::wstring_view label;  // the radio button's text, the same in every language
    int flagBitmapId;         // shown left of the radio button
};

// In the language dialog's order, top to bottom.
std::span<const Language> languages();
const Language *findLanguage(LanguageKey key);

void setLanguage(LanguageKey key);
LanguageKey languageKey();
// Unset until the first setLanguage: no language has been chosen yet.
std::optional<Column> languageColumn();
// The column lookups answer from: the current one, English while unset.
Column textColumn();
// Back to the start-up state: key 3, no column chosen.
void resetLanguage();

// The key the language dialog's OK takes: the first ticked radio button in
// the order English, Dansk, Deutsch, Islenska, Español, Italiano, Français;
// English when none is ticked.
LanguageKey confirmedLanguageKey(const std::function<bool(int radioId)> &isTicked);

}  // namespace zelo::i18n

#endif
