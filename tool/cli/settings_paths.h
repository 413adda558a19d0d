// Single settings by their names in the settings file: "deviceCode",
// "settings.<name>", "macros[2].steps[0].command", "keyMap.<IR key>" (or
// keyMap["<IR key>"]). Names may also be written in dashes
// ("device-code"). A value takes the type of the value it replaces; a
// value starting with '[' or '{' is JSON, for whole lists. A step one past
// a macro's last is added (NONE, with the macro page's times for a new row).
#ifndef ZELO_CLI_SETTINGS_PATHS_H
#define ZELO_CLI_SETTINGS_PATHS_H

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace zelo::cli {

using Json = nlohmann::ordered_json;

// Replaces the value that name designates in document; false with the
// reason in error when there is no such name or the value does not fit its
// type. The range and list checks are the import's.
bool assignSetting(Json &document, std::string_view name, std::string_view value, std::string *error);

// Every value of a settings document by name, in file order; the header
// (format, version, model, program, firmware) left out.
std::vector<std::pair<std::string, Json>> flattenSettings(const Json &document);

// "name: old -> new" for every value that differs between two documents.
std::vector<std::string> settingDifferences(const Json &before, const Json &after);

// A value as a line shows it: texts without quotes, null as "(none)".
std::string valueText(const Json &value);

}  // namespace zelo::cli

#endif
