#include "settings_file.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

#include <nlohmann/json.hpp>

namespace zelo::settings {
namespace {

using Json = nlohmann::ordered_json;
using pages::CommandList;
using pages::CommandTable;

constexpr std::size_t kQuotedLimit = 40;  // characters of a bad value shown in a refusal
constexpr long long kMaxMilliseconds = std::numeric_limits<std::uint16_t>::max();
constexpr char kCodePoint = '.';

// Thrown while checking; caught at the one place that turns it into the
// refusal text.
struct Refusal {
    std::string field;
    std::string reason;
};

[[noreturn]] void refuse(std::string field, std::string reason) { throw Refusal{std::move(field), std::move(reason)}; }

std::string quotedValue(std::string_view text) {
    std::string cut(text.substr(0, kQuotedLimit));
    std::string out = Json(cut).dump(-1, ' ', false, Json::error_handler_t::replace);
    if (text.size() > kQuotedLimit) out.insert(out.size() - 1, "...");
    return out;
}

std::string indexed(const std::string &path, std::size_t index) { return path + "[" + std::to_string(index) + "]"; }

std::string_view commandName(CommandCode code) { return CommandTable::commandName(code); }

std::optional<CommandCode> commandInList(CommandList list, std::string_view name) {
    for (const pages::CommandListEntry &entry : pages::commandList(list))
        if (entry.name == name) return entry.code;
    return std::nullopt;
}

std::string macroName(std::size_t m) {
    return std::string(commandName(static_cast<CommandCode>(pages::kCommandPowerOffMacro + m)));
}

// --- writing ---------------------------------------------------------------

Json settingsJson(const std::vector<SettingValue> &values) {
    Json out = Json::object();
    for (const SettingValue &value : values) {
        if (value.row->kind == SettingKind::Flag)
            out[std::string(value.row->name)] = value.flag;
        else
            out[std::string(value.row->name)] = value.choice ? Json(*value.choice) : Json(nullptr);
    }
    return out;
}

std::string codeText(const device::DeviceCode &code) {
    return std::to_string(code.device) + kCodePoint + std::to_string(code.extension);
}

Json macrosJson(const MacroSet &macros) {
    Json out = Json::array();
    for (std::size_t m = 0; m < macros.size(); ++m) {
        Json steps = Json::array();
        for (const MacroStepValue &step : macros[m])
            steps.push_back(Json{{"command", commandName(step.command)}, {"holdMs", step.holdMs}, {"pauseMs", step.pauseMs}});
        out.push_back(Json{{"name", macroName(m)}, {"steps", std::move(steps)}});
    }
    return out;
}

// --- reading ---------------------------------------------------------------

std::string typeName(const Json &value) {
    if (value.is_number()) return "a number";
    if (value.is_boolean()) return "true or false";
    if (value.is_null()) return "null";
    if (value.is_string()) return "a text";
    if (value.is_array()) return "a list";
    return "an object";
}

void expectType(const Json &value, bool ok, const std::string &path, std::string_view expected) {
    if (!ok) refuse(path, "expected " + std::string(expected) + ", found " + typeName(value));
}

const Json &member(const Json &object, const std::string &path, const char *key) {
    if (!object.contains(key)) refuse(path.empty() ? key : path + "." + key, "missing");
    return object.at(key);
}

void onlyKnownMembers(const Json &object, const std::string &path, std::initializer_list<std::string_view> known) {
    for (const auto &[key, value] : object.items())
        if (std::find(known.begin(), known.end(), key) == known.end())
            refuse(path.empty() ? key : path + "." + key, "unknown field");
}

std::string textOf(const Json &value, const std::string &path) {
    expectType(value, value.is_string(), path, "a text");
    return value.get<std::string>();
}

long long integerOf(const Json &value, const std::string &path, long long low, long long high) {
    expectType(value, value.is_number_integer(), path, "a whole number");
    const bool inRange = value.is_number_unsigned()
                             ? value.get<unsigned long long>() <= static_cast<unsigned long long>(high)
                             : value.get<long long>() >= low && value.get<long long>() <= high;
    if (!inRange) refuse(path, value.dump() + " is outside " + std::to_string(low) + " to " + std::to_string(high));
    return value.get<long long>();
}

void checkHeader(const Json &root, SettingsDocument &document) {
    const std::string format = textOf(member(root, "", "format"), "format");
    if (format != kFormatName) refuse("format", quotedValue(format) + " is not a ZE-LO settings file");
    const long long version = integerOf(member(root, "", "version"), "version", 1, std::numeric_limits<int>::max());
    if (version > kFormatVersion)
        refuse("version", "version " + std::to_string(version) + " is newer than this program reads (" +
                              std::to_string(kFormatVersion) + ")");
    const std::string model = textOf(member(root, "", "model"), "model");
    const std::optional<DeviceVariant> variant = modelOfName(model);
    if (!variant) refuse("model", "unknown model " + quotedValue(model));
    document.model = *variant;
    if (root.contains("program")) document.programVersion = textOf(root.at("program"), "program");
    if (root.contains("firmware")) document.firmwareVersion = textOf(root.at("firmware"), "firmware");
}

SettingValue settingOf(const std::string &name, const Json &value, DeviceVariant model) {
    const std::string path = "settings." + name;
    const SettingRow *row = findSettingRow(name);
    if (!row) refuse(path, "unknown setting");
    if (!hasSetting(*row, model)) refuse(path, "the " + std::string(modelName(model)) + " model has no such setting");
    SettingValue result{row, false, std::nullopt};
    if (row->kind == SettingKind::Flag) {
        expectType(value, value.is_boolean(), path, "true or false");
        result.flag = value.get<bool>();
        return result;
    }
    if (value.is_null()) return result;
    const std::string choice = textOf(value, path);
    const std::vector<std::string> names = choiceNames(*row, model);
    if (std::find(names.begin(), names.end(), choice) == names.end()) refuse(path, "unknown entry " + quotedValue(choice));
    result.choice = choice;
    return result;
}

std::vector<SettingValue> settingsOf(const Json &object, DeviceVariant model) {
    expectType(object, object.is_object(), "settings", "an object");
    std::vector<SettingValue> values;
    for (const auto &[name, value] : object.items()) values.push_back(settingOf(name, value, model));
    // Row order, so a document read back equals the one written.
    std::sort(values.begin(), values.end(), [](const SettingValue &a, const SettingValue &b) { return a.row < b.row; });
    return values;
}

// Digits, one point, digits: nothing else, since a file is not typed by hand
// into a field that forgives.
device::DeviceCode deviceCodeOf(const Json &value) {
    const std::string text = textOf(value, "deviceCode");
    const std::size_t point = text.find(kCodePoint);
    const auto digits = [](std::string_view part) {
        return !part.empty() && part.size() <= 3 && std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const std::string_view all(text);
    if (point == std::string::npos || !digits(all.substr(0, point)) || !digits(all.substr(point + 1)))
        refuse("deviceCode", quotedValue(text) + " is not D.E");
    const unsigned device = static_cast<unsigned>(std::stoul(text.substr(0, point)));
    const unsigned extension = static_cast<unsigned>(std::stoul(text.substr(point + 1)));
    if (device > device::kDeviceCodeMaxDevice || extension > device::kDeviceCodeMaxExtension)
        refuse("deviceCode", quotedValue(text) + " is outside D 0-31, E 0-255");
    return device::DeviceCode{static_cast<std::uint8_t>(device), static_cast<std::uint8_t>(extension)};
}

MacroStepValue stepOf(const Json &value, const std::string &path) {
    expectType(value, value.is_object(), path, "an object");
    onlyKnownMembers(value, path, {"command", "holdMs", "pauseMs"});
    const std::string name = textOf(member(value, path, "command"), path + ".command");
    const std::optional<CommandCode> command = commandInList(CommandList::MacroStep, name);
    if (!command) {
        const bool elsewhere = commandInList(CommandList::KeyMapPs3, name).has_value();
        refuse(path + ".command", (elsewhere ? "no macro step can be " : "unknown command ") + quotedValue(name));
    }
    MacroStepValue step;
    step.command = *command;
    step.holdMs = static_cast<std::uint16_t>(integerOf(member(value, path, "holdMs"), path + ".holdMs", 0, kMaxMilliseconds));
    step.pauseMs = static_cast<std::uint16_t>(integerOf(member(value, path, "pauseMs"), path + ".pauseMs", 0, kMaxMilliseconds));
    return step;
}

MacroSteps macroOf(const Json &value, std::size_t m) {
    const std::string path = indexed("macros", m);
    expectType(value, value.is_object(), path, "an object");
    onlyKnownMembers(value, path, {"name", "steps"});
    if (value.contains("name") && textOf(value.at("name"), path + ".name") != macroName(m))
        refuse(path + ".name", "expected " + quotedValue(macroName(m)));
    const Json &steps = member(value, path, "steps");
    expectType(steps, steps.is_array(), path + ".steps", "a list");
    if (steps.size() > device::kMacroSteps)
        refuse(path + ".steps", std::to_string(steps.size()) + " steps, at most " + std::to_string(device::kMacroSteps));
    MacroSteps result;
    for (std::size_t s = 0; s < steps.size(); ++s) result.push_back(stepOf(steps[s], indexed(path + ".steps", s)));
    return result;
}

MacroSet macrosOf(const Json &value) {
    expectType(value, value.is_array(), "macros", "a list");
    if (value.size() != device::kMacroCount)
        refuse("macros", std::to_string(value.size()) + " macros, expected " + std::to_string(device::kMacroCount));
    MacroSet macros;
    for (std::size_t m = 0; m < macros.size(); ++m) macros[m] = macroOf(value[m], m);
    return macros;
}

std::vector<KeyMapValue> keyMapOf(const Json &object) {
    expectType(object, object.is_object(), "keyMap", "an object");
    std::vector<KeyMapValue> entries;
    for (const auto &[key, value] : object.items()) {
        const std::string path = "keyMap[" + quotedValue(key) + "]";
        const std::optional<CommandCode> irKey = commandInList(CommandList::KeyMapIr, key);
        if (!irKey) refuse(path, "unknown IR key");
        const std::string name = textOf(value, path);
        const std::optional<CommandCode> command = commandInList(CommandList::KeyMapPs3, name);
        if (!command) refuse(path, "unknown command " + quotedValue(name));
        entries.push_back({*irKey, *command});
    }
    return entries;
}

SettingsDocument documentOf(const Json &root) {
    expectType(root, root.is_object(), "file", "a JSON object");
    onlyKnownMembers(root, "", {"format", "version", "model", "program", "firmware", "settings", "deviceCode", "macros", "keyMap"});
    SettingsDocument document;
    checkHeader(root, document);
    if (root.contains("settings")) document.settings = settingsOf(root.at("settings"), document.model);
    if (root.contains("deviceCode")) document.deviceCode = deviceCodeOf(root.at("deviceCode"));
    if (root.contains("macros")) document.macros = macrosOf(root.at("macros"));
    if (root.contains("keyMap")) document.keyMap = keyMapOf(root.at("keyMap"));
    return document;
}

// The library's messages start with an internal tag the user has no use for.
std::string parseReason(const std::string &what) {
    const std::size_t tag = what.find("] ");
    return "not valid JSON: " + (tag == std::string::npos ? what : what.substr(tag + 2));
}

}  // namespace

std::string writeSettingsFile(const SettingsDocument &document) {
    Json root;
    root["format"] = kFormatName;
    root["version"] = kFormatVersion;
    root["model"] = modelName(document.model);
    root["program"] = document.programVersion;
    root["firmware"] = document.firmwareVersion;
    root["settings"] = settingsJson(document.settings);
    if (document.deviceCode) root["deviceCode"] = codeText(*document.deviceCode);
    if (document.macros) root["macros"] = macrosJson(*document.macros);
    Json keys = Json::object();
    for (const KeyMapValue &entry : document.keyMap) keys[std::string(commandName(entry.irKey))] = commandName(entry.command);
    root["keyMap"] = std::move(keys);
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

ReadResult readSettingsFile(std::string_view text) {
    if (text.size() > kMaxFileSize) return {std::nullopt, "file: larger than 1 MiB"};
    try {
        const Json root = Json::parse(text.begin(), text.end());
        return {documentOf(root), {}};
    } catch (const Refusal &refusal) {
        return {std::nullopt, refusal.field + ": " + refusal.reason};
    } catch (const Json::parse_error &error) {
        return {std::nullopt, "file: " + parseReason(error.what())};
    } catch (const std::exception &error) {
        return {std::nullopt, std::string("file: ") + error.what()};
    }
}

ImportResult importSettings(std::string_view text, DeviceVariant target, std::span<std::uint8_t> block) {
    ImportResult result;
    ReadResult read = readSettingsFile(text);
    if (!read.document) {
        result.refusal = std::move(read.refusal);
        return result;
    }
    // Applied to a copy first, so the block changes at once or not at all.
    std::vector<std::uint8_t> copy(block.begin(), block.end());
    result.warnings = applyDocument(*read.document, target, copy);
    std::copy(copy.begin(), copy.end(), block.begin());
    result.applied = true;
    return result;
}

}  // namespace zelo::settings
