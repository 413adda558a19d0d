// Process-wide state of zelo-tool. The user-interface thread owns all of it;
// the few fields that worker threads read or write are atomics. The program
// starts it afresh at every start (resetProcessState), which also lets the
// GUI tests run the program more than once in one process.
#ifndef ZELO_APP_APP_STATE_H
#define ZELO_APP_APP_STATE_H

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "device_link.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace zelo::app {

inline constexpr std::size_t kStatusTextLength = 255;  // wide characters, terminator excluded
inline constexpr std::size_t kNotificationPathLength = 255;
inline constexpr std::size_t kIrTransmitRequestSize = 5;
inline constexpr std::uint8_t kConnectDeviceNumber = 0;  // only the first accessory is ever connected

// The one device link. Null before start-up created it, after a refused
// accessory discarded it, and when it could not be allocated; every caller
// checks and then skips the device work.
device::CDeviceLink *deviceLink();
// False when the object could not be allocated (the pointer stays null).
bool createDeviceLink();
// Closes the accessory if it is open, deletes the object, clears the pointer.
void discardDeviceLink();

// The user's record of configuration writes under way, in
// PendingSaveStore::userFolder() as it was at first use. Every device link
// the program creates records its writes there.
device::PendingSaveStore &pendingSaveStore();

// True when the device link exists and its accessory is open.
bool deviceConnected();

struct ProcessState {
    std::atomic<std::uint32_t> deviceCount{0};  // written by the CountDevices task
    std::uint8_t deviceNumberToConnect = kConnectDeviceNumber;
    bool arrivalPending = false;
    std::wstring notificationPath;  // of the last matching device notification
    bool exitAfterSave = false;     // set by Yes in the exit question, never cleared
    std::atomic<bool> irPollRunning{false};
    std::array<std::uint8_t, kIrTransmitRequestSize> irTransmitRequest{};
    int pairingProgress = 0;
    int statusProgressPercent = 0;  // last percentage the status progress bar painted
    // A SaveConfiguration task is writing: no second save may overlap it,
    // and an exit request waits for its result.
    bool saveRunning = false;
    bool exitDeferred = false;
};

ProcessState &processState();

#if defined(_WIN32)
inline constexpr std::size_t kTabPageCount = 6;

struct WindowState {
    HINSTANCE instance = nullptr;
    // Read by worker threads when they report; set once per start.
    std::atomic<HWND> mainWindow{nullptr};
    HWND tabControl = nullptr;
    std::array<HWND, kTabPageCount> pages{};
    HWND statusBar = nullptr;
    HWND statusProgress = nullptr;
    HWND pairingDialog = nullptr;   // while the pairing dialog is open
    std::wstring statusText;        // status bar part 0: the connection text
    std::wstring statusSecondText;  // status bar part 1
};

WindowState &windowState();
HWND mainWindow();
#endif

// Back to the values of a fresh process; the device link is discarded.
void resetProcessState();

}  // namespace zelo::app

#endif
