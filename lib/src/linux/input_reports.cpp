#include "input_reports.h"

#include <algorithm>

namespace zelo::hid::linux_backend {

namespace {
constexpr std::uint8_t kUnnumberedId = 0;
}

int readWholeReport(HidApi &api, HidHandle handle, const InputFormat &format, std::uint8_t *report, int timeoutMs) {
    if (format.reportLength == 0) {
        return -1;
    }
    // Unnumbered reports arrive without their ID byte: leave room for it.
    const std::uint32_t skip = format.numbered ? 0 : 1;
    const std::uint32_t room = format.reportLength - skip;
    const int got = room == 0 ? 0 : api.read(handle, report + skip, room, timeoutMs);
    if (got <= 0) {
        return got;
    }
    const std::uint32_t received = std::min(static_cast<std::uint32_t>(got), room);
    if (!format.numbered) {
        report[0] = kUnnumberedId;
    }
    std::fill(report + skip + received, report + format.reportLength, 0);
    return static_cast<int>(format.reportLength);
}

}  // namespace zelo::hid::linux_backend
