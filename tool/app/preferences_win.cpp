#include "preferences.h"

#include <utility>

#include "language.h"


namespace zelo::app {

namespace {

constexpr DWORD kDwordSize = sizeof(DWORD);
constexpr DWORD kTrue = 1;
constexpr DWORD kFalse = 0;

struct ProgramPreferences {
    HKEY root = HKEY_CURRENT_USER;
    std::wstring subkey = kPreferencesSubkey;
    CPreferenceKey key;  // closed when the process ends
    Preferences values;
};

ProgramPreferences &program() {
    static ProgramPreferences state;
    return state;
}

}  // namespace

CPreferenceKey::~CPreferenceKey() { close(); }

LONG CPreferenceKey::open(HKEY root, const wchar_t *subkey) {
    close();
    result_ = RegCreateKeyExW(root, subkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    if (result_ != ERROR_SUCCESS) key_ = nullptr;
    return result_;
}

void CPreferenceKey::close() {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
    result_ = ERROR_INVALID_HANDLE;
}

std::optional<DWORD> CPreferenceKey::readDword(const wchar_t *name) const {
    if (!isOpen()) return std::nullopt;
    DWORD value = 0;
    DWORD size = kDwordSize;
    const LONG result = RegQueryValueExW(key_, name, nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size);
    if (result != ERROR_SUCCESS) return std::nullopt;
    return value;
}

bool CPreferenceKey::writeDword(const wchar_t *name, DWORD value) const {
    if (!isOpen()) return false;
    return RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), kDwordSize) ==
           ERROR_SUCCESS;
}

LoadResult loadPreferences(const CPreferenceKey &key, Preferences &preferences) {
    if (const std::optional<DWORD> check = key.readDword(kCheckForUpdatesValue)) {
        preferences.checkForUpdates = *check != 0;
    }
    const std::optional<DWORD> language = key.readDword(kLanguageValue);
    if (!language) return LoadResult::LanguageMissing;
    preferences.language = *language;
    i18n::setLanguage(*language);
    return LoadResult::Loaded;
}

bool storePreferences(const CPreferenceKey &key, const Preferences &preferences) {
    const bool checkWritten = key.writeDword(kCheckForUpdatesValue, preferences.checkForUpdates ? kTrue : kFalse);
    const bool languageWritten = key.writeDword(kLanguageValue, preferences.language);
    return checkWritten && languageWritten;
}

bool openOrCreateKey() {
    ProgramPreferences &state = program();
    return state.key.open(state.root, state.subkey.c_str()) == ERROR_SUCCESS;
}

LoadResult loadPreferences() { return loadPreferences(program().key, program().values); }

bool storePreferences() { return storePreferences(program().key, program().values); }

bool storeLanguageChoice() {
    program().values.language = i18n::languageKey();
    return storePreferences();
}

Preferences &preferences() { return program().values; }

bool checkForUpdatesPreference() { return program().values.checkForUpdates; }

i18n::LanguageKey languagePreference() { return program().values.language; }

void setPreferencesLocation(HKEY root, std::wstring subkey) {
    program().root = root;
    program().subkey = std::move(subkey);
}

}  // namespace zelo::app
