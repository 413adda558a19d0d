#include "app_state.h"

#include <memory>
#include <new>

namespace zelo::app {

namespace {

// Workers read the pointer while the user-interface thread may discard the
// object, so the pointer itself is atomic.
std::atomic<device::CDeviceLink *> g_link{nullptr};

ProcessState g_process;

#if defined(_WIN32)
WindowState g_windows;
#endif

}  // namespace

device::CDeviceLink *deviceLink() { return g_link.load(); }

bool createDeviceLink() {
    if (g_link.load() != nullptr) return true;
    device::CDeviceLink *link = new (std::nothrow) device::CDeviceLink();
    if (link != nullptr) link->pendingSaves = &pendingSaveStore();
    g_link.store(link);
    return link != nullptr;
}

void discardDeviceLink() {
    std::unique_ptr<device::CDeviceLink> link(g_link.exchange(nullptr));
    if (link) link->close();
}

device::PendingSaveStore &pendingSaveStore() {
    static device::PendingSaveStore store(device::PendingSaveStore::userFolder());
    return store;
}

bool deviceConnected() {
    const device::CDeviceLink *link = deviceLink();
    return link != nullptr && link->isConnected();
}

ProcessState &processState() { return g_process; }

#if defined(_WIN32)
WindowState &windowState() { return g_windows; }

HWND mainWindow() { return g_windows.mainWindow.load(); }
#endif

void resetProcessState() {
    discardDeviceLink();
    g_process.deviceCount = 0;
    g_process.deviceNumberToConnect = kConnectDeviceNumber;
    g_process.arrivalPending = false;
    g_process.notificationPath.clear();
    g_process.exitAfterSave = false;
    g_process.irPollRunning = false;
    g_process.irTransmitRequest.fill(0);
    g_process.pairingProgress = 0;
    g_process.statusProgressPercent = 0;
    g_process.saveRunning = false;
    g_process.exitDeferred = false;
#if defined(_WIN32)
    g_windows.instance = nullptr;
    g_windows.mainWindow = nullptr;
    g_windows.tabControl = nullptr;
    g_windows.pages.fill(nullptr);
    g_windows.statusBar = nullptr;
    g_windows.statusProgress = nullptr;
    g_windows.pairingDialog = nullptr;
    g_windows.statusText.clear();
    g_windows.statusSecondText.clear();
#endif
}

}  // namespace zelo::app
