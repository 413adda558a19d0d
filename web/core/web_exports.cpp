// The page's entry points. Every answer is JSON text in a buffer the page
// frees with zelo_free. connect and save run through Asyncify: the page
// calls them with ccall's async option and awaits them, one at a time.
// The records of Saves under way live in a folder kept in the browser's
// IndexedDB, so a Save an unplug cut short is found again after a reload.
#include <emscripten.h>

#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>

#include "firmware_gate.h"
#include "catalogue.h"
#include "fixed_texts.h"
#include "language.h"
#include "settings_mapping.h"
#include "firmware_files.h"
#include "module_program.h"
#include "module_session.h"
#include "command_table.h"
#include "pairing_animation.h"
#include "progress.h"
#include "worker_tasks.h"
#include "settings_document.h"
#include "settings_file.h"
#include "web_session.h"
#include "utf8.h"
#include "zelo_backend/hid_backend.h"

// clang-format off
EM_JS(void, zelo_page_progress, (int percent), { Module.zeloPage.progress(percent); });
EM_JS(void, zelo_page_module_progress, (int percent), { Module.zeloPage.moduleProgress(percent); });
EM_ASYNC_JS(int, zelo_page_ask_upgrade, (const char *question), {
    return await Module.zeloPage.askUpgrade(UTF8ToString(question)) ? 1 : 0;
});
// The folder of records over IndexedDB, mounted once and read again from
// IndexedDB at every call, since another tab of the page may have changed
// it meanwhile; 1 when it can be used.
EM_ASYNC_JS(int, zelo_state_open, (const char *folder), {
    // IDBFS stops the whole core when it finds no IndexedDB: look first.
    if (typeof indexedDB === 'undefined' || !indexedDB) return 0;
    const load = () => new Promise((resolve, reject) => FS.syncfs(true, (error) => error ? reject(error) : resolve()));
    if (Module.zeloStateMounted === undefined) {
        Module.zeloStateMounted = (async () => {
            const path = UTF8ToString(folder);
            FS.mkdirTree(path);
            FS.mount(IDBFS, {}, path);
        })();
    }
    try {
        await Module.zeloStateMounted;
        await load();
        return 1;
    } catch (error) {
        console.warn('zelo: the record of saves under way cannot be kept:', error);
        return 0;
    }
});
// Writes the folder's changes to IndexedDB; 1 once they are there.
EM_ASYNC_JS(int, zelo_state_sync, (), {
    return await new Promise((resolve) => FS.syncfs(false, (error) => resolve(error ? 0 : 1)));
});
// clang-format on

namespace {

using nlohmann::json;

constexpr const char *kStateFolder = "/zelo-state";

zelo::device::PendingSaveStore &saveRecords() {
    static zelo::device::PendingSaveStore store(kStateFolder, [] { return zelo_state_sync() == 1; });
    return store;
}

zelo::web::WebSession &session() {
    static zelo::web::WebSession instance;
    return instance;
}

// Before anything that may write or remove a record: the records as
// IndexedDB holds them now. Without the browser's storage Saves still
// work; one an unplug cuts short just cannot be finished later.
bool freshRecords() {
    const bool kept = zelo_state_open(kStateFolder) == 1;
    session().useSaveRecords(kept ? &saveRecords() : nullptr);
    return kept;
}

std::string unfinishedSaveText(zelo::device::UnfinishedSave state) {
    switch (state) {
    case zelo::device::UnfinishedSave::Differs:
        return "differs";
    case zelo::device::UnfinishedSave::Damaged:
        return "damaged";
    case zelo::device::UnfinishedSave::Stale:
        return "stale";
    case zelo::device::UnfinishedSave::Unreadable:
        return "unreadable";
    default:
        return "none";
    }
}

using zelo::i18n::narrowToUtf8;

// The firmware gate's question goes to the page, which asks the user.
class PageGateUi final : public zelo::app::GateUi {
public:
    bool askUpgrade(std::wstring_view currentVersionShown, std::wstring_view imageVersionText) override {
        const std::string question = narrowToUtf8(zelo::app::upgradePromptText(currentVersionShown, imageVersionText));
        return zelo_page_ask_upgrade(question.c_str()) != 0;
    }
    // The same Yes/No dialog: Yes finishes the cut-short Save, No undoes it
    // (or, for a record of an earlier version, keeps the settings as they are).
    // The gate leaves what it found on the link before it asks.
    std::optional<zelo::device::UnfinishedChoice> chooseUnfinishedSave() override {
        const std::string question = narrowToUtf8(zelo::i18n::text(session().unfinishedSaveQuestion()));
        return zelo_page_ask_upgrade(question.c_str()) != 0 ? zelo::device::UnfinishedChoice::Finish
                                                              : zelo::device::UnfinishedChoice::GoBack;
    }
};


class PageProgress final : public zelo::device::ProgressSink {
public:
    void progress(int percent) override { zelo_page_progress(percent); }
};

char *answer(const json &value) {
    const std::string text = value.dump();
    char *out = static_cast<char *>(std::malloc(text.size() + 1));
    if (out != nullptr) std::memcpy(out, text.c_str(), text.size() + 1);
    return out;
}

json infoJson() {
    const zelo::web::AccessoryInfo info = session().info();
    return {{"connected", info.connected},     {"configurationRead", info.configurationRead},
            {"model", info.model},             {"firmware", info.firmware},
            {"loader", info.loader},           {"path", info.path},
            {"unsaved", session().unsavedChanges()}};
}

// The answer to a call that wrote the configuration.
json writeAnswer(int result) {
    json out = infoJson();
    out["result"] = result;
    out["unprotected"] = session().lastWriteUnprotected();
    return out;
}

// The settings page's label of each setting, as the program's dialog
// shows it; a setting without one is shown by its file name.
struct SettingLabel {
    std::string_view name;
    zelo::pages::ListText label;
};
constexpr SettingLabel kSettingLabels[] = {
    {"statusLed", {zelo::i18n::Msg::EnableStatusLed, {}}},
    {"receiverMode", {zelo::i18n::Msg::IrReceiver, {}}},
    {"powerTracking", {std::nullopt, zelo::i18n::kPowerTrackingLabel}},
    {"lowBatteryFlash", {zelo::i18n::Msg::FlashLedBatteryLow, {}}},
    {"pairingMode", {zelo::i18n::Msg::PairingMode, {}}},
    {"discretePowerOn", {zelo::i18n::Msg::EnableDiscretePowerOn, {}}},
};

std::string settingLabel(std::string_view name) {
    for (const SettingLabel &entry : kSettingLabels) {
        if (entry.name == name) return narrowToUtf8(zelo::pages::listText(entry.label));
    }
    return std::string(name);
}

// The receiver modes' help texts, and the external power note of the
// modes that show it, in list order, as the program's settings page shows
// them under the list.
void addReceiverHelp(json &entry, zelo::device::DeviceVariant model) {
    json help = json::array();
    json notes = json::array();
    const std::size_t modes = zelo::pages::receiverModeEntries(model).size();
    for (std::size_t mode = 0; mode < modes; ++mode) {
        help.push_back(narrowToUtf8(zelo::i18n::text(zelo::pages::receiverHelp(model, mode))));
        notes.push_back(zelo::pages::showsPowerNote(mode) ? narrowToUtf8(zelo::i18n::text(zelo::i18n::Msg::ExternalPowerNote)) : "");
    }
    entry["help"] = help;
    entry["notes"] = notes;
}

// Discrete power-on can be ticked only while power is tracked: for each
// power tracking entry, whether it can.
void addPowerTrackingRule(json &entry) {
    json usable = json::array();
    for (std::size_t tracking = 0; tracking < zelo::pages::powerTrackingEntries().size(); ++tracking) {
        usable.push_back(zelo::pages::discretePowerOnUsable(tracking));
    }
    entry["usableWith"] = {{"powerTracking", usable}};
}

// What the page's controls offer on a model: each setting with its kind
// and list entries, and the commands a macro step may name.
json metaJson(zelo::device::DeviceVariant model) {
    json settings = json::array();
    for (const zelo::settings::SettingRow &row : zelo::settings::settingRows()) {
        if (!zelo::settings::hasSetting(row, model)) continue;
        const bool flag = row.kind == zelo::settings::SettingKind::Flag;
        json entry{{"name", row.name}, {"label", settingLabel(row.name)}, {"kind", flag ? "flag" : "choice"}};
        if (row.flag == &zelo::pages::SettingsControls::discretePowerOn) addPowerTrackingRule(entry);
        if (!flag) {
            entry["choices"] = zelo::settings::choiceNames(row, model);
            json labels = json::array();
            for (const zelo::pages::ListText &text : row.entries(model)) labels.push_back(narrowToUtf8(zelo::pages::listText(text)));
            entry["choiceLabels"] = labels;
            if (row.choice == &zelo::pages::SettingsControls::receiverMode) addReceiverHelp(entry, model);
        }
        settings.push_back(std::move(entry));
    }
    json steps = json::array();
    for (const auto &command : zelo::pages::commandList(zelo::pages::CommandList::MacroStep)) steps.push_back(command.name);
    json transmit = json::array();
    for (const auto &command : zelo::pages::commandList(zelo::pages::CommandList::IrTransmit)) transmit.push_back(command.name);
    json keyMapKeys = json::array();
    for (const auto &command : zelo::pages::commandList(zelo::pages::CommandList::KeyMapIr)) keyMapKeys.push_back(command.name);
    json keyMapCommands = json::array();
    for (const auto &command : zelo::pages::commandList(zelo::pages::CommandList::KeyMapPs3)) keyMapCommands.push_back(command.name);
    return {{"settings", settings},
            {"keyMapKeys", keyMapKeys},
            {"keyMapCommands", keyMapCommands},
            {"irTransmitCommands", transmit},
            {"irPollMs", zelo::app::kIrPollIntervalMs},
            {"pairingTickMs", zelo::app::kPairingTimerMs},
            {"macroCommands", steps},
            {"macroStepLimit", zelo::device::kMacroSteps},
            {"maxFileSize", zelo::settings::kMaxFileSize},
            {"maxModuleFileSize", zelo::device::kMaxModuleFileBytes},
            {"vendorId", zelo::hid::kVendorId},
            {"productId", zelo::hid::kProductId}};
}

// The module operation's pauses: each tells the page how far it is, then
// gives the event loop back for its length.
class ModuleWaits final : public zelo::device::Waits {
public:
    void sleepMs(unsigned ms) override {
        zelo_page_module_progress(zelo::maintenance::clampedPercent(session().moduleProgress()));
        zelo::device::realWaits().sleepMs(ms);
    }
};

int &pairingProgress() {
    static int progress = 0;
    return progress;
}

}  // namespace

extern "C" {

// The controls for the model of a settings document ("standard" or "x").
EMSCRIPTEN_KEEPALIVE char *zelo_meta(const char *model) {
    const auto variant = zelo::settings::modelOfName(model != nullptr ? model : "");
    return answer(metaJson(variant.value_or(zelo::device::DeviceVariant::Standard)));
}

EMSCRIPTEN_KEEPALIVE void zelo_free(char *text) { std::free(text); }

// Also answers what the connect found of a Save an unplug cut short
// ("none", "differs", "damaged", "stale" or "unreadable") and the question
// the page asks about "differs".
EMSCRIPTEN_KEEPALIVE char *zelo_connect() {
    const bool recordsKept = freshRecords();
    PageGateUi ui;
    PageProgress progress;
    const int result = session().connect(ui, progress);
    json out = infoJson();
    out["result"] = result;
    out["unfinishedSave"] = unfinishedSaveText(session().unfinishedSave());
    out["unfinishedSaveQuestion"] = narrowToUtf8(zelo::i18n::text(session().unfinishedSaveQuestion()));
    out["recordsKept"] = recordsKept;
    session().dismissUnfinishedSave();
    return answer(out);
}

// Yes to the unfinished save: its settings are written as a Save.
EMSCRIPTEN_KEEPALIVE char *zelo_finish_save() {
    freshRecords();
    PageProgress progress;
    return answer(writeAnswer(session().finishUnfinishedSave(progress)));
}

// No: the settings from before that save are written back as a Save.
EMSCRIPTEN_KEEPALIVE char *zelo_keep_settings() {
    freshRecords();
    PageProgress progress;
    return answer(writeAnswer(session().undoUnfinishedSave(progress)));
}

EMSCRIPTEN_KEEPALIVE void zelo_disconnect() { session().disconnect(); }

EMSCRIPTEN_KEEPALIVE char *zelo_info() { return answer(infoJson()); }

EMSCRIPTEN_KEEPALIVE char *zelo_document() { return answer({{"document", session().document()}}); }

EMSCRIPTEN_KEEPALIVE char *zelo_apply(const char *text) {
    const zelo::settings::ImportResult result = session().apply(text != nullptr ? text : "");
    return answer({{"applied", result.applied}, {"refusal", result.refusal}, {"warnings", result.warnings}});
}

EMSCRIPTEN_KEEPALIVE char *zelo_save() {
    freshRecords();
    PageProgress progress;
    return answer(writeAnswer(session().save(progress)));
}

EMSCRIPTEN_KEEPALIVE char *zelo_restore_defaults() {
    freshRecords();
    PageProgress progress;
    bool restored = false;
    const int result = session().restoreDefaults(progress, &restored);
    json out = writeAnswer(result);
    out["restored"] = restored;
    return answer(out);
}

EMSCRIPTEN_KEEPALIVE char *zelo_ir_status() { return answer({{"command", session().lastIrCommand()}}); }

EMSCRIPTEN_KEEPALIVE char *zelo_ir_transmit(const char *listIndex, const char *start) {
    const std::size_t index = static_cast<std::size_t>(std::strtoul(listIndex, nullptr, 10));
    return answer({{"result", session().transmitIr(index, std::string_view(start) == "1")}});
}

// Pairing: the request, then the program's progress animation, one tick
// per pairingTickMs.
EMSCRIPTEN_KEEPALIVE char *zelo_pair() {
    zelo::app::restartPairing(pairingProgress());
    return answer({{"result", session().pair()}, {"position", pairingProgress()}});
}

EMSCRIPTEN_KEEPALIVE char *zelo_pairing_tick() {
    const zelo::app::PairingTick tick = zelo::app::advancePairing(pairingProgress());
    return answer({{"position", tick.position}, {"finished", tick.finished}});
}

// Makes the language with this key the core's, for the texts the core
// writes itself (questions, outcomes, labels); an unknown key shows
// English, as in the program. The page has every text from texts.js.
EMSCRIPTEN_KEEPALIVE char *zelo_set_language(const char *key) {
    zelo::i18n::setLanguage(static_cast<zelo::i18n::LanguageKey>(std::strtoul(key, nullptr, 10)));
    return answer({{"key", zelo::i18n::languageKey()}});
}

// A module file from the page: its name and bytes. Answers the reading's
// result and whether it can be installed.
EMSCRIPTEN_KEEPALIVE char *zelo_module_choose(const char *name, const std::uint8_t *bytes, std::uint32_t length) {
    const std::vector<std::uint8_t> content(bytes, bytes + length);
    const int result = session().chooseModuleFile(name != nullptr ? name : "", content);
    return answer({{"result", result}, {"installable", zelo::device::moduleFileInstallable(result)}});
}

// kind: 1 restore the built-in module, 2 install the chosen file, 3 erase.
EMSCRIPTEN_KEEPALIVE char *zelo_module_run(int kind) {
    ModuleWaits waits;
    const auto operation = static_cast<zelo::maintenance::ModuleOperationKind>(kind);
    const auto outcome = session().runModule(operation, waits);
    return answer({{"result", outcome.result}, {"text", narrowToUtf8(outcome.text)}, {"progress", session().moduleProgress()}});
}

}  // extern "C"
