// What an IR test asks the accessory to transmit: the command, the device
// code it goes out with, and whether transmitting starts or stops. Shared
// by the IR page's Transmit button and the command line.
#ifndef ZELO_APP_IR_TRANSMIT_REQUEST_H
#define ZELO_APP_IR_TRANSMIT_REQUEST_H

#include <cstddef>
#include <cstdint>

#include "command_table.h"
#include "ir_transmit_queue.h"

namespace zelo::app {

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

inline constexpr std::size_t kTransmitRecordCommand = 0;
inline constexpr std::size_t kTransmitRecordB0 = 1;
inline constexpr std::size_t kTransmitRecordB1 = 2;
inline constexpr std::size_t kTransmitRecordState = 3;

// The request that starts (or stops) transmitting code.
IrTransmitRequest transmitRequest(pages::CommandCode code, bool start);

// The frame of a request that goes to the accessory.
IrTransmitFrame transmitFrame(const IrTransmitRequest &request);

}  // namespace zelo::app

#endif
