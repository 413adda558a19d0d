#include "settings_mapping.h"

#include <array>

#include "catalogue.h"
#include "command_table.h"

namespace zelo::pages {
namespace {

using device::DeviceVariant;
using i18n::Msg;

constexpr std::uint8_t kNoSelectionByte = 0xFF;  // what a list without selection stores
constexpr std::uint8_t kStatusLedOff = 1;
constexpr std::uint8_t kStatusLedOn = 0;

struct ReceiverMode {
    ListText entry;
    Msg help;
};

constexpr std::array<ReceiverMode, 2> kStandardModes{{
    {{Msg::Internal, {}}, Msg::ReceiverHelpInternal},
    {{Msg::External, {}}, Msg::ReceiverHelpIrEye},
}};

constexpr std::array<ReceiverMode, 5> kXModes{{
    {{Msg::Internal, {}}, Msg::ReceiverHelpInternal},
    {{Msg::ExternalModulated, {}}, Msg::ReceiverHelpNetwork},
    {{Msg::ExternalDemodulated, {}}, Msg::ReceiverHelpIrEye},
    {{Msg::ReceiverRepeater, {}}, Msg::ReceiverHelpRepeater},
    {{Msg::ReceiverAutosense, {}}, Msg::ReceiverHelpAutosense},
}};

template <std::size_t N>
constexpr std::array<ListText, N> entriesOf(const std::array<ReceiverMode, N> &modes) {
    std::array<ListText, N> entries{};
    for (std::size_t i = 0; i < N; ++i) entries[i] = modes[i].entry;
    return entries;
}

constexpr auto kStandardModeEntries = entriesOf(kStandardModes);
constexpr auto kXModeEntries = entriesOf(kXModes);

constexpr std::array<ListText, 3> kPowerTracking{{
    {Msg::None, {}},
    {std::nullopt, L"USB"},
    {Msg::Internal, {}},
}};

constexpr std::array<ListText, 2> kPairingModes{{
    {Msg::PairingAuto, {}},
    {Msg::PairingManual, {}},
}};

std::span<const ReceiverMode> modesOf(DeviceVariant variant) {
    if (variant == DeviceVariant::X) return kXModes;
    return kStandardModes;
}

// A stored index selects its entry; anything beyond the list selects nothing.
ListSelection selectionOf(std::uint8_t stored, std::size_t entries) {
    if (stored >= entries) return std::nullopt;
    return stored;
}

std::uint8_t byteOf(ListSelection selection) {
    return selection ? static_cast<std::uint8_t>(*selection) : kNoSelectionByte;
}

void loadCommon(std::span<const std::uint8_t> block, DeviceVariant variant, SettingsControls &controls) {
    controls.statusLedEnabled = block[device::kStatusLedOffOffset] == kStatusLedOn;
    controls.receiverMode = selectionOf(block[device::kIrReceiverModeOffset], modesOf(variant).size());
    controls.lowBatteryFlash = block[device::kLowBatteryFlashOffset] != 0;
}

void storeCommon(const SettingsControls &controls, std::span<std::uint8_t> block) {
    block[device::kStatusLedOffOffset] = controls.statusLedEnabled ? kStatusLedOn : kStatusLedOff;
    block[device::kIrReceiverModeOffset] = byteOf(controls.receiverMode);
    block[device::kLowBatteryFlashOffset] = controls.lowBatteryFlash ? 1 : 0;
}

void writeDiscretePowerOnKey(bool enabled, std::span<std::uint8_t> block) {
    // The accessory powers the console on by sending PS for this code.
    const CommandPair pair = enabled ? CommandTable::encodeCommand(kCommandPs) : kNoCommandPair;
    block[device::kKeyMapFirstOffset + kCommandDiscretePowerOn] = pair.first;
    block[device::kKeyMapSecondOffset + kCommandDiscretePowerOn] = pair.second;
}

}  // namespace

std::wstring listText(const ListText &entry) {
    return entry.msg ? i18n::text(*entry.msg) : std::wstring(entry.fixed);
}

std::span<const ListText> receiverModeEntries(DeviceVariant variant) {
    if (variant == DeviceVariant::X) return kXModeEntries;
    return kStandardModeEntries;
}

std::span<const ListText> powerTrackingEntries() { return kPowerTracking; }
std::span<const ListText> pairingModeEntries() { return kPairingModes; }

i18n::Msg receiverHelp(DeviceVariant variant, ListSelection mode) {
    const auto modes = modesOf(variant);
    const std::size_t index = mode && *mode < modes.size() ? *mode : 0;
    return modes[index].help;
}

bool showsPowerNote(ListSelection mode) { return mode.value_or(0) != 0; }

bool discretePowerOnUsable(ListSelection powerTracking) {
    return powerTracking.value_or(kPowerTrackingNone) != kPowerTrackingNone;
}

SettingsControls loadSettings(std::span<const std::uint8_t> block, DeviceVariant variant) {
    SettingsControls controls;
    loadCommon(block, variant, controls);
    if (variant != DeviceVariant::X) {
        controls.powerTracking = selectionOf(block[device::kPowerTrackingOffset], kPowerTracking.size());
        return controls;
    }
    controls.powerTracking = selectionOf(block[device::kPowerTrackingXOffset], kPowerTracking.size());
    controls.pairingMode = selectionOf(block[device::kPairingModeOffset], kPairingModes.size());
    controls.discretePowerOn = block[device::kDiscretePowerOnOffset] != 0;
    controls.discretePowerOnUsable = discretePowerOnUsable(controls.powerTracking);
    return controls;
}

void storeSettings(const SettingsControls &controls, std::span<std::uint8_t> block, DeviceVariant variant) {
    storeCommon(controls, block);
    if (variant != DeviceVariant::X) {
        block[device::kPowerTrackingOffset] = byteOf(controls.powerTracking);
        return;
    }
    block[device::kPowerTrackingXOffset] = byteOf(controls.powerTracking);
    block[device::kPairingModeOffset] = byteOf(controls.pairingMode);
    // A tick left over from before power tracking was switched off counts
    // for nothing.
    const bool discrete = controls.discretePowerOn && discretePowerOnUsable(controls.powerTracking);
    block[device::kDiscretePowerOnOffset] = discrete ? 1 : 0;
    writeDiscretePowerOnKey(discrete, block);
}

}  // namespace zelo::pages
