#include "page_crc.h"

namespace zelo {

namespace {
constexpr std::uint16_t kCrcInitial = 0xFFFF;
}

// Byte-wise form of polynomial 0x1021, MSB first, no reflection, no final
// XOR; the accessory computes its page CRCs the same way.
std::uint16_t pageCrc(const std::uint8_t *data, std::size_t length) {
    std::uint16_t crc = kCrcInitial;
    for (std::size_t i = 0; i < length; ++i) {
        crc = static_cast<std::uint16_t>((crc >> 8) | (crc << 8));
        crc ^= data[i];
        crc ^= static_cast<std::uint16_t>((crc & 0xFF) >> 4);
        crc ^= static_cast<std::uint16_t>(crc << 12);
        crc ^= static_cast<std::uint16_t>((crc & 0xFF) << 5);
    }
    return crc;
}

}  // namespace zelo
