// Messages to the accessory and bytes from its data FIFO.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device.h"

namespace zelo {

// Status of a command exchange: 0 done, 1 the message could not be sent or
// its answer did not arrive in time.
inline constexpr int kExchangeOk = 0;
inline constexpr int kExchangeFailed = 1;

// Cuts the message into output reports and writes them; false when a
// report could not be written (the rest is then not sent).
bool sendMessage(Device &device, const std::uint8_t *data, std::size_t length);

// Waits, within the receive time limit, until the data FIFO holds n bytes
// and takes them. Takes nothing when the limit passes.
bool receive(Device &device, std::uint8_t *out, std::size_t n);

// Sends code + payload and, when answerLength > 0, receives the answer.
// The caller holds device.commandLock.
int exchangeLocked(Device &device, std::uint8_t code, const std::uint8_t *payload, std::size_t payloadLength,
                   std::uint8_t *answer, std::size_t answerLength);

// The same under the command lock.
int commandExchange(Device &device, std::uint8_t code, const std::uint8_t *payload = nullptr,
                    std::size_t payloadLength = 0, std::uint8_t *answer = nullptr, std::size_t answerLength = 0);

}  // namespace zelo
