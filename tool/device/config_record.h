// The accessory's configuration memory: its memory map, the tables the
// program keeps about it, and the two copies of the block (as read from the
// accessory and as edited by the pages) with the operations on them.
#ifndef ZELO_DEVICE_CONFIG_RECORD_H
#define ZELO_DEVICE_CONFIG_RECORD_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zelo::device {

// Hardware variant, from the loader version text the accessory reports.
enum class DeviceVariant : std::uint8_t { Standard = 0, X = 1, Other = 2 };

inline constexpr std::size_t kPageSize = 512;
inline constexpr std::size_t kBlockSize = 1536;                // three pages
inline constexpr std::size_t kXBlockSize = 1024;               // the X model keeps two
inline constexpr std::size_t kMacroCount = 10;
inline constexpr std::size_t kMacroSteps = 10;
inline constexpr std::size_t kMacroRecordSize = 61;
inline constexpr std::size_t kKeyMapEntries = 128;
inline constexpr std::uint8_t kNoCommandByte = 0xFF;           // a (0xFF, 0xFF) pair is NONE

// ---------------------------------------------------------------------------
// Memory map: one row per field, in address order, covering every byte once.

enum class Field : std::uint8_t {
    LayoutVersion,
    DiscretePowerOn,
    Reserved5,
    PairingMode,
    PowerTrackingX,
    ProtectedSettings,
    StatusLedOff,
    IrReceiverMode,
    LowBatteryFlash,
    AccessoryValues,
    DeviceCode,
    AlternateCodes,
    Macros,
    ProtectedValues,
    DeviceValue,
    Unused754,
    TimeStamp,
    DeviceAddress,
    KeyMapFirst,
    KeyMapSecond,
    FirmwareVersion,
    PowerTracking,
    DeviceCodeCopy,
    AlternateCodeCopies,
    ReservedTail,
    ImageCrc,
    Count
};

struct FieldInfo {
    Field field;
    std::uint16_t offset;
    std::uint16_t width;
    std::string_view meaning;
};

inline constexpr std::array<FieldInfo, static_cast<std::size_t>(Field::Count)> kMemoryMap{{
    {Field::LayoutVersion, 0, 4, "layout version text, never changed"},
    {Field::DiscretePowerOn, 4, 1, "discrete power-on (X model): 1 on, 0 off"},
    {Field::Reserved5, 5, 1, "carried unchanged"},
    {Field::PairingMode, 6, 1, "Bluetooth pairing mode (X model): 0 auto, 1 manual"},
    {Field::PowerTrackingX, 7, 1, "powertracking (X model): 0 none, 1 USB, 2 internal"},
    {Field::ProtectedSettings, 8, 11, "protected accessory settings"},
    {Field::StatusLedOff, 19, 1, "status LED on IR activity: 0 enabled, 1 disabled"},
    {Field::IrReceiverMode, 20, 1, "IR receiver mode, index into the variant's list"},
    {Field::LowBatteryFlash, 21, 1, "flash status LED on low battery: non-zero enabled"},
    {Field::AccessoryValues, 22, 46, "protected accessory values"},
    {Field::DeviceCode, 68, 2, "IR device code D.E"},
    {Field::AlternateCodes, 70, 18, "protected: alternate device codes and further values"},
    {Field::Macros, 88, 610, "ten macro records of 61 bytes"},
    {Field::ProtectedValues, 698, 52, "protected accessory settings"},
    {Field::DeviceValue, 750, 4, "device value, 32-bit little-endian, read only"},
    {Field::Unused754, 754, 4, "not used, carried unchanged"},
    {Field::TimeStamp, 758, 4, "first-connection time stamp, 32-bit little-endian"},
    {Field::DeviceAddress, 762, 6, "device address, read only"},
    {Field::KeyMapFirst, 768, 128, "key map, first byte of entry c"},
    {Field::KeyMapSecond, 896, 128, "key map, second byte of entry c"},
    {Field::FirmwareVersion, 1024, 4, "firmware version text of the configuration (standard model)"},
    {Field::PowerTracking, 1028, 1, "powertracking (standard model)"},
    {Field::DeviceCodeCopy, 1029, 2, "copy of the device code"},
    {Field::AlternateCodeCopies, 1031, 4, "copies of the alternate device codes"},
    {Field::ReservedTail, 1035, 499, "protected, reserved (0xFF)"},
    {Field::ImageCrc, 1534, 2, "firmware image CRC, high byte first (standard model)"},
}};

constexpr const FieldInfo &fieldInfo(Field field) { return kMemoryMap[static_cast<std::size_t>(field)]; }
constexpr std::size_t offsetOf(Field field) { return fieldInfo(field).offset; }
constexpr std::size_t widthOf(Field field) { return fieldInfo(field).width; }
constexpr std::size_t endOf(Field field) { return offsetOf(field) + widthOf(field); }

inline constexpr std::size_t kLayoutVersionOffset = offsetOf(Field::LayoutVersion);
inline constexpr std::size_t kDiscretePowerOnOffset = offsetOf(Field::DiscretePowerOn);
inline constexpr std::size_t kPairingModeOffset = offsetOf(Field::PairingMode);
inline constexpr std::size_t kPowerTrackingXOffset = offsetOf(Field::PowerTrackingX);
inline constexpr std::size_t kProtectedSettingsOffset = offsetOf(Field::ProtectedSettings);
inline constexpr std::size_t kStatusLedOffOffset = offsetOf(Field::StatusLedOff);
inline constexpr std::size_t kIrReceiverModeOffset = offsetOf(Field::IrReceiverMode);
inline constexpr std::size_t kLowBatteryFlashOffset = offsetOf(Field::LowBatteryFlash);
inline constexpr std::size_t kAccessoryValuesOffset = offsetOf(Field::AccessoryValues);
inline constexpr std::size_t kDeviceCodeOffset = offsetOf(Field::DeviceCode);
inline constexpr std::size_t kAlternateCodesOffset = offsetOf(Field::AlternateCodes);
inline constexpr std::size_t kMacrosOffset = offsetOf(Field::Macros);
inline constexpr std::size_t kProtectedValuesOffset = offsetOf(Field::ProtectedValues);
inline constexpr std::size_t kDeviceValueOffset = offsetOf(Field::DeviceValue);
inline constexpr std::size_t kTimeStampOffset = offsetOf(Field::TimeStamp);
inline constexpr std::size_t kDeviceAddressOffset = offsetOf(Field::DeviceAddress);
inline constexpr std::size_t kDeviceAddressSize = widthOf(Field::DeviceAddress);
inline constexpr std::size_t kKeyMapFirstOffset = offsetOf(Field::KeyMapFirst);
inline constexpr std::size_t kKeyMapSecondOffset = offsetOf(Field::KeyMapSecond);
inline constexpr std::size_t kFirmwareVersionOffset = offsetOf(Field::FirmwareVersion);
inline constexpr std::size_t kPowerTrackingOffset = offsetOf(Field::PowerTracking);
inline constexpr std::size_t kDeviceCodeCopyOffset = offsetOf(Field::DeviceCodeCopy);
inline constexpr std::size_t kAlternateCodeCopiesOffset = offsetOf(Field::AlternateCodeCopies);
inline constexpr std::size_t kReservedTailOffset = offsetOf(Field::ReservedTail);
inline constexpr std::size_t kImageCrcOffset = offsetOf(Field::ImageCrc);

// Inside the accessory values: the command codes that the IR transmit test
// sends with the alternate device code.
inline constexpr std::size_t kAlternateCodeCommandsOffset = 41;
inline constexpr std::size_t kAlternateCodeCommandCount = 26;

// Offsets inside one macro record.
inline constexpr std::size_t kMacroStepCountAt = 0;
inline constexpr std::size_t kMacroFirstsAt = 1;
inline constexpr std::size_t kMacroSecondsAt = kMacroFirstsAt + kMacroSteps;
inline constexpr std::size_t kMacroHoldsAt = kMacroSecondsAt + kMacroSteps;
inline constexpr std::size_t kMacroPausesAt = kMacroHoldsAt + 2 * kMacroSteps;

namespace detail {
constexpr bool memoryMapIsContiguous() {
    std::size_t next = 0;
    for (std::size_t i = 0; i < kMemoryMap.size(); ++i) {
        if (static_cast<std::size_t>(kMemoryMap[i].field) != i || kMemoryMap[i].offset != next) return false;
        next += kMemoryMap[i].width;
    }
    return next == kBlockSize;
}
}  // namespace detail

static_assert(detail::memoryMapIsContiguous(), "the memory map must cover the block once, in order");
static_assert(kMacroPausesAt + 2 * kMacroSteps == kMacroRecordSize);
static_assert(kMacroCount * kMacroRecordSize == widthOf(Field::Macros));
static_assert(widthOf(Field::KeyMapFirst) == kKeyMapEntries && widthOf(Field::KeyMapSecond) == kKeyMapEntries);
static_assert(kAlternateCodeCommandsOffset + kAlternateCodeCommandCount <= endOf(Field::AccessoryValues));
static_assert(kFirmwareVersionOffset == kXBlockSize && kXBlockSize % kPageSize == 0);

// ---------------------------------------------------------------------------
// Page tables and protected ranges.

inline constexpr std::array<std::uint8_t, 3> kConfigurationPages{14, 15, 29};
inline constexpr std::array<std::uint8_t, 14> kFirmwarePages{16, 17, 18, 19, 20, 21, 22,
                                                             23, 24, 25, 26, 27, 28, 29};
static_assert(kConfigurationPages.size() * kPageSize == kBlockSize);

struct ByteRange {
    std::uint16_t start;
    std::uint16_t end;  // one past the last byte
};

// Restored from the defaults block before every write. The empty range is
// part of the table as the accessory's firmware defines it; it copies nothing.
inline constexpr std::array<ByteRange, 7> kProtectedRanges{{
    {static_cast<std::uint16_t>(kProtectedSettingsOffset), static_cast<std::uint16_t>(endOf(Field::ProtectedSettings))},
    {static_cast<std::uint16_t>(kAccessoryValuesOffset), static_cast<std::uint16_t>(endOf(Field::AccessoryValues))},
    {static_cast<std::uint16_t>(kAlternateCodesOffset), static_cast<std::uint16_t>(endOf(Field::AlternateCodes))},
    {static_cast<std::uint16_t>(kProtectedValuesOffset), static_cast<std::uint16_t>(endOf(Field::ProtectedValues))},
    {static_cast<std::uint16_t>(kKeyMapFirstOffset), static_cast<std::uint16_t>(kKeyMapFirstOffset)},
    {static_cast<std::uint16_t>(kFirmwareVersionOffset), static_cast<std::uint16_t>(endOf(Field::FirmwareVersion))},
    {static_cast<std::uint16_t>(kReservedTailOffset), static_cast<std::uint16_t>(endOf(Field::ReservedTail))},
}};

// "Restore default settings" copies these, keeping the layout version text
// and the accessory's identity (device value, time stamp, address).
inline constexpr ByteRange kDefaultSettingsHead{static_cast<std::uint16_t>(kDiscretePowerOnOffset),
                                                static_cast<std::uint16_t>(kDeviceValueOffset)};
inline constexpr std::size_t kDefaultSettingsTailStart = kKeyMapFirstOffset;

// A stamp after the lower bound and no later than the current time is kept;
// 0, 0xFFFFFFFF and anything at or below the bound are erased or unset
// flash, and a stamp in the future cannot be a first connection. The slack
// allows for a computer whose clock is a little behind the one that
// stamped the accessory.
inline constexpr std::uint32_t kStampLowerBound = 1199458447;  // 2008-01-04 14:54:07 UTC
inline constexpr std::int64_t kStampClockSlackSeconds = 24 * 60 * 60;

// Bytes of the block that a variant keeps on the accessory, and how many of
// them count for change detection.
std::size_t blockLength(DeviceVariant variant);
std::size_t comparedLength(DeviceVariant variant);

// ---------------------------------------------------------------------------
// Encodings.

// IR device code D.E with D 0..31 and E 0..255, shown as "xx.yyy".
struct DeviceCode {
    std::uint8_t device = 0;
    std::uint8_t extension = 0;
    friend bool operator==(const DeviceCode &, const DeviceCode &) = default;
};
inline constexpr unsigned kDeviceCodeMaxDevice = 31;
inline constexpr unsigned kDeviceCodeMaxExtension = 255;

// Two block bytes of a device code; nullopt when D or E is out of range.
std::optional<std::array<std::uint8_t, 2>> encodeDeviceCode(unsigned device, unsigned extension);
DeviceCode decodeDeviceCode(std::uint8_t low, std::uint8_t high);

// One macro record with its 16-bit fields in host order.
struct MacroRecord {
    std::uint8_t stepCount = 0;
    std::array<std::uint8_t, kMacroSteps> first{};
    std::array<std::uint8_t, kMacroSteps> second{};
    std::array<std::uint16_t, kMacroSteps> holdMs{};
    std::array<std::uint16_t, kMacroSteps> pauseMs{};
    friend bool operator==(const MacroRecord &, const MacroRecord &) = default;
};

// Macro m in any block; m must be below kMacroCount (std::out_of_range).
MacroRecord loadMacro(std::span<const std::uint8_t> block, std::size_t m);
// Also rejects a step count above kMacroSteps (std::invalid_argument): the
// accessory would run steps from the neighbouring fields.
void storeMacro(std::span<std::uint8_t> block, std::size_t m, const MacroRecord &record);

struct KeyMapEntry {
    std::uint8_t first = kNoCommandByte;
    std::uint8_t second = kNoCommandByte;
    friend bool operator==(const KeyMapEntry &, const KeyMapEntry &) = default;
};

std::uint32_t loadLittleEndian32(std::span<const std::uint8_t> block, std::size_t offset);
void storeLittleEndian32(std::span<std::uint8_t> block, std::size_t offset, std::uint32_t value);

// What the software update query reports about the accessory.
struct UpdateCheckData {
    std::uint32_t deviceValue = 0;
    std::uint32_t timeStamp = 0;
    std::string address;      // 12 upper-case hex digits
    std::string addressLong;  // 16 digits: the address, then two bytes of zero
    std::string firmwareVersion;
    std::string ldVersion;
};

// ---------------------------------------------------------------------------
// The two copies of the block and their operations. Not locked: the device
// link that owns it serialises access.

class ConfigRecord {
public:
    using Block = std::array<std::uint8_t, kBlockSize>;
    using Clock = std::function<std::int64_t()>;  // seconds since 1970-01-01 UTC

    ConfigRecord();

    // Connection state. The defaults block is the embedded block of the
    // variant, or empty for other variants.
    void connect(DeviceVariant variant, std::span<const std::uint8_t> defaultsBlock);
    void disconnect();
    bool connected() const { return connected_; }
    DeviceVariant variant() const { return variant_; }
    std::span<const std::uint8_t> defaultsBlock() const { return defaults_; }

    Block &readCopy() { return read_; }
    const Block &readCopy() const { return read_; }
    Block &workingCopy() { return working_; }
    const Block &workingCopy() const { return working_; }

    // A configuration read clears the flag when it starts and sets it only
    // when every page arrived intact, so a half-read block never looks valid.
    void beginRead();
    void finishRead(bool complete);
    bool readValid() const { return readValid_; }

    void acceptRead();
    bool hasUnsavedChanges() const;

    // Save: commitEdits makes the read copy the working copy and keeps the
    // old read copy. When the write fails, revertCommit puts it back, so the
    // edits count as unsaved; confirmCommit drops it after a good write and
    // gives the working copy what the save itself put into the written
    // bytes (protected ranges, seal), so that a good save leaves nothing
    // unsaved. Edits made while the save ran are kept.
    void commitEdits();
    bool revertCommit();
    void confirmCommit();

    void restoreProtected();
    // The copy part of "Restore default settings"; revertable like a commit.
    void restoreDefaults();
    // A whole block from elsewhere (an unfinished save) as the read copy,
    // revertable like a commit; bytes past block's length stay.
    void adoptBlock(std::span<const std::uint8_t> block);

    void setClock(Clock clock);
    // True when the stamp was replaced by the current time.
    bool stampTime();

    MacroRecord readMacro(std::size_t m) const;
    void writeMacro(std::size_t m, const MacroRecord &record);
    KeyMapEntry readKey(std::size_t code) const;
    void writeKey(std::size_t code, std::uint8_t first, std::uint8_t second);

    UpdateCheckData updateCheckData(std::string_view firmwareVersion, std::string_view ldVersion) const;

private:
    void copyFromDefaults(std::size_t start, std::size_t end);
    void keepForRevert();

    Block read_{};
    Block working_{};
    Block beforeCommit_{};
    Block committed_{};  // the read copy as the save was asked to write it
    bool revertible_ = false;
    bool readValid_ = false;
    bool connected_ = false;
    DeviceVariant variant_ = DeviceVariant::Other;
    std::span<const std::uint8_t> defaults_;
    Clock clock_;
};

}  // namespace zelo::device

#endif
