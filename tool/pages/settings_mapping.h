// The settings page's controls and the bytes of the configuration block
// they stand for, in the layouts of the standard and the X model.
#ifndef ZELO_PAGES_SETTINGS_MAPPING_H
#define ZELO_PAGES_SETTINGS_MAPPING_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "config_record.h"
#include "messages.h"

namespace zelo::pages {

// A drop-down list's selection; nullopt when nothing is selected.
using ListSelection = std::optional<std::size_t>;

// A list entry: a catalogue text, or a fixed text where msg is empty.
struct ListText {
    std::optional<i18n::Msg> msg;
    std::wstring_view fixed;
};
std::wstring listText(const ListText &entry);

// What the settings page's controls hold.
struct SettingsControls {
    bool statusLedEnabled = false;    // check box 1000
    bool lowBatteryFlash = false;     // check box 1005
    ListSelection receiverMode;       // list 1016
    ListSelection powerTracking;      // list 1017
    ListSelection pairingMode;        // list 1018, X model
    bool discretePowerOn = false;     // check box 1004 ticked, X model
    bool discretePowerOnUsable = false;  // check box 1004 enabled
};

inline constexpr std::size_t kPowerTrackingNone = 0;
// The power note sits this far below the top of the receiver help text.
inline constexpr int kPowerNoteOffsetY = 30;

std::span<const ListText> receiverModeEntries(device::DeviceVariant variant);
std::span<const ListText> powerTrackingEntries();
std::span<const ListText> pairingModeEntries();

// The help text of a receiver mode; no selection or an index beyond the
// list counts as the first entry.
i18n::Msg receiverHelp(device::DeviceVariant variant, ListSelection mode);
// The external power note shows for every mode but the first.
bool showsPowerNote(ListSelection mode);
// Discrete power-on can only be chosen while power is tracked.
bool discretePowerOnUsable(ListSelection powerTracking);

// Variants other than the X model use the standard layout.
SettingsControls loadSettings(std::span<const std::uint8_t> block, device::DeviceVariant variant);
void storeSettings(const SettingsControls &controls, std::span<std::uint8_t> block, device::DeviceVariant variant);

}  // namespace zelo::pages

#endif
