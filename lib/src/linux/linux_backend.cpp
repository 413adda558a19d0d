#include "linux_backend.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "report_descriptor.h"

namespace zelo::hid::linux_backend {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint16_t kAnyId = 0;
constexpr std::size_t kHardwareIdLength = 21;  // HID\VID_xxxx&PID_xxxx
// More than the kernel queues per open node: a flush never runs on.
constexpr int kMaxFlushedReports = 1024;

// Copies text into out, cut to size with its terminating zero.
void copyCut(const std::string &text, char *out, std::size_t size) {
    if (out == nullptr || size == 0) {
        return;
    }
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// The part of a hardware ID the library compares, as Windows spells it.
std::string hardwareIdOf(const HidInterface &interface) {
    char text[kHardwareIdLength + 1];
    std::snprintf(text, sizeof text, "HID\\VID_%04X&PID_%04X", static_cast<unsigned>(interface.vendorId),
                  static_cast<unsigned>(interface.productId));
    return text;
}

// hidapi lists a node once per top-level collection, each time with the
// same path; the accessory is one interface however many it has.
std::vector<HidInterface> oncePerNode(std::vector<HidInterface> listed) {
    std::vector<HidInterface> nodes;
    for (HidInterface &interface : listed) {
        const bool seen = std::any_of(nodes.begin(), nodes.end(),
                                      [&](const HidInterface &node) { return node.path == interface.path; });
        if (!seen) {
            nodes.push_back(std::move(interface));
        }
    }
    return nodes;
}

int sliceBefore(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, kReadSliceMs));
}

}  // namespace

LinuxBackend::LinuxBackend(HidApi &api, std::function<void(void *)> requestNotification, Timing timing)
    : api_(api),
      requestNotification_(std::move(requestNotification)),
      interfaces_([&api] { return oncePerNode(api.enumerate(kVendorId, kProductId)); }),
      timing_(timing) {}

bool LinuxBackend::interfacePath(int index, char *path, std::size_t size, bool *detailOk) {
    const std::optional<HidInterface> interface = interfaces_.at(index);
    copyCut(interface ? interface->path : std::string(), path, size);
    if (detailOk != nullptr) {
        *detailOk = interface && !interface->path.empty();
    }
    return interface.has_value();
}

// The first channel of this process on a node claims it for the others
// too: shared for an open that shares reading and writing (the counting
// probe), exclusive otherwise. Combinations that would need more are
// refused by the sharing rules before.
std::shared_ptr<void> LinuxBackend::claimNode(const std::string &path, const OpenMode &mode) {
    const bool exclusive = !(mode.shareRead && mode.shareWrite);
    const NodeLock lock = api_.lockNode(path, exclusive);
    if (lock == nullptr) {
        return nullptr;
    }
    return std::shared_ptr<void>(lock, [&api = api_](void *held) { api.unlockNode(held); });
}

std::shared_ptr<ChannelState> LinuxBackend::openState(const std::string &path, const OpenMode &mode,
                                                      std::shared_ptr<void> nodeLock) {
    if (nodeLock == nullptr && (nodeLock = claimNode(path, mode)) == nullptr) {
        return nullptr;  // another program holds the accessory
    }
    const HidHandle handle = api_.open(path);
    if (handle == nullptr) {
        return nullptr;
    }
    auto state = std::make_shared<ChannelState>();
    state->handle = handle;
    state->path = path;
    state->mode = mode;
    state->nodeLock = std::move(nodeLock);
    if (const auto descriptor = api_.reportDescriptor(path)) {
        if (const std::optional<ReportLayout> layout = parseReportDescriptor(*descriptor)) {
            state->layoutKnown = true;
            state->lengths = layout->lengths;
            state->input = {layout->lengths.input, layout->numbered};
        }
    }
    return state;
}

Channel LinuxBackend::open(const char *path, const OpenMode &mode) {
    if (path == nullptr || path[0] == '\0') {
        return nullptr;
    }
    return channels_.addShared(path, mode,
                               [&](std::shared_ptr<void> nodeLock) { return openState(path, mode, std::move(nodeLock)); });
}

void LinuxBackend::close(Channel channel) {
    const std::shared_ptr<ChannelState> state = channels_.take(channel);
    if (state == nullptr) {
        return;
    }
    // A read under way ends at its next slice and gives up the io lock.
    state->cancel.store(true);
    std::lock_guard io(state->io);
    state->closed = true;
    api_.close(state->handle);
}

bool LinuxBackend::attributes(Channel channel, std::uint16_t *vendorId, std::uint16_t *productId) {
    const auto state = channels_.find(channel);
    if (state == nullptr || vendorId == nullptr || productId == nullptr) {
        return false;
    }
    std::lock_guard io(state->io);
    const std::optional<HidInterface> info = state->closed ? std::nullopt : api_.deviceInfo(state->handle);
    if (!info) {
        return false;
    }
    *vendorId = info->vendorId;
    *productId = info->productId;
    return true;
}

bool LinuxBackend::reportLengths(Channel channel, ReportLengths *lengths) {
    const auto state = channels_.find(channel);
    if (state == nullptr || !state->layoutKnown || lengths == nullptr) {
        return false;
    }
    *lengths = state->lengths;
    return true;
}

bool LinuxBackend::flushInput(Channel channel) {
    const auto state = channels_.find(channel);
    if (state == nullptr) {
        return false;
    }
    if (!state->mode.read) {
        return true;  // a channel that never reads has nothing to flush
    }
    std::lock_guard io(state->io);
    if (state->closed || state->input.reportLength == 0) {
        return false;
    }
    std::vector<std::uint8_t> report(state->input.reportLength);
    for (int flushed = 0;
         flushed < kMaxFlushedReports && readWholeReport(api_, state->handle, state->input, report.data(), 0) > 0;
         ++flushed) {
    }
    return true;
}

bool LinuxBackend::setNumInputBuffers(Channel channel, std::uint32_t) {
    // hidraw keeps its own queue per open node (the kernel's, of fixed
    // length); the count cannot be honoured, and success keeps the core's
    // open as on Windows.
    return channels_.find(channel) != nullptr;
}

bool LinuxBackend::writeReport(Channel channel, const std::uint8_t *report, std::uint32_t length,
                               std::uint32_t *transferred) {
    const auto state = channels_.find(channel);
    if (state == nullptr || report == nullptr || length == 0) {
        return false;
    }
    int written = -1;
    {
        std::lock_guard io(state->io);
        written = state->closed ? -1 : api_.write(state->handle, report, length);
    }
    if (transferred != nullptr) {
        *transferred = written > 0 ? static_cast<std::uint32_t>(written) : 0;
    }
    // A report goes out whole or not at all; anything else is a failure.
    return written >= 0 && static_cast<std::uint32_t>(written) == length;
}

ReadStatus LinuxBackend::readReports(Channel channel, std::uint8_t *buffer, std::uint32_t capacity,
                                     std::uint32_t timeoutMs, std::uint32_t *transferred) {
    std::uint32_t count = 0;
    ReadStatus status = ReadStatus::Failed;
    const auto state = channels_.find(channel);
    if (state != nullptr && buffer != nullptr) {
        std::lock_guard io(state->io);
        status = state->closed ? ReadStatus::Failed : readLocked(*state, buffer, capacity, timeoutMs, &count);
    }
    if (transferred != nullptr) {
        *transferred = count;
    }
    return status;
}

ReadStatus LinuxBackend::readLocked(ChannelState &state, std::uint8_t *buffer, std::uint32_t capacity,
                                    std::uint32_t timeoutMs, std::uint32_t *transferred) {
    const std::uint32_t reportLength = state.input.reportLength;
    if (reportLength == 0 || capacity < reportLength) {
        return ReadStatus::Failed;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (state.cancel.exchange(false)) {
            return ReadStatus::Cancelled;
        }
        const int got = readWholeReport(api_, state.handle, state.input, buffer, sliceBefore(deadline));
        if (got < 0) {
            return ReadStatus::Failed;
        }
        if (got > 0) {
            *transferred = reportLength + readQueued(state, buffer + reportLength, capacity - reportLength);
            return ReadStatus::Completed;
        }
        if (Clock::now() >= deadline) {
            return ReadStatus::TimedOut;
        }
    }
}

// Reports already waiting after the first, as many as fit whole: the
// Windows driver hands them over in one read too.
std::uint32_t LinuxBackend::readQueued(ChannelState &state, std::uint8_t *buffer, std::uint32_t capacity) {
    const std::uint32_t reportLength = state.input.reportLength;
    std::uint32_t filled = 0;
    while (capacity - filled >= reportLength &&
           readWholeReport(api_, state.handle, state.input, buffer + filled, 0) > 0) {
        filled += reportLength;
    }
    return filled;
}

void LinuxBackend::cancelRead(Channel channel) {
    if (const auto state = channels_.find(channel)) {
        state->cancel.store(true);
    }
}

bool LinuxBackend::getFeature(Channel channel, std::uint8_t *buffer, std::uint32_t length) {
    const auto state = channels_.find(channel);
    if (state == nullptr || buffer == nullptr || length == 0) {
        return false;
    }
    // hidraw returns the report with its ID byte first, numbered or not;
    // bytes the device did not send stay as the caller left them.
    std::lock_guard io(state->io);
    return !state->closed && api_.getFeature(state->handle, buffer, length) > 0;
}

bool LinuxBackend::hardwareId(const char *deviceName, char *id, std::size_t size) {
    copyCut("", id, size);
    if (deviceName == nullptr) {
        return false;
    }
    for (const HidInterface &interface : api_.enumerate(kAnyId, kAnyId)) {
        if (interface.path == deviceName) {
            copyCut(hardwareIdOf(interface), id, size);
            return true;
        }
    }
    return false;
}

void LinuxBackend::requestNotification(void *target) {
    if (requestNotification_) {
        requestNotification_(target);
    }
}

void LinuxBackend::reportIdError() {
    // No message box here; say it once on stderr, the data is used as usual.
    if (!reportIdErrorShown_.exchange(true)) {
        std::fputs("ZELO: the accessory sent an input report whose report ID is not 0\n", stderr);
    }
}

}  // namespace zelo::hid::linux_backend
