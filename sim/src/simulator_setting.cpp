#include "simulator_setting.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <limits>

#include "model_profile.h"

namespace zelo::sim {

const char *const kValidForms =
    "valid forms: 'none' (or empty) for no accessories, or a comma-separated list of "
    "MODEL[:SETTING]...; MODEL is 'standard', 'x' or a loader version text such as '1.02'; "
    "SETTING is fw=TEXT or ld=TEXT (4 characters), pid=HEX or vid=HEX (1 to 4 hex digits), "
    "in=N, out=N or feature=N (report length in bytes, report-ID byte included; 0 = none), "
    "protected=own or protected=defaults (protected configuration bytes unlike or like the model's defaults), "
    "state=FILE (flash and module memory kept in FILE across runs; FILE holds no ',' and no ':' but after a "
    "drive letter), arrive=MS (plugged in MS milliseconds after start, at most 600000), leave=MS (unplugged MS "
    "milliseconds after it was plugged, at most 600000), delay=MS (each report takes MS milliseconds, at most 1000), notify=no or notify=yes (whether its arrival and "
    "removal are notified)";

namespace {

constexpr const char *kNone = "none";
constexpr std::uint32_t kMaxReportLength = 4096;
// A report carrying data needs the report-ID byte, the count byte and one data byte.
constexpr std::uint32_t kMinDataReportLength = 3;
constexpr std::uint32_t kMinFeatureLength = 1;
constexpr int kHexBase = 16;
constexpr const char *kHexPrefix = "0x";
constexpr const char *kHexPrefixUpper = "0X";
constexpr int kDecimalBase = 10;
constexpr const char *kOwnProtectedBytes = "own";
constexpr const char *kDefaultProtectedBytes = "defaults";
constexpr const char *kStateKey = "state";
constexpr std::uint32_t kMaxArrivalMs = 600000;
constexpr std::uint32_t kMaxReportDelayMs = 1000;

std::vector<std::string> split(const std::string &text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

std::string trim(const std::string &text) {
    const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && space(text[begin])) ++begin;
    while (end > begin && space(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

template <typename T>
bool parseNumber(const std::string &text, int base, T max, T *value) {
    std::string digits = text;
    const bool prefixed = digits.rfind(kHexPrefix, 0) == 0 || digits.rfind(kHexPrefixUpper, 0) == 0;
    if (base == kHexBase && prefixed) digits.erase(0, std::string(kHexPrefix).size());
    if (digits.empty()) return false;
    unsigned long long parsed = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed, base);
    if (ec != std::errc() || end != digits.data() + digits.size() || parsed > max) return false;
    *value = static_cast<T>(parsed);
    return true;
}

bool parseReportLength(const std::string &text, std::uint32_t minimum, std::uint32_t *length) {
    std::uint32_t value = 0;
    if (!parseNumber(text, kDecimalBase, kMaxReportLength, &value)) return false;
    if (value != 0 && value < minimum) return false;
    *length = value;
    return true;
}

bool applySetting(const std::string &key, const std::string &value, AccessoryConfig *config) {
    const std::uint16_t maxId = std::numeric_limits<std::uint16_t>::max();
    if (key == "fw") {
        config->firmware = value;
        return value.size() == kVersionTextLength;
    }
    if (key == "ld") {
        config->loader = value;
        return value.size() == kVersionTextLength;
    }
    if (key == "pid") return parseNumber(value, kHexBase, maxId, &config->productId);
    if (key == "vid") return parseNumber(value, kHexBase, maxId, &config->vendorId) && config->vendorId != 0;
    if (key == "in") return parseReportLength(value, kMinDataReportLength, &config->inputReportLength);
    if (key == "out") return parseReportLength(value, kMinDataReportLength, &config->outputReportLength);
    if (key == "feature") return parseReportLength(value, kMinFeatureLength, &config->featureReportLength);
    if (key == "protected") {
        config->ownProtectedBytes = value == kOwnProtectedBytes;
        return value == kOwnProtectedBytes || value == kDefaultProtectedBytes;
    }
    if (key == kStateKey) {
        config->stateFile = value;
        return !value.empty();
    }
    if (key == "arrive") return parseNumber(value, kDecimalBase, kMaxArrivalMs, &config->arriveAfterMs);
    if (key == "leave") return parseNumber(value, kDecimalBase, kMaxArrivalMs, &config->leaveAfterMs);
    if (key == "notify") {
        config->notifies = value == "yes";
        return value == "yes" || value == "no";
    }
    if (key == "delay") return parseNumber(value, kDecimalBase, kMaxReportDelayMs, &config->reportDelayMs);
    return false;
}

// "state=C" followed by "\\dir\\file" is a Windows path cut at its drive letter.
std::vector<std::string> joinDriveLetters(std::vector<std::string> parts) {
    const std::string prefix = std::string(kStateKey) + "=";
    for (std::size_t i = 1; i + 1 < parts.size(); ++i) {
        const std::string setting = trim(parts[i]);
        const std::string &next = parts[i + 1];
        const bool driveOnly = setting.size() == prefix.size() + 1 && setting.rfind(prefix, 0) == 0 &&
                               std::isalpha(static_cast<unsigned char>(setting.back())) != 0;
        if (driveOnly && !next.empty() && (next.front() == '\\' || next.front() == '/')) {
            parts[i] = setting + ":" + next;
            parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(i + 1));
        }
    }
    return parts;
}

std::string failure(const std::string &what, const std::string &token, const std::string &description) {
    return "ZELO_SIMULATOR: " + what + " '" + token + "' in '" + description + "'; " + kValidForms;
}

bool parseAccessory(const std::string &item, const std::string &description, AccessoryConfig *config,
                    std::string *error) {
    const std::vector<std::string> parts = joinDriveLetters(split(item, ':'));
    const std::string model = trim(parts[0]);
    if (findModel(model) == nullptr && !isLoaderText(model)) {
        *error = failure("unknown model", model, description);
        return false;
    }
    config->model = model;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::string setting = trim(parts[i]);
        const std::size_t equals = setting.find('=');
        const bool ok = equals != std::string::npos &&
                        applySetting(setting.substr(0, equals), setting.substr(equals + 1), config);
        if (!ok) {
            *error = failure("bad setting", setting, description);
            return false;
        }
    }
    return true;
}

}  // namespace

bool parseSimulatorSetting(const std::string &description, std::vector<AccessoryConfig> *accessories,
                           std::string *error) {
    accessories->clear();
    const std::string whole = trim(description);
    if (whole.empty() || whole == kNone) return true;
    std::vector<AccessoryConfig> parsed;
    for (const std::string &item : split(whole, ',')) {
        AccessoryConfig config;
        if (!parseAccessory(item, description, &config, error)) return false;
        parsed.push_back(config);
    }
    *accessories = std::move(parsed);
    return true;
}

}  // namespace zelo::sim
