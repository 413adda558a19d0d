// The main window without an accessory: start state, tabs, menus, language
// switch, page switch with the IR poll, status progress, exit.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <array>

#include "app_state.h"
#include "gui_harness.h"
#include "resource.h"
#include "texts.h"
#include "worker_tasks.h"

namespace zelo::gui_test {
namespace {

using i18n::Column;
using i18n::Msg;

constexpr std::array<const wchar_t *, 6> kEnglishTabs{L"Settings", L"Macros", L"IR devicecode",
                                                      L"Buttons", L"Transmit / Receive IR", L"Install module"};
constexpr std::array<Msg, 6> kTabMessages{Msg::TabSettings, Msg::TabMacros, Msg::TabDeviceCode,
                                          Msg::TabButtons, Msg::TabTransmitReceive, Msg::InstallModule};
constexpr std::array<Msg, 4> kMenuBar{Msg::MenuFile, Msg::MenuTools, Msg::MenuOptions, Msg::MenuHelp};
constexpr UINT kNoSuchItem = 0xFFFFFFFF;
constexpr int kIrTab = 4;
constexpr DWORD kGermanKey = 1;

class MainWindow : public testing::Test {
protected:
    SimulatedWorld world_;
};

TEST_F(MainWindow, StartsDisconnectedWithSixEnglishTabs) {
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    EXPECT_EQ(L"ZE\u00B7LO v1.29", windowText(program.mainWindow()));
    EXPECT_EQ(L"Disconnected", program.statusText(0));
    EXPECT_EQ(L"", program.statusText(1));

    HWND save = GetDlgItem(program.mainWindow(), IDC_MAIN_SAVE);
    EXPECT_FALSE(IsWindowEnabled(save));
    EXPECT_EQ(L"Save", windowText(save));
    EXPECT_EQ(L"Close", windowText(GetDlgItem(program.mainWindow(), IDC_MAIN_EXIT)));
    EXPECT_TRUE(program.menuState(IDM_OPTIONS_RESTORE_DEFAULTS) & MF_GRAYED);
    EXPECT_TRUE(program.menuState(IDM_TOOLS_PAIR) & MF_GRAYED);
    EXPECT_FALSE(program.menuState(IDM_OPTIONS_LANGUAGE) & MF_GRAYED);
    EXPECT_EQ(kNoSuchItem, program.menuState(IDM_OPTIONS_FILL_FF));
    EXPECT_EQ(kNoSuchItem, program.menuState(IDM_OPTIONS_FILL_00));

    ASSERT_EQ(static_cast<LRESULT>(kEnglishTabs.size()), SendMessageW(program.tabControl(), TCM_GETITEMCOUNT, 0, 0));
    for (std::size_t i = 0; i < kEnglishTabs.size(); ++i) {
        EXPECT_EQ(kEnglishTabs[i], program.tabText(static_cast<int>(i)));
        HWND page = program.page(static_cast<int>(i));
        ASSERT_NE(nullptr, page);
        EXPECT_EQ(program.tabControl(), GetParent(page));
        EXPECT_NE(nullptr, GetDlgItem(page, IDC_PAGE_FRAME));
        EXPECT_EQ(i == 0, IsWindowVisible(page) != FALSE) << "page " << i;
    }
    EXPECT_EQ(0, program.selectedTab());

    program.command(IDC_MAIN_EXIT);
    ASSERT_TRUE(program.waitForEnd()) << "no accessory: Exit ends without a question";
    EXPECT_EQ(0, program.result());
}

TEST_F(MainWindow, GermanRenamesTabsAndMenusAndKeepsTheSelection) {
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    program.selectTab(2);
    program.command(IDM_OPTIONS_LANGUAGE);
    HWND dialog = program.waitForOwnedWindow(L"Language");
    ASSERT_NE(nullptr, dialog);
    CheckDlgButton(dialog, IDC_LANGUAGE_ENGLISH, BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_LANGUAGE_GERMAN, BST_CHECKED);
    clickButton(dialog, IDOK);

    const std::wstring germanSettings = i18n::textIn(Msg::TabSettings, Column::German);
    ASSERT_TRUE(waitFor([&] { return program.tabText(0) == germanSettings; }));
    for (std::size_t i = 0; i < kTabMessages.size(); ++i) {
        EXPECT_EQ(i18n::textIn(kTabMessages[i], Column::German), program.tabText(static_cast<int>(i)));
    }
    for (std::size_t i = 0; i < kMenuBar.size(); ++i) {
        EXPECT_EQ(i18n::textIn(kMenuBar[i], Column::German), program.menuBarText(static_cast<int>(i)));
    }
    EXPECT_EQ(program.menuBarText(3), program.menuItemText(IDM_HELP_HELP));
    EXPECT_EQ(i18n::textIn(Msg::Exit, Column::German), program.menuItemText(IDM_FILE_EXIT));
    EXPECT_EQ(i18n::textIn(Msg::Disconnected, Column::German), program.statusText(0));
    EXPECT_EQ(2, program.selectedTab());
    EXPECT_TRUE(IsWindowVisible(program.page(2)));
    EXPECT_EQ(kGermanKey, storedLanguage());

    program.command(IDM_FILE_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

TEST_F(MainWindow, OnlyTheIrTabRunsTheIrPoll) {
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    EXPECT_FALSE(app::processState().irPollRunning.load());

    program.selectTab(kIrTab);
    EXPECT_TRUE(app::processState().irPollRunning.load());
    EXPECT_TRUE(IsWindowVisible(program.page(kIrTab)));
    EXPECT_FALSE(IsWindowVisible(program.page(0)));

    program.selectTab(1);
    EXPECT_FALSE(app::processState().irPollRunning.load());
    EXPECT_TRUE(IsWindowVisible(program.page(1)));
    EXPECT_FALSE(IsWindowVisible(program.page(kIrTab)));

    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

TEST_F(MainWindow, StatusProgressShowsTheLastReport) {
    ProgramRun program;
    ASSERT_TRUE(program.ready());
    HWND bar = program.statusProgress();
    PBRANGE range{};
    SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(100, range.iHigh);
    EXPECT_EQ(0, SendMessageW(bar, PBM_GETPOS, 0, 0));
    EXPECT_EQ(0, app::processState().statusProgressPercent);

    RECT part{};
    SendMessageW(program.statusBar(), SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    RECT placed{};
    GetWindowRect(bar, &placed);
    MapWindowPoints(nullptr, program.statusBar(), reinterpret_cast<POINT *>(&placed), 2);
    EXPECT_EQ(part.left, placed.left);
    EXPECT_EQ(part.right, placed.right);

    // As a worker reports: without waiting, several in a row.
    for (WPARAM percent : {10, 33, 42}) SendNotifyMessageW(program.mainWindow(), app::UM_PROGRESS, percent, 0);
    ASSERT_TRUE(waitFor([&] { return SendMessageW(bar, PBM_GETPOS, 0, 0) == 42; }));
    EXPECT_EQ(42, app::processState().statusProgressPercent);

    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

}  // namespace
}  // namespace zelo::gui_test
