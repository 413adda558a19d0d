#include "sim_backend.h"

#include <thread>

#include "device_path.h"
#include "world_impl.h"

namespace zelo::sim {

bool SimBackend::interfacePath(int index, char *path, std::size_t size, bool *detailOk) {
    const auto found = world_.pathAt(index);
    if (!found) return false;
    copyText(*found, path, size);
    if (detailOk != nullptr) *detailOk = true;
    return true;
}

hid::Channel SimBackend::open(const char *path, const hid::OpenMode &mode) {
    const auto channel = world_.open(path, mode);
    return channel ? reinterpret_cast<hid::Channel>(channel->token) : nullptr;
}

void SimBackend::close(hid::Channel channel) { world_.close(channel); }

bool SimBackend::attributes(hid::Channel channel, std::uint16_t *vendorId, std::uint16_t *productId) {
    const auto open = world_.channel(channel);
    return open && vendorId != nullptr && productId != nullptr && open->accessory->attributes(vendorId, productId);
}

bool SimBackend::reportLengths(hid::Channel channel, hid::ReportLengths *lengths) {
    const auto open = world_.channel(channel);
    return open && lengths != nullptr && open->accessory->reportLengths(lengths);
}

bool SimBackend::flushInput(hid::Channel channel) {
    const auto open = world_.channel(channel);
    return open && open->accessory->flushInput(*open);
}

bool SimBackend::setNumInputBuffers(hid::Channel channel, std::uint32_t count) {
    const auto open = world_.channel(channel);
    return open && open->accessory->setNumInputBuffers(*open, count);
}

bool SimBackend::writeReport(hid::Channel channel, const std::uint8_t *report, std::uint32_t length,
                             std::uint32_t *transferred) {
    const auto open = world_.channel(channel);
    if (!open || report == nullptr) return false;
    // Each report takes its time on the wire.
    const auto delay = open->accessory->reportDelay();
    if (delay.count() > 0) std::this_thread::sleep_for(delay);
    switch (open->accessory->writeReport(*open, report, length)) {
    case AccessoryImpl::WriteResult::Failed:
        return false;
    case AccessoryImpl::WriteResult::UnplugInstead:
        world_.unplug(open->accessory);
        return false;
    case AccessoryImpl::WriteResult::WrittenThenUnplug:
        world_.unplug(open->accessory);
        break;
    case AccessoryImpl::WriteResult::Written:
        break;
    }
    if (transferred != nullptr) *transferred = length;
    return true;
}

hid::ReadStatus SimBackend::readReports(hid::Channel channel, std::uint8_t *buffer, std::uint32_t capacity,
                                        std::uint32_t timeoutMs, std::uint32_t *transferred) {
    std::uint32_t moved = 0;
    const auto open = world_.channel(channel);
    const hid::ReadStatus status = open && buffer != nullptr
                                       ? open->accessory->readReports(*open, buffer, capacity, timeoutMs, &moved)
                                       : hid::ReadStatus::Failed;
    if (transferred != nullptr) *transferred = moved;
    return status;
}

void SimBackend::cancelRead(hid::Channel channel) {
    if (const auto open = world_.channel(channel)) open->accessory->cancelRead(*open);
}

bool SimBackend::getFeature(hid::Channel channel, std::uint8_t *buffer, std::uint32_t length) {
    const auto open = world_.channel(channel);
    return open && buffer != nullptr && open->accessory->getFeature(*open, buffer, length);
}

bool SimBackend::hardwareId(const char *deviceName, char *id, std::size_t size) {
    const auto found = world_.hardwareId(deviceName);
    if (!found || id == nullptr || size == 0) return false;
    copyText(*found, id, size);
    return true;
}

void SimBackend::requestNotification(void *window) { world_.requestNotification(window); }

void SimBackend::reportIdError() { world_.countReportIdError(); }

hid::Timing SimBackend::timing() const { return world_.timing(); }

}  // namespace zelo::sim
