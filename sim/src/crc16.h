// Page CRC of the accessory: CRC-16/CCITT-FALSE (polynomial 0x1021, initial
// value 0xFFFF, no reflection, no final XOR).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zelo::sim {

std::uint16_t crc16(const std::uint8_t *data, std::size_t length);

}  // namespace zelo::sim
