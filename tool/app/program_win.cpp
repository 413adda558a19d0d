#include "program_win.h"

#include <commctrl.h>

#include "app_state.h"
#include "connection_win.h"
#include "main_window_win.h"
#include "resource.h"
#include "tab_pages_win.h"
#include "texts_win.h"
#include "workers_win.h"

namespace zelo::app {

namespace {

constexpr DWORD kCommonControlClasses = ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_USEREX_CLASSES;
static_assert(kCommonControlClasses == 0x22C);
constexpr int kLargeIconSize = 32;
constexpr int kSmallIconSize = 16;

void registerCommonControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = kCommonControlClasses;
    InitCommonControlsEx(&controls);
}

void setIcon(HWND window, int classIndex, int size) {
    HANDLE icon = LoadImageW(windowState().instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, LR_DEFAULTSIZE);
    if (icon != nullptr) SetClassLongPtrW(window, classIndex, reinterpret_cast<LONG_PTR>(icon));
}

void runMessageLoop() {
    MSG message{};
    // Neither accelerators nor dialog-message translation: the Tab key does
    // not move the focus. -1 (an error) ends the loop like a quit.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The windows go first, so no page outlives its object; then the link,
// once no worker can still be using it. A worker that does not finish in
// time keeps the object: the accessory is closed, the memory left alone.
void release(HWND mainWindow) {
    setIrPoll(false);
    if (mainWindow != nullptr) DestroyWindow(mainWindow);
    releaseTabPages();
    i18n::forgetWindows();
    if (waitForWorkers()) {
        discardDeviceLink();
    } else if (device::CDeviceLink *link = deviceLink()) {
        link->close();
    }
}

}  // namespace

int runProgram(HINSTANCE instance) {
    resetProcessState();
    registerCommonControls();
    windowState().instance = instance;
    setConnectRoutine(connectThroughMainWindow);
    i18n::setTextHook(IDD_MAIN, refreshMainWindowTexts);
    HWND mainWindow = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, mainWindowProc, 0);
    if (mainWindow != nullptr) {
        setIcon(mainWindow, GCLP_HICON, kLargeIconSize);
        setIcon(mainWindow, GCLP_HICONSM, kSmallIconSize);
        i18n::applyTexts(mainWindow, IDD_MAIN);
        runMessageLoop();
    }
    release(mainWindow);
    return 0;
}

}  // namespace zelo::app
