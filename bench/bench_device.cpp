// What the program does with an accessory through its device link: connect
// (open to configuration read, firmware check included), configuration
// read and Save, and a firmware update of all fourteen pages.
#include <algorithm>
#include <array>
#include <span>

#include "bench_operations.h"
#include "connect_sequence.h"
#include "device_link.h"
#include "firmware_gate.h"
#include "images.h"
#include "page_crc.h"
#include "protocol.h"

namespace zelo::bench {

namespace {

constexpr int kRuns = 5;
constexpr int kUpdateRuns = 3;
constexpr std::uint8_t kOlderFirmwarePattern = 0xA5;
constexpr std::size_t kFirmwareTextOffset = device::kStandardFirmwareTextOffset;

sim::AccessoryConfig modelConfig(const char *model) {
    sim::AccessoryConfig config;
    config.model = model;
    return config;
}

bool connect(device::CDeviceLink &link, device::Waits &waits, bool acceptUpdate) {
    app::FixedAnswerGateUi ui(acceptUpdate);
    device::NoProgress progress;
    return app::connectAccessory(link, 0, ui, progress, waits) == app::CONNECT_OK;
}

std::vector<Cost> connectCosts(const char *model, Delay perReport) {
    std::vector<Cost> costs;
    for (int run = 0; run < kRuns; ++run) {
        const auto accessory = plugFresh(modelConfig(model), perReport);
        CountingWaits waits;
        device::CDeviceLink link;
        costs.push_back(measure(*accessory, waits, [&] { return connect(link, waits, false); }));
    }
    return costs;
}

// Runs step kRuns times on one connected standard accessory.
std::vector<Cost> connectedCosts(Delay perReport, const std::function<bool(device::CDeviceLink &)> &step) {
    const auto accessory = plugFresh(modelConfig("standard"), perReport);
    CountingWaits waits;
    device::CDeviceLink link;
    if (!connect(link, waits, false)) return {Cost{}};
    std::vector<Cost> costs;
    for (int run = 0; run < kRuns; ++run) costs.push_back(measure(*accessory, waits, [&] { return step(link); }));
    return costs;
}

// Firmware pages 16 to 28 of another build, page 29 sealed over them as an
// accessory saved by the program carries it: every page differs from the
// image, and the firmware still answers with its own version text.
void installOlderFirmware(sim::Accessory &accessory) {
    std::array<std::uint8_t, device::kFirmwareImageSize> image{};
    for (std::size_t i = 0; i < device::kFirmwarePages.size(); ++i) {
        const auto page = accessory.page(device::kFirmwarePages[i]);
        std::copy(page.begin(), page.end(), image.begin() + i * device::kPageSize);
    }
    for (std::size_t at = 0; at < device::kFirmwareLastPageOffset; ++at) {
        const bool versionText = at >= kFirmwareTextOffset && at < kFirmwareTextOffset + device::kVersionTextLength;
        if (!versionText) image[at] ^= kOlderFirmwarePattern;
    }
    const auto bytes = std::span(image);
    device::storeCrc(bytes.last<device::kPageCrcSize>(), device::pageCrc(bytes.first<device::kFirmwareCrcOffset>()));
    for (std::size_t i = 0; i < device::kFirmwarePages.size(); ++i) {
        std::array<std::uint8_t, sim::kPageSize> page{};
        std::copy_n(image.begin() + i * device::kPageSize, page.size(), page.begin());
        accessory.setPage(device::kFirmwarePages[i], page);
    }
}

std::vector<Cost> updateCosts(Delay perReport) {
    std::vector<Cost> costs;
    for (int run = 0; run < kUpdateRuns; ++run) {
        const auto accessory = plugFresh(modelConfig("standard"), perReport);
        installOlderFirmware(*accessory);
        CountingWaits waits;
        device::CDeviceLink link;
        costs.push_back(measure(*accessory, waits, [&] {
            return connect(link, waits, true) && link.upgradeState == device::UPGRADE_DONE;
        }));
    }
    return costs;
}

bool readConfiguration(device::CDeviceLink &link) {
    device::NoProgress progress;
    return device::readConfiguration(link, progress) == ZELO_OK;
}

bool saveConfiguration(device::CDeviceLink &link) {
    device::NoProgress progress;
    return device::writeConfiguration(link, progress) == ZELO_OK;
}

}  // namespace

std::vector<Result> deviceResults(Delay perReport, bool judged) {
    const std::optional<double> goal = goalIf(judged, kOperationGoal);
    return {
        durationResult("connect, standard, up to date", connectCosts("standard", perReport), perReport, goal),
        durationResult("connect, X, up to date", connectCosts("x", perReport), perReport, goal),
        durationResult("configuration read", connectedCosts(perReport, readConfiguration), perReport, goal),
        durationResult("configuration Save", connectedCosts(perReport, saveConfiguration), perReport, goal),
        durationResult("connect with firmware update, 14 pages", updateCosts(perReport), perReport, goal),
    };
}

}  // namespace zelo::bench
