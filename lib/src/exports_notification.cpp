// Whether a device-interface notification concerns the accessory.
#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "backends.h"
#include "device_broadcast.h"
#include "hardware_id.h"
#include "registry.h"
#include "zelo.h"

namespace {

constexpr std::size_t kHardwareIdSize = 255;

std::uint32_t readField(const void *record, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, static_cast<const std::uint8_t *>(record) + offset, sizeof value);
    return value;
}

// The interface name, read no further than the record's own size says.
std::string_view interfaceName(const void *record) {
    const std::uint32_t size = readField(record, zelo::kBroadcastSizeOffset);
    if (size <= zelo::kBroadcastNameOffset) {
        return {};
    }
    const char *name = static_cast<const char *>(record) + zelo::kBroadcastNameOffset;
    const std::size_t room = size - zelo::kBroadcastNameOffset;
    return std::string_view(name, std::find(name, name + room, '\0') - name);
}

bool concernsAccessory(const std::string &name) {
    std::array<char, kHardwareIdSize> id{};
    if (!zelo::hid::backend().hardwareId(name.c_str(), id.data(), id.size())) {
        return false;
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
    if (notification == nullptr ||
        readField(notification, zelo::kBroadcastTypeOffset) != zelo::kDeviceTypeInterface) {
        return kNotAccessory;
    }
    const std::string deviceName(interfaceName(notification));
    if (!concernsAccessory(deviceName)) {
        return kNotAccessory;
    }
    if (name != nullptr && nameSize > 0) {
        const std::size_t n = std::min(deviceName.size(), static_cast<std::size_t>(nameSize) - 1);
        std::memcpy(name, deviceName.data(), n);
        name[n] = '\0';
    }
    return kAccessory;
}
