// Device-interface broadcast records as the system sends them with arrival
// and removal notifications. An ANSI window receives the 8-bit record, a
// Unicode window the UTF-16 one; both share the header layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace zelo {

inline constexpr std::uint32_t kDeviceTypeInterface = 5;

inline constexpr std::size_t kBroadcastSizeOffset = 0;
inline constexpr std::size_t kBroadcastTypeOffset = 4;
// size, device type, reserved, 16-byte class identifier, then the name.
inline constexpr std::size_t kBroadcastNameOffset = 28;

// The interface name of a device-interface record, as 8-bit text. The
// record's own size field bounds every read, since a client may hand over
// anything. Nothing for a null record, one too short for its header, one
// of another device type, or a UTF-16 name with characters beyond ASCII
// (interface paths are ASCII).
std::optional<std::string> broadcastInterfaceName(const void *record);

}  // namespace zelo
