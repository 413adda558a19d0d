// The page's entry points. Every answer is JSON text in a buffer the page
// frees with zelo_free. connect and save run through Asyncify: the page
// calls them with ccall's async option and awaits them, one at a time.
#include <emscripten.h>

#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>

#include "firmware_gate.h"
#include "command_table.h"
#include "progress.h"
#include "settings_document.h"
#include "settings_file.h"
#include "web_session.h"
#include "zelo_backend/hid_backend.h"

// clang-format off
EM_JS(void, zelo_page_progress, (int percent), { Module.zeloPage.progress(percent); });
EM_ASYNC_JS(int, zelo_page_ask_upgrade, (const char *current, const char *image), {
    return await Module.zeloPage.askUpgrade(UTF8ToString(current), UTF8ToString(image)) ? 1 : 0;
});
// clang-format on

namespace {

using nlohmann::json;

zelo::web::WebSession &session() {
    static zelo::web::WebSession instance;
    return instance;
}

std::string narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

// The firmware gate's question goes to the page, which asks the user.
class PageGateUi final : public zelo::app::GateUi {
public:
    bool askUpgrade(std::wstring_view currentVersionShown, std::wstring_view imageVersionText) override {
        return zelo_page_ask_upgrade(narrow(currentVersionShown).c_str(), narrow(imageVersionText).c_str()) != 0;
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

// What the page's controls offer on a model: each setting with its kind
// and list entries, and the commands a macro step may name.
json metaJson(zelo::device::DeviceVariant model) {
    json settings = json::array();
    for (const zelo::settings::SettingRow &row : zelo::settings::settingRows()) {
        if (!zelo::settings::hasSetting(row, model)) continue;
        const bool flag = row.kind == zelo::settings::SettingKind::Flag;
        json entry{{"name", row.name}, {"kind", flag ? "flag" : "choice"}};
        if (!flag) entry["choices"] = zelo::settings::choiceNames(row, model);
        settings.push_back(std::move(entry));
    }
    json steps = json::array();
    for (const auto &command : zelo::pages::commandList(zelo::pages::CommandList::MacroStep)) steps.push_back(command.name);
    return {{"settings", settings},
            {"macroCommands", steps},
            {"macroStepLimit", zelo::device::kMacroSteps},
            {"maxFileSize", zelo::settings::kMaxFileSize},
            {"vendorId", zelo::hid::kVendorId},
            {"productId", zelo::hid::kProductId}};
}

}  // namespace

extern "C" {

// The controls for the model of a settings document ("standard" or "x").
EMSCRIPTEN_KEEPALIVE char *zelo_meta(const char *model) {
    const auto variant = zelo::settings::modelOfName(model != nullptr ? model : "");
    return answer(metaJson(variant.value_or(zelo::device::DeviceVariant::Standard)));
}

EMSCRIPTEN_KEEPALIVE void zelo_free(char *text) { std::free(text); }

EMSCRIPTEN_KEEPALIVE char *zelo_connect() {
    PageGateUi ui;
    PageProgress progress;
    const int result = session().connect(ui, progress);
    json out = infoJson();
    out["result"] = result;
    return answer(out);
}

EMSCRIPTEN_KEEPALIVE void zelo_disconnect() { session().disconnect(); }

EMSCRIPTEN_KEEPALIVE char *zelo_info() { return answer(infoJson()); }

EMSCRIPTEN_KEEPALIVE char *zelo_document() { return answer({{"document", session().document()}}); }

EMSCRIPTEN_KEEPALIVE char *zelo_apply(const char *text) {
    const zelo::settings::ImportResult result = session().apply(text != nullptr ? text : "");
    return answer({{"applied", result.applied}, {"refusal", result.refusal}, {"warnings", result.warnings}});
}

EMSCRIPTEN_KEEPALIVE char *zelo_save() {
    PageProgress progress;
    const int result = session().save(progress);
    json out = infoJson();
    out["result"] = result;
    return answer(out);
}

}  // extern "C"
