// The worker tasks' bodies against simulated accessories, with the reports
// recorded instead of sent to a window.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <vector>

#include "protocol.h"
#include "worker_tasks.h"
#include "zelo_backend/hid_backend.h"
#include "zelo_sim/sim.h"

namespace zelo::app {
namespace {

using Frame = std::vector<std::uint8_t>;

constexpr std::uint32_t kReadWaitMs = 50;
constexpr std::uint8_t kReceivedCode = 0x2A;
constexpr std::size_t kIrCodeByte = 3;

class RecordingReports final : public TaskReports {
public:
    void devicesCounted() override { ++counted; }
    void connectResult(int result) override { connectResults.push_back(result); }
    void saveResult(int result) override { saveResults.push_back(result); }
    void irStatus(const IrStatusRecord &record) override { irRecords.push_back(record); }
    device::ProgressSink &progress() override { return progressSink; }

    int counted = 0;
    std::vector<int> connectResults;
    std::vector<int> saveResults;
    std::vector<IrStatusRecord> irRecords;
    device::RecordingProgress progressSink;
};

// Ends the poll after a number of pauses, remembering each.
class CountedWaits final : public device::Waits {
public:
    CountedWaits(std::atomic<bool> &running, std::size_t pauses) : running_(running), left_(pauses) {}
    void sleepMs(unsigned ms) override {
        pauses.push_back(ms);
        if (--left_ == 0) running_ = false;
    }
    std::vector<unsigned> pauses;

private:
    std::atomic<bool> &running_;
    std::size_t left_;
};

device::CDeviceLink *g_link = nullptr;
device::CDeviceLink *currentLink() { return g_link; }

class WorkerTasks : public testing::Test {
protected:
    void SetUp() override {
        world().reset();
        hid::Timing timing;
        timing.readWaitMs = kReadWaitMs;
        world().setTiming(timing);
    }
    void TearDown() override {
        g_link = nullptr;
        link_.reset();
        world().reset();
    }
    static sim::World &world() { return sim::World::instance(); }

    device::CDeviceLink &open() {
        accessory_ = world().plug(sim::AccessoryConfig{});
        link_ = std::make_unique<device::CDeviceLink>();
        EXPECT_EQ(ZELO_OK, link_->open(0));
        accessory_->clearLog();
        return *link_;
    }

    std::vector<Frame> commands() const {
        std::vector<Frame> frames;
        for (const sim::LogEntry &entry : accessory_->commands()) frames.push_back(entry.bytes);
        return frames;
    }

    RecordingReports reports_;
    std::shared_ptr<sim::Accessory> accessory_;
    std::unique_ptr<device::CDeviceLink> link_;
};

TEST_F(WorkerTasks, CountDevicesCountsAndReportsOnce) {
    world().plug(sim::AccessoryConfig{});
    world().plug(sim::AccessoryConfig{});
    std::atomic<std::uint32_t> count{7};
    countDevices(count, reports_);
    EXPECT_EQ(2u, count.load());
    EXPECT_EQ(1, reports_.counted);

    world().reset();
    countDevices(count, reports_);
    EXPECT_EQ(0u, count.load());
}

TEST_F(WorkerTasks, PairAndTransmitSendTheirFramesWithoutWaitingForAnswers) {
    device::CDeviceLink &link = open();
    EXPECT_EQ(ZELO_OK, pairRequest(&link));
    EXPECT_EQ(ZELO_OK, transmitIr(&link, {0x31, 0x01, 0x02, 0xFF}));
    EXPECT_EQ((std::vector<Frame>{{0x14, 0x27, 0x10}, {0x20, 0x31, 0x01, 0x02, 0xFF}}), commands());
    EXPECT_EQ(10000, accessory_->pairingValue());
}

TEST_F(WorkerTasks, WithoutADeviceLinkNothingIsSent) {
    open();
    EXPECT_NE(ZELO_OK, pairRequest(nullptr));
    EXPECT_NE(ZELO_OK, transmitIr(nullptr, {0x31, 0x01, 0x02, 0xFF}));
    EXPECT_EQ(ZELO_OK, saveConfiguration(nullptr, reports_));
    EXPECT_EQ(std::vector<int>{ZELO_OK}, reports_.saveResults);
    EXPECT_TRUE(commands().empty());
}

TEST_F(WorkerTasks, SaveWritesTheConfigurationAndReportsItsResultAndProgress) {
    device::CDeviceLink &link = open();
    ASSERT_EQ(ZELO_OK, device::readVersions(link));
    link.selectDefaults();
    device::NoProgress quiet;
    ASSERT_EQ(ZELO_OK, device::readConfiguration(link, quiet));
    accessory_->clearLog();

    EXPECT_EQ(ZELO_OK, saveConfiguration(&link, reports_));
    EXPECT_EQ(std::vector<int>{ZELO_OK}, reports_.saveResults);
    ASSERT_FALSE(reports_.progressSink.reports.empty());
    EXPECT_EQ(device::kProgressDone, reports_.progressSink.reports.back());
    EXPECT_EQ(device::command::kConfigurationWritten, commands().back().front());

    accessory_->injectFault({sim::Fault::CorruptCrc, device::command::kPageWrite});
    EXPECT_EQ(device::kCheckFailed, saveConfiguration(&link, reports_));
    EXPECT_EQ((std::vector<int>{ZELO_OK, device::kCheckFailed}), reports_.saveResults);
}

TEST_F(WorkerTasks, PollReportsEveryStatusReadUntilItsFlagClears) {
    g_link = &open();
    accessory_->setLastIrCode(kReceivedCode);
    std::atomic<bool> running{true};
    CountedWaits waits(running, 3);
    pollIrStatus(currentLink, running, reports_, waits);
    EXPECT_EQ((std::vector<unsigned>{kIrPollIntervalMs, kIrPollIntervalMs, kIrPollIntervalMs}), waits.pauses);
    ASSERT_EQ(3u, reports_.irRecords.size());
    for (const IrStatusRecord &record : reports_.irRecords) EXPECT_EQ(kReceivedCode, record[kIrCodeByte]);
}

TEST_F(WorkerTasks, PollReportsNothingWhenNoStatusArrives) {
    g_link = &open();
    accessory_->injectFault({sim::Fault::FailFeatureRead});
    std::atomic<bool> running{true};
    CountedWaits failedRead(running, 1);
    pollIrStatus(currentLink, running, reports_, failedRead);

    g_link = nullptr;
    running = true;
    CountedWaits noLink(running, 2);
    pollIrStatus(currentLink, running, reports_, noLink);
    EXPECT_EQ(2u, noLink.pauses.size()) << "without a link the poll keeps its pace";
    EXPECT_TRUE(reports_.irRecords.empty());
}

}  // namespace
}  // namespace zelo::app
