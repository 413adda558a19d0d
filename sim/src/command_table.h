// The accessory's command codes and how many payload bytes follow each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zelo::sim::cmd {

inline constexpr std::uint8_t kFirmwareVersion = 0x01;
inline constexpr std::uint8_t kLed = 0x04;
inline constexpr std::uint8_t kLoaderVersion = 0x05;
inline constexpr std::uint8_t kModuleReset = 0x12;
inline constexpr std::uint8_t kPairing = 0x14;
inline constexpr std::uint8_t kConfigWritten = 0x16;
inline constexpr std::uint8_t kIrTransmit = 0x20;
inline constexpr std::uint8_t kUartEnable = 0x49;
inline constexpr std::uint8_t kUartDisable = 0x4A;
inline constexpr std::uint8_t kRstHigh = 0x52;
inline constexpr std::uint8_t kRstLow = 0x53;
inline constexpr std::uint8_t kUartTransmit = 0x55;
inline constexpr std::uint8_t kUartPoll = 0x56;
inline constexpr std::uint8_t kPageCrc = 0x57;
inline constexpr std::uint8_t kPageWrite = 0x58;
inline constexpr std::uint8_t kPageRead = 0x59;
inline constexpr std::uint8_t kBootLeave = 0x5E;
inline constexpr std::uint8_t kBootStep = 0x60;
inline constexpr std::uint8_t kBootEnter = 0x70;
inline constexpr std::uint8_t kStartApplication = 0xF0;

// Payload byte values of the boot-mode steps.
inline constexpr std::uint8_t kBootStepEnter = 0x00;
inline constexpr std::uint8_t kBootStepLeave = 0x40;
inline constexpr std::uint8_t kStartApplicationValue = 0x00;

// The serial transmit command carries its own count byte first.
inline constexpr std::size_t kTransmitCountBytes = 1;

// Fixed payload length of code (for 0x55: only its count byte), or nothing
// for a code the accessory does not know.
std::optional<std::size_t> payloadLength(std::uint8_t code);

}  // namespace zelo::sim::cmd
