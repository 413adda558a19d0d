// Which accessory zelo works on: two attached need --device (a number, a
// path or an address), numbers do not shift when another program holds
// one, and a held accessory is "in use", naming the holder, not absent.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "cli_process_support.h"

namespace zelo::cli::test {
namespace {

using Json = nlohmann::ordered_json;

constexpr const char *kTwo = "standard:state=a.bin,x:state=b.bin";
constexpr int kOk = 0, kFailure = 1, kUsage = 2, kNoAccessory = 3;
constexpr const char *kWatching = "watching for IR commands; Ctrl-C ends";

class CliAccessoriesTest : public CliProcessTest {
protected:
    Json json(const std::string &simulator, const std::string &arguments) {
        const Outcome run = zelo(simulator, "--json " + arguments);
        EXPECT_EQ(run.code, kOk) << arguments << "\n" << run.err;
        return Json::parse(run.out, nullptr, false);
    }
    // Another program connected to the accessory kept in stateFile.
    std::unique_ptr<RunningZelo> holding(const std::string &model, const std::string &stateFile) {
        auto holder = std::make_unique<RunningZelo>(folder_, model + ":state=" + stateFile,
                                                    std::vector<std::string>{"ir", "watch"});
        EXPECT_EQ(holder->readLine(), std::optional<std::string>(kWatching));
        return holder;
    }
};

TEST_F(CliAccessoriesTest, TwoAttachedNeedDeviceByNumberPathOrAddress) {
    const Outcome unnamed = zelo(kTwo, "-q set deviceCode=1.2");
    EXPECT_EQ(unnamed.code, kUsage) << unnamed.err;
    EXPECT_NE(unnamed.err.find("2 accessories are attached; choose one with --device"), std::string::npos) << unnamed.err;
    EXPECT_EQ(linesOf(unnamed.err).size(), 3u) << "the refusal lists both:\n" << unnamed.err;

    const Json listed = json(kTwo, "list");
    ASSERT_EQ(listed.size(), 2u);
    const std::string xPath = listed[1]["path"];
    const std::string xAddress = json(kTwo, "--device 1 info")["address"];
    EXPECT_EQ(json(kTwo, "--device '" + xPath + "' info")["model"], "X");
    // As info shows it, or with separators.
    std::string spaced;
    for (std::size_t i = 0; i < xAddress.size(); i += 2) spaced += (i ? ":" : "") + xAddress.substr(i, 2);
    EXPECT_EQ(json(kTwo, "--device " + spaced + " info")["model"], "X");

    // Only the named unit is written.
    const std::string standardBefore = readText("a.bin");
    ASSERT_EQ(zelo(kTwo, "-q --device " + xAddress + " set deviceCode=1.2").code, kOk);
    EXPECT_EQ(readText("a.bin"), standardBefore);
    EXPECT_EQ(json(kTwo, "--device 1 show")["deviceCode"], "1.2");

    EXPECT_EQ(zelo(kTwo, "--device 2 info").code, kNoAccessory);
    EXPECT_EQ(zelo(kTwo, "--device 00:11:22:33:44:55 info").code, kNoAccessory);
    EXPECT_EQ(zelo(kTwo, "--device /dev/hidraw99 info").code, kNoAccessory);
}

TEST_F(CliAccessoriesTest, AHeldAccessoryIsInUseByItsHolderAndKeepsItsNumber) {
    ASSERT_EQ(zelo(kTwo, "-q list").code, kOk) << "both state files exist";
    const std::unique_ptr<RunningZelo> holder = holding("standard", "a.bin");
    const std::string holderText = "in use by zelo (process " + std::to_string(holder->pid()) + ")";

    const Outcome alone = zelo("standard:state=a.bin", "info");
    EXPECT_EQ(alone.code, kFailure) << alone.err;
    EXPECT_NE(alone.err.find(holderText), std::string::npos) << alone.err;
    EXPECT_EQ(alone.err.find("no accessory is attached"), std::string::npos) << alone.err;

    // Number 1 is still the X model, not shifted onto the free one.
    const Outcome listed = zelo(kTwo, "list");
    EXPECT_EQ(listed.code, kOk);
    ASSERT_EQ(linesOf(listed.out).size(), 2u) << listed.out;
    EXPECT_NE(linesOf(listed.out)[0].find("0  " + holderText), std::string::npos) << listed.out;
    EXPECT_EQ(json(kTwo, "--device 1 info")["model"], "X");
    EXPECT_EQ(zelo(kTwo, "-q --device 0 set deviceCode=1.2").code, kFailure) << "the held one is not written";
}

// Another program's count claims an accessory for a moment (shared); an
// open meanwhile is tried again rather than refused.
TEST_F(CliAccessoriesTest, AClaimTakenForAMomentDoesNotFailTheOpen) {
    ASSERT_EQ(zelo("x:state=b.bin", "-q list").code, kOk);
    const int claim = ::open(file("b.bin.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(claim, 0);
    ASSERT_EQ(flock(claim, LOCK_SH), 0);
    RunningZelo info(folder_, "x:state=b.bin", {"-q", "info"});
    // Long past the program's first try (a tenth of this), short of its patience.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    ::close(claim);
    const std::string said = info.readRest(std::chrono::seconds(30));
    EXPECT_EQ(info.wait(), kOk) << said;
    EXPECT_NE(said.find("model:            X"), std::string::npos) << said;
}

}  // namespace
}  // namespace zelo::cli::test
