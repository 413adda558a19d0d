#include "settings_document.h"

#include <algorithm>

#include "catalogue_table.h"
#include "key_mapping.h"

namespace zelo::settings {
namespace {

using pages::CommandList;
using pages::CommandTable;
using pages::SettingsControls;

std::span<const pages::ListText> receiverModes(DeviceVariant model) { return pages::receiverModeEntries(model); }
std::span<const pages::ListText> powerTrackings(DeviceVariant) { return pages::powerTrackingEntries(); }
std::span<const pages::ListText> pairingModes(DeviceVariant) { return pages::pairingModeEntries(); }

// The settings page's values, in the order the page shows them.
const std::array<SettingRow, 6> kSettingRows{{
    {"statusLed", SettingKind::Flag, true, true, &SettingsControls::statusLedEnabled, nullptr, nullptr},
    {"receiverMode", SettingKind::Choice, true, true, nullptr, &SettingsControls::receiverMode, receiverModes},
    {"powerTracking", SettingKind::Choice, true, true, nullptr, &SettingsControls::powerTracking, powerTrackings},
    {"lowBatteryFlash", SettingKind::Flag, true, true, &SettingsControls::lowBatteryFlash, nullptr, nullptr},
    {"pairingMode", SettingKind::Choice, false, true, nullptr, &SettingsControls::pairingMode, pairingModes},
    {"discretePowerOn", SettingKind::Flag, false, true, &SettingsControls::discretePowerOn, nullptr, nullptr},
}};

std::string englishName(const pages::ListText &entry) {
    if (entry.msg) {
        const std::u8string_view cell = i18n::catalogueCell(*entry.msg, i18n::Column::English);
        return std::string(cell.begin(), cell.end());
    }
    // Fixed entries are plain ASCII.
    return std::string(entry.fixed.begin(), entry.fixed.end());
}

bool listed(CommandList list, CommandCode code) {
    const auto entries = pages::commandList(list);
    return std::any_of(entries.begin(), entries.end(), [code](const auto &e) { return e.code == code; });
}

// The command a stored pair names in a list, NONE when the list cannot show it.
CommandCode listedCommand(CommandList list, pages::CommandPair pair) {
    const std::optional<CommandCode> code = CommandTable::decodeCommand(pair);
    return code && listed(list, *code) ? *code : pages::kCommandNone;
}

std::vector<SettingValue> settingsOf(std::span<const std::uint8_t> block, DeviceVariant model) {
    SettingsControls controls = pages::loadSettings(block, model);
    // The page stores a tick only while power is tracked; the file says
    // what the accessory does.
    controls.discretePowerOn = controls.discretePowerOn && controls.discretePowerOnUsable;
    std::vector<SettingValue> values;
    for (const SettingRow &row : kSettingRows) {
        if (!hasSetting(row, model)) continue;
        SettingValue value{&row, false, std::nullopt};
        if (row.kind == SettingKind::Flag) {
            value.flag = controls.*row.flag;
        } else if (const pages::ListSelection selection = controls.*row.choice) {
            value.choice = choiceNames(row, model).at(*selection);
        }
        values.push_back(std::move(value));
    }
    return values;
}

MacroSteps stepsOf(const device::MacroRecord &record) {
    MacroSteps steps;
    const std::size_t count = std::min<std::size_t>(record.stepCount, device::kMacroSteps);
    for (std::size_t s = 0; s < count; ++s)
        steps.push_back({listedCommand(CommandList::MacroStep, {record.first[s], record.second[s]}), record.holdMs[s],
                         record.pauseMs[s]});
    return steps;
}

device::MacroRecord recordOf(const MacroSteps &steps) {
    device::MacroRecord record;
    record.first.fill(device::kNoCommandByte);
    record.second.fill(device::kNoCommandByte);
    record.stepCount = static_cast<std::uint8_t>(steps.size());
    for (std::size_t s = 0; s < steps.size(); ++s) {
        const pages::CommandPair pair = CommandTable::encodeCommand(steps[s].command);
        record.first[s] = pair.first;
        record.second[s] = pair.second;
        record.holdMs[s] = steps[s].holdMs;
        record.pauseMs[s] = steps[s].pauseMs;
    }
    return record;
}

std::string lacks(DeviceVariant target, std::string_view what) {
    return "the " + std::string(modelName(target)) + " model has no " + std::string(what);
}

void applySettings(const std::vector<SettingValue> &values, DeviceVariant target, std::span<std::uint8_t> block,
                   std::vector<std::string> &warnings) {
    if (values.empty()) return;
    SettingsControls controls = pages::loadSettings(block, target);
    for (const SettingValue &value : values) {
        const std::string field = "settings." + std::string(value.row->name);
        if (!hasSetting(*value.row, target)) {
            warnings.push_back(field + ": " + lacks(target, "such setting"));
        } else if (value.row->kind == SettingKind::Flag) {
            controls.*value.row->flag = value.flag;
        } else if (!value.choice) {
            controls.*value.row->choice = std::nullopt;
        } else {
            const std::vector<std::string> names = choiceNames(*value.row, target);
            const auto found = std::find(names.begin(), names.end(), *value.choice);
            if (found == names.end())
                warnings.push_back(field + ": " + lacks(target, "entry \"" + *value.choice + "\""));
            else
                controls.*value.row->choice = static_cast<std::size_t>(found - names.begin());
        }
    }
    pages::storeSettings(controls, block, target);
}

}  // namespace

std::span<const SettingRow> settingRows() { return kSettingRows; }

const SettingRow *findSettingRow(std::string_view name) {
    for (const SettingRow &row : kSettingRows)
        if (row.name == name) return &row;
    return nullptr;
}

bool hasSetting(const SettingRow &row, DeviceVariant model) {
    return model == DeviceVariant::X ? row.onX : row.onStandard;
}

std::vector<std::string> choiceNames(const SettingRow &row, DeviceVariant model) {
    std::vector<std::string> names;
    if (row.kind != SettingKind::Choice) return names;
    for (const pages::ListText &entry : row.entries(model)) names.push_back(englishName(entry));
    return names;
}

std::string_view modelName(DeviceVariant model) { return model == DeviceVariant::X ? "X" : "standard"; }

std::optional<DeviceVariant> modelOfName(std::string_view name) {
    if (name == modelName(DeviceVariant::Standard)) return DeviceVariant::Standard;
    if (name == modelName(DeviceVariant::X)) return DeviceVariant::X;
    return std::nullopt;
}

SettingsDocument documentOf(std::span<const std::uint8_t> block, DeviceVariant model, std::string programVersion,
                            std::string firmwareVersion) {
    SettingsDocument document;
    document.model = model;
    document.programVersion = std::move(programVersion);
    document.firmwareVersion = std::move(firmwareVersion);
    document.settings = settingsOf(block, model);
    document.deviceCode = device::decodeDeviceCode(block[device::kDeviceCodeOffset], block[device::kDeviceCodeOffset + 1]);
    MacroSet macros;
    for (std::size_t m = 0; m < device::kMacroCount; ++m) macros[m] = stepsOf(device::loadMacro(block, m));
    document.macros = std::move(macros);
    for (const pages::CommandListEntry &key : pages::commandList(CommandList::KeyMapIr))
        document.keyMap.push_back({key.code, listedCommand(CommandList::KeyMapPs3, pages::readKeyEntry(block, key.code))});
    return document;
}

std::vector<std::string> applyDocument(const SettingsDocument &document, DeviceVariant target,
                                       std::span<std::uint8_t> block) {
    std::vector<std::string> warnings;
    for (const KeyMapValue &entry : document.keyMap)
        pages::writeKeyEntry(block, entry.irKey, CommandTable::encodeCommand(entry.command));
    if (document.macros)
        for (std::size_t m = 0; m < device::kMacroCount; ++m) device::storeMacro(block, m, recordOf((*document.macros)[m]));
    if (document.deviceCode) {
        const auto bytes = device::encodeDeviceCode(document.deviceCode->device, document.deviceCode->extension);
        if (bytes) pages::storeDeviceCode(*bytes, block);
    }
    // Last: on the X model discrete power-on owns its key map entry.
    applySettings(document.settings, target, block, warnings);
    return warnings;
}

}  // namespace zelo::settings
