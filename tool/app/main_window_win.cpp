#include "main_window_win.h"

#include <commctrl.h>

#include <memory>
#include <string>

#include "app_state.h"
#include "catalogue.h"
#include "connection_win.h"
#include "main_texts.h"
#include "preferences.h"
#include "resource.h"
#include "status_bar_win.h"
#include "tab_pages_win.h"
#include "texts_win.h"
#include "update_check.h"
#include "workers_win.h"

namespace zelo::app {

namespace {

using i18n::Msg;

std::wstring statusText(std::wstring text) {
    if (text.size() > kStatusTextLength) text.resize(kStatusTextLength);
    return text;
}

void setAccessoryCommands(HWND mainWindow, bool enabled) {
    HMENU menu = GetMenu(mainWindow);
    if (menu == nullptr) return;
    const UINT state = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(menu, IDM_OPTIONS_RESTORE_DEFAULTS, state);
    EnableMenuItem(menu, IDM_TOOLS_PAIR, state);
    // Settings files exist for the standard and the X model only.
    const device::DeviceVariant variant = enabled ? deviceLink()->variant() : device::DeviceVariant::Other;
    const bool files = variant == device::DeviceVariant::Standard || variant == device::DeviceVariant::X;
    const UINT fileState = MF_BYCOMMAND | (files ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(menu, IDM_FILE_EXPORT_SETTINGS, fileState);
    EnableMenuItem(menu, IDM_FILE_IMPORT_SETTINGS, fileState);
}

// Language dialog at the first start (no Language value yet); whatever it
// ends with becomes the stored preference.
void loadOrAskPreferences(HWND mainWindow) {
    openOrCreateKey();
    if (loadPreferences() == LoadResult::LanguageMissing) {
        i18n::runLanguageDialog(mainWindow);
        storeLanguageChoice();
    }
}

void initialiseMainWindow(HWND mainWindow) {
    WindowState &windows = windowState();
    windows.mainWindow = mainWindow;
    i18n::applyTexts(mainWindow, IDD_MAIN);
    loadOrAskPreferences(mainWindow);
    createDeviceLink();
    startWorker(CountDevices);
    ensureStatusBar(mainWindow);
    registerDeviceNotifications(mainWindow);
    createTabPages(mainWindow);
    i18n::applyLanguageToAll(mainWindow);
    i18n::applyTexts(mainWindow, IDD_MAIN);
    windows.statusProgress = createStatusProgress(windows.statusBar);
    if (windows.statusProgress != nullptr) ShowWindow(windows.statusProgress, SW_SHOW);
    ShowWindow(mainWindow, SW_SHOW);
    startAutomaticUpdateCheck();
}

void notify(const NMHDR &header) {
    if (header.code == static_cast<UINT>(TCN_SELCHANGE) && header.hwndFrom == windowState().tabControl) switchPage();
}

// UM_IR_STATUS: the record travelled on its own and ends here.
void irStatusArrived(WPARAM wParam) {
    const std::unique_ptr<const IrStatusRecord> record(irStatusRecord(wParam));
    PageWindow *page = pageWindow(PageIndex::TransmitReceive);
    if (record && page != nullptr) page->irStatus(*record);
}

void setStatusProgress(WPARAM percent) {
    if (HWND bar = windowState().statusProgress) SendMessageW(bar, PBM_SETPOS, percent, 0);
}

}  // namespace

void refreshMainWindowTexts(HWND mainWindow) {
    WindowState &windows = windowState();
    SetWindowTextW(mainWindow, mainWindowTitle().c_str());
    const device::CDeviceLink *link = deviceLink();
    const bool connected = deviceConnected();
    if (connected) {
        const auto text = connectionText(link->variant(), i18n::text(Msg::Connected), link->firmwareText());
        if (text) windows.statusText = statusText(*text);
    } else {
        windows.statusText = statusText(i18n::text(Msg::Disconnected));
        windows.statusSecondText.clear();
    }
    setAccessoryCommands(mainWindow, connected);
    setStatusTexts(ensureStatusBar(mainWindow), windows.statusText, windows.statusSecondText);
}

INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        initialiseMainWindow(window);
        return TRUE;
    case WM_COMMAND:
        return mainWindowCommand(window, LOWORD(wParam));
    case WM_NOTIFY:
        notify(*reinterpret_cast<const NMHDR *>(lParam));
        return FALSE;
    case WM_TIMER:
        onArrivalTimer(window);
        KillTimer(window, TIMER_ARRIVAL);
        i18n::applyTexts(window, IDD_MAIN);
        return FALSE;
    case WM_DEVICECHANGE:
        onDeviceChange(window, wParam, lParam);
        i18n::applyTexts(window, IDD_MAIN);
        return FALSE;
    case UM_DEVICES_COUNTED:
        onDevicesCounted();
        return FALSE;
    case UM_CONNECT_RESULT:
        onConnectResult(window, static_cast<int>(wParam));
        return FALSE;
    case UM_SAVE_RESULT:
        saveFinished(window, static_cast<int>(wParam));
        return FALSE;
    case UM_IR_STATUS:
        irStatusArrived(wParam);
        return FALSE;
    case UM_PROGRESS:
        setStatusProgress(wParam);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace zelo::app
