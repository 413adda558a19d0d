// The 16-bit CRC that protects flash pages (CRC-16/CCITT-FALSE).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zelo {

std::uint16_t pageCrc(const std::uint8_t *data, std::size_t length);

}  // namespace zelo
