// CRC-16/CCITT-FALSE (polynomial 0x1021, initial value 0xFFFF, no reflection,
// no final XOR): the check value of every flash page transfer and of the
// firmware image, carried high byte first.
#ifndef ZELO_DEVICE_PAGE_CRC_H
#define ZELO_DEVICE_PAGE_CRC_H

#include <cstdint>
#include <span>

namespace zelo::device {

std::uint16_t pageCrc(std::span<const std::uint8_t> bytes);

// Stores value high byte first at out[0], out[1].
void storeCrc(std::span<std::uint8_t, 2> out, std::uint16_t value);
std::uint16_t loadCrc(std::span<const std::uint8_t, 2> in);

}  // namespace zelo::device

#endif
