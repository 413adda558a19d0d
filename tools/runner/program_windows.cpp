#include "program_windows.h"

#include <algorithm>
#include <array>

#include "program_texts.h"
#include "resource.h"

namespace zelo::runner {

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kStatusBarClass[] = L"msctls_statusbar32";
constexpr std::size_t kClassNameLength = 64;
// A program busy for longer than this counts as not answering this poll.
constexpr UINT kAnswerTimeoutMs = 1000;
// A command handled at once (a save only starts its worker).
constexpr UINT kCommandTimeoutMs = 10000;

struct ShownWindows {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collectShown(HWND window, LPARAM parameter) {
    auto *search = reinterpret_cast<ShownWindows *>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> shownWindows(DWORD processId) {
    ShownWindows search{processId, {}};
    EnumWindows(collectShown, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool isDialog(HWND window) {
    std::array<wchar_t, kClassNameLength> name{};
    GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return std::wstring_view(name.data()) == kDialogClass;
}

HWND statusBarOf(HWND window) { return FindWindowExW(window, nullptr, kStatusBarClass, nullptr); }

struct MacroPageSearch {
    HWND found;
};

BOOL CALLBACK findMacroPageChild(HWND window, LPARAM parameter) {
    auto *search = reinterpret_cast<MacroPageSearch *>(parameter);
    if (isDialog(window) && GetDlgItem(window, IDC_MACRO_SELECT) != nullptr &&
        GetDlgItem(window, IDC_MACRO_HOLD_0) != nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::optional<std::wstring> answeredText(HWND window) {
    std::array<wchar_t, MAX_PATH> text{};
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                            SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &length) == 0) {
        return std::nullopt;
    }
    return std::wstring(text.data(), std::min<std::size_t>(length, text.size() - 1));
}

}  // namespace

HWND findMainWindow(DWORD processId) {
    for (HWND window : shownWindows(processId)) {
        if (isDialog(window) && GetWindow(window, GW_OWNER) == nullptr && statusBarOf(window) != nullptr) return window;
    }
    return nullptr;
}

HWND findLanguageDialog(DWORD processId) {
    for (HWND window : shownWindows(processId)) {
        const std::optional<std::wstring> title = answeredText(window);
        if (isDialog(window) && title && isLanguageDialogTitle(*title)) return window;
    }
    return nullptr;
}

std::vector<std::wstring> shownWindowTitles(DWORD processId) {
    std::vector<std::wstring> titles;
    for (HWND window : shownWindows(processId)) titles.push_back(answeredText(window).value_or(L"(not answering)"));
    return titles;
}

std::optional<std::wstring> statusText(HWND mainWindow) {
    HWND bar = statusBarOf(mainWindow);
    if (bar == nullptr) return std::nullopt;
    return answeredText(bar);
}

void postCommand(HWND window, int id) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

bool sendCommand(HWND window, int id) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                               reinterpret_cast<LPARAM>(GetDlgItem(window, id)), SMTO_ABORTIFHUNG,
                               kCommandTimeoutMs, &result) != 0;
}

HWND findMacroPage(HWND mainWindow) {
    MacroPageSearch search{nullptr};
    EnumChildWindows(mainWindow, findMacroPageChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool setControlText(HWND dialog, int id, const std::wstring &text) {
    HWND control = GetDlgItem(dialog, id);
    DWORD_PTR result = 0;
    return control != nullptr && SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                                     SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result) != 0 &&
           result == TRUE;
}

}  // namespace zelo::runner
