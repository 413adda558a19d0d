// The main window's side of the accessory connection: the device count at
// start-up, the connect sequence with its questions and progress shown
// through the main window, the connect result, device notifications and
// the arrival timer.
#ifndef ZELO_APP_CONNECTION_WIN_H
#define ZELO_APP_CONNECTION_WIN_H

#include <windows.h>

#include <cstdint>

#include "device_link.h"

namespace zelo::app {

inline constexpr UINT_PTR TIMER_ARRIVAL = 1;
// Notifications that follow each other within this time lead to one connect.
inline constexpr UINT kArrivalDelayMs = 1200;

// Start-up: the main window receives device-interface notifications.
void registerDeviceNotifications(HWND mainWindow);

// Connect on the calling thread (the Connect worker at start-up, the
// user-interface thread after a plug-in): the connect sequence, with the
// firmware gate's question asked over the main window and progress sent
// to it. A declined update posts the quit message on the calling thread.
int connectThroughMainWindow(device::CDeviceLink &link, std::uint8_t deviceNumber);

// UM_DEVICES_COUNTED: connect to accessory 0 when any was counted.
void onDevicesCounted();
// UM_CONNECT_RESULT.
void onConnectResult(HWND mainWindow, int result);
// WM_DEVICECHANGE; the caller refreshes the texts afterwards.
void onDeviceChange(HWND mainWindow, WPARAM event, LPARAM data);
// WM_TIMER, whatever the timer id.
void onArrivalTimer(HWND mainWindow);

}  // namespace zelo::app

#endif
