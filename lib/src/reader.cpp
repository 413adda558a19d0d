#include "reader.h"

#include <algorithm>
#include <vector>

#include "backends.h"

namespace zelo {

namespace {

#if !defined(__EMSCRIPTEN__)
constexpr std::chrono::seconds kIdleCheck{1};

// How a reader ended: stopped, or a transfer that was not a whole number
// of reports (the running flag then stays set until ZELO_StopHID).
constexpr int kReaderStopped = 0;
constexpr int kReaderBadTransfer = 1;
#endif

// Appends the report's data bytes; true when it carried any.
bool deliverReport(Device &device, hid::Backend &backend, const std::uint8_t *report, std::uint32_t length) {
    if (report[0] != kReportId) {
        backend.reportIdError();
    }
    if (length < kReportHeaderSize) {
        return false;
    }
    // Never past the end of the report, whatever its count byte claims.
    const std::size_t count = std::min<std::size_t>(report[1], length - kReportHeaderSize);
    if (count == 0) {
        return false;
    }
    std::lock_guard<std::mutex> guard(device.fifoLock);
    device.dataFifo.append(report + kReportHeaderSize, count);
    return true;
}

// Every whole report of one read, in order; then one wake-up for whoever
// waits for bytes.
void deliverReports(Device &device, hid::Backend &backend, const std::uint8_t *reports, std::uint32_t transferred,
                    std::uint32_t reportLength) {
    bool delivered = false;
    for (std::uint32_t at = 0; at < transferred; at += reportLength) {
        delivered = deliverReport(device, backend, reports + at, reportLength) || delivered;
    }
    if (delivered) {
        device.fifoFilled.notify_all();
    }
}

// Nothing: the read timed out or brought no data. Ended: it failed or was
// cancelled, so waiting on for bytes through this channel is pointless.
enum class PassResult { Delivered, Nothing, Ended, BadTransfer };

// One read of whole input reports into the data FIFO.
PassResult readPass(Device &device, hid::Backend &backend, hid::Channel channel, std::vector<std::uint8_t> &buffer,
                    std::uint32_t timeoutMs) {
    const std::uint32_t reportLength = device.lengths.input;
    const auto capacity = static_cast<std::uint32_t>(buffer.size());
    std::uint32_t transferred = 0;
    const hid::ReadStatus status = backend.readReports(channel, buffer.data(), capacity, timeoutMs, &transferred);
    if (status == hid::ReadStatus::Failed || status == hid::ReadStatus::Cancelled) {
        return PassResult::Ended;
    }
    if (status != hid::ReadStatus::Completed || transferred == 0) {
        return PassResult::Nothing;
    }
    if (transferred % reportLength != 0) {
        return PassResult::BadTransfer;
    }
    deliverReports(device, backend, buffer.data(), std::min(transferred, capacity), reportLength);
    return PassResult::Delivered;
}

#if !defined(__EMSCRIPTEN__)
// Without a report length the received data cannot be split into
// reports; the reader then only waits to be stopped.
int idleUntilStopped(Device &device) {
    while (!device.running.waitFor(false, kIdleCheck)) {
    }
    return kReaderStopped;
}

int readLoop(Device &device) {
    hid::Backend &backend = hid::backend();
    const hid::Channel channel = device.readChannel.load();
    if (channel == nullptr) {
        return kReaderStopped;
    }
    backend.setNumInputBuffers(channel, kInputBufferCount);
    device.running.waitFor(false, kReaderStartPause);
    const std::uint32_t reportLength = device.lengths.input;
    if (reportLength == 0) {
        return idleUntilStopped(device);
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(reportLength) * kReportsPerRead);
    while (device.running.get() && device.readChannel.load() != nullptr) {
        const PassResult pass = readPass(device, backend, channel, buffer, backend.timing().readWaitMs);
        if (pass == PassResult::BadTransfer) {
            return kReaderBadTransfer;
        }
        if (pass == PassResult::Delivered) {
            continue;  // the answer's next report may be on its way: read again at once
        }
        // Nothing came. TimedOut: the backend cancelled the request already.
        // Cancelled: the flag decides. Failed (device gone): pause and retry.
        device.running.waitFor(false, kReaderPause);
    }
    return kReaderStopped;
}

void readerMain(Device *device) {
    readLoop(*device);
    device->readerExited.set(true);
}
#endif

}  // namespace

void startReader(Device &device) {
    std::lock_guard<std::mutex> control(device.readerControl);
    if (device.reader.joinable()) {
        if (!device.readerExited.get()) {
            return;  // one reader per device
        }
        device.reader.join();
    }
    device.readerExited.set(false);
    device.running.set(true);
#if defined(__EMSCRIPTEN__)
    // No threads in the browser: a caller waiting for bytes reads for
    // itself (readWhileWaiting).
    hid::backend().setNumInputBuffers(device.readChannel.load(), kInputBufferCount);
#else
    device.reader = std::thread(readerMain, &device);
#endif
}

#if defined(__EMSCRIPTEN__)
bool readWhileWaiting(Device &device, std::uint32_t timeoutMs) {
    hid::Backend &backend = hid::backend();
    const hid::Channel channel = device.readChannel.load();
    const std::uint32_t reportLength = device.lengths.input;
    if (!device.running.get() || channel == nullptr || reportLength == 0) {
        return false;
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(reportLength) * kReportsPerRead);
    const PassResult pass = readPass(device, backend, channel, buffer, timeoutMs);
    // A transfer that is not whole reports ends the reading, as it ends the reader thread.
    if (pass == PassResult::BadTransfer) {
        device.running.set(false);
        return false;
    }
    // A failed read (device gone) or a cancelled one ends this wait: with
    // no thread to pause in, retrying would spin until the time limit.
    return pass != PassResult::Ended;
}
#endif

namespace {

void stopLocked(Device &device) {
    device.running.set(false);
    if (!device.reader.joinable()) {
        return;
    }
    // A cancel that reaches the reader just before it starts a read could
    // be missed, so keep nudging until it has left.
    while (!device.readerExited.get()) {
        if (const hid::Channel channel = device.readChannel.load()) {
            hid::backend().cancelRead(channel);
        }
        device.readerExited.waitFor(true, kStopNudge);
    }
    device.reader.join();
}

}  // namespace

void stopReader(Device &device) {
    std::lock_guard<std::mutex> control(device.readerControl);
    stopLocked(device);
}

void closeDevice(Device &device) {
    std::lock_guard<std::mutex> control(device.readerControl);
    stopLocked(device);
    // Whoever takes a channel out of the object closes it, exactly once.
    const hid::Channel writeChannel = device.writeChannel.exchange(nullptr);
    const hid::Channel readChannel = device.readChannel.exchange(nullptr);
    if (writeChannel != nullptr) {
        hid::backend().close(writeChannel);
    }
    if (readChannel != nullptr) {
        hid::backend().close(readChannel);
    }
    // The object itself goes when the last call still using it returns;
    // its rings' storage goes now, and a call still under way sees empty
    // rings. An exchange may hold the command lock until its time limit:
    // then the serial ring is left to the object rather than the close
    // made to wait.
    {
        std::lock_guard<std::mutex> fifo(device.fifoLock);
        device.dataFifo.release();
    }
    device.fifoFilled.notify_all();
    std::unique_lock<std::mutex> command(device.commandLock, std::try_to_lock);
    if (command.owns_lock()) device.uartFifo.release();
}

}  // namespace zelo
