#include "crc16.h"

namespace zelo::sim {

namespace {
constexpr std::uint16_t kPolynomial = 0x1021;
constexpr std::uint16_t kInitial = 0xFFFF;
constexpr std::uint16_t kTopBit = 0x8000;
constexpr int kBitsPerByte = 8;
}  // namespace

std::uint16_t crc16(const std::uint8_t *data, std::size_t length) {
    std::uint16_t crc = kInitial;
    for (std::size_t i = 0; i < length; ++i) {
        crc = static_cast<std::uint16_t>(crc ^ (data[i] << kBitsPerByte));
        for (int bit = 0; bit < kBitsPerByte; ++bit) {
            const bool top = (crc & kTopBit) != 0;
            crc = static_cast<std::uint16_t>(crc << 1);
            if (top) crc = static_cast<std::uint16_t>(crc ^ kPolynomial);
        }
    }
    return crc;
}

}  // namespace zelo::sim
