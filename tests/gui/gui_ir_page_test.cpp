// The IR transmit/receive tab with a simulated accessory: the received
// command's name, the poll ending with the tab, and the transmit records.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "app_state.h"
#include "connection_helpers.h"
#include "gui_harness.h"
#include "ir_page_win.h"
#include "resource.h"

namespace zelo::gui_test {
namespace {

constexpr int kIrTab = 4;
constexpr int kSettingsTab = 0;
constexpr std::uint8_t kIrTransmitCommand = 0x20;
constexpr std::size_t kDiscretePowerOnIndex = 51;
constexpr std::size_t kMostReadsAfterStop = 1;  // the one under way when the tab was left
constexpr std::chrono::milliseconds kQuietPeriod{750};

using Record = std::vector<std::uint8_t>;

class IrPageTest : public testing::Test {
protected:
    void start(const std::string &model) {
        accessory_ = SimulatedWorld::world().plug(accessoryConfig(model));
        program_ = std::make_unique<ProgramRun>();
        ASSERT_TRUE(program_->ready());
        ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(*program_); }));
        program_->selectTab(kIrTab);
    }
    HWND page() const { return program_->page(kIrTab); }
    HWND control(int id) const { return GetDlgItem(page(), id); }

    std::wstring lastReceivedAfter(std::uint8_t code, const std::wstring &expected) {
        accessory_->setLastIrCode(code);
        waitFor([&] { return windowText(control(IDC_IR_LAST_RECEIVED)) == expected; });
        return windowText(control(IDC_IR_LAST_RECEIVED));
    }

    std::size_t featureReads() const {
        std::size_t reads = 0;
        for (const sim::LogEntry &entry : accessory_->log()) reads += entry.kind == sim::LogEntry::Kind::FeatureRead;
        return reads;
    }

    std::vector<Record> transmitRecords() const {
        std::vector<Record> records;
        for (const sim::LogEntry &entry : accessory_->commands()) {
            if (!entry.bytes.empty() && entry.bytes.front() == kIrTransmitCommand) {
                records.emplace_back(entry.bytes.begin() + 1, entry.bytes.end());
            }
        }
        return records;
    }

    // Press and release Transmit with the list at index; the records sent.
    std::vector<Record> pressAndRelease(LRESULT index) {
        accessory_->clearLog();
        SendMessageW(control(IDC_IR_COMMAND), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        HWND button = control(IDC_IR_TRANSMIT);
        SendMessageW(button, BM_SETSTATE, TRUE, 0);
        SendMessageW(button, BM_SETSTATE, TRUE, 0);  // held: no second start
        SendMessageW(button, BM_SETSTATE, FALSE, 0);
        waitFor([&] { return transmitRecords().size() >= 2; });
        return transmitRecords();
    }
    LRESULT indexOf(const wchar_t *name) const {
        return SendMessageW(control(IDC_IR_COMMAND), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(name));
    }

    SimulatedWorld world_;
    std::shared_ptr<sim::Accessory> accessory_;
    std::unique_ptr<ProgramRun> program_;
};

// Controller keys and macro references go out with one device code, every
// other command with the other.
TEST(TransmitRequest, DeviceCodeFollowsTheCommandKind) {
    const auto entries = pages::commandList(pages::CommandList::IrTransmit);
    const auto indexOf = [&](std::string_view name) {
        const auto found = std::find_if(entries.begin(), entries.end(), [&](const auto &e) { return e.name == name; });
        return static_cast<std::size_t>(found - entries.begin());
    };
    const auto macro = pages::transmitStartRequest(indexOf("Custom macro 2"));
    EXPECT_EQ(pages::kTransmitKeyB0, macro[1]);
    EXPECT_EQ(pages::kTransmitKeyB1, macro[2]);
    EXPECT_EQ(pages::kTransmitStart, macro[3]);
    const auto play = pages::transmitStartRequest(indexOf("PLAY"));
    EXPECT_EQ(0x32, play[0]);
    EXPECT_EQ(pages::kTransmitOtherB0, play[1]);
    EXPECT_EQ(pages::kTransmitOtherB1, play[2]);
    EXPECT_EQ(pages::kCommandDiscretePowerOn, pages::transmitStartRequest(kDiscretePowerOnIndex)[0]);
}

TEST_F(IrPageTest, ShowsTheLastReceivedCommandUntilTheTabIsLeft) {
    start("standard");
    EXPECT_EQ(L"UP", lastReceivedAfter(0x79, L"UP"));
    EXPECT_EQ(L"Discrete power on", lastReceivedAfter(0x2E, L"Discrete power on"));
    EXPECT_EQ(L"Unknown", lastReceivedAfter(0x0A, L"Unknown"));
    EXPECT_EQ(L"NONE", lastReceivedAfter(0xFF, L"NONE"));

    program_->selectTab(kSettingsTab);
    EXPECT_FALSE(app::processState().irPollRunning.load());
    accessory_->clearLog();
    // No read may follow beyond the one that was under way.
    EXPECT_FALSE(waitFor([&] { return featureReads() > kMostReadsAfterStop; }, kQuietPeriod));
    EXPECT_LE(featureReads(), kMostReadsAfterStop);
}

TEST_F(IrPageTest, XModelTransmitsStartAndStopInOrder) {
    start("x");
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(control(IDC_IR_TRANSMIT)) != FALSE; }));
    EXPECT_TRUE(IsWindowVisible(control(IDC_IR_TRANSMIT_GROUP)));
    EXPECT_TRUE(IsWindowVisible(control(IDC_IR_COMMAND)));
    EXPECT_EQ(62, SendMessageW(control(IDC_IR_COMMAND), CB_GETCOUNT, 0, 0));

    const LRESULT play = indexOf(L"PLAY");
    ASSERT_GE(play, 0);
    EXPECT_EQ((std::vector<Record>{{0x32, 0x3A, 0x09, 0xFF}, {0x32, 0x3A, 0x09, 0x00}}), pressAndRelease(play));

    const LRESULT l1 = indexOf(L"L1");
    ASSERT_GE(l1, 0);
    const auto l1Records = pressAndRelease(l1);
    ASSERT_EQ(2u, l1Records.size());
    EXPECT_EQ((Record{l1Records[0][0], 0x5A, 0x1B, 0xFF}), l1Records[0]);
    EXPECT_EQ((Record{l1Records[0][0], 0x5A, 0x1B, 0x00}), l1Records[1]);

    EXPECT_EQ((std::vector<Record>{{46, 0x3A, 0x09, 0xFF}, {46, 0x3A, 0x09, 0x00}}),
              pressAndRelease(static_cast<LRESULT>(kDiscretePowerOnIndex)));
}

TEST_F(IrPageTest, StandardModelHidesTheTransmitGroup) {
    start("standard");
    EXPECT_EQ(L"UP", lastReceivedAfter(0x79, L"UP"));  // the tab is up and polling
    EXPECT_FALSE(IsWindowVisible(control(IDC_IR_TRANSMIT)));
    EXPECT_FALSE(IsWindowVisible(control(IDC_IR_TRANSMIT_GROUP)));
    EXPECT_FALSE(IsWindowVisible(control(IDC_IR_COMMAND)));
}

}  // namespace
}  // namespace zelo::gui_test
