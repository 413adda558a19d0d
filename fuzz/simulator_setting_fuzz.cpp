// libFuzzer target for the ZELO_SIMULATOR text: any text gives either
// accessories whose every value is one the simulator can model, or an
// error that names the bad token and nothing plugged. What was accepted,
// written back as a setting, reads as the same accessories. Any broken
// invariant traps.
#include "model_profile.h"
#include "simulator_setting.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace zelo::sim;

constexpr std::uint32_t kMaxReportLength = 4096;
constexpr std::uint32_t kMinDataReportLength = 3;
constexpr std::uint32_t kMaxLeaveMs = 600000;
constexpr std::uint32_t kMaxReportDelayMs = 1000;
constexpr std::string_view kErrorPrefix = "ZELO_SIMULATOR: ";

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool lengthAllowed(std::uint32_t length, std::uint32_t minimum)
{
    return length == 0 || (length >= minimum && length <= kMaxReportLength);
}

bool versionAllowed(const std::string &text)
{
    return text.empty() || text.size() == kVersionTextLength;
}

void checkAccessory(const AccessoryConfig &config)
{
    require(findModel(config.model) != nullptr || isLoaderText(config.model));
    require(versionAllowed(config.firmware) && versionAllowed(config.loader));
    require(lengthAllowed(config.inputReportLength, kMinDataReportLength));
    require(lengthAllowed(config.outputReportLength, kMinDataReportLength));
    require(lengthAllowed(config.featureReportLength, 1));
    require(config.leaveAfterMs <= kMaxLeaveMs && config.reportDelayMs <= kMaxReportDelayMs);
}

std::string hexText(unsigned value)
{
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value != 0);
    return text;
}

// The settings this target knows, written in the setting's own syntax.
std::string settingOf(const AccessoryConfig &config)
{
    std::string text = config.model;
    if (!config.firmware.empty())
        text += ":fw=" + config.firmware;
    if (!config.loader.empty())
        text += ":ld=" + config.loader;
    if (config.vendorId != 0)
        text += ":vid=" + hexText(config.vendorId);
    text += ":pid=0x" + hexText(config.productId);
    text += ":in=" + std::to_string(config.inputReportLength);
    text += ":out=" + std::to_string(config.outputReportLength);
    text += ":feature=" + std::to_string(config.featureReportLength);
    text += config.ownProtectedBytes ? ":protected=own" : ":protected=defaults";
    text += ":leave=" + std::to_string(config.leaveAfterMs);
    text += ":delay=" + std::to_string(config.reportDelayMs);
    text += config.notifies ? ":notify=yes" : ":notify=no";
    return text;
}

bool sameAccessory(const AccessoryConfig &a, const AccessoryConfig &b)
{
    return a.model == b.model && a.firmware == b.firmware && a.loader == b.loader && a.vendorId == b.vendorId &&
           a.productId == b.productId && a.inputReportLength == b.inputReportLength &&
           a.outputReportLength == b.outputReportLength && a.featureReportLength == b.featureReportLength &&
           a.ownProtectedBytes == b.ownProtectedBytes && a.leaveAfterMs == b.leaveAfterMs &&
           a.reportDelayMs == b.reportDelayMs && a.notifies == b.notifies;
}

void checkRoundTrip(const std::vector<AccessoryConfig> &accessories)
{
    if (accessories.empty())
        return;
    std::string text;
    for (const AccessoryConfig &config : accessories)
        text += (text.empty() ? "" : ",") + settingOf(config);
    std::vector<AccessoryConfig> again;
    std::string error;
    require(parseSimulatorSetting(text, &again, &error));
    require(std::equal(accessories.begin(), accessories.end(), again.begin(), again.end(), sameAccessory));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string description(reinterpret_cast<const char *>(data), size);
    std::vector<AccessoryConfig> accessories(1);  // what an earlier setting left
    std::string error;
    if (!parseSimulatorSetting(description, &accessories, &error)) {
        require(accessories.empty());
        require(error.starts_with(kErrorPrefix) && error.find(kValidForms) != std::string::npos);
        return 0;
    }
    // One accessory per comma-separated item, unless there are none at all.
    const std::size_t items = static_cast<std::size_t>(std::count(description.begin(), description.end(), ',')) + 1;
    require(accessories.empty() || accessories.size() == items);
    std::for_each(accessories.begin(), accessories.end(), checkAccessory);
    checkRoundTrip(accessories);
    return 0;
}
