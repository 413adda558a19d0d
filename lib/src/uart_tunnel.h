// The polled tunnel to the accessory's serial port. Everything here runs
// under the device's command lock, which also guards the UART FIFO.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device.h"

namespace zelo {

// Asks the accessory for what its serial port received (0x56) and moves it
// into the UART FIFO. Returns the bytes held, or 0 when the poll's send or
// its count and status did not arrive.
std::size_t uartPoll(Device &device);

// One 0x55 message with up to 255 serial bytes; a transport status.
int uartTransmit(Device &device, const std::uint8_t *data, std::size_t n);

// Polls until length bytes are held or the UART read limit passes; then
// takes them. A transport status; on time-out nothing is taken.
int uartRead(Device &device, std::uint8_t *buffer, std::size_t length);

// Empties the UART FIFO and drains the accessory's serial buffer twice.
int uartEmpty(Device &device);

}  // namespace zelo
