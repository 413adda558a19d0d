// The serial-port tunnel exports.
#include <algorithm>
#include <array>

#include "command_codes.h"
#include "registry.h"
#include "transport.h"
#include "uart_format.h"
#include "uart_tunnel.h"
#include "zelo.h"

namespace {

constexpr int32_t kRstLowState = 0;
constexpr int32_t kRstHighState = 1;

// A transport status as the exports report it.
int32_t exportStatus(int status) { return status == zelo::kExchangeOk ? ZELO_OK : ZELO_TRANSFER_FAILED; }

}  // namespace

extern "C" {

ZELO_API int32_t ZELO_CALL ZELO_UART_Enable(ZELO_HANDLE handle, uint32_t baudRate, uint32_t *baudOut,
                                            uint8_t stopBitFlag, uint8_t parity, uint8_t dataBits, uint32_t,
                                            uint32_t, uint8_t) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
    if (!zelo::uartSettingsInRange(baudRate, dataBits)) {
        return ZELO_OUT_OF_RANGE;
    }
    if (baudOut != nullptr) {
        *baudOut = baudRate;
    }
    const std::uint16_t reload = zelo::uartReload(baudRate);
    const std::array<std::uint8_t, zelo::cmd::kUartEnablePayload> payload{zelo::cmd::kUartEnableControl,
                                              zelo::uartFormatByte(stopBitFlag, parity, dataBits),
                                              static_cast<std::uint8_t>(reload >> 8),
                                              static_cast<std::uint8_t>(reload)};
    return exportStatus(zelo::commandExchange(*device, zelo::cmd::kUartEnable, payload.data(), payload.size()));
}

ZELO_API int32_t ZELO_CALL ZELO_UART_Disable(ZELO_HANDLE handle) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
    return exportStatus(zelo::commandExchange(*device, zelo::cmd::kUartDisable));
}

ZELO_API int32_t ZELO_CALL ZELO_UART_SetRST(ZELO_HANDLE handle, int32_t state) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
    if (state == kRstLowState) {
        return exportStatus(zelo::commandExchange(*device, zelo::cmd::kRstLow));
    }
    if (state == kRstHighState) {
        return exportStatus(zelo::commandExchange(*device, zelo::cmd::kRstHigh));
    }
    return ZELO_OK;
}

ZELO_API int32_t ZELO_CALL ZELO_UART_Write(ZELO_HANDLE handle, const uint8_t *data, uint32_t length,
                                           uint32_t *written) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
    if (data == nullptr && length > 0) {
        return ZELO_OUT_OF_RANGE;
    }
    if (length <= zelo::kUartChunk) {
        const int status = zelo::uartTransmit(*device, data, length);
        if (status == zelo::kExchangeOk && written != nullptr) {
            *written = length;
        }
        return exportStatus(status);
    }
    // Longer writes go in chunks, with a poll after each so serial bytes
    // arriving meanwhile are collected.
    uint32_t sent = 0;
    while (sent < length) {
        const uint32_t n = std::min(length - sent, zelo::kUartChunk);
        if (zelo::uartTransmit(*device, data + sent, n) != zelo::kExchangeOk) {
            if (written != nullptr) {
                *written = sent;
            }
            return ZELO_TRANSFER_FAILED;
        }
        sent += n;
        zelo::uartPoll(*device);
    }
    if (written != nullptr) {
        *written = length;
    }
    return ZELO_OK;
}

ZELO_API int32_t ZELO_CALL ZELO_UART_Read(ZELO_HANDLE handle, uint8_t *buffer, uint32_t length, uint32_t *read) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
    if (buffer == nullptr) {
        return ZELO_OUT_OF_RANGE;
    }
    if (length == 0) {
        return ZELO_OK;
    }
    const int status = zelo::uartRead(*device, buffer, length);
    if (status == zelo::kExchangeOk && read != nullptr) {
        *read = length;
    }
    return exportStatus(status);
}

ZELO_API int32_t ZELO_CALL ZELO_UART_BytesInFifo(ZELO_HANDLE handle) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
    return static_cast<int32_t>(zelo::uartPoll(*device));
}

ZELO_API int32_t ZELO_CALL ZELO_UART_EmptyFifo(ZELO_HANDLE handle) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
    return exportStatus(zelo::uartEmpty(*device));
}

}  // extern "C"
