// The device object: everything the library keeps for one open accessory.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "byte_ring.h"
#include "constants.h"
#include "signal_flag.h"
#include "zelo_backend/hid_backend.h"

namespace zelo {

struct Device {
    Device() = default;
    Device(const Device &) = delete;
    Device &operator=(const Device &) = delete;
    // Closing joined the reader already; this collects one started after
    // the close (it leaves at once, finding no channel).
    ~Device() {
        running.set(false);
        if (reader.joinable()) {
            reader.join();
        }
    }

    // Given at registration and never reused while the library is loaded:
    // what cFlashUpgrade's designations carry, since a later object may
    // take a freed one's address.
    std::uintptr_t serial = 0;

    // The write channel is also the handle callers hold. Both are null
    // before a successful open and after closing.
    std::atomic<hid::Channel> writeChannel{nullptr};
    std::atomic<hid::Channel> readChannel{nullptr};

    std::array<char, kDevicePathSize> path{};
    // Four characters and a terminating zero; written during open only.
    std::array<char, kVersionTextLength + 1> versionText{};
    hid::ReportLengths lengths{};

    // Lock order: commandLock, then fifoLock. featureLock stands alone.
    std::mutex commandLock;  // command exchanges and the UART FIFO
    std::mutex featureLock;  // featureBuffer
    std::mutex fifoLock;     // dataFifo, between reader thread and callers
    // Signalled by the reader after it appended to dataFifo, so a receive
    // wakes as soon as its bytes are there instead of looking again later.
    std::condition_variable fifoFilled;

    // Reader thread; readerControl serialises starting and stopping it.
    std::mutex readerControl;
    std::thread reader;
    SignalFlag running;       // cleared to ask the reader to stop
    SignalFlag readerExited;  // set by the reader as it leaves

    std::vector<std::uint8_t> featureBuffer;
    ByteRing dataFifo;
    std::atomic<std::uint32_t> bytesWritten{0};
    ByteRing uartFifo{kUartFifoInitialByte};
    std::uint8_t uartStatus = 0;  // guarded by commandLock
};

}  // namespace zelo
