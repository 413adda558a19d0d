// The main window's side of the accessory connection: the device count at
// start-up, the connect result, device notifications and the arrival timer.
// What is here is what the window needs today; the connect sequence itself
// (version limits, firmware gate, configuration read) plugs into the
// Connect task through setConnectRoutine, and the device notifications
// (registration, identity test, arrival timer) complete these handlers.
#ifndef ZELO_APP_CONNECTION_WIN_H
#define ZELO_APP_CONNECTION_WIN_H

#include <windows.h>

namespace zelo::app {

inline constexpr UINT_PTR TIMER_ARRIVAL = 1;

// Start-up: the main window receives device-interface notifications.
void registerDeviceNotifications(HWND mainWindow);

// UM_DEVICES_COUNTED: connect to accessory 0 when any was counted.
void onDevicesCounted();
// UM_CONNECT_RESULT.
void onConnectResult(HWND mainWindow, int result);
// WM_DEVICECHANGE.
void onDeviceChange(HWND mainWindow, WPARAM event, LPARAM data);
// WM_TIMER, whatever the timer id.
void onArrivalTimer(HWND mainWindow);

}  // namespace zelo::app

#endif
