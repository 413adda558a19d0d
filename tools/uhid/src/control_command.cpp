#include "control_command.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <sstream>
#include <utility>
#include <vector>

namespace zelo::uhid {

namespace {

using sim::Fault;

constexpr std::array<std::pair<Fault, const char *>, 9> kFaultNames{{
    {Fault::DropAnswer, "drop-answer"},
    {Fault::DelayAnswer, "delay-answer"},
    {Fault::CorruptCrc, "corrupt-crc"},
    {Fault::RefuseBootMode, "refuse-boot-mode"},
    {Fault::FailPageWrite, "fail-page-write"},
    {Fault::UnplugMidTransfer, "unplug-mid-transfer"},
    {Fault::ModuleNeverSyncs, "module-never-syncs"},
    {Fault::ModuleStops, "module-stops"},
    {Fault::FailFeatureRead, "fail-feature-read"},
}};

constexpr std::array<std::pair<ControlCommand::Kind, const char *>, 8> kCommandNames{{
    {ControlCommand::Kind::Plug, "plug"},
    {ControlCommand::Kind::Unplug, "unplug"},
    {ControlCommand::Kind::Fault, "fault"},
    {ControlCommand::Kind::Clear, "clear"},
    {ControlCommand::Kind::Ir, "ir"},
    {ControlCommand::Kind::Log, "log"},
    {ControlCommand::Kind::Dump, "dump"},
    {ControlCommand::Kind::Quit, "quit"},
}};

constexpr int kDecimal = 10;
constexpr int kHex = 16;
constexpr int kMaxAccessory = 255;

template <typename T>
bool number(const std::string &text, int base, T max, T *value) {
    long long parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || parsed < 0 ||
        parsed > static_cast<long long>(max)) {
        return false;
    }
    *value = static_cast<T>(parsed);
    return true;
}

std::optional<Fault> faultNamed(const std::string &name) {
    for (const auto &[fault, text] : kFaultNames) {
        if (name == text) return fault;
    }
    return std::nullopt;
}

bool faultSetting(const std::string &setting, sim::FaultSpec *spec) {
    const std::size_t equals = setting.find('=');
    if (equals == std::string::npos) return false;
    const std::string key = setting.substr(0, equals);
    const std::string value = setting.substr(equals + 1);
    const int maxInt = std::numeric_limits<int>::max();
    if (key == "code") return number<std::uint8_t>(value, kHex, std::numeric_limits<std::uint8_t>::max(), &spec->code);
    if (key == "count") return number(value, kDecimal, maxInt, &spec->count);
    if (key == "after") return number(value, kDecimal, maxInt, &spec->after);
    if (key == "delay") {
        int ms = 0;
        if (!number(value, kDecimal, maxInt, &ms)) return false;
        spec->delay = std::chrono::milliseconds(ms);
        return true;
    }
    return false;
}

std::string faultList() {
    std::string names;
    for (const auto &[fault, text] : kFaultNames) names += (names.empty() ? "" : ", ") + std::string(text);
    return names;
}

bool parseFault(const std::vector<std::string> &words, ControlCommand *command, std::string *error) {
    if (words.size() < 3) {
        *error = "fault needs an accessory and a fault name (" + faultList() + ")";
        return false;
    }
    const std::optional<Fault> fault = faultNamed(words[2]);
    if (!fault) {
        *error = "unknown fault '" + words[2] + "'; known: " + faultList();
        return false;
    }
    command->fault = sim::FaultSpec{*fault};
    for (std::size_t i = 3; i < words.size(); ++i) {
        if (!faultSetting(words[i], &command->fault)) {
            *error = "bad fault setting '" + words[i] + "'; use code=HEX, count=N, delay=MS or after=N";
            return false;
        }
    }
    return true;
}

}  // namespace

const char *faultName(Fault fault) {
    for (const auto &[known, text] : kFaultNames) {
        if (known == fault) return text;
    }
    return "?";
}

std::optional<ControlCommand> parseControlCommand(const std::string &line, std::string *error) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    if (words.empty()) {
        *error = "empty command";
        return std::nullopt;
    }
    ControlCommand command;
    bool known = false;
    for (const auto &[kind, text] : kCommandNames) {
        if (words[0] == text) {
            command.kind = kind;
            known = true;
        }
    }
    if (!known) {
        *error = "unknown command '" + words[0] + "'; known: plug, unplug, fault, clear, ir, log, dump, quit";
        return std::nullopt;
    }
    const bool named = command.kind != ControlCommand::Kind::Dump && command.kind != ControlCommand::Kind::Quit;
    if (!named) {
        if (words.size() != 1) {
            *error = words[0] + " takes nothing more";
            return std::nullopt;
        }
        return command;
    }
    if (words.size() < 2 || !number(words[1], kDecimal, kMaxAccessory, &command.accessory)) {
        *error = words[0] + " needs the accessory's number (0 for the first)";
        return std::nullopt;
    }
    if (command.kind == ControlCommand::Kind::Fault) {
        if (!parseFault(words, &command, error)) return std::nullopt;
    } else if (command.kind == ControlCommand::Kind::Ir) {
        if (words.size() != 3 ||
            !number<std::uint8_t>(words[2], kHex, std::numeric_limits<std::uint8_t>::max(), &command.irCode)) {
            *error = "ir takes the accessory's number and the command's code in hex";
            return std::nullopt;
        }
    } else if (words.size() != 2) {
        *error = words[0] + " takes the accessory's number only";
        return std::nullopt;
    }
    return command;
}

}  // namespace zelo::uhid
