// Sizes and pacing of the transport, fixed by the accessory and its driver.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace zelo {

// Data FIFO and UART FIFO: one slot stays free, so 10239 bytes fit.
inline constexpr std::size_t kFifoSize = 10240;

// Data bytes per report: byte 0 is the report ID, byte 1 the count.
inline constexpr std::uint32_t kReportHeaderSize = 2;
inline constexpr std::uint32_t kMaxReportData = 62;
inline constexpr std::uint8_t kReportId = 0;

// Writer: attempts per output report and the pause after a failed one.
inline constexpr int kWriteAttempts = 8;
inline constexpr std::chrono::milliseconds kWriteRetryPause{1};

// Reader thread: driver queue, reports asked for per read, pauses. The
// pause follows only a read that brought nothing (failed, timed out,
// cancelled): after data the next report may already be on its way.
inline constexpr std::uint32_t kInputBufferCount = 128;
inline constexpr std::uint32_t kReportsPerRead = 8;
inline constexpr std::chrono::milliseconds kReaderStartPause{1};
inline constexpr std::chrono::milliseconds kReaderPause{2};
// How often a stopping reader is nudged until it has left its loop.
inline constexpr std::chrono::milliseconds kStopNudge{5};

// Device object fields.
inline constexpr std::size_t kDevicePathSize = 255;
inline constexpr std::size_t kVersionTextLength = 4;
inline constexpr std::size_t kIrStatusSize = 9;
// Room for an interface path while enumerating (Windows paths may exceed
// the 255 bytes the device object keeps).
inline constexpr std::size_t kInterfacePathCapacity = 1024;

// Enumeration bounds: counting looks at more interfaces than opening.
inline constexpr int kCountInterfaceLimit = 256;
inline constexpr int kOpenInterfaceLimit = 128;

// The UART FIFO's content before its first emptying.
inline constexpr std::uint8_t kUartFifoInitialByte = 0x55;
// After a poll whose status byte is not 0.
inline constexpr std::chrono::milliseconds kUartStatusPause{1};
// A 0x55 message carries at most this many serial bytes (one count byte).
inline constexpr std::uint32_t kUartChunk = 255;

}  // namespace zelo
