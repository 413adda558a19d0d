// The user's settings as a settings file holds them: by name, independent
// of the block's byte layout, so that a file written for one model can be
// applied to the other where the fields exist.
#ifndef ZELO_SETTINGS_SETTINGS_DOCUMENT_H
#define ZELO_SETTINGS_SETTINGS_DOCUMENT_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "command_table.h"
#include "config_record.h"
#include "device_code.h"
#include "settings_mapping.h"

namespace zelo::settings {

using device::DeviceVariant;
using pages::CommandCode;

// One value of the settings page: a tick box or a list. Which models have
// it and which list entries they offer come from the page's own mapping.
enum class SettingKind : std::uint8_t { Flag, Choice };

struct SettingRow {
    std::string_view name;
    SettingKind kind;
    bool onStandard;
    bool onX;
    bool pages::SettingsControls::*flag;                 // Flag rows
    pages::ListSelection pages::SettingsControls::*choice;  // Choice rows
    std::span<const pages::ListText> (*entries)(DeviceVariant);
};

std::span<const SettingRow> settingRows();
const SettingRow *findSettingRow(std::string_view name);
bool hasSetting(const SettingRow &row, DeviceVariant model);
// The English names of a list setting's entries on a model, in list order.
std::vector<std::string> choiceNames(const SettingRow &row, DeviceVariant model);

struct SettingValue {
    const SettingRow *row = nullptr;
    bool flag = false;
    std::optional<std::string> choice;  // the entry's English name; nullopt: nothing selected
    friend bool operator==(const SettingValue &, const SettingValue &) = default;
};

struct MacroStepValue {
    CommandCode command = pages::kCommandNone;
    std::uint16_t holdMs = 0;
    std::uint16_t pauseMs = 0;
    friend bool operator==(const MacroStepValue &, const MacroStepValue &) = default;
};
using MacroSteps = std::vector<MacroStepValue>;  // at most kMacroSteps
using MacroSet = std::array<MacroSteps, device::kMacroCount>;

struct KeyMapValue {
    CommandCode irKey = pages::kCommandNone;
    CommandCode command = pages::kCommandNone;
    friend bool operator==(const KeyMapValue &, const KeyMapValue &) = default;
};

struct SettingsDocument {
    DeviceVariant model = DeviceVariant::Standard;
    std::string programVersion;
    std::string firmwareVersion;
    std::vector<SettingValue> settings;  // in row order; absent rows stay as they are
    std::optional<device::DeviceCode> deviceCode;
    std::optional<MacroSet> macros;
    std::vector<KeyMapValue> keyMap;  // absent keys stay as they are
    friend bool operator==(const SettingsDocument &, const SettingsDocument &) = default;
};

// What the program writes for a block of a standard or X accessory: every
// setting of the model, the device code, the ten macros and every key of
// the key mapping page. Values the pages cannot show are written the way
// the pages show them (a step or key naming no listed command as NONE).
SettingsDocument documentOf(std::span<const std::uint8_t> block, DeviceVariant model,
                            std::string programVersion, std::string firmwareVersion);

// Writes a checked document into a block of the target model, only into
// fields the file carries. Answers what the target model lacks, one line
// per value, for the user to see.
std::vector<std::string> applyDocument(const SettingsDocument &document, DeviceVariant target,
                                       std::span<std::uint8_t> block);

std::string_view modelName(DeviceVariant model);
std::optional<DeviceVariant> modelOfName(std::string_view name);

}  // namespace zelo::settings

#endif
