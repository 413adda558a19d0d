#include "matrix_operations.h"

#include <optional>

#include "config_record.h"
#include "connect_sequence.h"
#include "firmware_gate.h"
#include "images.h"
#include "module_program.h"
#include "progress.h"
#include "protocol.h"
#include "worker_tasks.h"

namespace zelo::faults {

namespace {

using device::CDeviceLink;

constexpr std::array<std::uint8_t, app::kIrTransmitFrameSize> kIrFrame{0x01, 0x2C, 0x00, 0x05};
// One edited byte per configuration page, outside the protected ranges
// (1028: power tracking, in the page the standard model shares with its firmware).
constexpr std::array<std::size_t, 3> kEditedOffsets{100, 612, 1028};
constexpr std::uint8_t kEdited = 0x3C;
constexpr const char *kOlderStandardFirmware = "1.18";
constexpr const char *kOlderXFirmware = "2.00";
// The cuts the rows after a cut save start from: between reports, and
// inside a page's flash write.
const std::vector<std::string> kAftermathFaults{"unplug after report k", "page torn, half written"};

sim::AccessoryConfig accessoryOf(const std::string &model, const std::string &firmware = {}) {
    sim::AccessoryConfig config;
    config.model = model;
    config.firmware = firmware;
    return config;
}

bool connected(OperationRun &run) {
    run.link = std::make_unique<CDeviceLink>();
    return connectAsProgram(*run.link, run.store, run.waits) == app::CONNECT_OK;
}

bool unopened(OperationRun &run) {
    run.link = std::make_unique<CDeviceLink>();
    return true;
}

// The user's edits on every page, committed as Save does.
bool edited(OperationRun &run) {
    if (!connected(run)) return false;
    auto &record = run.link->record;
    record.acceptRead();
    for (std::size_t offset : kEditedOffsets) {
        if (offset < device::blockLength(run.link->variant())) record.workingCopy()[offset] = kEdited;
    }
    record.commitEdits();
    return true;
}

// The program's firmware is newer than the accessory's: the save was made
// by the earlier program version, for which it was current, so the link
// is opened without the gate.
bool editedOnOlderFirmware(OperationRun &run) {
    run.link = std::make_unique<CDeviceLink>();
    CDeviceLink &link = *run.link;
    link.pendingSaves = run.store;
    device::NoProgress progress;
    if (link.open(0) != ZELO_OK || device::readVersions(link) != ZELO_OK) return false;
    link.selectDefaults();
    if (device::readConfiguration(link, progress) != ZELO_OK) return false;
    link.record.acceptRead();
    for (std::size_t offset : kEditedOffsets) link.record.workingCopy()[offset] = kEdited;
    link.record.commitEdits();
    return true;
}

bool defaultsRestored(OperationRun &run) {
    if (!connected(run)) return false;
    run.link->record.acceptRead();
    run.link->record.restoreDefaults();
    return true;
}

int connectOperation(OperationRun &run) { return connectAsProgram(*run.link, run.store, run.waits); }

// The SaveConfiguration task's body.
int writeOperation(OperationRun &run) {
    device::NoProgress progress;
    return device::writeConfiguration(*run.link, progress);
}

int moduleOperation(OperationRun &run, bool fromFile, bool erase) {
    std::atomic<int> progress{0};
    std::optional<device::ModuleImageView> image;
    std::vector<std::uint8_t> file;
    if (fromFile) {
        device::keyImageCipher(run.link->cipher);
        file = device::decipherModuleImage(run.link->cipher);
        image = device::ModuleImageView(file.data(), device::kModuleImageSize);
    }
    return device::moduleProgram(*run.link, progress, image, erase, run.waits);
}

}  // namespace

int connectAsProgram(CDeviceLink &link, device::PendingSaveStore *store, device::Waits &waits,
                     device::UnfinishedChoice choice, int *asked) {
    link.pendingSaves = store;
    app::FixedAnswerGateUi ui(true);
    // A save cut short is settled as the user answers; the update that
    // needs it settled first then goes on.
    ui.unfinishedChoice = choice;
    device::NoProgress progress;
    const int result = app::connectAccessory(link, 0, ui, progress, waits, [] { return kFixedNow; });
    if (asked != nullptr) *asked += ui.unfinishedAsked;
    // A connect that reports success with the update unfinished would be
    // shown as a failed update; it is not a success.
    return result == app::CONNECT_OK && link.upgradeState == device::UPGRADE_STARTED ? app::CONNECT_UPDATE_FAILED
                                                                                     : result;
}

const std::vector<Operation> &matrixOperations() {
    static const std::vector<Operation> operations{
        {"connect", OperationKind::Connect, accessoryOf("standard"), unopened, connectOperation},
        {"connect X", OperationKind::Connect, accessoryOf("x"), unopened, connectOperation},
        {"save", OperationKind::Configuration, accessoryOf("standard"), edited, writeOperation},
        {"save X", OperationKind::Configuration, accessoryOf("x"), edited, writeOperation},
        {"restore defaults", OperationKind::Configuration, accessoryOf("standard"), defaultsRestored, writeOperation},
        {"firmware update", OperationKind::Connect, accessoryOf("standard", kOlderStandardFirmware), unopened,
         connectOperation},
        {"firmware update X", OperationKind::Connect, accessoryOf("x", kOlderXFirmware), unopened, connectOperation},
        {"module install", OperationKind::Module, accessoryOf("standard"), connected,
         [](OperationRun &run) { return moduleOperation(run, true, false); }},
        {"module restore", OperationKind::Module, accessoryOf("standard"), connected,
         [](OperationRun &run) { return moduleOperation(run, false, false); }},
        {"module erase", OperationKind::Module, accessoryOf("standard"), connected,
         [](OperationRun &run) { return moduleOperation(run, false, true); }},
        // A cut save, then another computer saves the accessory: the next
        // connect keeps that computer's settings and drops the record.
        {"save, saved elsewhere", OperationKind::Configuration, accessoryOf("standard"), edited, writeOperation,
         kAftermathFaults, Aftermath{true, device::UnfinishedChoice::Finish}},
        // A cut save, then a connect that updates the firmware, whose
        // write-back settles the save first as the user answers.
        {"save, update, Yes", OperationKind::Configuration, accessoryOf("standard", kOlderStandardFirmware),
         editedOnOlderFirmware, writeOperation, kAftermathFaults, Aftermath{false, device::UnfinishedChoice::Finish}},
        {"save, update, No", OperationKind::Configuration, accessoryOf("standard", kOlderStandardFirmware),
         editedOnOlderFirmware, writeOperation, kAftermathFaults, Aftermath{false, device::UnfinishedChoice::GoBack}},
        {"IR transmit", OperationKind::Command, accessoryOf("standard"), connected,
         [](OperationRun &run) { return app::transmitIr(run.link.get(), kIrFrame); }},
        {"pairing", OperationKind::Command, accessoryOf("standard"), connected,
         [](OperationRun &run) { return app::pairRequest(run.link.get()); }},
    };
    return operations;
}

AccessoryState stateOf(const sim::Accessory &accessory) {
    AccessoryState state;
    for (std::uint8_t page : device::kConfigurationPages) {
        const auto bytes = accessory.page(page);
        state.configuration.insert(state.configuration.end(), bytes.begin(), bytes.end());
    }
    for (std::uint8_t page : device::kFirmwarePages) {
        const auto bytes = accessory.page(page);
        state.firmware.insert(state.firmware.end(), bytes.begin(), bytes.end());
    }
    state.firmwareText = accessory.firmwareVersion();
    state.module = accessory.moduleMemory();
    state.irTransmit = accessory.lastIrTransmit();
    state.pairing = accessory.pairingValue();
    return state;
}

}  // namespace zelo::faults
