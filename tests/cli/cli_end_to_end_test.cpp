// The zelo program end to end: separate processes sharing one simulated
// accessory through its state file, as a shell session would.
#include <chrono>
#include <cstdint>
#include <vector>

#include "cli_process_support.h"
#include "zelo_sim/sim.h"

namespace zelo::cli::test {
namespace {

using Json = nlohmann::ordered_json;

constexpr const char *kStandard = "standard:state=acc.bin";
constexpr const char *kX = "x:state=x.bin";
constexpr int kOk = 0, kFailure = 1, kUsage = 2, kNoAccessory = 3;

// A refusal is exactly one line, and it names the reason.
void expectRefusal(const Outcome &run, int code, const std::string &reason) {
    EXPECT_EQ(run.code, code) << run.err;
    const std::vector<std::string> lines = linesOf(run.err);
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_EQ(lines[0].rfind("zelo: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(reason), std::string::npos) << lines[0];
}

class CliTest : public CliProcessTest {
protected:
    Json json(const std::string &simulator, const std::string &arguments) {
        const Outcome run = zelo(simulator, "--json " + arguments);
        EXPECT_EQ(run.code, kOk) << run.err;
        return Json::parse(run.out, nullptr, false);
    }
};

TEST_F(CliTest, ListInfoAndShowAsTextAndJson) {
    const Outcome list = zelo("standard,x", "list");
    EXPECT_EQ(list.code, kOk);
    ASSERT_EQ(linesOf(list.out).size(), 2u) << list.out;
    // The version the program shows, and the firmware's own answer where it differs.
    EXPECT_NE(list.out.find("0  standard  firmware 1.24 (firmware answers 1.19)  loader 1.00  \\\\?\\hid#vid_3a71"),
              std::string::npos)
        << list.out;
    EXPECT_NE(list.out.find("1  X  firmware 2.06  loader 1.01  "), std::string::npos) << list.out;

    const Json listed = json("standard,x", "list");
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1]["number"], 1);
    EXPECT_EQ(listed[1]["model"], "X");
    EXPECT_EQ(listed[1]["firmware"], "2.06");
    EXPECT_EQ(listed[1]["loader"], "1.01");

    const Json info = json(kStandard, "info");
    EXPECT_EQ(info["model"], "standard");
    EXPECT_EQ(info["firmware"], "1.24");
    EXPECT_EQ(info["firmwareAnswer"], "1.19");
    EXPECT_EQ(listed[0]["firmware"], "1.24");
    EXPECT_EQ(listed[0]["firmwareAnswer"], "1.19");
    EXPECT_EQ(listed[1]["firmwareAnswer"], "2.06");
    EXPECT_NE(zelo(kStandard, "info").out.find("firmware:         1.24 (firmware answers 1.19), current\n"),
              std::string::npos);
    EXPECT_EQ(info["firmwareCurrent"], true);
    EXPECT_EQ(info["address"].get<std::string>().size(), 12u);
    EXPECT_EQ(json(kStandard, "info"), info) << "a second process sees the same accessory and first connection";
    EXPECT_NE(zelo(kStandard, "info").out.find("first connection: "), std::string::npos);

    const Json shown = json(kStandard, "show");
    EXPECT_EQ(shown["format"], "ZE-LO settings");
    EXPECT_EQ(shown["deviceCode"], "26.73");
    EXPECT_EQ(shown["firmware"], "1.24") << "export and show --json name the version the program shows";
    const Outcome text = zelo(kStandard, "show");
    EXPECT_NE(text.out.find("Firmware: 1.24 (firmware answers 1.19)\n"), std::string::npos) << text.out;
    EXPECT_EQ(text.code, kOk);
    EXPECT_NE(text.out.find("Device code: 26.73"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("[0] Poweroff macro: PS (hold 2500 ms, pause 450 ms)"), std::string::npos) << text.out;
}

// Every process numbers its simulated accessories from 1; those of two
// state files must still be two accessories, as records are kept by identity.
TEST_F(CliTest, EachStateFileIsAnAccessoryOfItsOwn) {
    const Json first = json(kStandard, "info");
    const Json other = json("standard:state=other.bin", "info");
    EXPECT_NE(first["address"], other["address"]);
    EXPECT_NE(first["deviceValue"], other["deviceValue"]);
    EXPECT_EQ(json(kStandard, "info")["address"], first["address"]) << "the file keeps its identity";
}

TEST_F(CliTest, ImportedSettingsReachTheNextProcessAndDryRunWritesNothing) {
    ASSERT_EQ(zelo(kStandard, "-q export my.zelo").code, kOk);
    Json file = Json::parse(readText("my.zelo"));
    file["deviceCode"] = "12.34";
    file["macros"][2]["steps"] = Json::array({{{"command", "PS"}, {"holdMs", 100}, {"pauseMs", 0}}});
    writeText("my.zelo", file.dump(2));

    const std::string before = readText("acc.bin");
    const Outcome dry = zelo(kStandard, "import --dry-run my.zelo");
    EXPECT_EQ(dry.code, kOk) << dry.err;
    EXPECT_NE(dry.out.find("deviceCode: 26.73 -> 12.34"), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("macros[2].steps[0].command: (none) -> PS"), std::string::npos) << dry.out;
    EXPECT_EQ(readText("acc.bin"), before) << "a dry run wrote to the accessory";

    const Outcome imported = zelo(kStandard, "import my.zelo");
    EXPECT_EQ(imported.code, kOk) << imported.err;
    EXPECT_NE(imported.err.find("saving: 100%"), std::string::npos) << "progress lines off a terminal";
    const Json shown = json(kStandard, "show");
    EXPECT_EQ(shown["deviceCode"], "12.34");
    EXPECT_EQ(shown["macros"][2]["steps"][0]["command"], "PS");
}

TEST_F(CliTest, SetChangesNamedValuesAndRefusesBadOnesWithoutWriting) {
    ASSERT_EQ(zelo(kStandard, "-q set device-code=1.2 'macros[2].steps=[{\"command\":\"PS\",\"holdMs\":1,\"pauseMs\":2}]'"
                              " settings.statusLed=false").code,
              kOk);
    // A step one past the last is a new step.
    ASSERT_EQ(zelo(kStandard, "-q set 'macros[3].steps[0].command=PS'").code, kOk);
    const Json shown = json(kStandard, "show");
    EXPECT_EQ(shown["deviceCode"], "1.2");
    EXPECT_EQ(shown["settings"]["statusLed"], false);
    EXPECT_EQ(shown["macros"][2]["steps"][0]["pauseMs"], 2);
    EXPECT_EQ(shown["macros"][3]["steps"][0]["command"], "PS");

    const std::string before = readText("acc.bin");
    expectRefusal(zelo(kStandard, "-q set nosuch=1"), kUsage, "nosuch: no such setting");
    expectRefusal(zelo(kStandard, "-q set settings.statusLed=maybe"), kUsage, "expected true or false");
    expectRefusal(zelo(kStandard, "-q set 'macros[2].steps[0].command=BOGUS'"), kUsage,
                  "macros[2].steps[0].command: unknown command \"BOGUS\"");
    expectRefusal(zelo(kStandard, "-q set deviceCode=32.0"), kUsage, "deviceCode: \"32.0\" is outside");
    // One bad assignment among good ones changes nothing either.
    expectRefusal(zelo(kStandard, "-q set deviceCode=3.4 'macros[2].steps[0].holdMs=70000'"), kUsage,
                  "70000 is outside 0 to 65535");
    expectRefusal(zelo(kStandard, "-q set deviceCode"), kUsage, "is not NAME=VALUE");
    // What the other model has is refused by name, as a file for it would be.
    expectRefusal(zelo(kStandard, "-q set settings.pairingMode=Manual"), kUsage,
                  "settings.pairingMode: the standard model has no such setting");
    expectRefusal(zelo(kStandard, "-q set settings.receiverMode=Autosense"), kUsage,
                  "settings.receiverMode: unknown entry \"Autosense\"");
    EXPECT_EQ(readText("acc.bin"), before);
}

TEST_F(CliTest, ResetRestoresDefaultsAndKeepsTheIdentity) {
    EXPECT_TRUE(json(kStandard, "info")["firstConnection"].is_null()) << "nothing saved yet";
    ASSERT_EQ(zelo(kStandard, "-q set deviceCode=1.2").code, kOk);
    const Json before = json(kStandard, "info");
    EXPECT_FALSE(before["firstConnection"].is_null()) << "the save recorded the first connection";
    EXPECT_EQ(zelo(kStandard, "reset").code, kOk);
    EXPECT_EQ(json(kStandard, "show")["deviceCode"], "26.73");
    const Json after = json(kStandard, "info");
    EXPECT_EQ(after["address"], before["address"]);
    EXPECT_EQ(after["deviceValue"], before["deviceValue"]);
    EXPECT_EQ(after["firstConnection"], before["firstConnection"]);
}

TEST_F(CliTest, FilesAreCheckedBeforeTheAccessoryIsLookedFor) {
    expectRefusal(zelo("none", "-q import missing.zelo"), kUsage, "cannot read 'missing.zelo': no such file");
    writeText("bad.zelo", "{ not json");
    expectRefusal(zelo("none", "-q import bad.zelo"), kUsage, "bad.zelo: file: not valid JSON");
    writeText("other.zelo", R"({"format":"ZE-LO settings","version":1,"model":"deluxe"})");
    expectRefusal(zelo("none", "-q import other.zelo"), kUsage, "model: unknown model");
    expectRefusal(zelo("none", "-q module install missing.bin"), kUsage, "cannot read 'missing.bin'");
    writeText("note.hex", "Module images are on the download page.\n");
    expectRefusal(zelo("none", "-q module install note.hex"), kUsage, "note.hex: text that is not Intel HEX");
    expectRefusal(zelo("none", "-q ir send NOPE"), kUsage, "unknown IR command 'NOPE'");
    // The command was right; the disk refused.
    expectRefusal(zelo(kStandard, "-q export no-such-folder/my.zelo"), kFailure, "cannot write 'no-such-folder/my.zelo'");
    // An existing file is replaced whole.
    writeText("my.zelo", std::string(100000, 'x'));
    ASSERT_EQ(zelo(kStandard, "-q export my.zelo").code, kOk);
    EXPECT_EQ(Json::parse(readText("my.zelo"))["deviceCode"], "26.73");
}

TEST_F(CliTest, ExitCodesForUsageAndMissingAccessories) {
    const Outcome help = zelo("none", "--help");
    EXPECT_EQ(help.code, kOk);
    EXPECT_NE(help.out.find("3  no accessory attached"), std::string::npos) << help.out;
    for (const char *sub : {"list", "info", "show", "export", "import", "set", "reset", "firmware", "module", "ir",
                            "pair", "wait"}) {
        const Outcome subHelp = zelo("none", std::string(sub) + " --help");
        EXPECT_EQ(subHelp.code, kOk) << sub;
        EXPECT_NE(subHelp.out.find("Usage"), std::string::npos) << sub;
    }
    EXPECT_EQ(zelo("none", "bogus").code, kUsage);
    EXPECT_EQ(zelo("none", "").code, kUsage);
    EXPECT_EQ(zelo("none", "--device -1 show").code, kUsage);
    expectRefusal(zelo("none", "show"), kNoAccessory, "no accessory is attached");
    expectRefusal(zelo(kStandard, "--device 1 info"), kNoAccessory, "there is no accessory number 1 (1 attached");
    EXPECT_EQ(zelo("none", "--json list").out, "[]\n");
    // A state file that is not the accessory's is refused, never replaced.
    writeText("acc.bin", "not a state");
    const Outcome damaged = zelo(kStandard, "show");
    EXPECT_EQ(damaged.code, kNoAccessory);
    EXPECT_NE(damaged.err.find("not a simulator state file"), std::string::npos) << damaged.err;
    EXPECT_EQ(readText("acc.bin"), "not a state");
}

TEST_F(CliTest, FirmwareGateFromTheCommandLine) {
    const std::string old = "standard:fw=1.18:state=acc.bin";
    const Json status = json(old, "firmware");
    EXPECT_EQ(status["current"], false);
    EXPECT_EQ(status["firmware"], "1.18") << "while an update is pending, what runs";
    EXPECT_EQ(status["offeredFirmware"], "1.24");
    expectRefusal(zelo(old, "-q show"), kFailure, "run 'zelo firmware update' first");
    EXPECT_EQ(json(old, "info")["firmwareCurrent"], false) << "info works on old firmware";

    const Outcome update = zelo(old, "firmware update");
    EXPECT_EQ(update.code, kOk) << update.err;
    EXPECT_NE(update.out.find("firmware updated to 1.24"), std::string::npos) << update.out;
    EXPECT_EQ(json(old, "firmware")["current"], true);
    EXPECT_EQ(json(old, "show")["deviceCode"], "26.73") << "the update kept the configuration";
    EXPECT_NE(zelo(old, "firmware update").out.find("nothing to update"), std::string::npos);

    expectRefusal(zelo("standard:fw=1.20", "-q info"), kFailure, "firmware version higher than 1.19");
}

TEST_F(CliTest, ModuleInstallLeavesTheFileInTheModulesMemory) {
    constexpr std::size_t kImageSize = 8192;
    constexpr std::size_t kHeaderSize = 14;  // before the module address
    constexpr std::size_t kDataStart = 128;
    std::string image(kImageSize, '\0');
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 + 3);
    writeText("module.bin", image);
    const Outcome installed = zelo(kX, "-q module install module.bin");
    ASSERT_EQ(installed.code, kOk) << installed.err;

    std::string error;
    ASSERT_TRUE(sim::World::instance().configure("x:state=" + file("x.bin").string(), &error)) << error;
    const std::vector<std::uint8_t> memory = sim::World::instance().accessories().front()->moduleMemory();
    sim::World::instance().reset();
    ASSERT_EQ(memory.size(), kImageSize);
    EXPECT_TRUE(std::equal(memory.begin(), memory.begin() + kHeaderSize, image.begin(),
                           [](std::uint8_t m, char c) { return m == static_cast<std::uint8_t>(c); }));
    EXPECT_TRUE(std::equal(memory.begin() + kDataStart, memory.begin() + 1024, image.begin() + kDataStart,
                           [](std::uint8_t m, char c) { return m == static_cast<std::uint8_t>(c); }));

    EXPECT_EQ(zelo(kX, "-q module erase").code, kOk);
    ASSERT_TRUE(sim::World::instance().configure("x:state=" + file("x.bin").string(), &error)) << error;
    EXPECT_TRUE(sim::World::instance().accessories().front()->moduleErased());
    sim::World::instance().reset();
}

TEST_F(CliTest, IrSendPairAndModelChecks) {
    const Outcome sent = zelo(kX, "ir send PLAY");
    EXPECT_EQ(sent.code, kOk) << sent.err;
    EXPECT_EQ(sent.out, "sent PLAY\n");
    expectRefusal(zelo(kStandard, "-q ir send PLAY"), kFailure, "only the X model transmits IR commands");
    EXPECT_EQ(zelo(kStandard, "pair").code, kOk);
}

TEST_F(CliTest, WaitReturnsWhenAnAccessoryArrivesAndTimesOutOtherwise) {
    const auto start = std::chrono::steady_clock::now();
    const Outcome arrived = zelo("x:arrive=300", "wait --timeout 30");
    EXPECT_EQ(arrived.code, kOk) << arrived.err;
    EXPECT_EQ(arrived.out, "1 accessory attached\n");
    // Far below the time limit: the arrival ended the wait, not the limit.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));

    expectRefusal(zelo("none", "wait --timeout 0.2"), kNoAccessory, "no accessory arrived within 0.2 s");

    // No notification comes (no udev daemon): counting again finds it.
    const auto unheard = std::chrono::steady_clock::now();
    const Outcome found = zelo("x:arrive=300:notify=no", "wait --timeout 30");
    EXPECT_EQ(found.code, kOk) << found.err;
    EXPECT_LT(std::chrono::steady_clock::now() - unheard, std::chrono::seconds(20));
    EXPECT_EQ(zelo("standard", "-q wait --timeout 0").code, kOk) << "one already attached";
}

}  // namespace
}  // namespace zelo::cli::test
