// zelo-uhid on the host: the descriptor it gives the kernel, read back as
// the Linux backend and hidapi read it; input pacing; control commands.
#include <gtest/gtest.h>

#include "control_command.h"
#include "fake_hid_api.h"
#include "pacer.h"
#include "report_descriptor.h"
#include "report_descriptor_builder.h"

namespace zelo::test {
namespace {

using namespace std::chrono_literals;
using uhid::ControlCommand;

TEST(UhidDescriptor, TheBackendReadsBackTheSimulatorsLengths) {
    const hid::ReportLengths cases[] = {
        {64, 64, 9},    // the accessory
        {8, 300, 0},    // a count beyond one byte; no feature report
        {4096, 3, 1},   // the longest the simulator takes; a feature of the ID byte only is none
    };
    for (const hid::ReportLengths &lengths : cases) {
        for (int collections : {1, 3}) {
            const auto layout = hid::linux_backend::parseReportDescriptor(uhid::reportDescriptor(lengths, collections));
            ASSERT_TRUE(layout.has_value());
            const std::uint32_t feature = lengths.feature > 1 ? lengths.feature : 0;
            EXPECT_EQ(lengths.input, layout->lengths.input) << lengths.input << " with " << collections;
            EXPECT_EQ(lengths.output, layout->lengths.output) << lengths.output << " with " << collections;
            EXPECT_EQ(feature, layout->lengths.feature) << lengths.feature << " with " << collections;
            EXPECT_FALSE(layout->numbered) << "report ID 0 only";
        }
    }
}

TEST(UhidDescriptor, VendorDefinedTopLevelCollectionsAsHidapiCountsThem) {
    const Bytes one = uhid::reportDescriptor({64, 64, 9});
    const Bytes vendorApplication = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01};
    EXPECT_TRUE(std::equal(vendorApplication.begin(), vendorApplication.end(), one.begin()));
    EXPECT_EQ(1, topLevelCollections(one));
    EXPECT_EQ(3, topLevelCollections(uhid::reportDescriptor({64, 64, 9}, 3)));
}

TEST(UhidPacer, OneReportPerFrameAndNoWaitAfterAPause) {
    const auto t0 = uhid::Pacer::Clock::time_point{} + 1h;
    uhid::Pacer pacer;
    EXPECT_EQ(t0, pacer.slotFor(t0));
    EXPECT_EQ(t0 + 1ms, pacer.slotFor(t0)) << "a burst goes one per frame";
    EXPECT_EQ(t0 + 2ms, pacer.slotFor(t0 + 500us));
    EXPECT_EQ(t0 + 10ms, pacer.slotFor(t0 + 10ms)) << "after a pause the next goes at once";
    uhid::Pacer unpaced(0us);
    EXPECT_EQ(t0, unpaced.slotFor(t0));
    EXPECT_EQ(t0, unpaced.slotFor(t0));
}

std::optional<ControlCommand> parse(const std::string &line, std::string *error = nullptr) {
    std::string ignored;
    return uhid::parseControlCommand(line, error != nullptr ? error : &ignored);
}

TEST(UhidControl, CommandsAndTheirAccessory) {
    ASSERT_TRUE(parse("plug 1"));
    EXPECT_EQ(ControlCommand::Kind::Plug, parse("plug 1")->kind);
    EXPECT_EQ(1, parse("plug 1")->accessory);
    EXPECT_EQ(ControlCommand::Kind::Unplug, parse("  unplug   0 ")->kind);
    EXPECT_EQ(ControlCommand::Kind::Clear, parse("clear 2")->kind);
    EXPECT_EQ(ControlCommand::Kind::Log, parse("log 0")->kind);
    EXPECT_EQ(ControlCommand::Kind::Dump, parse("dump")->kind);
    ASSERT_TRUE(parse("ir 1 1f"));
    EXPECT_EQ(0x1F, parse("ir 1 1f")->irCode);
    EXPECT_EQ(ControlCommand::Kind::Quit, parse("quit")->kind);

    const auto fault = parse("fault 0 delay-answer code=5A count=2 delay=300 after=4");
    ASSERT_TRUE(fault);
    EXPECT_EQ(sim::Fault::DelayAnswer, fault->fault.fault);
    EXPECT_EQ(0x5A, fault->fault.code);
    EXPECT_EQ(2, fault->fault.count);
    EXPECT_EQ(300ms, fault->fault.delay);
    EXPECT_EQ(4, fault->fault.after);
    EXPECT_EQ(1, parse("fault 0 unplug-mid-transfer")->fault.count) << "the simulator's default count";
}

TEST(UhidControl, RefusalsSayWhatIsWrong) {
    const std::pair<const char *, const char *> cases[] = {
        {"", "empty"},
        {"replug 0", "unknown command 'replug'"},
        {"plug", "needs the accessory's number"},
        {"unplug -1", "needs the accessory's number"},
        {"plug 0 1", "number only"},
        {"dump 0", "takes nothing more"},
        {"ir 0", "code in hex"},
        {"ir 0 100", "code in hex"},
        {"fault 0", "fault name"},
        {"fault 0 explode", "unknown fault 'explode'; known: drop-answer"},
        {"fault 0 drop-answer code=5G", "bad fault setting 'code=5G'"},
        {"fault 0 drop-answer count=", "bad fault setting"},
        {"fault 0 drop-answer colour=red", "bad fault setting"},
    };
    for (const auto &[line, reason] : cases) {
        std::string error;
        EXPECT_FALSE(parse(line, &error)) << line;
        EXPECT_NE(std::string::npos, error.find(reason)) << line << ": " << error;
    }
}

TEST(UhidControl, EveryFaultHasAName) {
    for (int i = 0; i <= static_cast<int>(sim::Fault::FailFeatureRead); ++i) {
        const auto fault = static_cast<sim::Fault>(i);
        const std::string name = uhid::faultName(fault);
        ASSERT_NE("?", name) << i;
        EXPECT_EQ(fault, parse("fault 0 " + name)->fault.fault) << name;
    }
}

}  // namespace
}  // namespace zelo::test
