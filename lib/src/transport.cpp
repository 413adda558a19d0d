#include "transport.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "backends.h"
#include "pause.h"
#include "reader.h"

namespace zelo {

namespace {

bool writeWithRetries(Device &device, const std::vector<std::uint8_t> &report) {
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
        std::uint32_t transferred = 0;
        const hid::Channel channel = device.writeChannel.load();
        if (channel != nullptr && hid::backend().writeReport(channel, report.data(),
                                                              static_cast<std::uint32_t>(report.size()),
                                                              &transferred)) {
            device.bytesWritten.store(transferred);
            return true;
        }
        pauseFor(kWriteRetryPause);
    }
    return false;
}

}  // namespace

bool sendMessage(Device &device, const std::uint8_t *data, std::size_t length) {
    const std::uint32_t reportLength = device.lengths.output;
    if (length == 0) {
        return true;
    }
    if (reportLength <= kReportHeaderSize) {
        return false;  // no capabilities: no report can carry data
    }
    const std::size_t perReport = std::min(reportLength - kReportHeaderSize, kMaxReportData);
    std::vector<std::uint8_t> report(reportLength);
    for (std::size_t sent = 0; sent < length;) {
        const std::size_t n = std::min(length - sent, perReport);
        std::fill(report.begin(), report.end(), 0);
        report[0] = kReportId;
        report[1] = static_cast<std::uint8_t>(n);
        std::copy_n(data + sent, n, report.begin() + kReportHeaderSize);
        if (!writeWithRetries(device, report)) {
            return false;
        }
        sent += n;
    }
    return true;
}

#if defined(__EMSCRIPTEN__)
// The browser's receive: the caller reads the input reports itself until
// its bytes are there, the device is closed or the limit is reached.
bool receive(Device &device, std::uint8_t *out, std::size_t n) {
    using Clock = std::chrono::steady_clock;
    const auto limit = std::chrono::milliseconds(hid::backend().timing().receiveLimitMs);
    const auto deadline = Clock::now() + limit;
    while (device.dataFifo.size() < n && device.writeChannel.load() != nullptr) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || !readWhileWaiting(device, static_cast<std::uint32_t>(left))) {
            break;
        }
    }
    if (device.dataFifo.size() < n) {
        return false;
    }
    device.dataFifo.take(out, n);
    return true;
}
#else
bool receive(Device &device, std::uint8_t *out, std::size_t n) {
    const auto limit = std::chrono::milliseconds(hid::backend().timing().receiveLimitMs);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // The reader signals every append, and closing signals too: a closed
    // device's bytes will not come, so its wait ends there.
    std::unique_lock<std::mutex> lock(device.fifoLock);
    const auto readyOrClosed = [&] { return device.dataFifo.size() >= n || device.writeChannel.load() == nullptr; };
    if (!device.fifoFilled.wait_until(lock, deadline, readyOrClosed) || device.dataFifo.size() < n) {
        return false;
    }
    device.dataFifo.take(out, n);
    return true;
}
#endif

int exchangeLocked(Device &device, std::uint8_t code, const std::uint8_t *payload, std::size_t payloadLength,
                   std::uint8_t *answer, std::size_t answerLength) {
    std::vector<std::uint8_t> message;
    message.reserve(1 + payloadLength);
    message.push_back(code);
    if (payloadLength > 0) {
        message.insert(message.end(), payload, payload + payloadLength);
    }
    if (!sendMessage(device, message.data(), message.size())) {
        return kExchangeFailed;
    }
    if (answer != nullptr && answerLength > 0 && !receive(device, answer, answerLength)) {
        return kExchangeFailed;
    }
    return kExchangeOk;
}

int commandExchange(Device &device, std::uint8_t code, const std::uint8_t *payload, std::size_t payloadLength,
                    std::uint8_t *answer, std::size_t answerLength) {
    std::lock_guard<std::mutex> guard(device.commandLock);
    return exchangeLocked(device, code, payload, payloadLength, answer, answerLength);
}

}  // namespace zelo
