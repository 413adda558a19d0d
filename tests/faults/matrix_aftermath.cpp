#include "matrix_aftermath.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "config_record.h"
#include "connect_sequence.h"
#include "protocol.h"

namespace zelo::faults {

namespace {

// The other computer's user changes one byte in each configuration page,
// to a value neither the old nor the new settings hold there.
constexpr std::array<std::size_t, 3> kElsewhereOffsets{100, 612, 1028};
constexpr std::uint8_t kElsewhere = 0x5A;

// The firmware's last page is also the third configuration page, judged
// with the configuration; the rest is the code.
static_assert(device::kFirmwarePages.back() == device::kConfigurationPages.back());
std::vector<std::uint8_t> codeOf(std::vector<std::uint8_t> firmware) {
    firmware.resize(firmware.size() - std::min(firmware.size(), device::kPageSize));
    return firmware;
}

std::vector<std::uint8_t> configurationOf(const sim::Accessory &accessory) { return stateOf(accessory).configuration; }

// Another computer's program keeps no records of ours; its user saves
// edits over whatever the accessory holds.
std::string saveElsewhere(const sim::Accessory &accessory, std::vector<std::uint8_t> &left) {
    device::CDeviceLink link;
    device::NoWaits waits;
    if (connectAsProgram(link, nullptr, waits) != app::CONNECT_OK) return "the save elsewhere cannot connect";
    link.record.acceptRead();
    for (std::size_t offset : kElsewhereOffsets) link.record.workingCopy()[offset] = kElsewhere;
    link.record.commitEdits();
    device::NoProgress progress;
    const int saved = device::writeConfiguration(link, progress);
    link.close();
    if (saved != ZELO_OK) return "the save elsewhere fails";
    left = configurationOf(accessory);
    return {};
}

// A further connect after everything settled: it must find nothing to do.
std::string leftToDo(const Aftermath &after, device::PendingSaveStore &store) {
    device::CDeviceLink link;
    device::NoWaits waits;
    int asked = 0;
    const int connected = connectAsProgram(link, &store, waits, after.choice, &asked);
    const bool offered = asked > 0 || link.upgradeState != device::UPGRADE_NONE ||
                         link.unfinishedSave.state != device::UnfinishedSave::None;
    link.close();
    if (connected != app::CONNECT_OK) return "a further connect fails (" + std::to_string(connected) + ")";
    if (offered) return "a further connect still offers an update or a cut save";
    std::error_code ignored;
    if (std::filesystem::exists(store.folder(), ignored) && !std::filesystem::is_empty(store.folder(), ignored)) {
        return "a record was left behind";
    }
    return {};
}

}  // namespace

void copyIdentity(const std::vector<std::uint8_t> &from, std::vector<std::uint8_t> &to) {
    const auto copyField = [&](std::size_t offset, std::size_t width) {
        if (offset + width <= from.size() && offset + width <= to.size()) {
            std::copy_n(from.begin() + static_cast<std::ptrdiff_t>(offset), width,
                        to.begin() + static_cast<std::ptrdiff_t>(offset));
        }
    };
    copyField(device::kDeviceValueOffset, device::widthOf(device::Field::DeviceValue));
    copyField(device::kDeviceAddressOffset, device::kDeviceAddressSize);
}

AftermathRun runAftermath(const Aftermath &after, const sim::Accessory &accessory, device::PendingSaveStore &store) {
    AftermathRun run;
    if (after.savedElsewhere) {
        run.failure = saveElsewhere(accessory, run.elsewhere);
        if (!run.failure.empty()) return run;
    }
    device::CDeviceLink link;
    device::NoWaits waits;
    const int connected = connectAsProgram(link, &store, waits, after.choice, &run.asked);
    if (connected != app::CONNECT_OK) {
        run.failure = "the next connect fails (" + std::to_string(connected) + ")";
        return run;
    }
    // Without an update the program asks once connected.
    if (link.unfinishedSave.state == device::UnfinishedSave::Differs) {
        ++run.asked;
        device::NoProgress progress;
        if (device::settleUnfinishedSave(link, link.unfinishedSave.save, after.choice, progress) != ZELO_OK) {
            run.failure = "the cut save cannot be settled";
        }
    }
    link.close();
    return run;
}

std::string judgeAftermath(const Aftermath &after, const AftermathRun &run, const sim::Accessory &accessory,
                           device::PendingSaveStore &store, const Settled &settled,
                           const std::vector<std::uint8_t> &identityFrom) {
    if (!run.failure.empty()) return run.failure;
    const AccessoryState now = stateOf(accessory);
    if (codeOf(now.firmware) != codeOf(settled.firmware) || now.firmwareText != settled.firmwareText) {
        return "firmware not complete and current after the next connect";
    }
    if (after.savedElsewhere) {
        if (now.configuration != run.elsewhere) return "the settings saved elsewhere were not kept";
    } else {
        std::vector<std::uint8_t> oldSettings = settled.oldConfiguration;
        std::vector<std::uint8_t> newSettings = settled.newConfiguration;
        copyIdentity(identityFrom, oldSettings);
        copyIdentity(identityFrom, newSettings);
        const bool isOld = now.configuration == oldSettings;
        const bool isNew = now.configuration == newSettings;
        if (!isOld && !isNew) return "configuration neither the old nor the new settings (or the identity changed)";
        const bool finish = after.choice == device::UnfinishedChoice::Finish;
        if (run.asked > 0 && finish && !isNew) return "finishing the cut save left the old settings";
        if (run.asked > 0 && !finish && !isOld) return "going back from the cut save left the new settings";
    }
    return leftToDo(after, store);
}

}  // namespace zelo::faults
