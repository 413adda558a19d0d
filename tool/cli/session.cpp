#include "session.h"

#include <string_view>

#include "connect_sequence.h"
#include "device_choice.h"
#include "exit_codes.h"
#include "firmware_gate.h"
#include "images.h"
#include "protocol.h"
#include "settings_document.h"
#include "text.h"
#include "unfinished_save_choice.h"

#if defined(ZELO_HAVE_LINUX_ACCESS)
#include <cstdlib>

#include "zelo_backend/hid_backend.h"
#include "zelo_linux/access_diagnosis.h"
#endif

namespace zelo::cli {

namespace {

using device::DeviceVariant;

// The gate's question answered with no, keeping what an update would install.
class CheckOnlyUi final : public app::GateUi {
public:
    bool askUpgrade(std::wstring_view, std::wstring_view) override {
        asked = true;
        return false;
    }
    bool asked = false;
};

int open(Context &context, device::CDeviceLink &link) {
    if (const int opened = openChosen(context, link); opened != kExitOk) return opened;
    const int versions = device::readVersions(link);
    if (versions != ZELO_OK) {
        return refuse(context, kExitFailure,
                      "the accessory did not answer the version query (code " + std::to_string(versions) + ")");
    }
    if (!app::applyVersionLimits(link)) {
        return refuse(context, kExitFailure, oneLine(utf8Of(app::tooNewMessageText(app::tooNewVersionText(link)))));
    }
    return kExitOk;
}

int checkFirmware(Context &context, Accessory &accessory) {
    CheckOnlyUi ui;
    device::NoProgress quiet;
    const int gate = app::runFirmwareGate(accessory.link, ui, quiet, context.waits);
    if (gate == app::GATE_FAILED) {
        return refuse(context, kExitFailure, "the firmware check could not read the accessory");
    }
    accessory.firmwareCurrent = gate == app::GATE_OK;
    if (accessory.link.variant() != DeviceVariant::Other) {
        accessory.offeredFirmware = std::string(device::firmwareVersionText(accessory.link.variant()));
    }
    return kExitOk;
}

// Raises the shown firmware version to the configuration's, as the program
// does, unless an update is pending: then the configuration names an image
// that does not run, and what the firmware answers stays.
int readConfigurationShowingVersion(Accessory &accessory) {
    device::CDeviceLink &link = accessory.link;
    const std::uint32_t answered = link.firmwareNumber;
    device::NoProgress quiet;
    const int read = device::readConfiguration(link, quiet);
    if (!accessory.firmwareCurrent) link.firmwareNumber = answered;
    return read;
}

int readConfiguration(Context &context, Accessory &accessory, Need need) {
    device::CDeviceLink &link = accessory.link;
    const int read = readConfigurationShowingVersion(accessory);
    if (read != ZELO_OK) {
        return refuse(context, kExitFailure,
                      "reading the accessory's configuration failed (code " + std::to_string(read) + ")");
    }
    // Before the stamp changes the read copy: the record is compared with
    // the pages exactly as read.
    if (const int settled = settleUnfinishedSave(context, accessory, need); settled != kExitOk) return settled;
    if (context.clock) link.record.setClock(context.clock);
    accessory.firstConnectionUnsaved = link.record.stampTime();
    // The working copy is what set, import and reset edit; it starts as
    // what the accessory holds, identity included.
    link.record.acceptRead();
    return kExitOk;
}

}  // namespace

void readShownVersion(Accessory &accessory) { readConfigurationShowingVersion(accessory); }

int attachedCount() {
    std::int32_t count = 0;
    if (ZELO_GetNumDevices(&count) != ZELO_OK) return 0;
    return count;
}

std::string explainNoAccessory() {
#if defined(ZELO_HAVE_LINUX_ACCESS)
    // A real accessory the user may not open is not counted: say why, unless
    // the accessories are simulated ones.
    if (std::getenv(ZELO_SIMULATOR_VARIABLE) == nullptr) {
        if (std::optional<std::string> denied = access::deniedAccessMessage()) {
            while (!denied->empty() && denied->back() == '\n') denied->pop_back();
            return *denied;
        }
    }
#endif
    return "no accessory is attached";
}

std::string modelText(const device::CDeviceLink &link) {
    if (link.variant() == DeviceVariant::Other) return "other (loader " + std::string(link.ldVersion) + ")";
    return std::string(settings::modelName(link.variant()));
}

// The configuration read may raise firmwareNumber to the version its
// configuration page names, which is what the program shows.
std::string firmwareText(const device::CDeviceLink &link) { return utf8Of(link.firmwareText()); }

std::string firmwareAnswer(const device::CDeviceLink &link) { return std::string(link.firmwareVersion); }

std::string firmwareLine(const std::string &shown, const std::string &answer) {
    return shown == answer ? shown : shown + " (firmware answers " + answer + ")";
}

std::string firmwareLine(const device::CDeviceLink &link) { return firmwareLine(firmwareText(link), firmwareAnswer(link)); }

int connect(Context &context, Accessory &accessory, Need need) {
    accessory.link.pendingSaves = &accessory.saves;
    if (const int opened = open(context, accessory.link); opened != kExitOk) return opened;
    if (need == Need::Versions) return kExitOk;
    if (const int checked = checkFirmware(context, accessory); checked != kExitOk) return checked;
    const bool needsCurrent = need == Need::CurrentFirmware || need == Need::Configuration;
    if (needsCurrent && !accessory.firmwareCurrent) {
        return refuse(context, kExitFailure,
                      "the accessory's firmware " + firmwareLine(accessory.link) + " is out of date (this program has " +
                          accessory.offeredFirmware + "); run 'zelo firmware update' first");
    }
    if (need == Need::FirmwareStatus || need == Need::CurrentFirmware) return kExitOk;
    if (need == Need::Configuration && accessory.link.variant() == DeviceVariant::Other) {
        return refuse(context, kExitFailure,
                      "this program cannot edit the configuration of a " + modelText(accessory.link) + " accessory");
    }
    return readConfiguration(context, accessory, need);
}

}  // namespace zelo::cli
