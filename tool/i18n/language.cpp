#include "language.h"

#include <array>
#include <atomic>
#include <cstddef>

// The resource ids are plain #defines shared with the resource compiler.
#include "resource.h"

namespace zelo::i18n {
namespace {

constexpr std::size_t kLanguageCount = 7;

constexpr LanguageKey kDanishKey = 0;
constexpr LanguageKey kGermanKey = 1;
constexpr LanguageKey kFrenchKey = 2;
constexpr LanguageKey kSpanishKey = 4;
constexpr LanguageKey kItalianKey = 5;
constexpr LanguageKey kIcelandicKey = 15;

constexpr std::array<Language, kLanguageCount> kLanguages{{
    {kEnglishKey, Column::English, IDC_LANGUAGE_ENGLISH, L"English", IDB_FLAG_ENGLISH},
    {kDanishKey, Column::Danish, IDC_LANGUAGE_DANISH, L"Dansk", IDB_FLAG_DANISH},
    {kGermanKey, Column::German, IDC_LANGUAGE_GERMAN, L"Deutsch", IDB_FLAG_GERMAN},
    {kFrenchKey, Column::French, IDC_LANGUAGE_FRENCH, L"Français", IDB_FLAG_FRENCH},
    {kIcelandicKey, Column::Icelandic, IDC_LANGUAGE_ICELANDIC, L"Islenska", IDB_FLAG_ICELANDIC},
    {kSpanishKey, Column::Spanish, IDC_LANGUAGE_SPANISH, L"Español", IDB_FLAG_SPANISH},
    {kItalianKey, Column::Italian, IDC_LANGUAGE_ITALIAN, L"Italiano", IDB_FLAG_ITALIAN},
}};

static_assert(kLanguages.size() == kColumnCount, "one language per catalogue column");
static_assert(kLanguages.front().key == kEnglishKey, "English heads the dialog");

// Language keys in the order OK looks at their radio buttons.
constexpr std::array<LanguageKey, kLanguageCount> kConfirmOrder{
    kEnglishKey, kDanishKey, kGermanKey, kIcelandicKey, kSpanishKey, kItalianKey, kFrenchKey};

constexpr int kNoColumn = -1;

// Written on the user-interface thread; atomics because workers format
// texts too.
std::atomic<LanguageKey> currentKey{kEnglishKey};
std::atomic<int> currentColumn{kNoColumn};

}  // namespace

std::span<const Language> languages() { return kLanguages; }

const Language *findLanguage(LanguageKey key) {
    for (const Language &language : kLanguages) {
        if (language.key == key) return &language;
    }
    return nullptr;
}

void setLanguage(LanguageKey key) {
    const Language *language = findLanguage(key);
    const Column column = language != nullptr ? language->column : Column::English;
    currentKey.store(key);
    currentColumn.store(static_cast<int>(column));
}

LanguageKey languageKey() { return currentKey.load(); }

std::optional<Column> languageColumn() {
    const int column = currentColumn.load();
    if (column == kNoColumn) return std::nullopt;
    return static_cast<Column>(column);
}

Column textColumn() { return languageColumn().value_or(Column::English); }

void resetLanguage() {
    currentColumn.store(kNoColumn);
    currentKey.store(kEnglishKey);
}

LanguageKey confirmedLanguageKey(const std::function<bool(int radioId)> &isTicked) {
    for (LanguageKey key : kConfirmOrder) {
        const Language *language = findLanguage(key);
        if (language != nullptr && isTicked(language->radioId)) return key;
    }
    return kEnglishKey;
}

}  // namespace zelo::i18n
