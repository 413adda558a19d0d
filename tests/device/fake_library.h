// A stand-in for the device library that records every call the link makes
// and answers as the test says.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "device_library.h"
#include "device_link.h"

namespace zelo::device::test {

class FakeLibrary final : public DeviceLibrary {
public:
    struct Call {
        std::string name;
        ZELO_HANDLE handle;
        std::vector<std::uint8_t> bytes;  // written bytes, or the serial settings
        std::uint32_t length;             // also the device number or baud rate
    };

    std::int32_t openDevice(std::int32_t number, ZELO_HANDLE *handle, char *path) override {
        record("open", nullptr, {}, static_cast<std::uint32_t>(number));
        if (openResult == ZELO_OK) {
            *handle = openedHandle;
            std::snprintf(path, kDevicePathSize, "%s", "\\\\?\\hid#fake");
        }
        return openResult;
    }
    std::int32_t closeDevice(ZELO_HANDLE handle) override { return record("close", handle); }
    std::int32_t write(ZELO_HANDLE handle, const std::uint8_t *data, std::uint32_t length) override {
        if (inFrame.exchange(true)) overlaps.fetch_add(1);
        record("write", handle, {data, data + length}, length);
        if (writeResult != ZELO_OK || throwOnWrite.load()) inFrame = false;
        if (throwOnWrite.exchange(false)) throw std::runtime_error("write exploded");
        return writeResult;
    }
    std::int32_t read(ZELO_HANDLE handle, std::uint8_t *buffer, std::uint32_t length) override {
        record("read", handle, {}, length);
        std::fill(buffer, buffer + length, replyByte);
        inFrame = false;
        return readResult;
    }
    std::int32_t bytesInFifo(ZELO_HANDLE handle) override { return record("bytesInFifo", handle), fifoBytes; }
    std::int32_t uartEnable(ZELO_HANDLE handle, std::uint32_t baudRate, std::uint32_t *, std::uint8_t stopBitFlag,
                            std::uint8_t parity, std::uint8_t dataBits) override {
        return record("uartEnable", handle, {stopBitFlag, parity, dataBits}, baudRate);
    }
    std::int32_t uartDisable(ZELO_HANDLE handle) override { return record("uartDisable", handle); }
    std::int32_t uartWrite(ZELO_HANDLE handle, const std::uint8_t *, std::uint32_t length) override {
        return record("uartWrite", handle, {}, length);
    }
    std::int32_t uartRead(ZELO_HANDLE handle, std::uint8_t *, std::uint32_t length) override {
        return record("uartRead", handle, {}, length);
    }
    std::int32_t uartBytesInFifo(ZELO_HANDLE handle) override { return record("uartBytesInFifo", handle); }
    std::int32_t irStatus(ZELO_HANDLE handle, std::uint8_t *) override { return record("irStatus", handle); }

    std::vector<Call> calls() const {
        std::lock_guard<std::mutex> guard(mutex_);
        return calls_;
    }

    ZELO_HANDLE openedHandle = reinterpret_cast<ZELO_HANDLE>(static_cast<std::uintptr_t>(0x1234));
    std::int32_t openResult = ZELO_OK;
    std::int32_t writeResult = ZELO_OK;
    std::int32_t readResult = ZELO_OK;
    std::uint8_t replyByte = 0xA5;
    std::int32_t fifoBytes = 0;
    std::atomic<bool> throwOnWrite{false};
    std::atomic<bool> inFrame{false};  // between a frame's write and its reply
    std::atomic<int> overlaps{0};

private:
    std::int32_t record(const char *name, ZELO_HANDLE handle, std::vector<std::uint8_t> bytes = {},
                        std::uint32_t length = 0) {
        std::lock_guard<std::mutex> guard(mutex_);
        calls_.push_back({name, handle, std::move(bytes), length});
        return ZELO_OK;
    }

    mutable std::mutex mutex_;
    std::vector<Call> calls_;
};

}  // namespace zelo::device::test
