// The first start, with no preferences key: the language dialog comes
// before the main window, and whatever it ends with is stored together
// with the update-check preference.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <optional>

#include "app_state.h"
#include "gui_harness.h"
#include "preferences.h"
#include "resource.h"
#include "texts.h"

namespace zelo::gui_test {
namespace {

using i18n::Column;
using i18n::Msg;

constexpr std::array<Msg, 6> kTabMessages{Msg::TabSettings, Msg::TabMacros, Msg::TabDeviceCode,
                                          Msg::TabButtons, Msg::TabTransmitReceive, Msg::InstallModule};
constexpr DWORD kGermanKey = 1;
constexpr DWORD kEnglishKey = 3;
constexpr DWORD kChecksForUpdates = 1;

class FirstStart : public testing::Test {
protected:
    // The dialog over the main window, which is not shown yet.
    HWND languageDialogBeforeMainWindow(const ProgramRun &program) {
        HWND dialog = program.waitForDialog(L"Language");
        if (dialog == nullptr) return nullptr;
        HWND mainWindow = app::mainWindow();
        EXPECT_NE(nullptr, mainWindow);
        EXPECT_EQ(mainWindow, GetWindow(dialog, GW_OWNER));
        EXPECT_FALSE(IsWindowVisible(mainWindow)) << "the main window was shown before the language was chosen";
        EXPECT_FALSE(storedValue(app::kLanguageValue)) << "stored before the dialog closed";
        // Nothing was chosen before: English is ticked.
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_LANGUAGE_ENGLISH));
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_LANGUAGE_GERMAN));
        return dialog;
    }

    static void expectStored(const wchar_t *name, DWORD expected) {
        const std::optional<StoredValue> stored = storedValue(name);
        ASSERT_TRUE(stored) << "no 4-byte value";
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), stored->type);
        EXPECT_EQ(expected, stored->value);
    }

    static void expectTabsIn(const ProgramRun &program, Column column) {
        for (std::size_t i = 0; i < kTabMessages.size(); ++i) {
            EXPECT_EQ(i18n::textIn(kTabMessages[i], column), program.tabText(static_cast<int>(i))) << "tab " << i;
        }
    }

    SimulatedWorld world_;
};

TEST_F(FirstStart, ChosenLanguageIsShownAndStored) {
    ProgramRun program(StoredPreferences::None);
    HWND dialog = languageDialogBeforeMainWindow(program);
    ASSERT_NE(nullptr, dialog);
    CheckDlgButton(dialog, IDC_LANGUAGE_ENGLISH, BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_LANGUAGE_GERMAN, BST_CHECKED);
    clickButton(dialog, IDOK);

    ASSERT_TRUE(program.waitUntilShown());
    EXPECT_EQ(L"Einstellungen", program.tabText(0));
    expectTabsIn(program, Column::German);
    EXPECT_EQ(i18n::textIn(Msg::Disconnected, Column::German), program.statusText(0));
    expectStored(app::kLanguageValue, kGermanKey);
    expectStored(app::kCheckForUpdatesValue, kChecksForUpdates);

    program.command(IDM_FILE_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

TEST_F(FirstStart, CancelledDialogStoresEnglish) {
    ProgramRun program(StoredPreferences::None);
    HWND dialog = languageDialogBeforeMainWindow(program);
    ASSERT_NE(nullptr, dialog);
    // A tick without OK is no choice.
    CheckDlgButton(dialog, IDC_LANGUAGE_ENGLISH, BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_LANGUAGE_GERMAN, BST_CHECKED);
    clickButton(dialog, IDCANCEL);

    ASSERT_TRUE(program.waitUntilShown());
    expectTabsIn(program, Column::English);
    expectStored(app::kLanguageValue, kEnglishKey);
    expectStored(app::kCheckForUpdatesValue, kChecksForUpdates);

    program.command(IDM_FILE_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

}  // namespace
}  // namespace zelo::gui_test
