// list, info, firmware, pair: the accessory itself rather than its settings.
#include <nlohmann/json.hpp>

#include "commands.h"
#include "exit_codes.h"
#include "firmware_gate.h"
#include "images.h"
#include "progress_output.h"
#include "session.h"
#include "unfinished_save_choice.h"
#include "text.h"
#include "worker_tasks.h"
#include "protocol.h"

namespace zelo::cli {

namespace {

using Json = nlohmann::ordered_json;

// The gate's question answered with yes: `zelo firmware update` is the
// user's consent.
class ConsentingUi final : public app::GateUi {
public:
    explicit ConsentingUi(const Context &context) : context_(context) {}
    bool askUpgrade(std::wstring_view, std::wstring_view) override {
        asked = true;
        return true;
    }
    std::optional<device::UnfinishedChoice> chooseUnfinishedSave() override {
        unsettled = !unfinishedSaveChoice(context_);
        return unfinishedSaveChoice(context_);
    }
    bool asked = false;
    bool unsettled = false;

private:
    const Context &context_;
};

Json listEntry(int number) {
    Json entry{{"number", number}};
    device::CDeviceLink link;
    const int opened = link.open(number);
    entry["path"] = std::string(link.devicePath);
    if (opened != ZELO_OK) {
        entry["error"] = "cannot be opened (library code " + std::to_string(opened) + "); another program may be using it";
        return entry;
    }
    if (device::readVersions(link) != ZELO_OK) {
        entry["error"] = "did not answer the version query";
        return entry;
    }
    entry["model"] = modelText(link);
    entry["firmware"] = firmwareText(link);
    entry["loader"] = std::string(link.ldVersion);
    return entry;
}

void printListEntry(Context &context, const Json &entry) {
    context.out << entry["number"].get<int>() << "  ";
    if (entry.contains("error")) {
        context.out << entry["error"].get<std::string>();
    } else {
        context.out << entry["model"].get<std::string>() << "  firmware " << entry["firmware"].get<std::string>()
                    << "  loader " << entry["loader"].get<std::string>();
    }
    context.out << "  " << entry["path"].get<std::string>() << '\n';
}

Json infoJson(const Accessory &accessory) {
    const device::CDeviceLink &link = accessory.link;
    const device::UpdateCheckData data = link.record.updateCheckData(link.firmwareVersion, link.ldVersion);
    return Json{{"model", modelText(link)},
                {"firmware", firmwareText(link)},
                {"loader", std::string(link.ldVersion)},
                {"firmwareCurrent", accessory.firmwareCurrent},
                {"offeredFirmware", accessory.offeredFirmware},
                {"deviceValue", data.deviceValue},
                {"address", data.address},
                {"firstConnection", accessory.firstConnectionUnsaved ? Json(nullptr) : Json(utcText(data.timeStamp))},
                {"path", std::string(link.devicePath)}};
}

std::string firmwareState(const Accessory &accessory) {
    if (accessory.offeredFirmware.empty()) return "no firmware of this program for this model";
    if (accessory.firmwareCurrent) return "current";
    return "out of date, 'zelo firmware update' installs " + accessory.offeredFirmware;
}

}  // namespace

int listCommand(Context &context) {
    Json list = Json::array();
    const int count = attachedCount();
    for (int number = 0; number < count; ++number) list.push_back(listEntry(number));
    if (context.options.json) {
        context.out << list.dump(2) << '\n';
    } else if (list.empty()) {
        confirm(context, explainNoAccessory());
    } else {
        for (const Json &entry : list) printListEntry(context, entry);
    }
    return kExitOk;
}

int infoCommand(Context &context) {
    Accessory accessory;
    if (const int result = connect(context, accessory, Need::AnyConfiguration); result != kExitOk) return result;
    const Json info = infoJson(accessory);
    if (context.options.json) {
        context.out << info.dump(2) << '\n';
        return kExitOk;
    }
    context.out << "model:            " << info["model"].get<std::string>() << '\n'
                << "firmware:         " << info["firmware"].get<std::string>() << " (" << firmwareState(accessory) << ")\n"
                << "loader:           " << info["loader"].get<std::string>() << '\n'
                << "device value:     " << info["deviceValue"].get<std::uint32_t>() << '\n'
                << "address:          " << info["address"].get<std::string>() << '\n'
                << "first connection: "
                << (info["firstConnection"].is_null() ? "not recorded yet (the next save records it)"
                                                       : info["firstConnection"].get<std::string>())
                << '\n'
                << "path:             " << info["path"].get<std::string>() << '\n';
    return kExitOk;
}

int firmwareStatusCommand(Context &context) {
    Accessory accessory;
    if (const int result = connect(context, accessory, Need::FirmwareStatus); result != kExitOk) return result;
    if (context.options.json) {
        const Json status{{"firmware", firmwareText(accessory.link)},
                          {"current", accessory.firmwareCurrent},
                          {"offeredFirmware", accessory.offeredFirmware}};
        context.out << status.dump(2) << '\n';
    } else {
        context.out << "firmware " << firmwareText(accessory.link) << ": " << firmwareState(accessory) << '\n';
    }
    return kExitOk;
}

// The whole update runs once begun, like a save: the firmware pages are
// only usable all together.
int firmwareUpdateCommand(Context &context) {
    Accessory accessory;
    if (const int result = connect(context, accessory, Need::Versions); result != kExitOk) return result;
    if (context.stop.load()) return interrupted(context, "nothing was written");
    ConsentingUi ui(context);
    int gate = app::GATE_OK;
    {
        ProgressOutput progress(context, "firmware");
        gate = app::runFirmwareGate(accessory.link, ui, progress, context.waits);
    }
    warnAboutRecords(context, accessory.link);
    if (ui.unsettled) return refuseUnsettledSave(context);
    if (gate != app::GATE_OK) return refuse(context, kExitFailure, englishText(i18n::Msg::FirmwareUpdateError));
    if (context.stop.load()) return interrupted(context, "the firmware update was completed first");
    confirm(context, ui.asked ? "firmware updated to " + std::string(device::firmwareVersionText(accessory.link.variant()))
                              : "firmware " + firmwareText(accessory.link) + " is current; nothing to update");
    return kExitOk;
}

int pairCommand(Context &context) {
    Accessory accessory;
    if (const int result = connect(context, accessory, Need::CurrentFirmware); result != kExitOk) return result;
    const int paired = app::pairRequest(&accessory.link);
    if (paired != ZELO_OK) {
        return refuse(context, kExitFailure, "the accessory refused the pairing request (code " + std::to_string(paired) + ")");
    }
    confirm(context, "pairing started: " + englishText(i18n::Msg::PairingIntro));
    return kExitOk;
}

}  // namespace zelo::cli
