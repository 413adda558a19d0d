// Writes Intel HEX records, for targets that check a parse by writing its
// result back out and reading that again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace zelo::fuzz {

inline constexpr std::size_t kRecordDataBytes = 16;

inline void appendHexByte(std::string &text, std::uint8_t value)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    text += kDigits[value >> 4];
    text += kDigits[value & 0x0F];
}

// One record line, upper-case digits, without a line end.
inline std::string hexRecordLine(std::uint8_t type, std::uint16_t address, std::span<const std::uint8_t> data)
{
    std::string line = ":";
    const std::uint8_t header[] = {static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(address >> 8),
                                   static_cast<std::uint8_t>(address & 0xFF), type};
    std::uint8_t sum = 0;
    for (const std::uint8_t b : header) {
        appendHexByte(line, b);
        sum = static_cast<std::uint8_t>(sum + b);
    }
    for (const std::uint8_t b : data) {
        appendHexByte(line, b);
        sum = static_cast<std::uint8_t>(sum + b);
    }
    appendHexByte(line, static_cast<std::uint8_t>(-sum));
    return line;
}

}  // namespace zelo::fuzz
