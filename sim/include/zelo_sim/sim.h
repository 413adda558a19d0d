// Control interface of the simulated accessories. The simulator lives in its
// own shared module (zelo-sim); the library loads it when ZELO_SIMULATOR is
// set, and tests link it directly, so both see the same accessories.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#if defined(_WIN32)
#  if defined(ZELO_SIM_BUILDING)
#    define ZELO_SIM_API __declspec(dllexport)
#  else
#    define ZELO_SIM_API __declspec(dllimport)
#  endif
#else
#  define ZELO_SIM_API __attribute__((visibility("default")))
#endif

namespace zelo::hid { class Backend; struct Timing; }

namespace zelo::sim {

inline constexpr std::size_t kPageSize = 512;
inline constexpr int kPageCount = 64;  // flash pages 0..63
inline constexpr std::size_t kLedStateLength = 8;      // payload of 0x04
inline constexpr std::size_t kIrRecordLength = 4;      // payload of 0x20
inline constexpr std::size_t kUartSettingsLength = 4;  // payload of 0x49

struct AccessoryConfig {
    std::string model = "standard";  // "standard" (loader 1.00), "x" (loader 1.01) or a loader text
    std::string firmware;             // firmware version text; empty = the model's current one
    std::string loader;               // loader version text; empty = the model's
    std::uint16_t vendorId = 0;       // 0 = the accessory's vendor ID
    std::uint16_t productId = 0x0009;
    std::uint32_t inputReportLength = 64;   // report-ID byte included
    std::uint32_t outputReportLength = 64;
    std::uint32_t featureReportLength = 9;
    // Protected configuration bytes unlike the model's defaults, as on a unit
    // with older firmware or one back from repair.
    bool ownProtectedBytes = false;
    // Keeps flash and module memory in this file across processes: loaded
    // when plugged, written back (new file, then rename) after every change.
    std::string stateFile;
    // Plugged this long after the world was configured instead of at once.
    std::uint32_t arriveAfterMs = 0;
    // Unplugged this long after it was plugged; 0 = stays.
    std::uint32_t leaveAfterMs = 0;
    // Each report this accessory moves takes this long on the wire, when
    // longer than the world's report delay (a slow link, seen from other
    // processes too).
    std::uint32_t reportDelayMs = 0;
    // Whether its arrival and removal are notified; a system without a
    // device manager (no udev daemon) tells nobody.
    bool notifies = true;
};

// One report or command seen by the accessory.
struct LogEntry {
    enum class Kind { OutputReport, InputReport, Command, FeatureRead, UnknownByte };
    Kind kind;
    std::vector<std::uint8_t> bytes;  // reports: whole report; commands: code then payload
    std::string note;                 // what the accessory made of it, where that matters
};

// What the Bluetooth module behind the serial tunnel is running.
enum class ModuleState {
    Firmware,      // its own firmware: serial bytes are only recorded
    BootLoader,    // after a reset pulse, waiting for "U"
    Synchronised,  // taking loader lines until "L0000"
    Loader,        // taking memory records and the erase command
};

// Faults that tests switch on. Each applies to the next matching event
// (count times); see Accessory::injectFault. Where a command code matters,
// 0 matches every command.
enum class Fault {
    DropAnswer,         // the next answer to command `code` is not sent
    DelayAnswer,        // the next answer to `code` is sent after `delay` (later answers wait behind it)
    CorruptCrc,         // the next page answer (0x57/0x58/0x59, or `code`) carries a wrong CRC
    RefuseBootMode,     // 0x70 is answered with the 8-byte refusal and boot mode is not entered
    FailPageWrite,      // the next 0x58 does not store the page (answers the old page's CRC)
    UnplugMidTransfer,  // unplug after `count` more output reports (0: instead of the next one)
    ModuleNeverSyncs,   // the module boot loader ignores the next `count` "U"
    ModuleStops,        // after `after` serial transmissions the module hears nothing more until unplugged
    FailFeatureRead,    // the IR status feature report cannot be read
    // Power fails during the next 0x58: the page is erased and `programmed`
    // of its bytes written (0: left erased), then the accessory is gone
    // without answering.
    TornPageWrite,
    // The next 0x58 stores the page with its first byte wrong but answers
    // the CRC of the bytes received, as a firmware that checks its buffer
    // rather than its flash; only reading the page back tells.
    PageStoredWrong,
    // Output reports are not taken (`count` of them, after `after` let
    // through): each write waits out the write limit and fails, while the
    // accessory stays plugged.
    StallWrites,
    // The program holding the accessory dies after `count` more output
    // reports (0: before the next): every channel open now is closed under
    // it, as the system closes a killed process's handles. The accessory
    // stays plugged and keeps what it received, a message cut short included.
    HostGone,
};

struct FaultSpec {
    Fault fault;
    std::uint8_t code = 0;                   // command code, where it matters
    int count = 1;                            // how many times (or reports, for UnplugMidTransfer)
    std::chrono::milliseconds delay{0};
    int after = 0;                            // matching events let through first (not for UnplugMidTransfer)
    std::size_t programmed = 0;               // TornPageWrite: bytes of the page programmed before power fails
};

class ZELO_SIM_API Accessory {
public:
    virtual ~Accessory() = default;
    virtual std::string path() const = 0;      // device interface path
    virtual bool plugged() const = 0;
    virtual std::string firmwareVersion() const = 0;
    virtual std::string loaderVersion() const = 0;

    virtual std::array<std::uint8_t, kPageSize> page(int number) const = 0;
    virtual void setPage(int number, const std::array<std::uint8_t, kPageSize> &data) = 0;

    virtual void setLastIrCode(std::uint8_t code) = 0;
    virtual void injectFault(const FaultSpec &fault) = 0;
    virtual void clearFaults() = 0;
    // Faults that took effect since plugging (an answer dropped, a page torn,
    // an unplug, ...), so a test can tell a run its fault acted on.
    virtual int faultsActed() const = 0;

    // Delivers raw bytes as one input report (padded to the report length),
    // bypassing the command handling; for framing tests.
    virtual void sendInputReport(const std::vector<std::uint8_t> &report) = 0;

    // Reads blocked on this accessory's channels right now, so a test can
    // act on a waiting reader.
    virtual int blockedReads() const = 0;
    // Input reports no reader has taken yet, on the wire or queued.
    virtual int reportsWaiting() const = 0;

    virtual std::vector<LogEntry> log() const = 0;
    virtual std::vector<LogEntry> commands() const = 0;  // only Command entries
    virtual void clearLog() = 0;

    // The Bluetooth module behind the serial tunnel.
    virtual std::vector<std::uint8_t> moduleMemory() const = 0;  // 0x8000.. as programmed, 0xFF = erased
    // The module's memory as another unit left it (power leaves it alone).
    virtual void restoreModule(const std::vector<std::uint8_t> &memory, bool erased) = 0;
    virtual std::vector<std::string> moduleLoaderLines() const = 0;  // of the latest upload
    virtual bool moduleErased() const = 0;  // erased since the last stored record
    virtual ModuleState moduleState() const = 0;
    // Bytes the module got while running its own firmware.
    virtual std::vector<std::uint8_t> moduleReceived() const = 0;
    // Makes the module send bytes on the serial port (collected by 0x56).
    virtual void moduleSend(const std::vector<std::uint8_t> &bytes) = 0;

    // State set by commands that have no answer.
    virtual AccessoryConfig config() const = 0;
    virtual bool bootMode() const = 0;
    virtual std::array<std::uint8_t, kLedStateLength> ledState() const = 0;        // last 0x04 payload
    virtual std::array<std::uint8_t, kIrRecordLength> lastIrTransmit() const = 0;  // last 0x20 payload
    virtual std::uint16_t pairingValue() const = 0;                                 // last 0x14 value, 0 = none
    virtual bool uartEnabled() const = 0;                                           // 0x49 on, 0x4A off
    virtual std::array<std::uint8_t, kUartSettingsLength> uartSettings() const = 0; // last 0x49 payload
    virtual bool rstLine() const = 0;                                               // 0x52 sets, 0x53 clears
    virtual bool moduleResetLine() const = 0;                                       // last 0x12 level
};

class ZELO_SIM_API World {
public:
    static World &instance();

    // Replaces every accessory with those that description lists (the
    // ZELO_SIMULATOR syntax). When it is bad, no accessory stays plugged, the
    // error goes to stderr and into error, and the result is false.
    virtual bool configure(const std::string &description, std::string *error) = 0;
    virtual std::shared_ptr<Accessory> plug(const AccessoryConfig &config) = 0;
    virtual void unplug(const std::shared_ptr<Accessory> &accessory) = 0;
    // Unplugs all, forgets logs, notification windows and report-ID errors,
    // restores the default timing and report delay.
    virtual void reset() = 0;
    virtual std::vector<std::shared_ptr<Accessory>> accessories() const = 0;  // plugged, in enumeration order

    virtual void setReportDelay(std::chrono::microseconds perReport) = 0;
    virtual void setTiming(const hid::Timing &timing) = 0;
    virtual int reportIdErrors() const = 0;  // input reports whose ID was not 0
    // Windows registered with requestNotification, in order.
    virtual std::vector<void *> notificationWindows() const = 0;

    virtual hid::Backend &backend() = 0;

protected:
    virtual ~World() = default;
};

}  // namespace zelo::sim
