#include "uart_format.h"

namespace zelo {

namespace {
constexpr std::uint32_t kUartClockHz = 48000000;
constexpr double kReloadSpan = 65536.0;
constexpr double kDivisorScale = 0.5;

constexpr std::uint8_t kLongStopBit = 0x01;
constexpr int kDataBitsShift = 2;
constexpr std::uint8_t kParityEnabled = 0x10;
constexpr int kParityTypeShift = 5;
constexpr std::uint8_t kFirstParityCode = 1;  // odd
constexpr std::uint8_t kLastParityCode = 4;   // space
}  // namespace

bool uartSettingsInRange(std::uint32_t baudRate, std::uint8_t dataBits) {
    return baudRate >= kMinBaudRate && baudRate <= kMaxBaudRate && dataBits >= kMinDataBits &&
           dataBits <= kMaxDataBits;
}

std::uint8_t uartFormatByte(std::uint8_t stopBitFlag, std::uint8_t parity, std::uint8_t dataBits) {
    std::uint8_t format = stopBitFlag == 1 ? kLongStopBit : 0;
    format = static_cast<std::uint8_t>(format | ((dataBits - kMinDataBits) << kDataBitsShift));
    if (parity >= kFirstParityCode && parity <= kLastParityCode) {
        format = static_cast<std::uint8_t>(format | kParityEnabled |
                                           ((parity - kFirstParityCode) << kParityTypeShift));
    }
    return format;
}

std::uint16_t uartReload(std::uint32_t baudRate) {
    const std::uint32_t divisor = kUartClockHz / baudRate;
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(kReloadSpan - divisor * kDivisorScale));
}

}  // namespace zelo
