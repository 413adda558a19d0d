#include "page_crc.h"

#include <array>

namespace zelo::device {

namespace {

constexpr std::uint16_t kPolynomial = 0x1021;
constexpr std::uint16_t kInitialValue = 0xFFFF;
constexpr unsigned kByteBits = 8;
constexpr std::uint16_t kTopBit = 0x8000;
constexpr std::size_t kTableSize = 256;

constexpr std::array<std::uint16_t, kTableSize> makeTable() {
    std::array<std::uint16_t, kTableSize> table{};
    for (std::size_t i = 0; i < kTableSize; ++i) {
        auto crc = static_cast<std::uint16_t>(i << kByteBits);
        for (unsigned bit = 0; bit < kByteBits; ++bit)
            crc = static_cast<std::uint16_t>((crc & kTopBit) ? (crc << 1) ^ kPolynomial : crc << 1);
        table[i] = crc;
    }
    return table;
}

constexpr std::array<std::uint16_t, kTableSize> kTable = makeTable();

}  // namespace

std::uint16_t pageCrc(std::span<const std::uint8_t> bytes) {
    std::uint16_t crc = kInitialValue;
    for (std::uint8_t byte : bytes)
        crc = static_cast<std::uint16_t>((crc << kByteBits) ^ kTable[((crc >> kByteBits) ^ byte) & 0xFF]);
    return crc;
}

void storeCrc(std::span<std::uint8_t, 2> out, std::uint16_t value) {
    out[0] = static_cast<std::uint8_t>(value >> kByteBits);
    out[1] = static_cast<std::uint8_t>(value & 0xFF);
}

std::uint16_t loadCrc(std::span<const std::uint8_t, 2> in) {
    return static_cast<std::uint16_t>((in[0] << kByteBits) | in[1]);
}

}  // namespace zelo::device
