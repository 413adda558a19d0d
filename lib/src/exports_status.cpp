// IR status, LED state and the firmware version number.
#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "backends.h"
#include "command_codes.h"
#include "registry.h"
#include "transport.h"
#include "version_number.h"
#include "zelo.h"

namespace {

constexpr int32_t kFeatureRead = 1;
constexpr int32_t kFeatureNotRead = 0;

void putLow16(std::uint8_t *at, uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

extern "C" {

ZELO_API int32_t ZELO_CALL ZELO_GetIRStatus(ZELO_HANDLE handle, uint8_t *status) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
    std::lock_guard<std::mutex> guard(device->featureLock);
    std::vector<std::uint8_t> &buffer = device->featureBuffer;
    std::fill(buffer.begin(), buffer.end(), 0);
    const std::uint32_t length = device->lengths.feature;
    const zelo::hid::Channel channel = device->writeChannel.load();
    // The buffer holds at least the status bytes and the whole report.
    const bool read = length > 0 && channel != nullptr && buffer.size() >= zelo::kIrStatusSize &&
                      zelo::hid::backend().getFeature(channel, buffer.data(), length);
    if (status != nullptr && buffer.size() >= zelo::kIrStatusSize) {
        std::memcpy(status, buffer.data(), zelo::kIrStatusSize);
    }
    return read ? kFeatureRead : kFeatureNotRead;
}

ZELO_API int32_t ZELO_CALL ZELO_SetLEDState(ZELO_HANDLE handle, uint32_t value1, uint32_t value2, uint32_t value3,
                                            uint8_t byte1, uint8_t byte2, uint8_t) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
    std::array<std::uint8_t, zelo::cmd::kLedPayload> payload{};
    putLow16(&payload[0], value1);
    putLow16(&payload[2], value2);
    putLow16(&payload[4], value3);
    payload[6] = byte1;
    payload[7] = byte2;
    const int status = zelo::commandExchange(*device, zelo::cmd::kSetLed, payload.data(), payload.size());
    return status == zelo::kExchangeOk ? ZELO_OK : ZELO_TRANSFER_FAILED;
}

ZELO_API int32_t ZELO_CALL ZELO_GetFirmwareVersion(ZELO_HANDLE handle) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
    return zelo::versionNumber(std::string_view(device->versionText.data()));
}

}  // extern "C"
