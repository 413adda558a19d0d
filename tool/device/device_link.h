#ifndef ZELO_DEVICE_DEVICE_LINK_H
#define ZELO_DEVICE_DEVICE_LINK_H

// The program's one object for the accessory: the library handle, the lock
// that keeps one command frame and its answer together, the version texts,
// the two configuration copies, the firmware page buffer, the cipher and the
// generated module address. Only this object calls the library's device
// exports.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "config_record.h"
#include "device_library.h"
#include "images.h"
#include "pending_save.h"
#include "unfinished_save.h"
#include "rijndael.h"
#include "zelo.h"

namespace zelo::device {

// kFirmwareImageSize and kVersionTextLength come from images.h.
inline constexpr std::size_t kDevicePathSize = 256;
inline constexpr std::size_t kIrStatusSize = ZELO_IR_STATUS_SIZE;
inline constexpr std::size_t kModuleAddressSize = 6;

enum UpgradeState : std::int32_t { UPGRADE_NONE = 0, UPGRADE_STARTED = 1, UPGRADE_DONE = 2 };

class CDeviceLink {
public:
    CDeviceLink();
    // Tests hand in a stand-in for the library's exports.
    explicit CDeviceLink(DeviceLibrary &library);
    // Closes the accessory if it is still open, so no reader thread outlives the link.
    ~CDeviceLink();
    CDeviceLink(const CDeviceLink &) = delete;
    CDeviceLink &operator=(const CDeviceLink &) = delete;

    // Unlocked: the library keeps its own locks for these.
    int open(int index);
    // Also tells the record the accessory is gone: edits no longer count as
    // unsaved once there is nothing to save them to.
    void close();
    int uartEnable();
    int readIrStatus(std::uint8_t *status);  // 1 when read, as the library answers
    int bytesInFifo();
    int read(std::uint8_t *buffer, std::size_t length);

    // Locked: one frame (and its reply) at a time, released on every path.
    int linkTransact(std::uint8_t command, const std::uint8_t *payload, std::size_t payloadLength,
                     std::uint8_t *reply, std::size_t replyLength);
    int uartWrite(const std::uint8_t *data, std::size_t length);
    int uartRead(std::uint8_t *buffer, std::size_t length);
    int uartBytesInFifo();
    int uartDisable();

    bool isConnected() const { return connected != 0; }
    DeviceVariant variant() const;
    // firmwareNumber / 1000 as "%.2f".
    std::wstring firmwareText() const;
    std::wstring wideDevicePath() const;

    // Stores the four characters and derives firmwareNumber from them.
    void setFirmwareVersion(const char *text);
    // Stores the four loader characters, which decide variant().
    void setLdVersion(const char *text);
    // Hands the record the variant and its embedded defaults block (none for
    // other variants); part of the version limits at connect.
    void selectDefaults();

    std::int32_t upgradeState = UPGRADE_NONE;
    bool firmwarePagesValid = false;
    ZELO_HANDLE handle = nullptr;  // pointer-sized, as the library hands it out
    std::atomic<std::int32_t> connected{0};  // asked from any thread
    char devicePath[kDevicePathSize]{};
    std::uint32_t firmwareNumber = 0;
    char firmwareVersion[kVersionTextLength + 1]{};
    char ldVersion[kVersionTextLength + 1]{};
    std::array<std::uint8_t, kFirmwareImageSize> firmwareImage;  // erased (0xFF) until read
    ConfigRecord record;  // readCopy, workingCopy and defaultsBlock
    CRijndael cipher;
    std::array<std::uint8_t, kModuleAddressSize> moduleAddress{};
    // Where writeConfiguration records what it is about to write, so that an
    // interrupted write can be finished later; none: writes are not recorded.
    PendingSaveStore *pendingSaves = nullptr;
    // What the last connect found of an earlier write that did not complete.
    UnfinishedSaveCheck unfinishedSave;
    // What the configuration pages hold before the next write, as far as
    // this link knows (the last complete read or verified write); the
    // record of that write keeps it, so a cut write can be undone. A write
    // that settles an unfinished save puts the record's other block here.
    std::optional<ConfigRecord::Block> writeBaseline;
    // The last write went ahead without its record (the record could not
    // be stored): an unplug during it could not have been settled.
    bool lastWriteUnprotected = false;

private:
    void discardWaiting();

    DeviceLibrary &library_;
    mutable std::mutex lock_;
};

static_assert(sizeof(ZELO_HANDLE) == sizeof(void *), "device handles are pointer-sized");

// firmwareNumber of a four-character version text: the number with a decimal
// exponent of 2 appended, times ten, truncated ("1.24" gives 1240).
std::uint32_t firmwareNumberOf(const char *text);

// Hardware variant of a loader version text: exactly 1.0 standard, 1.01 (in
// single precision) X, anything else other.
DeviceVariant variantOf(const char *ldVersion);

}  // namespace zelo::device

#endif
