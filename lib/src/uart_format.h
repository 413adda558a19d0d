// Settings bytes of the accessory's serial port (command 0x49).
#pragma once

#include <cstdint>

namespace zelo {

inline constexpr std::uint32_t kMinBaudRate = 1200;
inline constexpr std::uint32_t kMaxBaudRate = 230400;
inline constexpr std::uint8_t kMinDataBits = 5;
inline constexpr std::uint8_t kMaxDataBits = 8;

bool uartSettingsInRange(std::uint32_t baudRate, std::uint8_t dataBits);

// Bit 0 stop length, bits 2-3 data bits - 5, bit 4 parity on, bits 5-6
// parity type. Parity codes: 0 none, 1 odd, 2 even, 3 mark, 4 space.
std::uint8_t uartFormatByte(std::uint8_t stopBitFlag, std::uint8_t parity, std::uint8_t dataBits);

// Timer reload for a 48 MHz clock: 65536 - (48000000 / baud) / 2, truncated.
std::uint16_t uartReload(std::uint32_t baudRate);

}  // namespace zelo
