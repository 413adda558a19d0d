#include "preferences.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "language.h"

namespace zelo::app {
namespace {

constexpr const wchar_t *kTestRoot = L"Software\\QX Electronics\\ZE-LO preference tests";
constexpr i18n::LanguageKey kGerman = 1;
constexpr i18n::LanguageKey kFrench = 2;
constexpr i18n::LanguageKey kIcelandic = 15;
using Stored = std::pair<DWORD, DWORD>;  // type and value

// Every test works under its own subkey of HKEY_CURRENT_USER, removed
// afterwards, so the user's own preferences are never touched.
class PreferenceStore : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        subkey = std::wstring(kTestRoot) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::wstring(name.begin(), name.end());
        i18n::setLanguage(i18n::kEnglishKey);
        ASSERT_EQ(key.open(HKEY_CURRENT_USER, subkey.c_str()), ERROR_SUCCESS);
    }
    void TearDown() override {
        key.close();
        setPreferencesLocation(HKEY_CURRENT_USER, kPreferencesSubkey);  // not opened here
        RegDeleteTreeW(HKEY_CURRENT_USER, subkey.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, kTestRoot);  // only once no test's subkey is left
    }

    void putRaw(const wchar_t *name, DWORD type, const std::vector<BYTE> &bytes) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, subkey.c_str(), name, type, bytes.data(),
                                  static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }

    Stored stored(const wchar_t *name) {
        DWORD type = REG_NONE;
        DWORD value = 0;
        DWORD size = sizeof value;
        if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name, RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS ||
            size != sizeof value) {
            return {REG_NONE, 0};
        }
        return {type, value};
    }

    std::wstring subkey;
    CPreferenceKey key;
};

TEST_F(PreferenceStore, FirstStartStoresTheChosenLanguageAndTheNextStartAppliesIt) {
    setPreferencesLocation(HKEY_CURRENT_USER, subkey);
    ASSERT_TRUE(openOrCreateKey());
    EXPECT_EQ(loadPreferences(), LoadResult::LanguageMissing);
    i18n::setLanguage(kIcelandic);  // as the language dialog would
    ASSERT_TRUE(storeLanguageChoice());
    EXPECT_EQ(languagePreference(), kIcelandic);
    EXPECT_EQ(stored(kCheckForUpdatesValue), Stored(REG_DWORD, 1));
    EXPECT_EQ(stored(kLanguageValue), Stored(REG_DWORD, kIcelandic));

    i18n::setLanguage(i18n::kEnglishKey);
    ASSERT_TRUE(openOrCreateKey());
    EXPECT_EQ(loadPreferences(), LoadResult::Loaded);
    EXPECT_EQ(i18n::languageKey(), kIcelandic);
    EXPECT_TRUE(checkForUpdatesPreference());
}

TEST_F(PreferenceStore, CheckForUpdatesRoundTripsAndAnyNonZeroMeansTrue) {
    ASSERT_TRUE(storePreferences(key, Preferences{false, kGerman}));
    Preferences loaded;
    EXPECT_EQ(loadPreferences(key, loaded), LoadResult::Loaded);
    EXPECT_FALSE(loaded.checkForUpdates);
    EXPECT_EQ(loaded.language, kGerman);
    putRaw(kCheckForUpdatesValue, REG_DWORD, {5, 0, 0, 0});
    loadPreferences(key, loaded);
    EXPECT_TRUE(loaded.checkForUpdates);
}

TEST_F(PreferenceStore, ValuesLongerThanFourBytesCountAsAbsentShorterOnesAreRead) {
    putRaw(kCheckForUpdatesValue, REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0});
    putRaw(kLanguageValue, REG_BINARY, {kFrench, 0, 0, 0, 0});
    Preferences loaded{false, i18n::kEnglishKey};
    EXPECT_EQ(loadPreferences(key, loaded), LoadResult::LanguageMissing);
    EXPECT_FALSE(loaded.checkForUpdates);  // kept, not read
    EXPECT_EQ(i18n::languageKey(), i18n::kEnglishKey);
    putRaw(kLanguageValue, REG_BINARY, {kFrench});
    EXPECT_EQ(loadPreferences(key, loaded), LoadResult::Loaded);
    EXPECT_EQ(loaded.language, kFrench);
}

TEST_F(PreferenceStore, WithoutKeyNothingIsReadOrWritten) {
    EXPECT_NE(key.open(nullptr, subkey.c_str()), ERROR_SUCCESS);
    Preferences preferences{false, kGerman};
    EXPECT_EQ(loadPreferences(key, preferences), LoadResult::LanguageMissing);
    EXPECT_FALSE(storePreferences(key, preferences));
    EXPECT_EQ(stored(kLanguageValue).first, DWORD{REG_NONE});
}

}  // namespace
}  // namespace zelo::app
