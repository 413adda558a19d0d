// Command codes the library sends to the accessory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zelo::cmd {

inline constexpr std::uint8_t kReadVersion = 0x01;
inline constexpr std::uint8_t kSetLed = 0x04;
inline constexpr std::uint8_t kUartEnable = 0x49;
inline constexpr std::uint8_t kUartDisable = 0x4A;
inline constexpr std::uint8_t kRstHigh = 0x52;
inline constexpr std::uint8_t kRstLow = 0x53;
inline constexpr std::uint8_t kUartTransmit = 0x55;
inline constexpr std::uint8_t kUartPoll = 0x56;
inline constexpr std::uint8_t kPageCrc = 0x57;
inline constexpr std::uint8_t kPageWrite = 0x58;

// Second byte of the 0x49 payload; its meaning is the accessory's.
inline constexpr std::uint8_t kUartEnableControl = 0xC3;

// Payload lengths.
inline constexpr std::size_t kUartEnablePayload = 4;
inline constexpr std::size_t kLedPayload = 8;

// Answer lengths.
inline constexpr std::uint32_t kVersionAnswer = 4;
inline constexpr std::uint32_t kPollHeaderAnswer = 2;  // count, status
inline constexpr std::uint32_t kCrcAnswer = 2;

}  // namespace zelo::cmd
