#include "settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <nlohmann/json.hpp>

#include "images.h"
#include "settings_rules.h"

namespace zelo::settings {
namespace {

using device::ConfigRecord;
using Json = nlohmann::ordered_json;

ConfigRecord::Block defaults(DeviceVariant model) {
    ConfigRecord::Block block{};
    const auto source = device::defaultBlock(model);
    std::copy(source.begin(), source.end(), block.begin());
    return block;
}

std::string exported(const ConfigRecord::Block &block, DeviceVariant model) {
    return writeSettingsFile(documentOf(block, model, "1.0.0", "1.23"));
}

// A standard block with something in every section worth carrying.
ConfigRecord::Block edited(DeviceVariant model) {
    ConfigRecord::Block block = defaults(model);
    block[device::kIrReceiverModeOffset] = 1;
    pages::storeDeviceCode({0x3F, 0x1F}, block);  // 31.249
    MacroSet macros;
    macros[3] = {{pages::kCommandPs, 100, 200}, {pages::kCommandDown, 0, 65535}};
    SettingsDocument document;
    document.macros = macros;
    document.keyMap = {{pages::kCommandUp, pages::kCommandDown}};
    applyDocument(document, model, block);
    return block;
}

TEST(SettingsFileFormat, ReadableFileWithoutTheAccessorysIdentity) {
    const ConfigRecord::Block block = edited(DeviceVariant::Standard);
    const std::string text = exported(block, DeviceVariant::Standard);
    EXPECT_EQ(text.rfind("{\n  \"format\": \"ZE-LO settings\",\n  \"version\": 1,\n  \"model\": \"standard\",\n"
                         "  \"program\": \"1.0.0\",\n  \"firmware\": \"1.23\",\n",
                         0),
              0u)
        << text;
    const Json root = Json::parse(text);
    EXPECT_EQ(root["settings"]["receiverMode"], "External");
    EXPECT_EQ(root["settings"]["powerTracking"].is_string() || root["settings"]["powerTracking"].is_null(), true);
    EXPECT_FALSE(root["settings"].contains("pairingMode"));
    EXPECT_EQ(root["deviceCode"], "31.249");
    EXPECT_EQ(root["macros"].size(), device::kMacroCount);
    EXPECT_EQ(root["macros"][0]["name"], "Poweroff macro");
    EXPECT_EQ(root["macros"][3]["steps"][1], (Json{{"command", "DOWN"}, {"holdMs", 0}, {"pauseMs", 65535}}));
    EXPECT_EQ(root["keyMap"]["UP"], "DOWN");
    EXPECT_EQ(root["keyMap"].size(), pages::commandList(pages::CommandList::KeyMapIr).size());

    // Nothing that is left out can change the file.
    ConfigRecord::Block other = block;
    for (std::size_t offset = 0; offset < other.size(); ++offset)
        if (!inFile(fieldAt(offset))) other[offset] = static_cast<std::uint8_t>(other[offset] ^ 0x5A);
    EXPECT_EQ(exported(other, DeviceVariant::Standard), text);
}

TEST(SettingsFileFormat, StepsAndKeysThePagesCannotShowAreWrittenAsNone) {
    ConfigRecord::Block block = defaults(DeviceVariant::Standard);
    const std::size_t macro1 = device::kMacrosOffset + device::kMacroRecordSize;
    block[macro1 + device::kMacroStepCountAt] = 200;  // more than the record holds
    block[macro1 + device::kMacroFirstsAt] = 0xFE;    // a macro reference
    block[macro1 + device::kMacroSecondsAt] = 0xC9;
    block[device::kKeyMapFirstOffset + pages::kCommandUp] = 0x77;
    const Json root = Json::parse(exported(block, DeviceVariant::Standard));
    EXPECT_EQ(root["macros"][1]["steps"].size(), device::kMacroSteps);
    EXPECT_EQ(root["macros"][1]["steps"][0]["command"], "NONE");
    EXPECT_EQ(root["keyMap"]["UP"], "NONE");
}

struct RefusalCase {
    const char *name;
    std::function<void(Json &)> damage;
    std::string refusal;
};

void expectRefused(const std::string &text, const std::string &refusal) {
    ConfigRecord::Block block = defaults(DeviceVariant::Standard);
    const ConfigRecord::Block before = block;
    const ImportResult result = importSettings(text, DeviceVariant::Standard, block);
    EXPECT_FALSE(result.applied);
    EXPECT_EQ(result.refusal, refusal);
    EXPECT_EQ(block, before);
}

TEST(SettingsFileRefusals, EveryKindOfDamageIsNamedAndChangesNothing) {
    const Json valid = Json::parse(exported(edited(DeviceVariant::Standard), DeviceVariant::Standard));
    const std::vector<RefusalCase> cases{
        {"not an object", [](Json &j) { j = Json::array(); }, "file: expected a JSON object, found a list"},
        {"unknown field", [](Json &j) { j["colour"] = 1; }, "colour: unknown field"},
        {"no format", [](Json &j) { j.erase("format"); }, "format: missing"},
        {"other format", [](Json &j) { j["format"] = "INI"; }, "format: \"INI\" is not a ZE-LO settings file"},
        {"newer version", [](Json &j) { j["version"] = 2; }, "version: version 2 is newer than this program reads (1)"},
        {"version as text", [](Json &j) { j["version"] = "1"; }, "version: expected a whole number, found a text"},
        {"unknown model", [](Json &j) { j["model"] = "Y"; }, "model: unknown model \"Y\""},
        {"unknown setting", [](Json &j) { j["settings"]["volume"] = 3; }, "settings.volume: unknown setting"},
        {"flag as text", [](Json &j) { j["settings"]["statusLed"] = "yes"; },
         "settings.statusLed: expected true or false, found a text"},
        {"unknown entry", [](Json &j) { j["settings"]["receiverMode"] = "Sideways"; },
         "settings.receiverMode: unknown entry \"Sideways\""},
        {"setting of the other model", [](Json &j) { j["settings"]["pairingMode"] = nullptr; },
         "settings.pairingMode: the standard model has no such setting"},
        {"device above 31", [](Json &j) { j["deviceCode"] = "32.0"; }, "deviceCode: \"32.0\" is outside D 0-31, E 0-255"},
        {"extension above 255", [](Json &j) { j["deviceCode"] = "1.256"; },
         "deviceCode: \"1.256\" is outside D 0-31, E 0-255"},
        {"two points", [](Json &j) { j["deviceCode"] = "1.2.3"; }, "deviceCode: \"1.2.3\" is not D.E"},
        {"signed code", [](Json &j) { j["deviceCode"] = "-1.2"; }, "deviceCode: \"-1.2\" is not D.E"},
        {"nine macros", [](Json &j) { j["macros"].erase(9); }, "macros: 9 macros, expected 10"},
        {"unknown command", [](Json &j) { j["macros"][3]["steps"].push_back({{"command", "JUMP"}, {"holdMs", 1}, {"pauseMs", 1}}); },
         "macros[3].steps[2].command: unknown command \"JUMP\""},
        {"macro in a macro",
         [](Json &j) { j["macros"][3]["steps"][0]["command"] = "Custom macro 1"; },
         "macros[3].steps[0].command: no macro step can be \"Custom macro 1\""},
        {"eleven steps",
         [](Json &j) {
             for (int i = 0; i < 9; ++i) j["macros"][3]["steps"].push_back(j["macros"][3]["steps"][0]);
         },
         "macros[3].steps: 11 steps, at most 10"},
        {"hold too long", [](Json &j) { j["macros"][3]["steps"][0]["holdMs"] = 65536; },
         "macros[3].steps[0].holdMs: 65536 is outside 0 to 65535"},
        {"negative pause", [](Json &j) { j["macros"][3]["steps"][1]["pauseMs"] = -1; },
         "macros[3].steps[1].pauseMs: -1 is outside 0 to 65535"},
        {"fraction", [](Json &j) { j["macros"][3]["steps"][1]["pauseMs"] = 1.5; },
         "macros[3].steps[1].pauseMs: expected a whole number, found a number"},
        {"missing hold", [](Json &j) { j["macros"][3]["steps"][1].erase("holdMs"); }, "macros[3].steps[1].holdMs: missing"},
        {"renamed macro", [](Json &j) { j["macros"][2]["name"] = "Custom macro 7"; },
         "macros[2].name: expected \"Custom macro 2\""},
        {"unknown IR key", [](Json &j) { j["keyMap"]["JUMP"] = "UP"; }, "keyMap[\"JUMP\"]: unknown IR key"},
        {"unknown key command", [](Json &j) { j["keyMap"]["UP"] = "up"; }, "keyMap[\"UP\"]: unknown command \"up\""},
        {"long value", [](Json &j) { j["model"] = std::string(100, 'x'); },
         "model: unknown model \"" + std::string(40, 'x') + "...\""},
    };
    for (const RefusalCase &c : cases) {
        SCOPED_TRACE(c.name);
        Json damaged = valid;
        c.damage(damaged);
        expectRefused(damaged.dump(2), c.refusal);
    }
    SCOPED_TRACE("raw text");
    expectRefused(std::string(kMaxFileSize + 1, ' '), "file: larger than 1 MiB");
    // Nesting as deep as the size limit allows neither overflows the stack
    // in parsing nor in freeing.
    const std::size_t depth = kMaxFileSize / 2;
    expectRefused(std::string(depth, '[') + std::string(depth, ']'), "file: expected a JSON object, found a list");
    for (const std::string &broken : {std::string(), valid.dump().substr(0, 50), std::string("{\"format\": \"\xff\"}")}) {
        ConfigRecord::Block block = defaults(DeviceVariant::Standard);
        const ImportResult result = importSettings(broken, DeviceVariant::Standard, block);
        EXPECT_FALSE(result.applied);
        EXPECT_EQ(result.refusal.rfind("file: not valid JSON: parse error at line 1", 0), 0u) << result.refusal;
        EXPECT_EQ(block, defaults(DeviceVariant::Standard));
    }
}

}  // namespace
}  // namespace zelo::settings
