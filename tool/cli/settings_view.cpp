#include "settings_view.h"

#include <sstream>

namespace zelo::cli {

namespace {

constexpr const char *kIndent = "  ";

std::string text(const Json &document, const char *key) {
    return document.contains(key) ? valueText(document.at(key)) : "(none)";
}

void settingsPart(std::ostringstream &out, const Json &document) {
    out << "Settings\n";
    if (!document.contains("settings")) return;
    for (const auto &[name, value] : document.at("settings").items()) out << kIndent << name << ": " << valueText(value) << '\n';
}

std::string stepText(const Json &step) {
    return valueText(step.value("command", Json())) + " (hold " + valueText(step.value("holdMs", Json())) +
           " ms, pause " + valueText(step.value("pauseMs", Json())) + " ms)";
}

void macrosPart(std::ostringstream &out, const Json &document) {
    out << "Macros\n";
    if (!document.contains("macros")) return;
    std::size_t number = 0;
    for (const Json &macro : document.at("macros")) {
        out << kIndent << "[" << number++ << "] " << valueText(macro.value("name", Json())) << ":";
        const Json steps = macro.value("steps", Json::array());
        if (steps.empty()) out << " (no steps)";
        for (std::size_t s = 0; s < steps.size(); ++s) out << (s == 0 ? " " : ", ") << stepText(steps[s]);
        out << '\n';
    }
}

void keyMapPart(std::ostringstream &out, const Json &document) {
    out << "Key map (IR key: PS3 command)\n";
    if (!document.contains("keyMap")) return;
    for (const auto &[key, command] : document.at("keyMap").items()) out << kIndent << key << ": " << valueText(command) << '\n';
}

}  // namespace

std::string settingsText(const Json &document) {
    std::ostringstream out;
    out << "Model: " << text(document, "model") << "\nFirmware: " << text(document, "firmware") << "\n\n";
    settingsPart(out, document);
    out << "\nDevice code: " << text(document, "deviceCode") << "\n\n";
    macrosPart(out, document);
    out << '\n';
    keyMapPart(out, document);
    return out.str();
}

}  // namespace zelo::cli
