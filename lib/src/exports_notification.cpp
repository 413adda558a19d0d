// Whether a device-interface notification concerns the accessory.
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "backends.h"
#include "device_broadcast.h"
#include "hardware_id.h"
#include "registry.h"
#include "zelo_backend/interface_path.h"
#include "zelo.h"

namespace {

constexpr std::size_t kHardwareIdSize = 255;

// By the device's hardware ID, or where that cannot be read any more (Wine
// removes a device's node with the device, before the removal is
// notified) by the instance ID in the interface path.
bool concernsAccessory(const std::string &name) {
    std::array<char, kHardwareIdSize> id{};
    if (!zelo::hid::backend().hardwareId(name.c_str(), id.data(), id.size())) {
        return zelo::isAccessoryHardwareId(zelo::hid::instanceIdOfInterfacePath(std::string_view(name)));
    }
    id.back() = '\0';
    return zelo::isAccessoryHardwareId(id.data());
}

}  // namespace

extern "C" ZELO_API int32_t ZELO_CALL ZELO_GetDeviceInfo(ZELO_HANDLE handle, const void *notification, char *name,
                                                         int32_t nameSize) {
    if (zelo::findDevice(handle) == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
    constexpr int32_t kNotAccessory = 0;
    constexpr int32_t kAccessory = 1;
    const std::optional<std::string> interfaceName = zelo::broadcastInterfaceName(notification);
    if (!interfaceName || !concernsAccessory(*interfaceName)) {
        return kNotAccessory;
    }
    const std::string &deviceName = *interfaceName;
    if (name != nullptr && nameSize > 0) {
        const std::size_t n = std::min(deviceName.size(), static_cast<std::size_t>(nameSize) - 1);
        std::memcpy(name, deviceName.data(), n);
        name[n] = '\0';
    }
    return kAccessory;
}
