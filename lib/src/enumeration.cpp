#include "enumeration.h"

#include <algorithm>
#include <cstring>

#include "backends.h"

namespace zelo {

namespace {

// The probe used for counting; it fails for an accessory we hold open.
constexpr hid::OpenMode kProbeMode{true, true, true, true, false};
// The write channel shares only reading, the read channel only writing,
// so nothing else can open the accessory for both while it is ours. The
// write channel is overlapped too, so that a write to an endpoint that
// takes nothing can be given up at its time limit instead of blocking.
constexpr hid::OpenMode kWriteChannelMode{false, true, true, false, true};
constexpr hid::OpenMode kReadChannelMode{true, false, false, true, true};

bool isAccessory(hid::Backend &backend, hid::Channel channel) {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    return backend.attributes(channel, &vendorId, &productId) && vendorId == hid::kVendorId &&
           productId == hid::kProductId;
}

// Path of interface index; false at the end of the enumeration. path is
// left empty when the interface's details are unavailable.
bool nextInterface(hid::Backend &backend, int index, char (&path)[kInterfacePathCapacity]) {
    bool detailOk = false;
    path[0] = '\0';
    if (!backend.interfacePath(index, path, sizeof path, &detailOk)) {
        return false;
    }
    if (!detailOk) {
        path[0] = '\0';
    }
    path[sizeof path - 1] = '\0';
    return true;
}

// The write channel is published last: it is the handle lookups match.
void takeInterface(Device &device, hid::Backend &backend, hid::Channel writeChannel, const char *path) {
    const hid::Channel readChannel = backend.open(path, kReadChannelMode);
    if (readChannel != nullptr) {
        backend.flushInput(readChannel);
    }
    device.readChannel.store(readChannel);
    const std::size_t pathLength = std::min(std::strlen(path), device.path.size());
    std::fill(device.path.begin(), device.path.end(), '\0');
    std::copy_n(path, pathLength, device.path.begin());
    hid::ReportLengths lengths{};
    if (backend.reportLengths(writeChannel, &lengths)) {
        device.lengths = lengths;
    }
    device.featureBuffer.assign(std::max<std::size_t>(device.lengths.feature, kIrStatusSize), 0);
    device.writeChannel.store(writeChannel);
}

}  // namespace

std::int32_t countAccessories() {
    hid::Backend &backend = hid::backend();
    std::int32_t count = 0;
    char path[kInterfacePathCapacity];
    for (int index = 0; index < kCountInterfaceLimit && nextInterface(backend, index, path); ++index) {
        if (path[0] == '\0') {
            continue;
        }
        const hid::Channel channel = backend.open(path, kProbeMode);
        if (channel == nullptr) {
            continue;
        }
        if (isAccessory(backend, channel)) {
            ++count;
        }
        backend.close(channel);
    }
    return count;
}

bool openAccessory(Device &device, std::int32_t number) {
    hid::Backend &backend = hid::backend();
    std::int32_t match = -1;
    char path[kInterfacePathCapacity];
    for (int index = 0; index < kOpenInterfaceLimit && nextInterface(backend, index, path); ++index) {
        if (path[0] == '\0') {
            continue;
        }
        const hid::Channel channel = backend.open(path, kWriteChannelMode);
        if (channel == nullptr) {
            continue;
        }
        backend.flushInput(channel);
        if (!isAccessory(backend, channel) || ++match != number) {
            backend.close(channel);
            continue;
        }
        takeInterface(device, backend, channel, path);
        return true;
    }
    return false;
}

}  // namespace zelo
