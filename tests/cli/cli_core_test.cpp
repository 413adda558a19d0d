// The subcommands in-process against accessories the tests plug: what
// Ctrl-C does to a write under way, the IR watch, and the names `set`
// understands.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

#include "commands.h"
#include "context.h"
#include "exit_codes.h"
#include "first_format_record.h"
#include "progress_output.h"
#include "settings_paths.h"
#include "zelo_sim/sim.h"

namespace zelo::cli::test {
namespace {

constexpr std::uint8_t kPageWrite = 0x58;
constexpr std::uint8_t kPlayCode = 0x32;

// Calls a hook at every pause the command asks for, instead of pausing.
class HookedWaits final : public device::Waits {
public:
    void sleepMs(unsigned) override {
        if (hook) hook();
    }
    std::function<void()> hook;
};

class CliCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::World::instance().reset();
        context_.options.quiet = false;
        // Records of saves under way go to a folder of the test's own.
        const std::filesystem::path state = std::filesystem::temp_directory_path() / "zelo-cli-core-state";
        std::filesystem::remove_all(state);
#ifdef _WIN32
        _putenv_s("ZELO_STATE_DIR", state.string().c_str());
#else
        setenv("ZELO_STATE_DIR", state.string().c_str(), 1);
#endif
    }
    // show --json with the given choice about an interrupted save.
    int showJson(Json *document, bool finishSave = false, bool keepSettings = false) {
        std::ostringstream shown;
        Options options;
        options.json = true;
        options.finishSave = finishSave;
        options.keepSettings = keepSettings;
        Context context{options, shown, err_, stop_, waits_};
        const int result = showCommand(context);
        // Whatever else is said goes to stderr: stdout is the JSON alone.
        if (result == kExitOk) *document = Json::parse(shown.str());
        return result;
    }
    void TearDown() override { sim::World::instance().reset(); }

    std::shared_ptr<sim::Accessory> plug(const std::string &model) {
        sim::AccessoryConfig config;
        config.model = model;
        return sim::World::instance().plug(config);
    }
    // A save whose second page is not stored: its first page (the device
    // code) is new, the second (the key map) and the rest old.
    static sim::FaultSpec secondPageNotStored() {
        sim::FaultSpec fault{sim::Fault::FailPageWrite};
        fault.after = 1;
        return fault;
    }
    void interruptedSave(sim::Accessory &accessory) {
        accessory.injectFault(secondPageNotStored());
        ASSERT_EQ(setCommand(context_, {"deviceCode=3.4", "keyMap.NUM1=PS"}), kExitFailure) << err_.str();
    }
    int pageWrites(const sim::Accessory &accessory) const {
        int writes = 0;
        for (const sim::LogEntry &entry : accessory.commands()) writes += entry.bytes.front() == kPageWrite ? 1 : 0;
        return writes;
    }

    std::ostringstream out_, err_;
    std::atomic<bool> stop_{false};
    HookedWaits waits_;
    Context context_{Options{}, out_, err_, stop_, waits_};
};

// A stop raised while the save writes its first page still writes every
// page: a configuration half old and half new is not the accessory's.
TEST_F(CliCoreTest, CtrlCDuringASaveFinishesItsPages) {
    auto accessory = plug("standard");
    // The save's progress is written to the error stream; the first report
    // raises the stop, as a Ctrl-C in the middle of the first page would.
    class StoppingBuffer : public std::stringbuf {
    public:
        explicit StoppingBuffer(std::atomic<bool> &stop) : stop_(stop) {}
        int sync() override {
            if (str().find("saving: ") != std::string::npos) stop_ = true;
            return 0;
        }

    private:
        std::atomic<bool> &stop_;
    };
    StoppingBuffer buffer(stop_);
    std::ostream err(&buffer);
    Context context{Options{}, out_, err, stop_, waits_};
    accessory->clearLog();
    EXPECT_EQ(setCommand(context, {"deviceCode=1.2", "settings.statusLed=false"}), kExitInterrupted);
    EXPECT_TRUE(stop_.load());
    EXPECT_EQ(pageWrites(*accessory), 3) << "all three configuration pages";
    EXPECT_NE(buffer.str().find("interrupted; the configuration was saved completely first"), std::string::npos);

    stop_ = false;
    std::ostringstream shown;
    Context showContext{Options{"", true, false}, shown, err_, stop_, waits_};
    ASSERT_EQ(showCommand(showContext), kExitOk);
    const Json document = Json::parse(shown.str());
    EXPECT_EQ(document["deviceCode"], "1.2");
    EXPECT_EQ(document["settings"]["statusLed"], false);
}

TEST_F(CliCoreTest, CtrlCBeforeAWriteWritesNothing) {
    auto accessory = plug("standard");
    accessory->clearLog();
    stop_ = true;
    EXPECT_EQ(setCommand(context_, {"deviceCode=1.2"}), kExitInterrupted);
    EXPECT_EQ(resetCommand(context_), kExitInterrupted);
    EXPECT_EQ(moduleCommand(context_, ModuleAction::Erase, {}), kExitInterrupted);
    EXPECT_EQ(pageWrites(*accessory), 0);
    EXPECT_FALSE(accessory->moduleErased());
    EXPECT_NE(err_.str().find("interrupted; nothing was written"), std::string::npos);
}

// A save whose second page is not stored leaves the first page new and the
// rest old. Later runs refuse to work on that mix until told what to do:
// --finish-save writes the whole new configuration, --keep-settings (now
// also --undo-save) writes back the whole old one.
TEST_F(CliCoreTest, AnInterruptedSaveIsRefusedUntilFinishedOrUndone) {
    auto accessory = plug("standard");
    accessory->injectFault(secondPageNotStored());
    ASSERT_EQ(setCommand(context_, {"deviceCode=1.2", "settings.statusLed=false"}), kExitFailure) << err_.str();

    Json document;
    err_.str("");
    EXPECT_EQ(showJson(&document), kExitFailure);
    EXPECT_NE(err_.str().find("--finish-save"), std::string::npos) << err_.str();
    EXPECT_EQ(infoCommand(context_), kExitOk) << "info only warns";

    ASSERT_EQ(showJson(&document, true), kExitOk) << err_.str();
    EXPECT_EQ(document["deviceCode"], "1.2");
    EXPECT_EQ(document["settings"]["statusLed"], false);
    ASSERT_EQ(showJson(&document), kExitOk) << "the finished save left no record";

    // The device code is in the first page, the key map in the second.
    const Json before = document;
    interruptedSave(*accessory);
    ASSERT_EQ(showJson(&document, false, true), kExitOk) << err_.str();
    EXPECT_EQ(document, before) << "not the old settings as a whole";
    EXPECT_EQ(showJson(&document), kExitOk) << "the undone save left no record";
}

// A save interrupted under the version before durable saves, its record
// in that version's format: the refusal says it can be finished and that
// --undo-save only keeps the settings, which it then does.
TEST_F(CliCoreTest, AnEarlierVersionsRecordCanBeFinishedOrKeptAndSaysSo) {
    auto accessory = plug("standard");
    Json before;
    ASSERT_EQ(showJson(&before), kExitOk);
    interruptedSave(*accessory);
    const device::PendingSaveStore store(device::PendingSaveStore::userFolder());
    const std::vector<device::PendingSave> records = store.readAll();
    ASSERT_EQ(records.size(), 1U);
    std::filesystem::remove_all(store.folder());
    device::test::putFirstFormatRecord(store.folder(), records.front());

    Json document;
    err_.str("");
    EXPECT_EQ(showJson(&document), kExitFailure);
    EXPECT_NE(err_.str().find("earlier version"), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("cannot be brought back"), std::string::npos) << err_.str();

    err_.str("");
    ASSERT_EQ(showJson(&document, false, true), kExitOk) << err_.str();
    EXPECT_NE(err_.str().find("keeps its settings"), std::string::npos) << err_.str();
    EXPECT_EQ(document["deviceCode"], "3.4") << "the first page is kept as it was";
    EXPECT_EQ(document["keyMap"], before["keyMap"]) << "the second page is kept as it was";
    EXPECT_TRUE(std::filesystem::is_empty(store.folder())) << "the record stayed";
}

// The standard model's update writes the configuration back: after an
// interrupted save it needs the user's choice first, and writes nothing
// without one.
TEST_F(CliCoreTest, AFirmwareUpdateAfterAnInterruptedSaveAsksForTheChoiceFirst) {
    auto accessory = plug("standard");
    Json before;
    ASSERT_EQ(showJson(&before), kExitOk);
    interruptedSave(*accessory);
    constexpr int kFirstFirmwarePage = 16;
    accessory->setPage(kFirstFirmwarePage, {});  // the firmware now needs the update
    accessory->clearLog();

    err_.str("");
    EXPECT_EQ(firmwareUpdateCommand(context_), kExitFailure);
    EXPECT_NE(err_.str().find("--undo-save"), std::string::npos) << err_.str();
    EXPECT_EQ(pageWrites(*accessory), 0);

    context_.options.keepSettings = true;
    ASSERT_EQ(firmwareUpdateCommand(context_), kExitOk) << err_.str();
    Json after;
    ASSERT_EQ(showJson(&after), kExitOk) << err_.str();
    EXPECT_EQ(after["deviceCode"], before["deviceCode"]);
    EXPECT_EQ(after["keyMap"], before["keyMap"]) << "not the old settings as a whole";
}

TEST_F(CliCoreTest, IrWatchPrintsEachNewCommandUntilStopped) {
    auto accessory = plug("x");
    int pauses = 0;
    waits_.hook = [&] {
        ++pauses;
        if (pauses == 1) accessory->setLastIrCode(kPlayCode);
        if (pauses == 3) stop_ = true;
    };
    EXPECT_EQ(irWatchCommand(context_), kExitInterrupted) << "the code says how the watch ended";
    EXPECT_EQ(out_.str(), "PLAY\n") << "the status found at the start is not a new command";

    // Pulled out while watched: said once, and the watch ends.
    pauses = 0;
    stop_ = false;
    waits_.hook = [&] {
        if (++pauses == 2) sim::World::instance().unplug(accessory);
        if (pauses == 20) stop_ = true;
    };
    EXPECT_EQ(irWatchCommand(context_), kExitFailure);
    EXPECT_NE(err_.str().find("the accessory was unplugged"), std::string::npos) << err_.str();
    EXPECT_LT(pauses, 20) << "the watch went on polling a missing accessory";
}

TEST_F(CliCoreTest, SettingNamesAndTheirValues) {
    Json document = Json::parse(R"({"format":"ZE-LO settings","version":1,"settings":{"statusLed":true,"mode":null},
        "deviceCode":"26.73","macros":[{"name":"M","steps":[{"command":"PS","holdMs":5,"pauseMs":6}]}],
        "keyMap":{"OK/X":"PS","NUM1":"NUM1"}})");
    std::string error;
    EXPECT_TRUE(assignSetting(document, "device-code", "1.2", &error)) << error;
    EXPECT_TRUE(assignSetting(document, "macros[0].steps[0].hold-ms", "7", &error)) << error;
    EXPECT_TRUE(assignSetting(document, "keyMap[\"OK/X\"]", "EJECT", &error)) << error;
    EXPECT_TRUE(assignSetting(document, "keyMap.NUM1", "PS", &error)) << error;
    EXPECT_TRUE(assignSetting(document, "settings.mode", "Internal", &error)) << error;
    EXPECT_TRUE(assignSetting(document, "macros[0].steps", "[]", &error)) << error;
    EXPECT_EQ(document["deviceCode"], "1.2");
    EXPECT_EQ(document["keyMap"]["OK/X"], "EJECT");
    EXPECT_EQ(document["keyMap"]["NUM1"], "PS");
    EXPECT_EQ(document["settings"]["mode"], "Internal");
    EXPECT_TRUE(document["macros"][0]["steps"].empty());

    const Json unchanged = document;
    for (const char *bad : {"format", "version", "macros[1].name", "macros[0].steps[1].command", "settings.", ".x",
                            "keyMap[", "deviceCode.x", ""}) {
        EXPECT_FALSE(assignSetting(document, bad, "1", &error)) << bad;
        EXPECT_NE(error.find("no such setting"), std::string::npos) << bad;
    }
    EXPECT_FALSE(assignSetting(document, "settings.statusLed", "yes", &error));
    EXPECT_FALSE(assignSetting(document, "macros", "[1,", &error));
    EXPECT_FALSE(assignSetting(document, "macros[0].steps", "PS", &error)) << "a list takes JSON";
    EXPECT_FALSE(assignSetting(document, "macros[0].steps[0].holdMs", "x", &error)) << "nor appends a step";
    EXPECT_EQ(document, unchanged) << "a refused assignment changes nothing";

    // One past the last step adds a step, as the macro page's next row.
    EXPECT_TRUE(assignSetting(document, "macros[0].steps[0].command", "UP", &error)) << error;
    EXPECT_EQ(document["macros"][0]["steps"][0], Json::parse(R"({"command":"UP","holdMs":150,"pauseMs":450})"));
}

TEST_F(CliCoreTest, DifferencesNameEveryChangedValue) {
    const Json before = Json::parse(R"({"model":"standard","deviceCode":"1.2","macros":[{"steps":[{"command":"PS"}]}]})");
    const Json after = Json::parse(R"({"model":"X","deviceCode":"1.3","macros":[{"steps":[]}]})");
    EXPECT_EQ(settingDifferences(before, after),
              (std::vector<std::string>{"deviceCode: 1.2 -> 1.3", "macros[0].steps[0].command: PS -> (none)"}));
    EXPECT_TRUE(settingDifferences(before, before).empty());
}

TEST_F(CliCoreTest, ProgressBarStaysWithinItsWidth) {
    EXPECT_EQ(progressBar("save", 50), "save [###############...............]  50%");
    EXPECT_EQ(progressBar("save", 150), progressBar("save", 100));
    EXPECT_EQ(progressBar("save", -5), "save [..............................]   0%");
}

}  // namespace
}  // namespace zelo::cli::test
