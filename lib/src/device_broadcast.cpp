#include "device_broadcast.h"

#include <algorithm>
#include <cstring>

namespace zelo {

namespace {

constexpr unsigned kAsciiLimit = 0x80;
constexpr unsigned kBitsPerByte = 8;
constexpr std::size_t kWideCharSize = 2;

std::uint32_t readField(const std::uint8_t *record, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

// An interface path begins with "\\?\": its second byte is a backslash in
// the 8-bit layout and zero in UTF-16.
bool isWideName(const std::uint8_t *name, std::size_t room) { return room >= kWideCharSize && name[1] == 0; }

std::optional<std::string> narrowName(const std::uint8_t *name, std::size_t room) {
    const std::uint8_t *end = std::find(name, name + room, 0);
    return std::string(name, end);
}

std::optional<std::string> wideName(const std::uint8_t *name, std::size_t room) {
    std::string text;
    for (std::size_t at = 0; at + kWideCharSize <= room; at += kWideCharSize) {
        // UTF-16 as the system stores it: little-endian.
        const unsigned unit = name[at] | static_cast<unsigned>(name[at + 1]) << kBitsPerByte;
        if (unit == 0) {
            break;
        }
        if (unit >= kAsciiLimit) {
            return std::nullopt;
        }
        text.push_back(static_cast<char>(unit));
    }
    return text;
}

}  // namespace

std::optional<std::string> broadcastInterfaceName(const void *record) {
    if (record == nullptr) {
        return std::nullopt;
    }
    const auto *bytes = static_cast<const std::uint8_t *>(record);
    const std::uint32_t size = readField(bytes, kBroadcastSizeOffset);
    if (size < kBroadcastNameOffset || readField(bytes, kBroadcastTypeOffset) != kDeviceTypeInterface) {
        return std::nullopt;
    }
    const std::uint8_t *name = bytes + kBroadcastNameOffset;
    const std::size_t room = size - kBroadcastNameOffset;
    return isWideName(name, room) ? wideName(name, room) : narrowName(name, room);
}

}  // namespace zelo
