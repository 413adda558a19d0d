#include "connection_win.h"

#include "app_state.h"
#include "main_window_win.h"
#include "workers_win.h"

namespace zelo::app {

void registerDeviceNotifications(HWND) {
    // Notifications arrive once the connection handling registers for the
    // HID interface class here.
}

void onDevicesCounted() {
    if (processState().deviceCount.load() != 0) startWorker(Connect);
}

void onConnectResult(HWND mainWindow, int result) {
    if (result == CONNECT_DECLINED) {
        // The firmware gate has posted its quit already; this one ends the
        // loop whichever thread ran the gate.
        PostQuitMessage(1);
        return;
    }
    // Refused accessories and firmware update outcomes get their messages
    // with the connection handling; every other result refreshes the pages.
    refreshPagesAfterChange(mainWindow);
}

void onDeviceChange(HWND, WPARAM, LPARAM) {
    // Arrival and removal of the accessory are recognised here once the
    // connection handling is in; the caller refreshes the texts.
}

void onArrivalTimer(HWND mainWindow) { KillTimer(mainWindow, TIMER_ARRIVAL); }

}  // namespace zelo::app
