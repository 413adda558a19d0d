// Every text readable in full in every language: the real main window with
// a simulated standard and X accessory, every tab, the language, About and
// pairing dialogs, and every catalogue text as a message box, measured with
// the fonts the windows draw with.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app_state.h"
#include "connection_helpers.h"
#include "gui_harness.h"
#include "resource.h"
#include "text_fit.h"
#include "texts.h"

namespace zelo::gui_test {
namespace {

using i18n::Msg;

constexpr std::array<const wchar_t *, 6> kPageNames{L"settings page", L"macro page", L"device code page",
                                                    L"key mapping page", L"IR page", L"module page"};
constexpr int kSettingsTab = 0;
constexpr int kModuleTab = 5;
// What the module page's status line shows while and after it works.
constexpr std::array<Msg, 3> kModuleStatuses{Msg::InstallingModule, Msg::ModuleInstalled, Msg::ModuleInstallError};

// Markers and format placeholders filled with values as long as the
// program's; an unknown marker gets a long word.
struct Sample {
    std::wstring_view placeholder;
    std::wstring_view value;
};
constexpr std::array<Sample, 9> kSamples{{
    {i18n::kMarkerVersion, L"2.05"},
    {i18n::kMarkerVersion2, L"2.10"},
    {i18n::kMarkerNewVersion, L"2.10"},
    {i18n::kMarkerFlash, L""},
    {i18n::kMarkerReason, L"macros.3.steps.2.command: unknown command \"VOLUME UP\"\r\nkeys.12: not on this model"},
    {i18n::kMarkerFile, L"C:\\Users\\Administrator\\Documents\\ZE-LO settings\\living room 2024-05-01 before update.zelo"},
    {L"%s", L"1.30"},
    {L"%d", L"65535"},
    {L"%.2f", L"1.29"},
}};
constexpr std::wstring_view kUnknownSample = L"XXXXXXXXXXXXXXXXXXXX";

std::string narrow(const std::wstring &text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

void report(const std::vector<Misfit> &misfits) {
    for (const Misfit &misfit : misfits) ADD_FAILURE() << narrow(describe(misfit));
}

void append(std::vector<Misfit> &to, const std::vector<Misfit> &more) { to.insert(to.end(), more.begin(), more.end()); }

// A control measured in several states is reported once per language.
std::vector<Misfit> firstOfEach(const std::vector<Misfit> &misfits) {
    std::set<std::wstring> seen;
    std::vector<Misfit> first;
    for (const Misfit &misfit : misfits) {
        const std::wstring language = misfit.where.substr(0, misfit.where.find(L','));
        if (seen.insert(language + L'|' + std::to_wstring(misfit.controlId) + L'|' + misfit.text).second) {
            first.push_back(misfit);
        }
    }
    return first;
}

std::wstring filledWithSamples(std::wstring text) {
    for (std::wstring found = leftoverPlaceholder(text); !found.empty(); found = leftoverPlaceholder(text)) {
        std::wstring_view value = kUnknownSample;
        for (const Sample &sample : kSamples) {
            if (sample.placeholder == found) value = sample.value;
        }
        text.replace(text.find(found), found.size(), value);
    }
    return text;
}

// Drives one run of the program through every language.
class Tour {
public:
    explicit Tour(const ProgramRun &program) : program_(program) {}

    std::vector<Misfit> everyLanguage() {
        for (const i18n::Language &language : i18n::languages()) {
            if (!switchTo(language)) {
                ADD_FAILURE() << "could not switch to " << narrow(std::wstring(language.label));
                continue;
            }
            measureMainWindow();
            measurePages();
            measureDialog(IDM_HELP_ABOUT, Msg::About, L"About dialog");
            measureDialog(IDM_TOOLS_PAIR, Msg::Pair, L"pairing dialog");
        }
        return firstOfEach(found_);
    }

private:
    std::wstring where(const wchar_t *window) const { return std::wstring(language_) + L", " + window; }

    // Through the language dialog, which is measured while it is open.
    bool switchTo(const i18n::Language &language) {
        program_.command(IDM_OPTIONS_LANGUAGE);
        HWND dialog = program_.waitForOwnedWindow(i18n::text(Msg::Language));
        if (dialog == nullptr) return false;
        append(found_, measureControls(dialog, where(L"language dialog")));
        for (const i18n::Language &other : i18n::languages()) CheckDlgButton(dialog, other.radioId, BST_UNCHECKED);
        CheckDlgButton(dialog, language.radioId, BST_CHECKED);
        clickButton(dialog, IDOK);
        language_ = language.label;
        const std::wstring settings = i18n::textIn(Msg::TabSettings, language.column);
        return waitFor([&] { return IsWindow(dialog) == FALSE && program_.tabText(kSettingsTab) == settings; });
    }

    void measureMainWindow() {
        append(found_, measureControls(program_.mainWindow(), where(L"main window")));
        append(found_, measureTabStrip(program_.tabControl(), where(L"tab strip")));
        append(found_, measureStatusBar(program_.statusBar(), where(L"status bar")));
    }

    void measurePages() {
        for (std::size_t tab = 0; tab < kPageNames.size(); ++tab) {
            const int index = static_cast<int>(tab);
            program_.selectTab(index);
            append(found_, measureControls(program_.page(index), where(kPageNames[tab])));
            if (index == kSettingsTab) measureReceiverModes(program_.page(index));
            if (index == kModuleTab) measureModuleStatuses(program_.page(index));
        }
        program_.selectTab(kSettingsTab);
    }

    // Each receiver mode shows its own help and, for some, the power note.
    void measureReceiverModes(HWND page) {
        HWND modes = GetDlgItem(page, IDC_SETTINGS_RECEIVER_MODE);
        const auto original = SendMessageW(modes, CB_GETCURSEL, 0, 0);
        const auto count = SendMessageW(modes, CB_GETCOUNT, 0, 0);
        for (LRESULT mode = 0; mode <= count; ++mode) {
            // The last pass puts the original selection back.
            const WPARAM select = static_cast<WPARAM>(mode < count ? mode : original);
            SendMessageW(modes, CB_SETCURSEL, select, 0);
            SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_SETTINGS_RECEIVER_MODE, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(modes));
            if (mode < count) {
                const std::wstring name = L"settings page, receiver mode " + std::to_wstring(mode);
                append(found_, measureControls(page, where(name.c_str())));
            }
        }
    }

    void measureModuleStatuses(HWND page) {
        HWND status = GetDlgItem(page, IDC_MODULE_STATUS);
        const std::wstring idle = windowText(status);
        for (Msg message : kModuleStatuses) {
            SetWindowTextW(status, i18n::text(message).c_str());
            append(found_, measureControls(page, where(L"module page status")));
        }
        SetWindowTextW(status, idle.c_str());
    }

    void measureDialog(int command, Msg title, const wchar_t *name) {
        program_.command(command);
        HWND dialog = program_.waitForOwnedWindow(i18n::text(title));
        if (dialog == nullptr) {
            ADD_FAILURE() << narrow(where(name)) << " did not open";
            return;
        }
        append(found_, measureControls(dialog, where(name)));
        clickButton(dialog, IDCANCEL);
        waitFor([&] { return IsWindow(dialog) == FALSE; });
    }

    const ProgramRun &program_;
    std::wstring language_;
    std::vector<Misfit> found_;
};

class TextFit : public testing::Test {
protected:
    void tourWith(const std::string &model) {
        world_.plug(model);
        ProgramRun program;
        ASSERT_TRUE(program.ready());
        ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));
        report(Tour(program).everyLanguage());
        program.command(IDM_FILE_EXIT);
        EXPECT_TRUE(program.waitForEnd()) << "measuring changes nothing: Exit asks no question";
    }

    SimulatedWorld world_;
};

TEST_F(TextFit, StandardAccessoryEveryWindowEveryLanguage) { tourWith("standard"); }

TEST_F(TextFit, XAccessoryEveryWindowEveryLanguage) { tourWith("x"); }

// A message box grows with its text, so it fits when it stays on the work
// area and shows every line of the text filled as the program fills it.
TEST(TextFitMessageBoxes, EveryCatalogueTextEveryLanguage) {
    std::vector<Misfit> found;
    for (const i18n::Language &language : i18n::languages()) {
        const std::wstring caption = i18n::textIn(Msg::Information, language.column);
        for (std::size_t id = 0; id < i18n::kMessageCount; ++id) {
            const std::wstring text = filledWithSamples(i18n::textIn(static_cast<Msg>(id), language.column));
            std::atomic<DWORD> thread{0};
            std::thread shower([&] {
                thread = GetCurrentThreadId();
                MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
            });
            HWND box = nullptr;
            waitFor([&] {
                box = thread.load() != 0 ? FindWindowW(L"#32770", caption.c_str()) : nullptr;
                return box != nullptr && IsWindowVisible(box) && GetWindowThreadProcessId(box, nullptr) == thread.load();
            });
            if (box != nullptr) {
                append(found, measureMessageBox(box, std::wstring(language.label) + L", message box"));
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            } else {
                ADD_FAILURE() << "no message box for " << narrow(text);
            }
            shower.join();
        }
    }
    report(found);
}

// The measuring itself: a cut text is found, a fitting one is not.
TEST(TextFitMeasure, FindsCutTextsAndPassesFittingOnes) {
    HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(nullptr, parent);
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    auto child = [&](const wchar_t *cls, const wchar_t *text, DWORD style, int id, int width, int height) {
        HWND control = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, width, height, parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        SendMessageW(control, WM_SETFONT, font, FALSE);
        return control;
    };
    constexpr int kLine = 16;
    child(L"Static", L"Sélectionner une macro", SS_LEFT, 1, 40, kLine);  // wraps below its height
    child(L"Static", L"Two lines of text here", SS_LEFT, 2, 380, 2 * kLine);
    child(L"Button", L"Predeterminado", BS_PUSHBUTTON, 3, 30, 2 * kLine);  // too narrow
    child(L"Button", L"OK", BS_PUSHBUTTON, 4, 80, 2 * kLine);
    HWND check = child(L"Button", L"Aktivér", BS_AUTOCHECKBOX, 5, 0, kLine);  // sized below
    child(L"Static", L"Restore [FLASH]", SS_LEFT, 6, 380, kLine);  // marker left in
    HWND list = child(L"ComboBox", L"", CBS_DROPDOWNLIST, 7, 80, 10 * kLine);
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Auto"));
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Automatique (à la mise sous tension)"));
    // Wide enough for the text alone, not for the box beside it.
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(font));
    SIZE extent{};
    const std::wstring checkText = windowText(check);
    GetTextExtentPoint32W(dc, checkText.c_str(), static_cast<int>(checkText.size()), &extent);
    DeleteDC(dc);
    SetWindowPos(check, nullptr, 0, 0, extent.cx + 2, kLine, SWP_NOMOVE | SWP_NOZORDER);

    std::vector<int> ids;
    for (const Misfit &misfit : measureControls(parent, L"test")) ids.push_back(misfit.controlId);
    EXPECT_EQ((std::vector<int>{1, 3, 5, 6, 7}), ids) << "the list's second entry only";

    HWND bar = CreateStatusWindowW(WS_CHILD | WS_VISIBLE, L"", parent, 8);
    const std::array<int, 2> edges{60, -1};
    SendMessageW(bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    SendMessageW(bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"ZE\u00B7LO X Nicht verbunden"));
    SendMessageW(bar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"v2.06"));
    const std::vector<Misfit> cut = measureStatusBar(bar, L"test");
    ASSERT_EQ(1u, cut.size()) << "the narrow first part only";
    EXPECT_EQ(L"ZE\u00B7LO X Nicht verbunden", cut.front().text);
    DestroyWindow(parent);

    EXPECT_EQ(L"[VERSION2]", leftoverPlaceholder(L"upgrade to [VERSION2]."));
    EXPECT_EQ(L"%.2f", leftoverPlaceholder(L"version is %.2f"));
    EXPECT_EQ(L"", leftoverPlaceholder(L"Restore "));
    EXPECT_EQ(L"", leftoverPlaceholder(L"hold '2' [button] > Settings"));
}

}  // namespace
}  // namespace zelo::gui_test
