#include "uart_tunnel.h"

#include <array>
#include <chrono>
#include <vector>

#include "backends.h"
#include "pause.h"
#include "command_codes.h"
#include "transport.h"

namespace zelo {

namespace {

constexpr int kDrainPasses = 2;

struct PollHeader {
    std::uint8_t count;
    std::uint8_t status;
};

bool pollHeaderLocked(Device &device, PollHeader *header) {
    std::array<std::uint8_t, cmd::kPollHeaderAnswer> answer{};
    if (exchangeLocked(device, cmd::kUartPoll, nullptr, 0, answer.data(), answer.size()) != kExchangeOk) {
        return false;
    }
    header->count = answer[0];
    header->status = answer[1];
    return true;
}

std::size_t uartPollLocked(Device &device) {
    PollHeader header{};
    if (!pollHeaderLocked(device, &header)) {
        return 0;
    }
    device.uartStatus = header.status;
    if (header.status != 0) {
        pauseFor(kUartStatusPause);
    }
    if (header.count > 0) {
        std::vector<std::uint8_t> bytes(header.count);
        if (receive(device, bytes.data(), bytes.size())) {
            device.uartFifo.append(bytes.data(), bytes.size());
        }
    }
    return device.uartFifo.size();
}

// One pass of draining; false when a step failed.
bool drainLocked(Device &device) {
    PollHeader header{};
    if (!pollHeaderLocked(device, &header)) {
        return false;
    }
    if (header.count == 0) {
        return true;
    }
    std::vector<std::uint8_t> discarded(header.count);
    return receive(device, discarded.data(), discarded.size());
}

}  // namespace

std::size_t uartPoll(Device &device) {
    std::lock_guard<std::mutex> guard(device.commandLock);
    return uartPollLocked(device);
}

int uartTransmit(Device &device, const std::uint8_t *data, std::size_t n) {
    std::vector<std::uint8_t> payload;
    payload.reserve(1 + n);
    payload.push_back(static_cast<std::uint8_t>(n));
    payload.insert(payload.end(), data, data + n);
    return commandExchange(device, cmd::kUartTransmit, payload.data(), payload.size());
}

namespace {

bool takeIfHeld(Device &device, std::uint8_t *buffer, std::size_t length) {
    std::lock_guard<std::mutex> guard(device.commandLock);
    if (device.uartFifo.size() < length) {
        return false;  // another thread took bytes since the poll
    }
    device.uartFifo.take(buffer, length);
    device.uartStatus = 0;
    return true;
}

}  // namespace

int uartRead(Device &device, std::uint8_t *buffer, std::size_t length) {
    const auto limit = std::chrono::milliseconds(hid::backend().timing().uartReadLimitMs);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // The lock is released between polls so other commands can run.
    for (;;) {
        if (uartPoll(device) >= length && takeIfHeld(device, buffer, length)) {
            return kExchangeOk;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return kExchangeFailed;
        }
    }
}

int uartEmpty(Device &device) {
    std::lock_guard<std::mutex> guard(device.commandLock);
    device.uartFifo.clear();
    device.uartFifo.fill(0);
    for (int pass = 0; pass < kDrainPasses; ++pass) {
        if (!drainLocked(device)) {
            return kExchangeFailed;
        }
    }
    return kExchangeOk;
}

}  // namespace zelo
