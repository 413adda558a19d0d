// zelo as a shell uses it: output into a pipe that closes early, a hang-up
// or a kill while a save writes, bytes that are not text, an accessory
// pulled while watched. The accessory's link is slowed down (delay=) so
// that each signal or close lands while the pages are being written.
#include <csignal>

#include "cli_process_support.h"

namespace zelo::cli::test {
namespace {

using Json = nlohmann::ordered_json;

// 10 ms per report: the save takes about a second, far longer than the
// test needs to react to its first progress line.
constexpr const char *kSlowStandard = "standard:delay=10:state=acc.bin";
constexpr const char *kStandard = "standard:state=acc.bin";
constexpr int kOk = 0, kFailure = 1, kUsage = 2, kInterrupted = 130;
constexpr const char *kSaveStarted = "saving: 0%";

class CliShellTest : public CliProcessTest {
protected:
    // Runs set in the background and returns once it began writing pages.
    std::unique_ptr<RunningZelo> saveUnderWay() {
        auto running = std::make_unique<RunningZelo>(folder_, kSlowStandard,
                                                     std::vector<std::string>{"set", "deviceCode=1.2"});
        while (const std::optional<std::string> line = running->readLine()) {
            if (*line == kSaveStarted) return running;
        }
        ADD_FAILURE() << "the save never started";
        return running;
    }
    // What the next process finds: the whole new configuration.
    void expectSaved() {
        const Outcome shown = zelo(kStandard, "--json show");
        ASSERT_EQ(shown.code, kOk) << shown.err;
        EXPECT_EQ(Json::parse(shown.out)["deviceCode"], "1.2");
    }
};

// `zelo set ... 2>&1 | head -1`: the reader leaves after the first line.
TEST_F(CliShellTest, AClosedPipeDoesNotCutASaveShort) {
    ASSERT_EQ(zelo(kStandard, "-q show").code, kOk);
    std::unique_ptr<RunningZelo> running = saveUnderWay();
    running->closeOutput();
    EXPECT_EQ(running->wait(), kFailure) << "the save ends, and the lost output is no success";
    expectSaved();
}

TEST_F(CliShellTest, HangUpAndTerminateFinishTheSaveThenReportTheInterrupt) {
    for (const int number : {SIGHUP, SIGTERM}) {
        ASSERT_EQ(zelo(kStandard, "-q set deviceCode=26.73").code, kOk);
        std::unique_ptr<RunningZelo> running = saveUnderWay();
        running->signal(number);
        const std::string rest = running->readRest();
        EXPECT_EQ(running->wait(), kInterrupted) << "signal " << number << "\n" << rest;
        EXPECT_NE(rest.find("saved completely first"), std::string::npos) << rest;
        expectSaved();
    }
}

TEST_F(CliShellTest, BytesThatAreNotTextAreABadValue) {
    const std::string before = (zelo(kStandard, "-q show"), readText("acc.bin"));
    for (const char *assignment : {"'deviceCode=\xff'", "'macros[2].name=ab\xc3'", "'settings.\xe0\x80\x80=1'"}) {
        const Outcome set = zelo(kStandard, std::string("-q set ") + assignment);
        EXPECT_EQ(set.code, kUsage) << assignment << "\n" << set.err;
        EXPECT_NE(set.err.find("not valid UTF-8"), std::string::npos) << set.err;
    }
    // A file with such bytes in a value is refused as a file, not aborted on.
    writeText("bad.zelo", "{\"format\":\"ZE-LO settings\",\"version\":1,\"model\":\"standard\",\"deviceCode\":\"\xff\"}");
    EXPECT_EQ(zelo(kStandard, "-q import bad.zelo").code, kUsage);
    EXPECT_EQ(readText("acc.bin"), before) << "nothing was written";
}

TEST_F(CliShellTest, IrWatchReportsAnUnplugAndCtrlCEndsItWithTheInterruptCode) {
    RunningZelo unplugged(folder_, "x:leave=1500", {"ir", "watch"});
    const std::string said = unplugged.readRest(std::chrono::seconds(10));
    EXPECT_EQ(unplugged.wait(std::chrono::seconds(1)), kFailure) << said;
    EXPECT_NE(said.find("the accessory was unplugged"), std::string::npos) << said;

    RunningZelo watching(folder_, "x", {"ir", "watch"});
    ASSERT_EQ(watching.readLine(), std::optional<std::string>("watching for IR commands; Ctrl-C ends"));
    watching.signal(SIGINT);
    EXPECT_EQ(watching.wait(), kInterrupted);
}

}  // namespace
}  // namespace zelo::cli::test
