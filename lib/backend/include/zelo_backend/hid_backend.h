// The small HID interface the library core runs on. One implementation talks
// to the Windows HID class driver; the other to the simulated accessories.
// Only plain types cross it, so a backend may live in another module.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zelo::hid {

// A pointer-sized channel handle: an OS handle for the Windows backend, an
// opaque token for the simulator. Null means "no channel".
using Channel = void *;

// Product ID of the accessory; the vendor ID is kVendorId below.
inline constexpr std::uint16_t kProductId = 0x0009;
// The accessory's USB vendor ID, used by counting, opening and the
// hardware-ID comparison alike.
inline constexpr std::uint16_t kVendorId = 0x3A71;

// Access and sharing of one open, as CreateFile takes them.
struct OpenMode {
    bool read = false;
    bool write = false;
    bool shareRead = false;
    bool shareWrite = false;
    bool overlapped = false;
};

struct ReportLengths {
    std::uint32_t input = 0;   // report-ID byte included
    std::uint32_t output = 0;
    std::uint32_t feature = 0;
};

enum class ReadStatus {
    Completed,  // transferred holds the byte count
    TimedOut,   // nothing arrived in time; the request was cancelled and has finished
    Cancelled,  // cancelRead() ended the wait
    Failed,     // the channel is unusable (device gone, closed)
};

// Time limits the library core uses. Real hardware always gets the
// defaults; the simulator may shorten them so tests need not wait them out.
struct Timing {
    std::uint32_t receiveLimitMs = 15000;  // waiting for bytes in the data FIFO
    std::uint32_t uartReadLimitMs = 15000; // waiting for bytes in the UART FIFO
    std::uint32_t readWaitMs = 2500;       // one pass of the reader thread
    // One output report: a write not done by then is cancelled and fails,
    // so an endpoint that stops taking reports cannot hang the caller.
    std::uint32_t writeLimitMs = 1000;
};

class Backend {
public:
    virtual ~Backend() = default;

    // Path of present HID interface number index into path (zero-terminated,
    // cut to size). Returns false when there is no interface with that index.
    // detailOk is false when the interface exists but its path is unavailable.
    virtual bool interfacePath(int index, char *path, std::size_t size, bool *detailOk) = 0;

    // Null when the open fails (for example a sharing conflict).
    virtual Channel open(const char *path, const OpenMode &mode) = 0;
    virtual void close(Channel channel) = 0;

    virtual bool attributes(Channel channel, std::uint16_t *vendorId, std::uint16_t *productId) = 0;
    // HidD_GetPreparsedData + HidP_GetCaps.
    virtual bool reportLengths(Channel channel, ReportLengths *lengths) = 0;
    virtual bool flushInput(Channel channel) = 0;
    virtual bool setNumInputBuffers(Channel channel, std::uint32_t count) = 0;

    // One synchronous output report of exactly length bytes.
    virtual bool writeReport(Channel channel, const std::uint8_t *report, std::uint32_t length,
                             std::uint32_t *transferred) = 0;

    // Reads up to capacity bytes of whole input reports, waiting at most
    // timeoutMs. A timed-out request is cancelled and has completed before
    // this returns, so the buffer is never written afterwards.
    virtual ReadStatus readReports(Channel channel, std::uint8_t *buffer, std::uint32_t capacity,
                                   std::uint32_t timeoutMs, std::uint32_t *transferred) = 0;
    // Wakes a readReports() blocked on channel from another thread; it
    // returns Cancelled. Used to stop a reader without killing its thread.
    virtual void cancelRead(Channel channel) = 0;

    // HidD_GetFeature into buffer (byte 0 holds the report ID on entry).
    virtual bool getFeature(Channel channel, std::uint8_t *buffer, std::uint32_t length) = 0;

    // First hardware ID of the device interface named deviceName.
    virtual bool hardwareId(const char *deviceName, char *id, std::size_t size) = 0;

    // Register window for device-interface notifications of the HID class.
    virtual void requestNotification(void *window) = 0;

    // An input report arrived with a report ID other than 0.
    virtual void reportIdError() = 0;

    virtual Timing timing() const = 0;
};

}  // namespace zelo::hid

// Exported by the simulator module; the library looks it up at run time
// when ZELO_SIMULATOR is set.
extern "C" {
using ZeloSimBackendFn = zelo::hid::Backend *(*)();
}
#define ZELO_SIM_BACKEND_SYMBOL "zelo_sim_backend"
// Also exported by the simulator module, for programs that explain an
// accessory they cannot open: the file other processes' claims on the
// plugged accessory at an interface path are held on (its state file's
// lock, as a hidraw node is claimed). 1 with the name in file (cut to
// size), 0 when the accessory has none (no state file) or is not plugged.
extern "C" {
using ZeloSimClaimFileFn = int (*)(const char *path, char *file, std::size_t size);
}
#define ZELO_SIM_CLAIM_FILE_SYMBOL "zelo_sim_claim_file"
// The environment variable that asks for simulated accessories.
#define ZELO_SIMULATOR_VARIABLE "ZELO_SIMULATOR"
