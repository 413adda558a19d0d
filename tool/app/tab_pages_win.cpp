#include "tab_pages_win.h"

#include <commctrl.h>

#include <string>

#include "app_state.h"
#include "catalogue.h"
#include "texts_win.h"
#include "workers_win.h"

namespace zelo::app {

namespace {

// Where a page sits inside the tab control's client area, and where its
// frame sits inside the page.
constexpr int kPageLeftInset = 5;
constexpr int kPageTopInset = 30;
constexpr int kPageWidthShrink = 10;
constexpr int kPageHeightShrink = 36;
constexpr int kFrameLeftInset = 2;
constexpr int kFrameTopOffset = -2;
constexpr int kFrameWidthShrink = 4;

std::array<PageFactory, kPageCount> g_factories{};
std::array<std::unique_ptr<PageWindow>, kPageCount> g_pages;
PageSet g_pageSet;

std::size_t slot(PageIndex index) { return static_cast<std::size_t>(index); }

const TabPage *tabPageOfTemplate(int templateId) {
    for (const TabPage &page : kTabPages) {
        if (page.templateId == templateId) return &page;
    }
    return nullptr;
}

std::unique_ptr<PageWindow> makePage(PageIndex index) {
    if (const PageFactory factory = g_factories[slot(index)]) return factory();
    return std::make_unique<PageWindow>();
}

void insertTab(HWND tab, std::size_t position, i18n::Msg caption) {
    std::wstring text = i18n::text(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(tab, TCM_INSERTITEMW, position, reinterpret_cast<LPARAM>(&item));
}

void placePage(HWND tab, HWND page) {
    RECT area{};
    GetClientRect(tab, &area);
    MoveWindow(page, area.left + kPageLeftInset, area.top + kPageTopInset,
               (area.right - area.left) - kPageWidthShrink, (area.bottom - area.top) - kPageHeightShrink, TRUE);
    RECT inner{};
    GetClientRect(page, &inner);
    MoveWindow(GetDlgItem(page, IDC_PAGE_FRAME), inner.left + kFrameLeftInset, inner.top + kFrameTopOffset,
               (inner.right - inner.left) - kFrameWidthShrink, inner.bottom - inner.top, TRUE);
}

}  // namespace

INT_PTR PageWindow::handleMessage(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void PageWindow::irStatus(const IrStatusRecord &) {}

void setPageFactory(PageIndex index, PageFactory factory) { g_factories[slot(index)] = factory; }

void createTabPages(HWND mainWindow) {
    WindowState &windows = windowState();
    HWND tab = GetDlgItem(mainWindow, IDC_MAIN_TAB);
    windows.tabControl = tab;
    releaseTabPages();
    for (std::size_t i = 0; i < kTabPages.size(); ++i) {
        const TabPage &tabPage = kTabPages[i];
        g_pages[i] = makePage(tabPage.index);
        g_pageSet.set(tabPage.index, g_pages[i].get());
        HWND page = CreateDialogParamW(windows.instance, MAKEINTRESOURCEW(tabPage.templateId), tab, pageDialogProc,
                                       static_cast<LPARAM>(tabPage.templateId));
        windows.pages[i] = page;
        insertTab(tab, i, tabPage.caption);
        if (page == nullptr) continue;
        placePage(tab, page);
        // Language changes reach every page, also those that do not write
        // their texts when they are created.
        i18n::registerWindow(tabPage.templateId, page);
    }
    if (windows.pages[0] != nullptr) ShowWindow(windows.pages[0], SW_SHOW);
    SendMessageW(tab, TCM_SETCURSEL, 0, 0);
}

void switchPage() {
    const WindowState &windows = windowState();
    const LRESULT selected = SendMessageW(windows.tabControl, TCM_GETCURSEL, 0, 0);
    for (HWND page : windows.pages) {
        if (page != nullptr) ShowWindow(page, SW_HIDE);
    }
    const bool valid = selected >= 0 && static_cast<std::size_t>(selected) < kTabPages.size();
    if (valid) {
        const std::size_t index = static_cast<std::size_t>(selected);
        HWND page = windows.pages[index];
        if (page != nullptr) {
            ShowWindow(page, SW_SHOW);
            i18n::applyTexts(page, kTabPages[index].templateId);
        }
    }
    setIrPoll(valid && kTabPages[static_cast<std::size_t>(selected)].index == PageIndex::TransmitReceive);
}

void releaseTabPages() {
    g_pageSet.clear();
    for (auto &page : g_pages) page.reset();
}

const PageSet &pageSet() { return g_pageSet; }

PageWindow *pageWindow(PageIndex index) { return g_pages[slot(index)].get(); }

INT_PTR CALLBACK pageDialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const TabPage *tabPage = tabPageOfTemplate(static_cast<int>(lParam));
        PageWindow *object = tabPage != nullptr ? g_pages[slot(tabPage->index)].get() : nullptr;
        SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(object));
        if (object == nullptr) return TRUE;
        object->attach(page);
        object->handleMessage(page, message, wParam, lParam);
        return TRUE;
    }
    auto *object = reinterpret_cast<PageWindow *>(GetWindowLongPtrW(page, DWLP_USER));
    if (object == nullptr) return FALSE;
    if (message == WM_NCDESTROY) object->attach(nullptr);
    return object->handleMessage(page, message, wParam, lParam);
}

}  // namespace zelo::app
