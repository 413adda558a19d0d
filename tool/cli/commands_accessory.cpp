// list, info, firmware, pair: the accessory itself rather than its settings.
#include <nlohmann/json.hpp>
#include <sstream>

#include "commands.h"
#include "device_choice.h"
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

Json listEntry(const Context &context, std::size_t number, const PresentAccessory &accessory) {
    Json entry{{"number", number}, {"path", accessory.path}};
    if (accessory.state == PresentAccessory::State::InUse) {
        entry["error"] = inUseText(accessory);
        entry["holders"] = accessory.holders;
        return entry;
    }
    if (accessory.state == PresentAccessory::State::Denied) {
        entry["error"] = "this user may not open it (see 'zelo info')";
        return entry;
    }
    // Connected as any command would be, its refusal kept for the entry.
    std::ostringstream refusal;
    Options options;
    options.device = accessory.path;
    Context connecting{options, refusal, refusal, context.stop, context.waits};
    Accessory connected;
    if (connect(connecting, connected, Need::FirmwareStatus) != kExitOk) {
        std::string reason = refusal.str();
        reason = reason.substr(0, reason.find('\n'));
        entry["error"] = reason.rfind(kRefusalPrefix, 0) == 0 ? reason.substr(std::string(kRefusalPrefix).size()) : reason;
        return entry;
    }
    readShownVersion(connected);
    const device::CDeviceLink &link = connected.link;
    entry["model"] = modelText(link);
    entry["firmware"] = firmwareText(link);
    entry["firmwareAnswer"] = firmwareAnswer(link);
    entry["loader"] = std::string(link.ldVersion);
    return entry;
}

void printListEntry(Context &context, const Json &entry) {
    context.out << entry["number"].get<std::size_t>() << "  ";
    if (entry.contains("error")) {
        context.out << entry["error"].get<std::string>();
    } else {
        context.out << entry["model"].get<std::string>() << "  firmware "
                    << firmwareLine(entry["firmware"].get<std::string>(), entry["firmwareAnswer"].get<std::string>())
                    << "  loader " << entry["loader"].get<std::string>();
    }
    context.out << "  " << entry["path"].get<std::string>() << '\n';
}

Json infoJson(const Accessory &accessory) {
    const device::CDeviceLink &link = accessory.link;
    const device::UpdateCheckData data = link.record.updateCheckData(link.firmwareVersion, link.ldVersion);
    return Json{{"model", modelText(link)},
                {"firmware", firmwareText(link)},
                {"firmwareAnswer", firmwareAnswer(link)},
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

// Held accessories are listed too, so numbers do not shift when another
// program takes one. None attached is exit code 3, its reason on stderr
// even with --quiet (--json still prints the empty list).
int listCommand(Context &context) {
    Json list = Json::array();
    const std::vector<PresentAccessory> attached = attachedAccessories();
    for (std::size_t number = 0; number < attached.size(); ++number) {
        list.push_back(listEntry(context, number, attached[number]));
    }
    if (context.options.json) {
        context.out << list.dump(2) << '\n';
    } else {
        for (const Json &entry : list) printListEntry(context, entry);
    }
    if (list.empty()) return refuse(context, kExitNoAccessory, explainNoAccessory());
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
                << "firmware:         " << firmwareLine(accessory.link) << ", " << firmwareState(accessory) << '\n'
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
    readShownVersion(accessory);
    if (context.options.json) {
        const Json status{{"firmware", firmwareText(accessory.link)},
                          {"firmwareAnswer", firmwareAnswer(accessory.link)},
                          {"current", accessory.firmwareCurrent},
                          {"offeredFirmware", accessory.offeredFirmware}};
        context.out << status.dump(2) << '\n';
    } else {
        context.out << "firmware " << firmwareLine(accessory.link) << ": " << firmwareState(accessory) << '\n';
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
    if (ui.unsettled) return refuseUnsettledSave(context, accessory.link);
    if (gate != app::GATE_OK) return refuse(context, kExitFailure, englishText(i18n::Msg::FirmwareUpdateError));
    if (context.stop.load()) return interrupted(context, "the firmware update was completed first");
    confirm(context, ui.asked ? "firmware updated to " + std::string(device::firmwareVersionText(accessory.link.variant()))
                              : "firmware " + firmwareLine(accessory.link) + " is current; nothing to update");
    return kExitOk;
}

int pairCommand(Context &context) {
    Accessory accessory;
    if (const int result = connect(context, accessory, Need::CurrentFirmware); result != kExitOk) return result;
    const int paired = app::pairRequest(&accessory.link);
    if (paired != ZELO_OK) {
        return refuse(context, kExitFailure, "the accessory refused the pairing request (code " + std::to_string(paired) + ")");
    }
    if (context.options.json) context.out << Json{{"pairing", "started"}}.dump(2) << '\n';
    confirm(context, "pairing started: " + englishText(i18n::Msg::PairingIntro));
    return kExitOk;
}

}  // namespace zelo::cli
