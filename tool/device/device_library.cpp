#include "device_library.h"

namespace zelo::device {

namespace {

// The trailing arguments of ZELO_UART_Enable are reserved and always 0.
constexpr std::uint32_t kUartReservedWord = 0;
constexpr std::uint8_t kUartReservedByte = 0;

class ZeloLibrary final : public DeviceLibrary {
public:
    std::int32_t openDevice(std::int32_t number, ZELO_HANDLE *handle, char *path) override {
        return ZELO_OpenDeviceFromNum(number, handle, path);
    }
    std::int32_t closeDevice(ZELO_HANDLE handle) override { return ZELO_CloseDevice(handle); }
    std::int32_t write(ZELO_HANDLE handle, const std::uint8_t *data, std::uint32_t length) override {
        return ZELO_Write(handle, data, length, nullptr);
    }
    std::int32_t read(ZELO_HANDLE handle, std::uint8_t *buffer, std::uint32_t length) override {
        return ZELO_Read(handle, buffer, length, nullptr);
    }
    std::int32_t bytesInFifo(ZELO_HANDLE handle) override { return ZELO_BytesInFifo(handle); }
    std::int32_t uartEnable(ZELO_HANDLE handle, std::uint32_t baudRate, std::uint32_t *baudOut,
                            std::uint8_t stopBitFlag, std::uint8_t parity, std::uint8_t dataBits) override {
        return ZELO_UART_Enable(handle, baudRate, baudOut, stopBitFlag, parity, dataBits, kUartReservedWord,
                                kUartReservedWord, kUartReservedByte);
    }
    std::int32_t uartDisable(ZELO_HANDLE handle) override { return ZELO_UART_Disable(handle); }
    std::int32_t uartWrite(ZELO_HANDLE handle, const std::uint8_t *data, std::uint32_t length) override {
        return ZELO_UART_Write(handle, data, length, nullptr);
    }
    std::int32_t uartRead(ZELO_HANDLE handle, std::uint8_t *buffer, std::uint32_t length) override {
        return ZELO_UART_Read(handle, buffer, length, nullptr);
    }
    std::int32_t uartBytesInFifo(ZELO_HANDLE handle) override { return ZELO_UART_BytesInFifo(handle); }
    std::int32_t irStatus(ZELO_HANDLE handle, std::uint8_t *status) override {
        return ZELO_GetIRStatus(handle, status);
    }
};

}  // namespace

DeviceLibrary &zeloLibrary() {
    static ZeloLibrary library;
    return library;
}

}  // namespace zelo::device
