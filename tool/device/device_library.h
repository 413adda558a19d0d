#ifndef ZELO_DEVICE_DEVICE_LIBRARY_H
#define ZELO_DEVICE_DEVICE_LIBRARY_H

// The device library's exports as the device link uses them, behind an
// interface so tests can watch every call the link makes (or does not make).

#include <cstdint>

#include "zelo.h"

namespace zelo::device {

class DeviceLibrary {
public:
    virtual ~DeviceLibrary() = default;
    virtual std::int32_t openDevice(std::int32_t number, ZELO_HANDLE *handle, char *path) = 0;
    virtual std::int32_t closeDevice(ZELO_HANDLE handle) = 0;
    virtual std::int32_t write(ZELO_HANDLE handle, const std::uint8_t *data, std::uint32_t length) = 0;
    virtual std::int32_t read(ZELO_HANDLE handle, std::uint8_t *buffer, std::uint32_t length) = 0;
    virtual std::int32_t bytesInFifo(ZELO_HANDLE handle) = 0;
    virtual std::int32_t uartEnable(ZELO_HANDLE handle, std::uint32_t baudRate, std::uint32_t *baudOut,
                                    std::uint8_t stopBitFlag, std::uint8_t parity, std::uint8_t dataBits) = 0;
    virtual std::int32_t uartDisable(ZELO_HANDLE handle) = 0;
    virtual std::int32_t uartWrite(ZELO_HANDLE handle, const std::uint8_t *data, std::uint32_t length) = 0;
    virtual std::int32_t uartRead(ZELO_HANDLE handle, std::uint8_t *buffer, std::uint32_t length) = 0;
    virtual std::int32_t uartBytesInFifo(ZELO_HANDLE handle) = 0;
    virtual std::int32_t irStatus(ZELO_HANDLE handle, std::uint8_t *status) = 0;
};

// The real exports of the loaded library.
DeviceLibrary &zeloLibrary();

}  // namespace zelo::device

#endif
