#include "status_bar_win.h"

#include <commctrl.h>

#include <array>

#include "app_state.h"
#include "main_texts.h"
#include "resource.h"

namespace zelo::app {

namespace {

constexpr std::array<int, 2> kPartRightEdges{166, -1};  // -1: to the window's edge
constexpr DWORD kStatusBarStyle = WS_CHILD | WS_VISIBLE | SBARS_TOOLTIPS;
constexpr DWORD kProgressStyle = WS_CHILD | WS_VISIBLE | PBS_SMOOTH;
constexpr COLORREF kBarColour = RGB(185, 185, 185);
constexpr COLORREF kTextColour = RGB(0, 0, 0);

// The percentage's font.
constexpr int kFontHeight = 13;
constexpr int kFontWeight = 500;
constexpr const wchar_t *kFontFace = L"VERDANA";

WNDPROC g_previousProgressProc = nullptr;

void drawPercent(HWND bar) {
    HDC dc = GetDC(bar);
    if (dc == nullptr) return;
    RECT client{};
    GetClientRect(bar, &client);
    SetTextColor(dc, kTextColour);
    SetBkMode(dc, TRANSPARENT);
    HFONT font = CreateFontW(kFontHeight, 0, 0, 0, kFontWeight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontFace);
    HGDIOBJ previousFont = font != nullptr ? SelectObject(dc, font) : nullptr;
    std::wstring text = percentText(processState().statusProgressPercent);
    // Without DT_SINGLELINE the text sits centred at the top of the bar.
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &client, DT_CENTER | DT_VCENTER);
    if (font != nullptr) {
        SelectObject(dc, previousFont);
        DeleteObject(font);
    }
    ReleaseDC(bar, dc);
}

}  // namespace

HWND ensureStatusBar(HWND mainWindow) {
    WindowState &windows = windowState();
    if (windows.statusBar == nullptr) {
        windows.statusBar = CreateStatusWindowW(kStatusBarStyle, L"", mainWindow, IDC_MAIN_STATUS_BAR);
    }
    if (windows.statusBar != nullptr) {
        std::array<int, 2> edges = kPartRightEdges;
        SendMessageW(windows.statusBar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    }
    return windows.statusBar;
}

void setStatusTexts(HWND statusBar, const std::wstring &connection, const std::wstring &second) {
    if (statusBar == nullptr) return;
    SendMessageW(statusBar, SB_SETTEXTW, kStatusConnectionPart, reinterpret_cast<LPARAM>(connection.c_str()));
    SendMessageW(statusBar, SB_SETTEXTW, kStatusProgressPart, reinterpret_cast<LPARAM>(second.c_str()));
}

HWND createStatusProgress(HWND statusBar) {
    if (statusBar == nullptr) return nullptr;
    RECT part{};
    SendMessageW(statusBar, SB_GETRECT, kStatusProgressPart, reinterpret_cast<LPARAM>(&part));
    HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", kProgressStyle, part.left, part.top, part.right - part.left,
                               part.bottom - part.top, statusBar,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_MAIN_STATUS_PROGRESS)),
                               windowState().instance, nullptr);
    if (bar == nullptr) return nullptr;
    SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(kProgressMinimum, kProgressMaximum));
    SendMessageW(bar, PBM_SETPOS, kProgressMinimum, 0);
    SendMessageW(bar, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(kBarColour));
    g_previousProgressProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(statusProgressProc)));
    processState().statusProgressPercent = kProgressMinimum;
    return bar;
}

LRESULT CALLBACK statusProgressProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(g_previousProgressProc, bar, message, wParam, lParam);
    if (message == PBM_SETPOS) {
        processState().statusProgressPercent = static_cast<int>(wParam);
        InvalidateRect(bar, nullptr, TRUE);
    } else if (message == WM_PAINT) {
        drawPercent(bar);
    }
    return result;
}

}  // namespace zelo::app
