// Library version, counting, opening and closing accessories.
#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "backends.h"
#include "command_codes.h"
#include "enumeration.h"
#include "reader.h"
#include "registry.h"
#include "transport.h"
#include "zelo.h"

namespace {

constexpr std::int32_t kSdkVersion = 1000;

// Zeroed first, so a missing answer leaves the text empty.
void readVersionText(zelo::Device &device) {
    std::array<std::uint8_t, zelo::cmd::kVersionAnswer> answer{};
    zelo::commandExchange(device, zelo::cmd::kReadVersion, nullptr, 0, answer.data(), answer.size());
    device.versionText.fill('\0');
    std::copy(answer.begin(), answer.end(), device.versionText.begin());
}

}  // namespace

extern "C" {

ZELO_API int32_t ZELO_CALL ZELO_GetSDKVersion(void) { return kSdkVersion; }

ZELO_API int32_t ZELO_CALL ZELO_GetNumDevices(int32_t *count) {
    if (count != nullptr) {
        *count = 0;
        *count = zelo::countAccessories();
    }
    return ZELO_OK;
}

ZELO_API int32_t ZELO_CALL ZELO_OpenDeviceFromNum(int32_t number, ZELO_HANDLE *handle, char *path) {
    // Only an open that succeeds keeps its object; a failed one never
    // resolved, so it is freed here.
    auto opened = std::make_unique<zelo::Device>();
    if (!zelo::openAccessory(*opened, number)) {
        return ZELO_NO_SUCH_DEVICE;
    }
    const zelo::DeviceRef registered = zelo::registerDevice(std::move(opened));
    zelo::Device &device = *registered;
    {
        std::lock_guard<std::mutex> guard(device.fifoLock);
        device.dataFifo.clear();
    }
    zelo::startReader(device);
    readVersionText(device);
    if (handle != nullptr) {
        *handle = device.writeChannel.load();
    }
    if (path != nullptr) {
        std::memcpy(path, device.path.data(), device.path.size());
    }
    return ZELO_OK;
}

ZELO_API int32_t ZELO_CALL ZELO_CloseDevice(ZELO_HANDLE handle) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
    zelo::closeDevice(*device);
    // Calls still under way on other threads keep their reference; the
    // memory goes once the last of them returns.
    zelo::forgetDevice(*device);
    return ZELO_OK;
}

ZELO_API int32_t ZELO_CALL ZELO_RequestNotification(void *window) {
    zelo::hid::backend().requestNotification(window);
    return ZELO_OK;
}

}  // extern "C"
