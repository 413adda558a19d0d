#include "worker_tasks.h"

#include "protocol.h"
#include "zelo.h"

namespace zelo::app {

namespace {

constexpr int kIrStatusRead = 1;  // readIrStatus's answer when a record arrived
constexpr unsigned kByteBits = 8;
constexpr std::uint16_t kByteMask = 0xFF;

}  // namespace

void countDevices(std::atomic<std::uint32_t> &count, TaskReports &reports) {
    count = 0;
    std::int32_t counted = 0;
    ZELO_GetNumDevices(&counted);
    count = counted > 0 ? static_cast<std::uint32_t>(counted) : 0;
    reports.devicesCounted();
}

int saveConfiguration(device::CDeviceLink *link, TaskReports &reports) {
    const int result = link != nullptr ? device::writeConfiguration(*link, reports.progress()) : ZELO_OK;
    reports.saveResult(result);
    return result;
}

int pairRequest(device::CDeviceLink *link) {
    if (link == nullptr) return ZELO_HANDLE_NOT_FOUND;
    const std::array<std::uint8_t, 2> value{static_cast<std::uint8_t>(kPairingValue >> kByteBits),
                                            static_cast<std::uint8_t>(kPairingValue & kByteMask)};
    return link->linkTransact(device::command::kPairing, value.data(), value.size(), nullptr, 0);
}

int transmitIr(device::CDeviceLink *link, const std::array<std::uint8_t, kIrTransmitFrameSize> &frame) {
    if (link == nullptr) return ZELO_HANDLE_NOT_FOUND;
    return link->linkTransact(device::command::kIrTransmit, frame.data(), frame.size(), nullptr, 0);
}

void pollIrStatus(device::CDeviceLink *(*link)(), const std::atomic<bool> &running, TaskReports &reports,
                  device::Waits &waits) {
    while (running.load()) {
        IrStatusRecord record{};
        device::CDeviceLink *current = link();
        if (current != nullptr && current->readIrStatus(record.data()) == kIrStatusRead) reports.irStatus(record);
        waits.sleepMs(kIrPollIntervalMs);
    }
}

}  // namespace zelo::app
