// The two per-user preferences in the registry: the user-interface language
// and whether to check for software updates. The key is opened (or created)
// once at start-up and stays open until the process ends; when that fails,
// every read and write is skipped and reports failure.
#ifndef ZELO_APP_PREFERENCES_H
#define ZELO_APP_PREFERENCES_H

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "language.h"

namespace zelo::app {

inline constexpr const wchar_t *kPreferencesSubkey = L"Software\\QX Electronics\\ZE-LO";
inline constexpr const wchar_t *kCheckForUpdatesValue = L"CheckForSoftwareUpdates";
inline constexpr const wchar_t *kLanguageValue = L"Language";

struct Preferences {
    bool checkForUpdates = true;
    i18n::LanguageKey language = i18n::kEnglishKey;  // taken from the current language before it is stored
};

enum class LoadResult : std::uint8_t {
    Loaded,           // the Language value was read and applied
    LanguageMissing,  // the language dialog has to ask
};

// A registry key held open for the object's life.
class CPreferenceKey {
public:
    CPreferenceKey() = default;
    ~CPreferenceKey();
    CPreferenceKey(const CPreferenceKey &) = delete;
    CPreferenceKey &operator=(const CPreferenceKey &) = delete;

    // RegCreateKeyExW with full access; the result is kept. Opening again
    // closes the key held before.
    LONG open(HKEY root, const wchar_t *subkey);
    void close();
    bool isOpen() const { return result_ == ERROR_SUCCESS; }

    // Reads at most 4 bytes without a type check; a longer value fails and
    // counts as absent. A shorter one reads as its bytes, zero-extended.
    std::optional<DWORD> readDword(const wchar_t *name) const;
    bool writeDword(const wchar_t *name, DWORD value) const;

private:
    HKEY key_ = nullptr;
    LONG result_ = ERROR_INVALID_HANDLE;
};

// CheckForSoftwareUpdates first (kept unless read), then Language; a read
// Language becomes the language preference and the current language.
LoadResult loadPreferences(const CPreferenceKey &key, Preferences &preferences);
// CheckForSoftwareUpdates as 1 or 0, then Language. True when both were written.
bool storePreferences(const CPreferenceKey &key, const Preferences &preferences);

// ---- The program's own preferences (user-interface thread) ----------------

// HKEY_CURRENT_USER\Software\QX Electronics\ZE-LO unless a test moved it.
bool openOrCreateKey();
LoadResult loadPreferences();
bool storePreferences();
// The language preference := the current language key, then both stored:
// after the language dialog at first start and after the Language command.
bool storeLanguageChoice();

Preferences &preferences();
bool checkForUpdatesPreference();
i18n::LanguageKey languagePreference();

// Tests keep the program's preferences away from the user's: the next
// openOrCreateKey uses this location instead.
void setPreferencesLocation(HKEY root, std::wstring subkey);

}  // namespace zelo::app

#endif
