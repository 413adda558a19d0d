// Layout of a device-interface broadcast record as the system sends it
// with arrival and removal notifications (the 8-bit variant).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zelo {

inline constexpr std::uint32_t kDeviceTypeInterface = 5;

inline constexpr std::size_t kBroadcastSizeOffset = 0;
inline constexpr std::size_t kBroadcastTypeOffset = 4;
// size, device type, reserved, 16-byte class identifier, then the name.
inline constexpr std::size_t kBroadcastNameOffset = 28;

}  // namespace zelo
