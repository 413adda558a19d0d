#include "text_fit.h"

#include <commctrl.h>

#include <array>
#include <cwctype>
#include <string_view>

#include "gui_harness.h"

namespace zelo::gui_test {
namespace {

constexpr std::size_t kClassNameLength = 64;
constexpr int kPercent = 100;
// Room a push button's frame and focus rectangle take on each side.
constexpr int kButtonInnerMargin = 4;
// Between a check box's or radio button's box and its text.
constexpr int kBoxTextGap = 4;
// A group box caption starts this far in and needs as much on the right.
constexpr int kGroupCaptionInset = 8;
// Beside a closed list's or status bar part's text: its frame and the
// text's inset on each side.
constexpr int kComboTextInset = 3;
// The message text of a message box.
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr std::array<std::wstring_view, 3> kFormatPlaceholders{L"%s", L"%d", L"%.2f"};

std::wstring className(HWND window) {
    std::array<wchar_t, kClassNameLength> name{};
    GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return name.data();
}

bool isClass(HWND window, const wchar_t *name) {
    return CompareStringOrdinal(className(window).c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
}

int withMargin(int extent) { return (extent * (kPercent + kFontMarginPercent) + kPercent - 1) / kPercent; }
int withoutMargin(int room) { return room * kPercent / (kPercent + kFontMarginPercent); }

// DrawText in a memory DC with the control's own font.
class Measure {
public:
    explicit Measure(HWND control) : dc_(CreateCompatibleDC(nullptr)) {
        auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        if (font == nullptr) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        previous_ = SelectObject(dc_, font);
    }
    ~Measure() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    Measure(const Measure &) = delete;
    Measure &operator=(const Measure &) = delete;

    SIZE singleLine(const std::wstring &text, UINT flags) const {
        RECT rect{0, 0, 0, 0};
        DrawTextW(dc_, text.c_str(), -1, &rect, flags | DT_CALCRECT | DT_SINGLELINE);
        return {rect.right - rect.left, rect.bottom - rect.top};
    }
    // The wrapped text's size at width; wider than width when a word is.
    SIZE wrapped(const std::wstring &text, int width, UINT flags) const {
        RECT rect{0, 0, width, 0};
        DrawTextW(dc_, text.c_str(), -1, &rect, flags | DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
        return {rect.right - rect.left, rect.bottom - rect.top};
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

SIZE clientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

std::wstring versus(const wchar_t *what, long needed, long available) {
    return std::wstring(what) + L" needs " + std::to_wstring(needed) + L" px, has " + std::to_wstring(available);
}

// A word-wrapping static: every line inside its height, no word wider.
std::wstring staticProblem(HWND control, const std::wstring &text, bool margin) {
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const UINT prefix = (style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0;
    const SIZE room = clientSize(control);
    const Measure measure(control);
    const DWORD type = static_cast<DWORD>(style) & SS_TYPEMASK;
    if (type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP) {
        const SIZE line = measure.singleLine(text, prefix);
        const int needed = margin ? withMargin(line.cx) : line.cx;
        return needed > room.cx ? versus(L"width", needed, room.cx) : L"";
    }
    const int layoutWidth = margin ? withoutMargin(room.cx) : room.cx;
    const SIZE needed = measure.wrapped(text, layoutWidth, prefix);
    if (needed.cx > layoutWidth) return versus(L"a word", margin ? withMargin(needed.cx) : needed.cx, room.cx);
    if (needed.cy > room.cy) return versus(L"height", needed.cy, room.cy);
    return L"";
}

bool isTextStatic(HWND control) {
    const DWORD type = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)) & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

// Single-line buttons of every kind but owner-drawn ones.
std::wstring buttonProblem(HWND control, const std::wstring &text) {
    const DWORD type = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)) & BS_TYPEMASK;
    int chrome = 0;
    switch (type) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        chrome = 2 * kButtonInnerMargin;
        break;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
        chrome = GetSystemMetrics(SM_CXMENUCHECK) + kBoxTextGap;
        break;
    case BS_GROUPBOX:
        chrome = 2 * kGroupCaptionInset;
        break;
    default:
        return L"";
    }
    const int needed = withMargin(Measure(control).singleLine(text, 0).cx) + chrome;
    const int available = clientSize(control).cx;
    return needed > available ? versus(L"width", needed, available) : L"";
}

// A closed drop-down list shows one entry beside its arrow button; every
// entry must fit there, since any may be the one selected.
void measureListEntries(HWND combo, const std::wstring &where, std::vector<Misfit> &found) {
    const Measure measure(combo);
    const int available = clientSize(combo).cx - GetSystemMetrics(SM_CXVSCROLL) - 2 * kComboTextInset;
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length <= 0) continue;
        std::wstring entry(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry.data()));
        entry.resize(static_cast<std::size_t>(length));
        const int needed = withMargin(measure.singleLine(entry, DT_NOPREFIX).cx);
        if (needed > available) {
            found.push_back({where + L" (list entry " + std::to_wstring(i) + L")", GetDlgCtrlID(combo), entry,
                             versus(L"width", needed, available)});
        }
    }
}

struct ControlSearch {
    HWND parent;
    const std::wstring *where;
    std::vector<Misfit> found;
};

void measureOne(HWND control, ControlSearch &search) {
    if (isClass(control, WC_COMBOBOXW)) {
        measureListEntries(control, *search.where, search.found);
        return;
    }
    const std::wstring text = windowText(control);
    if (text.empty()) return;
    std::wstring problem;
    if (isClass(control, L"Static")) {
        if (!isTextStatic(control)) return;
        problem = staticProblem(control, text, true);
    } else if (isClass(control, L"Button")) {
        problem = buttonProblem(control, text);
    } else {
        return;
    }
    const std::wstring leftover = leftoverPlaceholder(text);
    if (!leftover.empty()) problem += (problem.empty() ? L"" : L"; ") + (L"shows " + leftover);
    if (!problem.empty()) search.found.push_back({*search.where, GetDlgCtrlID(control), text, problem});
}

BOOL CALLBACK measureChild(HWND control, LPARAM parameter) {
    auto &search = *reinterpret_cast<ControlSearch *>(parameter);
    if (GetParent(control) == search.parent && IsWindowVisible(control)) measureOne(control, search);
    return TRUE;
}

bool isMarkerCharacter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'.'; }

}  // namespace

std::wstring describe(const Misfit &misfit) {
    return misfit.where + L", control " + std::to_wstring(misfit.controlId) + L": \"" + misfit.text + L"\": " +
           misfit.problem;
}

std::vector<Misfit> measureControls(HWND window, const std::wstring &where) {
    ControlSearch search{window, &where, {}};
    EnumChildWindows(window, measureChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<Misfit> measureTabStrip(HWND tab, const std::wstring &where) {
    std::vector<Misfit> found;
    const int count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    if (count == 0) return found;
    // The arrows appear only once the tabs no longer fit side by side.
    if (FindWindowExW(tab, nullptr, UPDOWN_CLASSW, nullptr) != nullptr) {
        found.push_back({where, GetDlgCtrlID(tab), L"(tab strip)", L"scroll arrows shown"});
    }
    // The margin, summed over the captions, must fit beside the last tab.
    const Measure measure(tab);
    int captions = 0;
    std::wstring all;
    for (int i = 0; i < count; ++i) {
        std::array<wchar_t, kClassNameLength> caption{};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        item.cchTextMax = static_cast<int>(caption.size());
        SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        captions += measure.singleLine(caption.data(), 0).cx;
        all += (i == 0 ? L"" : L" | ") + std::wstring(caption.data());
    }
    RECT last{};
    SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&last));
    const int needed = last.right + withMargin(captions) - captions;
    const int available = clientSize(tab).cx;
    if (needed > available) found.push_back({where, GetDlgCtrlID(tab), all, versus(L"width", needed, available)});
    return found;
}

std::vector<Misfit> measureStatusBar(HWND bar, const std::wstring &where) {
    std::vector<Misfit> found;
    const Measure measure(bar);
    const int parts = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
    for (int part = 0; part < parts; ++part) {
        const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0));
        if (length == 0) continue;
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
        text.resize(length);
        RECT rect{};
        SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&rect));
        const int needed = withMargin(measure.singleLine(text, DT_NOPREFIX).cx) + 2 * kComboTextInset;
        const int available = rect.right - rect.left;
        if (needed > available) {
            found.push_back({where + L" (part " + std::to_wstring(part) + L")", GetDlgCtrlID(bar), text,
                             versus(L"width", needed, available)});
        }
    }
    return found;
}

std::vector<Misfit> measureMessageBox(HWND box, const std::wstring &where) {
    std::vector<Misfit> found;
    HWND message = GetDlgItem(box, kMessageBoxTextId);
    const std::wstring text = message != nullptr ? windowText(message) : L"";
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame{};
    GetWindowRect(box, &frame);
    if (frame.left < work.left || frame.top < work.top || frame.right > work.right || frame.bottom > work.bottom) {
        found.push_back({where, kMessageBoxTextId, text,
                         versus(L"the box", frame.right - frame.left, work.right - work.left) + L" (width), " +
                             std::to_wstring(frame.bottom - frame.top) + L" px high"});
    }
    // The box is laid out for the font it uses: no margin here.
    const std::wstring problem = message != nullptr ? staticProblem(message, text, false) : L"no message text";
    if (!problem.empty()) found.push_back({where, kMessageBoxTextId, text, problem});
    return found;
}

std::wstring leftoverPlaceholder(const std::wstring &text) {
    for (std::wstring_view placeholder : kFormatPlaceholders) {
        if (text.find(placeholder) != std::wstring::npos) return std::wstring(placeholder);
    }
    for (std::size_t open = text.find(L'['); open != std::wstring::npos; open = text.find(L'[', open + 1)) {
        std::size_t end = open + 1;
        while (end < text.size() && isMarkerCharacter(text[end])) ++end;
        if (end > open + 1 && end < text.size() && text[end] == L']') return text.substr(open, end - open + 1);
    }
    return L"";
}

}  // namespace zelo::gui_test
