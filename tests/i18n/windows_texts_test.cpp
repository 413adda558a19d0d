// Texts written into the real dialog templates and menu, and the language
// dialog driven from a second thread while its modal loop runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <string>
#include <thread>

#include "resource.h"
#include "texts.h"
#include "texts_win.h"

namespace zelo::i18n {
namespace {

constexpr auto kDeadline = std::chrono::seconds(10);
constexpr DWORD kPollMs = 10;
constexpr int kTabCount = 6;
constexpr int kSelectedTab = 2;

INT_PTR CALLBACK plainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

HWND createDialog(int templateId, HWND parent) {
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent, plainDialogProc, 0);
}

std::wstring windowText(HWND window) {
    wchar_t buffer[512]{};
    GetWindowTextW(window, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

std::wstring menuText(HMENU menu, UINT item, UINT flags) {
    wchar_t buffer[256]{};
    GetMenuStringW(menu, item, buffer, static_cast<int>(std::size(buffer)), flags);
    return buffer;
}

std::wstring tabText(HWND tab, int index) {
    wchar_t buffer[256]{};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(std::size(buffer));
    SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

class WindowTextsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        resetLanguage();
        forgetWindows();
    }
    void TearDown() override {
        forgetWindows();
        resetLanguage();
    }
};

TEST_F(WindowTextsTest, LanguageSwitchRenamesTabsMenuAndControlsInPlace) {
    HWND main = createDialog(IDD_MAIN, nullptr);
    ASSERT_NE(main, nullptr);
    HWND tab = GetDlgItem(main, IDC_MAIN_TAB);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t *>(L"?");
    for (int i = 0; i < kTabCount; ++i) SendMessageW(tab, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    SendMessageW(tab, TCM_SETCURSEL, kSelectedTab, 0);
    HWND settings = createDialog(IDD_PAGE_SETTINGS, tab);
    HWND module = createDialog(IDD_PAGE_MODULE, tab);
    registerWindow(IDD_PAGE_SETTINGS, settings);
    registerWindow(IDD_PAGE_MODULE, module);
    int mainHookRuns = 0;
    setTextHook(IDD_MAIN, [&](HWND window) { mainHookRuns += window == main ? 1 : 0; });

    setLanguage(1);
    applyLanguageToAll(main);

    EXPECT_EQ(tabText(tab, 0), L"Einstellungen");
    EXPECT_EQ(tabText(tab, kTabCount - 1), L"Modul installieren");
    EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), kTabCount);
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), kSelectedTab);
    EXPECT_EQ(windowText(GetDlgItem(settings, IDC_SETTINGS_STATUS_LED)), L"Status-LED bei IR-Aktivität einschalten");
    EXPECT_EQ(windowText(GetDlgItem(module, IDC_MODULE_RESTORE)), L"Wiederherstellen ");
    EXPECT_EQ(windowText(GetDlgItem(main, IDC_MAIN_SAVE)), L"Speichern");
    EXPECT_EQ(windowText(GetDlgItem(main, IDC_MAIN_EXIT)), L"Schließen");
    EXPECT_GE(mainHookRuns, 1);

    HMENU menu = GetMenu(main);
    EXPECT_EQ(menuText(menu, 3, MF_BYPOSITION), L"Hilfe");
    EXPECT_EQ(menuText(menu, IDM_HELP_HELP, MF_BYCOMMAND), L"Hilfe");
    EXPECT_NE(GetSubMenu(menu, 3), nullptr);
    EXPECT_EQ(menuText(menu, IDM_TOOLS_PAIR, MF_BYCOMMAND), L"Mit PS3 koppeln");
    EXPECT_EQ(GetMenuState(menu, IDM_OPTIONS_FILL_FF, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuState(menu, IDM_OPTIONS_FILL_00, MF_BYCOMMAND), static_cast<UINT>(-1));
    DestroyWindow(main);
}

TEST_F(WindowTextsTest, SmallDialogsTakeTitleAndControlTexts) {
    setLanguage(15);
    HWND pairing = createDialog(IDD_PAIRING, nullptr);
    applyTexts(pairing, IDD_PAIRING);
    EXPECT_EQ(windowText(pairing), L"Para");
    EXPECT_EQ(windowText(GetDlgItem(pairing, IDC_PAIR_CLOSE)), L"Loka");
    DestroyWindow(pairing);

    setLanguage(kEnglishKey);
    HWND about = createDialog(IDD_ABOUT, nullptr);
    applyTexts(about, IDD_ABOUT);
    const std::wstring notice = windowText(GetDlgItem(about, IDC_ABOUT_NOTICE));
    EXPECT_NE(notice.find(L"2008-" + buildYear() + L" QX Electronics"), std::wstring::npos);
    DestroyWindow(about);
}

// Runs the language dialog on this thread; `drive` gets it from a helper
// thread once it is shown and must close it.
template <typename Drive>
bool runDrivenLanguageDialog(Drive drive) {
    const DWORD uiThread = GetCurrentThreadId();
    std::thread helper([&] {
        const auto end = std::chrono::steady_clock::now() + kDeadline;
        HWND dialog = nullptr;
        while (dialog == nullptr && std::chrono::steady_clock::now() < end) {
            EnumThreadWindows(
                uiThread,
                [](HWND window, LPARAM found) {
                    if (GetDlgItem(window, IDC_LANGUAGE_ENGLISH) == nullptr || !IsWindowVisible(window)) return TRUE;
                    *reinterpret_cast<HWND *>(found) = window;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&dialog));
            if (dialog == nullptr) Sleep(kPollMs);
        }
        if (dialog != nullptr) drive(dialog);
    });
    const bool confirmed = runLanguageDialog(nullptr);
    helper.join();
    return confirmed;
}

bool ticked(HWND dialog, int radio) {
    return SendMessageW(GetDlgItem(dialog, radio), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void tick(HWND dialog, int radio, bool on) {
    SendMessageW(GetDlgItem(dialog, radio), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

TEST_F(WindowTextsTest, LanguageDialogOpensOnEnglishAndOkTakesTheFirstTickedInOrder) {
    bool englishTicked = false;
    bool dutchHidden = false;
    std::wstring title;
    const bool confirmed = runDrivenLanguageDialog([&](HWND dialog) {
        englishTicked = ticked(dialog, IDC_LANGUAGE_ENGLISH);
        dutchHidden = !IsWindowVisible(GetDlgItem(dialog, IDC_LANGUAGE_DUTCH));
        title = windowText(dialog);
        tick(dialog, IDC_LANGUAGE_ENGLISH, false);
        tick(dialog, IDC_LANGUAGE_FRENCH, true);
        tick(dialog, IDC_LANGUAGE_GERMAN, true);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(englishTicked);
    EXPECT_TRUE(dutchHidden);
    EXPECT_EQ(title, L"Language");
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(languageKey(), 1u);
}

TEST_F(WindowTextsTest, LanguageDialogCancelKeepsTheLanguage) {
    setLanguage(15);
    bool icelandicTicked = false;
    const bool confirmed = runDrivenLanguageDialog([&](HWND dialog) {
        icelandicTicked = ticked(dialog, IDC_LANGUAGE_ICELANDIC);
        tick(dialog, IDC_LANGUAGE_ICELANDIC, false);
        tick(dialog, IDC_LANGUAGE_DANISH, true);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(icelandicTicked);
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(languageKey(), 15u);
}

}  // namespace
}  // namespace zelo::i18n
