// What the IR page asks the accessory to transmit: the command at a
// position of the IR transmit list, with the device code its kind is sent
// with, and the start or stop state. Shared by the program's IR page and
// the browser page.
#ifndef ZELO_PAGES_IR_TRANSMIT_H
#define ZELO_PAGES_IR_TRANSMIT_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace zelo::pages {

// The device code an IR test is sent with: controller keys and the rest
// each have their own.
inline constexpr std::uint8_t kTransmitKeyB0 = 0x5A;
inline constexpr std::uint8_t kTransmitKeyB1 = 0x1B;
inline constexpr std::uint8_t kTransmitOtherB0 = 0x3A;
inline constexpr std::uint8_t kTransmitOtherB1 = 0x09;
inline constexpr std::uint8_t kTransmitStart = 0xFF;
inline constexpr std::uint8_t kTransmitStop = 0x00;
// Where the IR status carries the last received command.
inline constexpr std::size_t kIrStatusCommandByte = 3;

// The record's bytes, in the order the accessory takes them.
inline constexpr std::size_t kIrRecordCommand = 0;
inline constexpr std::size_t kIrRecordB0 = 1;
inline constexpr std::size_t kIrRecordB1 = 2;
inline constexpr std::size_t kIrRecordState = 3;
inline constexpr std::size_t kIrRecordSize = 4;
using IrTransmitRecord = std::array<std::uint8_t, kIrRecordSize>;

// The record that starts (or stops) transmitting code.
IrTransmitRecord irTransmitRecordOfCode(std::uint8_t code, bool start);

// The record for the command at listIndex of the IR transmit list.
IrTransmitRecord irTransmitRecord(std::size_t listIndex, bool start);

}  // namespace zelo::pages

#endif
