// Which fields of the memory map a settings file carries. One row per field,
// in map order, so a field added to the map does not compile until it is
// given a row here: it goes into the file or is left out for a stated reason.
#ifndef ZELO_SETTINGS_SETTINGS_RULES_H
#define ZELO_SETTINGS_SETTINGS_RULES_H

#include <array>
#include <cstddef>
#include <string_view>

#include "config_record.h"

namespace zelo::settings {

using device::Field;

// The part of the file a field belongs to; LeftOut fields are never written
// to a file and never changed by reading one.
enum class FileSection : std::uint8_t { LeftOut, Settings, DeviceCode, Macros, KeyMap };

struct FieldRule {
    Field field;
    FileSection section;
    std::string_view reason;  // why a field is left out
};

inline constexpr std::array<FieldRule, static_cast<std::size_t>(Field::Count)> kFieldRules{{
    {Field::LayoutVersion, FileSection::LeftOut, "layout version text"},
    {Field::DiscretePowerOn, FileSection::Settings, {}},
    {Field::Reserved5, FileSection::LeftOut, "reserved"},
    {Field::PairingMode, FileSection::Settings, {}},
    {Field::PowerTrackingX, FileSection::Settings, {}},
    {Field::ProtectedSettings, FileSection::LeftOut, "protected"},
    {Field::StatusLedOff, FileSection::Settings, {}},
    {Field::IrReceiverMode, FileSection::Settings, {}},
    {Field::LowBatteryFlash, FileSection::Settings, {}},
    {Field::AccessoryValues, FileSection::LeftOut, "protected"},
    {Field::DeviceCode, FileSection::DeviceCode, {}},
    {Field::AlternateCodes, FileSection::LeftOut, "protected"},
    {Field::Macros, FileSection::Macros, {}},
    {Field::ProtectedValues, FileSection::LeftOut, "protected"},
    {Field::DeviceValue, FileSection::LeftOut, "identity of the accessory"},
    {Field::Unused754, FileSection::LeftOut, "not used"},
    {Field::TimeStamp, FileSection::LeftOut, "identity of the accessory"},
    {Field::DeviceAddress, FileSection::LeftOut, "identity of the accessory"},
    {Field::KeyMapFirst, FileSection::KeyMap, {}},
    {Field::KeyMapSecond, FileSection::KeyMap, {}},
    {Field::FirmwareVersion, FileSection::LeftOut, "firmware version text"},
    {Field::PowerTracking, FileSection::Settings, {}},
    {Field::DeviceCodeCopy, FileSection::DeviceCode, {}},
    {Field::AlternateCodeCopies, FileSection::LeftOut, "copies of protected values"},
    {Field::ReservedTail, FileSection::LeftOut, "protected"},
    {Field::ImageCrc, FileSection::LeftOut, "firmware image CRC"},
}};

constexpr const FieldRule &ruleOf(Field field) { return kFieldRules[static_cast<std::size_t>(field)]; }
constexpr bool inFile(Field field) { return ruleOf(field).section != FileSection::LeftOut; }

namespace detail {
constexpr bool rulesFollowTheMap() {
    for (std::size_t i = 0; i < kFieldRules.size(); ++i) {
        if (kFieldRules[i].field != device::kMemoryMap[i].field) return false;
        if ((kFieldRules[i].section == FileSection::LeftOut) == kFieldRules[i].reason.empty()) return false;
    }
    return true;
}

constexpr bool overlaps(const device::FieldInfo &info, const device::ByteRange &range) {
    return range.start < range.end && info.offset < range.end && range.start < info.offset + info.width;
}

// A protected byte is restored from the defaults before every write, so a
// file must not pretend to carry it.
constexpr bool protectedFieldsLeftOut() {
    for (const device::FieldInfo &info : device::kMemoryMap)
        for (const device::ByteRange &range : device::kProtectedRanges)
            if (overlaps(info, range) && inFile(info.field)) return false;
    return true;
}
}  // namespace detail

static_assert(detail::rulesFollowTheMap(), "every field of the memory map needs one rule, in map order");
static_assert(detail::protectedFieldsLeftOut(), "protected fields never go into a settings file");

// The field a byte of the block belongs to.
constexpr Field fieldAt(std::size_t offset) {
    for (const device::FieldInfo &info : device::kMemoryMap)
        if (offset < static_cast<std::size_t>(info.offset) + info.width) return info.field;
    return Field::Count;
}

}  // namespace zelo::settings

#endif
