#include "connect_sequence.h"

#include "decimal_text.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "catalogue.h"
#include "protocol.h"

namespace zelo::app {

namespace {

using device::CDeviceLink;
using device::DeviceVariant;

struct FirmwareLimit {
    DeviceVariant variant;
    std::uint32_t highest;  // firmwareNumber, the version times 1000
};

constexpr std::array<FirmwareLimit, 2> kFirmwareLimits{{
    {DeviceVariant::Standard, 1190},
    {DeviceVariant::X, 2060},
}};

// Loader texts read above this (in double precision) belong to hardware
// newer than any model here. The X model's own "1.01" reads exactly this.
constexpr double kNewestKnownLoader = 1.01;

constexpr std::uint32_t kNumberPerUnit = 1000;
constexpr std::uint32_t kNumberPerHundredth = 10;
constexpr std::size_t kMinorDigits = 2;

// The loader text's leading decimal number, 0 when it has none; read the
// way the device link reads it to tell the models apart.
double loaderReading(std::string_view text) { return device::leadingDecimal(text); }

std::wstring widen(std::string_view text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

std::optional<std::uint32_t> highestFirmwareNumber(DeviceVariant variant) {
    for (const FirmwareLimit &limit : kFirmwareLimits) {
        if (limit.variant == variant) return limit.highest;
    }
    return std::nullopt;
}

std::string limitVersionText(std::uint32_t firmwareNumber) {
    std::string minor = std::to_string(firmwareNumber % kNumberPerUnit / kNumberPerHundredth);
    if (minor.size() < kMinorDigits) minor.insert(0, kMinorDigits - minor.size(), '0');
    return std::to_string(firmwareNumber / kNumberPerUnit) + "." + minor;
}

std::string newestKnownFirmwareText() {
    const auto newest = std::max_element(kFirmwareLimits.begin(), kFirmwareLimits.end(),
                                         [](const FirmwareLimit &a, const FirmwareLimit &b) { return a.highest < b.highest; });
    return limitVersionText(newest->highest);
}

std::string tooNewVersionText(const CDeviceLink &link) {
    const std::optional<std::uint32_t> highest = highestFirmwareNumber(link.variant());
    return highest ? limitVersionText(*highest) : newestKnownFirmwareText();
}

std::wstring tooNewMessageText(std::string_view versionText) {
    return i18n::replacePlaceholder(i18n::Msg::FirmwareTooNew, i18n::kMarkerVersion, widen(versionText));
}

bool applyVersionLimits(CDeviceLink &link) {
    const DeviceVariant variant = link.variant();
    const std::optional<std::uint32_t> highest = highestFirmwareNumber(variant);
    const bool refused = highest ? link.firmwareNumber > *highest : loaderReading(link.ldVersion) > kNewestKnownLoader;
    if (refused) {
        link.close();
        return false;
    }
    // Other models are served without a defaults block.
    link.selectDefaults();
    return true;
}

int connectAccessory(CDeviceLink &link, std::uint8_t deviceNumber, GateUi &ui, device::ProgressSink &progress,
                     device::Waits &waits, const device::ConfigRecord::Clock &clock) {
    // An earlier connect's outcome must not be reported again for this one,
    // however early it stops.
    link.upgradeState = device::UPGRADE_NONE;
    link.unfinishedSave = {};
    // The open marks the link connected, so it counts as connected while the
    // checks and the gate run.
    const int opened = link.open(deviceNumber);
    if (opened != ZELO_OK) return opened;

    const int versions = device::readVersions(link);
    if (versions != ZELO_OK) {
        link.close();
        return versions;
    }
    if (!applyVersionLimits(link)) return CONNECT_UNSUPPORTED;

    const int gate = runFirmwareGate(link, ui, progress, waits);
    if (gate != GATE_OK) {
        link.close();
        return gate == GATE_DECLINED ? CONNECT_DECLINED : CONNECT_UPDATE_FAILED;
    }

    // A half-read configuration would be shown as the accessory's and, once
    // saved, written over it.
    const int read = device::readConfiguration(link, progress);
    if (read != ZELO_OK) {
        link.close();
        return read;
    }
    // Compared with the pages as read: the stamp below may change the copy.
    // What the gate's own look at the record found stays for the caller
    // unless this one finds something.
    if (link.pendingSaves != nullptr) {
        const device::UnfinishedSaveCheck found =
            device::checkUnfinishedSave(*link.pendingSaves, link.variant(), link.record.readCopy());
        if (found.state != device::UnfinishedSave::None) link.unfinishedSave = found;
    }
    if (clock) link.record.setClock(clock);
    link.record.stampTime();
    return CONNECT_OK;
}

}  // namespace zelo::app
