#include "page_controls_win.h"

#include <vector>

#include "messages.h"
#include "catalogue.h"

namespace zelo::pages {

void fillList(HWND page, int id, std::span<const std::wstring> texts) {
    HWND list = GetDlgItem(page, id);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::wstring &entry : texts) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
}

void selectListIndex(HWND page, int id, std::optional<std::size_t> index) {
    HWND list = GetDlgItem(page, id);
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    const bool valid = index && count >= 0 && *index < static_cast<std::size_t>(count);
    // -1 clears the selection.
    SendMessageW(list, CB_SETCURSEL, valid ? static_cast<WPARAM>(*index) : static_cast<WPARAM>(-1), 0);
}

std::optional<std::size_t> listSelection(HWND page, int id) {
    const LRESULT selected = SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR || selected < 0) return std::nullopt;
    return static_cast<std::size_t>(selected);
}

bool checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void setChecked(HWND page, int id, bool on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }

std::wstring controlText(HWND page, int id) {
    HWND control = GetDlgItem(page, id);
    const int length = GetWindowTextLengthW(control);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = GetWindowTextW(control, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

void setControlText(HWND page, int id, const std::wstring &text) { SetDlgItemTextW(page, id, text.c_str()); }

void showControl(HWND page, int id, bool shown) { ShowWindow(GetDlgItem(page, id), shown ? SW_SHOW : SW_HIDE); }

void enableControl(HWND page, int id, bool enabled) { EnableWindow(GetDlgItem(page, id), enabled ? TRUE : FALSE); }

void showPageError(HWND page, const std::wstring &message) {
    const std::wstring caption = i18n::text(i18n::Msg::Error);
    MessageBoxW(page, message.c_str(), caption.c_str(), MB_OK);
}

}  // namespace zelo::pages
