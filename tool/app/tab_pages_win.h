// The six tab pages of the main window: their templates and captions, their
// creation inside the tab control, and the page switch.
#ifndef ZELO_APP_TAB_PAGES_WIN_H
#define ZELO_APP_TAB_PAGES_WIN_H

#include <windows.h>

#include <array>

#include "messages.h"
#include "page_window_win.h"
#include "resource.h"

namespace zelo::app {

struct TabPage {
    PageIndex index;
    int templateId;
    i18n::Msg caption;
};

inline constexpr std::array<TabPage, kPageCount> kTabPages{{
    {PageIndex::Settings, IDD_PAGE_SETTINGS, i18n::Msg::TabSettings},
    {PageIndex::Macros, IDD_PAGE_MACROS, i18n::Msg::TabMacros},
    {PageIndex::DeviceCode, IDD_PAGE_DEVICE_CODE, i18n::Msg::TabDeviceCode},
    {PageIndex::Buttons, IDD_PAGE_KEY_MAPPING, i18n::Msg::TabButtons},
    {PageIndex::TransmitReceive, IDD_PAGE_IR, i18n::Msg::TabTransmitReceive},
    {PageIndex::InstallModule, IDD_PAGE_MODULE, i18n::Msg::InstallModule},
}};

// Creates the pages as children of the tab control (id 1013), one tab per
// page, places them and their frames, and shows page 0.
void createTabPages(HWND mainWindow);
// TCN_SELCHANGE: shows the selected page alone, writes its texts, and runs
// the IR poll while the IR page is selected.
void switchPage();
// At the end of a run: the page objects go with their windows.
void releaseTabPages();

const PageSet &pageSet();
PageWindow *pageWindow(PageIndex index);

INT_PTR CALLBACK pageDialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zelo::app

#endif
