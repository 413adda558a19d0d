#include "settings_paths.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <map>
#include <optional>

#include "command_table.h"
#include "macro_editor.h"

namespace zelo::cli {

namespace {

constexpr std::array<std::string_view, 5> kHeaderFields{"format", "version", "model", "program", "firmware"};
constexpr const char *kStepsKey = "steps";

// The step a macro gains when a name points one past its last step, with
// the macro page's times for a new row.
Json newStep() {
    return Json{{"command", pages::CommandTable::commandName(pages::kCommandNone)},
                {"holdMs", pages::kDefaultRowHoldMs},
                {"pauseMs", pages::kDefaultRowDelayMs}};
}

struct Step {
    bool isIndex = false;
    std::size_t index = 0;
    std::string key;
};

// "device-code" -> "deviceCode": the dashed spelling of a file name.
std::string camelCase(std::string_view name) {
    std::string out;
    bool upper = false;
    for (char c : name) {
        if (c == '-') {
            upper = true;
            continue;
        }
        out.push_back(upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c);
        upper = false;
    }
    return out;
}

bool parseBracket(std::string_view &rest, Step &step) {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos) return false;
    std::string_view inside = rest.substr(1, close - 1);
    rest.remove_prefix(close + 1);
    if (inside.size() >= 2 && inside.front() == '"' && inside.back() == '"') {
        step.key = std::string(inside.substr(1, inside.size() - 2));
        return true;
    }
    const auto [end, ec] = std::from_chars(inside.data(), inside.data() + inside.size(), step.index);
    if (ec == std::errc() && end == inside.data() + inside.size() && !inside.empty()) {
        step.isIndex = true;
        return true;
    }
    step.key = std::string(inside);
    return !inside.empty();
}

std::optional<std::vector<Step>> parseName(std::string_view name) {
    std::vector<Step> steps;
    std::string_view rest = name;
    while (!rest.empty()) {
        Step step;
        if (rest.front() == '[') {
            if (!parseBracket(rest, step)) return std::nullopt;
        } else {
            if (rest.front() == '.') {
                if (steps.empty()) return std::nullopt;
                rest.remove_prefix(1);
            }
            const std::size_t end = std::min(rest.find('.'), rest.find('['));
            step.key = std::string(rest.substr(0, end));
            if (step.key.empty()) return std::nullopt;
            rest.remove_prefix(std::min(end, rest.size()));
        }
        steps.push_back(std::move(step));
    }
    if (steps.empty()) return std::nullopt;
    return steps;
}

Json *memberOf(Json &object, const std::string &key) {
    if (!object.is_object()) return nullptr;
    if (object.contains(key)) return &object[key];
    const std::string camel = camelCase(key);
    if (object.contains(camel)) return &object[camel];
    return nullptr;
}

Json *find(Json &document, const std::vector<Step> &steps) {
    Json *at = &document;
    const std::string *lastKey = nullptr;
    for (const Step &step : steps) {
        if (step.isIndex) {
            if (!at->is_array()) return nullptr;
            const bool appendsStep = lastKey != nullptr && *lastKey == kStepsKey && step.index == at->size() &&
                                     at->size() < device::kMacroSteps;
            if (appendsStep) at->push_back(newStep());
            if (step.index >= at->size()) return nullptr;
            at = &(*at)[step.index];
            lastKey = nullptr;
        } else {
            at = memberOf(*at, step.key);
            if (at == nullptr) return nullptr;
            lastKey = &step.key;
        }
    }
    return at;
}

bool isHeader(const std::vector<Step> &steps) {
    return steps.size() == 1 && std::find(kHeaderFields.begin(), kHeaderFields.end(), steps.front().key) != kHeaderFields.end();
}

std::optional<Json> typedValue(const Json &old, std::string_view value) {
    const std::string text(value);
    if (!text.empty() && (text.front() == '[' || text.front() == '{')) {
        Json parsed = Json::parse(text, nullptr, false);
        if (parsed.is_discarded()) return std::nullopt;
        return parsed;
    }
    if (old.is_structured()) return std::nullopt;  // a list or an object is given as JSON
    if (old.is_boolean()) {
        if (text == "true") return Json(true);
        if (text == "false") return Json(false);
        return std::nullopt;
    }
    if (old.is_number_integer()) {
        long long number = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
        return Json(number);
    }
    if (old.is_null() && text == "null") return Json(nullptr);
    return Json(text);
}

std::string typeWanted(const Json &old) {
    if (old.is_boolean()) return "true or false";
    if (old.is_number_integer()) return "a whole number";
    return "JSON ('[...]' or '{...}')";
}

void flattenInto(const Json &value, const std::string &name, std::vector<std::pair<std::string, Json>> &out) {
    if (value.is_object()) {
        for (const auto &[key, member] : value.items()) flattenInto(member, name.empty() ? key : name + "." + key, out);
    } else if (value.is_array()) {
        for (std::size_t i = 0; i < value.size(); ++i) flattenInto(value[i], name + "[" + std::to_string(i) + "]", out);
    } else {
        out.emplace_back(name, value);
    }
}

}  // namespace

bool assignSetting(Json &document, std::string_view name, std::string_view value, std::string *error) {
    const std::optional<std::vector<Step>> steps = parseName(name);
    // Worked on a copy: a refused name or value leaves no appended step behind.
    Json changed = document;
    Json *target = steps && !isHeader(*steps) ? find(changed, *steps) : nullptr;
    if (target == nullptr) {
        *error = std::string(name) + ": no such setting (see 'zelo show --json' for the names)";
        return false;
    }
    const std::optional<Json> typed = typedValue(*target, value);
    if (!typed) {
        *error = std::string(name) + ": expected " + typeWanted(*target) + ", found '" + std::string(value) + "'";
        return false;
    }
    *target = *typed;
    document = std::move(changed);
    return true;
}

std::vector<std::pair<std::string, Json>> flattenSettings(const Json &document) {
    std::vector<std::pair<std::string, Json>> out;
    if (!document.is_object()) return out;
    for (const auto &[key, member] : document.items()) {
        if (std::find(kHeaderFields.begin(), kHeaderFields.end(), key) != kHeaderFields.end()) continue;
        flattenInto(member, key, out);
    }
    return out;
}

std::string valueText(const Json &value) {
    if (value.is_null()) return "(none)";
    if (value.is_string()) return value.get<std::string>();
    return value.dump();
}

std::vector<std::string> settingDifferences(const Json &before, const Json &after) {
    std::map<std::string, Json> old;
    for (auto &[name, value] : flattenSettings(before)) old.emplace(name, value);
    std::vector<std::string> lines;
    for (const auto &[name, value] : flattenSettings(after)) {
        const auto it = old.find(name);
        if (it == old.end()) {
            lines.push_back(name + ": (none) -> " + valueText(value));
            continue;
        }
        if (it->second != value) lines.push_back(name + ": " + valueText(it->second) + " -> " + valueText(value));
        old.erase(it);
    }
    for (const auto &[name, value] : old) lines.push_back(name + ": " + valueText(value) + " -> (none)");
    return lines;
}

}  // namespace zelo::cli
