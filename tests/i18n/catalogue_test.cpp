// The catalogue, the current language and the text helpers.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "resource.h"
#include "texts.h"
#include "utf8.h"

namespace zelo::i18n {
namespace {

std::vector<std::wstring> placeholdersOf(const std::wstring &text) {
    static const std::wregex token(LR"(%\.?[0-9]*[a-z%]|\[[^\]]*\])");
    std::vector<std::wstring> found;
    for (auto it = std::wsregex_iterator(text.begin(), text.end(), token); it != std::wsregex_iterator(); ++it) {
        found.push_back(it->str());
    }
    return found;
}

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override { resetLanguage(); }
    void TearDown() override { resetLanguage(); }
};

TEST(CatalogueTest, EveryTranslationCarriesTheEnglishPlaceholdersInOrder) {
    for (std::size_t row = 0; row < kMessageCount; ++row) {
        const auto id = static_cast<Msg>(row);
        const std::vector<std::wstring> english = placeholdersOf(textIn(id, Column::English));
        for (std::size_t column = 0; column < kColumnCount; ++column) {
            const std::wstring &cell = textIn(id, static_cast<Column>(column));
            EXPECT_FALSE(cell.empty()) << "message " << row << " column " << column;
            EXPECT_EQ(placeholdersOf(cell), english) << "message " << row << " column " << column;
            EXPECT_EQ(cell.find(L'\uFFFD'), std::wstring::npos) << "message " << row << " column " << column;
        }
    }
}

TEST(CatalogueTest, GivenRowsAndMarkedEnglishTextsAreExact) {
    struct Row {
        Msg id;
        std::vector<std::wstring> cells;
    };
    const Row rows[] = {
        {Msg::Update, {L"Opdater", L"Aktualisieren", L"Actualiser", L"Actualizar", L"Aggiorna", L"Uppfæra", L"Update"}},
        {Msg::None, {L"Ingen", L"Kein", L"Aucune", L"Ninguna", L"Nulla", L"Engar", L"None"}},
        {Msg::RestoreFlash,
         {L"Gendan [FLASH]", L"Wiederherstellen [FLASH]", L"Restauration [FLASH]", L"Restaurar [FLASH]",
          L"Ripristina [FLASH]", L"Endurbyggja [FLASH]", L"Restore [FLASH]"}},
        {Msg::Custom,
         {L"Brugerdefineret", L"Benutzerdefiniert", L"Client", L"Personalización", L"Personalizzato", L"Sérvalið",
          L"Custom"}},
    };
    for (const Row &row : rows) {
        for (std::size_t column = 0; column < kColumnCount; ++column) {
            EXPECT_EQ(textIn(row.id, static_cast<Column>(column)), row.cells[column]);
        }
    }
    EXPECT_EQ(textIn(Msg::FirmwareUpgradeRequired, Column::English),
              L"You are currently running firmware [VERSION], in order to use this configuration tool you need to "
              L"upgrade to [VERSION2].\r\n\r\nPerform upgrade now?");
    EXPECT_EQ(textIn(Msg::SaveFailed, Column::English), L"Error: Could not save save changes");
    EXPECT_NE(textIn(Msg::ProductUseNotice, Column::English).find(L"ZE·LO"), std::wstring::npos);
    EXPECT_NE(textIn(Msg::ProductUseNotice, Column::Icelandic).find(L"2008-%s QX Electronics"), std::wstring::npos);
}

TEST_F(LanguageTest, EnglishUntilALanguageIsSet) {
    EXPECT_FALSE(languageColumn().has_value());
    EXPECT_EQ(languageKey(), kEnglishKey);
    EXPECT_EQ(text(Msg::Close), L"Close");
}

TEST_F(LanguageTest, KeysSelectTheirColumnsAndUnknownKeysStayStored) {
    setLanguage(15);
    EXPECT_EQ(text(Msg::Update), L"Uppfæra");
    setLanguage(7);
    EXPECT_EQ(languageKey(), 7u);
    EXPECT_EQ(languageColumn(), Column::English);
    EXPECT_EQ(text(Msg::Update), L"Update");
    setLanguage(1);
    EXPECT_EQ(text(Msg::MenuHelp), L"Hilfe");
}

TEST_F(LanguageTest, ReplacePlaceholderReplacesTheFirstMarkerOnly) {
    EXPECT_EQ(replacePlaceholder(Msg::RestoreFlash, kMarkerFlash, L""), L"Restore ");
    const std::wstring once = replacePlaceholder(Msg::FirmwareUpgradeRequired, kMarkerVersion, L"1.20");
    EXPECT_EQ(once.find(kMarkerVersion), std::wstring::npos);
    EXPECT_NE(once.find(L"firmware 1.20,"), std::wstring::npos);
    EXPECT_NE(once.find(kMarkerVersion2), std::wstring::npos);
    EXPECT_EQ(replacePlaceholder(Msg::Close, kMarkerFlash, L"x"), L"Close");
    setLanguage(1);
    EXPECT_EQ(replacePlaceholder(Msg::RestoreFlash, kMarkerFlash, L""), L"Wiederherstellen ");
}

// Workers format prompts while the user switches the language.
TEST_F(LanguageTest, LookupsFromWorkersWhileTheLanguageChanges) {
    constexpr int kRounds = 200;
    std::vector<std::thread> workers;
    for (int w = 0; w < 2; ++w) {
        workers.emplace_back([] {
            for (int i = 0; i < kRounds; ++i) {
                const std::wstring prompt = replacePlaceholder(Msg::FirmwareTooNew, kMarkerVersion, L"2.06");
                EXPECT_NE(prompt.find(L"2.06"), std::wstring::npos);
            }
        });
    }
    for (int i = 0; i < kRounds; ++i) setLanguage(i % 2 == 0 ? 1 : 15);
    for (std::thread &worker : workers) worker.join();
}

TEST(FixedTextsTest, FillStringsTakesValuesInOrderAndNothingElse) {
    EXPECT_EQ(fillStrings(kMillisecondsLabelFormat, {L"Dauer"}), L"Dauer(ms)");
    EXPECT_EQ(fillStrings(L"%s and %s, %d %%", {L"a"}), L"a and %s, %d %%");
    EXPECT_EQ(fillStrings(L"[%s]", {L"%s", L"unused"}), L"[%s]");
    EXPECT_EQ(buildYearOf("Aug  2 2012"), L"2012");
    EXPECT_EQ(buildYearOf("12"), L"");
    EXPECT_EQ(buildYear().size(), 4u);
}

TEST(Utf8Test, WidensValidTextAndMarksBrokenSequences) {
    EXPECT_EQ(widenUtf8(u8"Uppfæra ·"), L"Uppfæra ·");
    const std::u8string broken{u8'a', static_cast<char8_t>(0xC3), u8'b', static_cast<char8_t>(0xE2),
                               static_cast<char8_t>(0x82)};
    EXPECT_EQ(widenUtf8(broken), L"a\uFFFDb\uFFFD");
    const std::u8string overlong{static_cast<char8_t>(0xC0), static_cast<char8_t>(0xAF)};
    EXPECT_EQ(widenUtf8(overlong), L"\uFFFD");
    const std::wstring clef = widenUtf8(u8"\U0001D11E");
    EXPECT_EQ(clef.size(), sizeof(wchar_t) == sizeof(char16_t) ? 2u : 1u);
}

// Every text of every language survives the way back to UTF-8, the four
// byte lengths and a character beyond the 16-bit range included; a lone
// surrogate (never valid UTF-8) becomes U+FFFD.
TEST(Utf8Test, NarrowsWideTextBackToTheSameUtf8) {
    const std::u8string mixed = u8"a æð € 𝄞 z";
    const std::wstring wide = widenUtf8(mixed);
    const std::string narrow = narrowToUtf8(wide);
    EXPECT_EQ(std::u8string(narrow.begin(), narrow.end()), mixed);
    for (std::size_t id = 0; id < kMessageCount; ++id) {
        for (int column = 0; column < static_cast<int>(Column::Count); ++column) {
            const std::wstring text = textIn(static_cast<Msg>(id), static_cast<Column>(column));
            const std::string bytes = narrowToUtf8(text);
            EXPECT_EQ(widenUtf8(std::u8string(bytes.begin(), bytes.end())), text) << id << " " << column;
        }
    }
    std::wstring lone;
    lone.push_back(static_cast<wchar_t>(0xD800));
    lone.push_back(L'x');
    EXPECT_EQ(narrowToUtf8(lone), "\xEF\xBF\xBDx");
}

TEST(LanguageTableTest, DialogOrderRadioButtonsAndConfirmOrder) {
    const std::vector<int> radios{IDC_LANGUAGE_ENGLISH, IDC_LANGUAGE_DANISH,    IDC_LANGUAGE_GERMAN,
                                  IDC_LANGUAGE_FRENCH,  IDC_LANGUAGE_ICELANDIC, IDC_LANGUAGE_SPANISH,
                                  IDC_LANGUAGE_ITALIAN};
    std::set<Column> columns;
    std::size_t index = 0;
    for (const Language &language : languages()) {
        EXPECT_EQ(language.radioId, radios[index++]);
        columns.insert(language.column);
    }
    EXPECT_EQ(columns.size(), kColumnCount);
    EXPECT_EQ(findLanguage(15)->flagBitmapId, IDB_FLAG_ICELANDIC);
    EXPECT_EQ(findLanguage(2)->label, L"Français");

    const auto ticked = [](std::set<int> on) { return [on](int radio) { return on.count(radio) != 0; }; };
    EXPECT_EQ(confirmedLanguageKey(ticked({})), kEnglishKey);
    EXPECT_EQ(confirmedLanguageKey(ticked({IDC_LANGUAGE_FRENCH, IDC_LANGUAGE_ITALIAN})), 5u);
    EXPECT_EQ(confirmedLanguageKey(ticked({IDC_LANGUAGE_SPANISH, IDC_LANGUAGE_ICELANDIC})), 15u);
    EXPECT_EQ(confirmedLanguageKey(ticked({IDC_LANGUAGE_DUTCH})), kEnglishKey);
}

}  // namespace
}  // namespace zelo::i18n
