// Input queues, blocking reads, cancelling, unplugging and write checks.
#include <future>
#include <thread>

#include "sim_test_support.h"

namespace zelo::sim::test {
namespace {

class IoTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        accessory = plug();
        link = openLink(*accessory);
    }

    hid::ReadStatus read(hid::Channel channel, std::uint32_t timeoutMs, std::uint32_t *got,
                         std::uint32_t capacity = 8 * kReportLength) {
        buffer.assign(capacity, 0xEE);
        return backend().readReports(channel, buffer.data(), capacity, timeoutMs, got);
    }

    // Starts a read on another thread and waits until it is blocked.
    std::future<hid::ReadStatus> blockedRead(hid::Channel channel) {
        auto result = std::async(std::launch::async, [channel] {
            std::vector<std::uint8_t> local(kReportLength);
            std::uint32_t got = 0;
            return backend().readReports(channel, local.data(), kReportLength, kAnswerWaitMs, &got);
        });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerWaitMs);
        while (accessory->blockedReads() == 0 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        EXPECT_EQ(accessory->blockedReads(), 1);
        return result;
    }

    std::shared_ptr<Accessory> accessory;
    Link link;
    Bytes buffer;
};

TEST_F(IoTest, ReadTimesOutWhenNothingArrives) {
    std::uint32_t got = 99;
    EXPECT_EQ(read(link.read, 0, &got), hid::ReadStatus::TimedOut);
    EXPECT_EQ(got, 0u);
}

TEST_F(IoTest, ReadReturnsOnlyWholeReportsThatFit) {
    for (std::uint8_t i = 1; i <= 3; ++i) accessory->sendInputReport({0, 1, i});
    std::uint32_t got = 0;
    ASSERT_EQ(read(link.read, 0, &got, 2 * kReportLength + 10), hid::ReadStatus::Completed);
    EXPECT_EQ(got, 2 * kReportLength);
    EXPECT_EQ(buffer[2], 1);
    EXPECT_EQ(buffer[kReportLength + 2], 2);
    EXPECT_EQ(buffer[2 * kReportLength], 0xEE);  // untouched beyond the reports
    ASSERT_EQ(read(link.read, 0, &got), hid::ReadStatus::Completed);
    EXPECT_EQ(got, kReportLength);
    EXPECT_EQ(buffer[2], 3);
    EXPECT_EQ(read(link.read, 0, &got, kReportLength - 1), hid::ReadStatus::Failed);
}

TEST_F(IoTest, EveryReadChannelGetsItsOwnCopy) {
    hid::OpenMode shared;
    shared.read = true;
    shared.shareRead = true;
    shared.shareWrite = true;
    // The library's read channel does not share reading.
    EXPECT_EQ(openChannel(accessory->path(), shared), nullptr);
    backend().close(link.read);
    const hid::Channel first = openChannel(accessory->path(), shared);
    const hid::Channel second = openChannel(accessory->path(), shared);
    ASSERT_NE(second, nullptr);
    accessory->sendInputReport({0, 2, 'h', 'i'});
    EXPECT_EQ(receive(first, 2), bytesOf("hi"));
    EXPECT_EQ(receive(second, 2), bytesOf("hi"));
    std::uint32_t got = 0;
    // The write channel has no read access.
    EXPECT_EQ(read(link.write, 0, &got), hid::ReadStatus::Failed);
}

TEST_F(IoTest, FullQueueDropsTheOldestReports) {
    ASSERT_TRUE(backend().setNumInputBuffers(link.read, 2));
    EXPECT_FALSE(backend().setNumInputBuffers(link.read, 1));
    for (std::uint8_t i = 1; i <= 4; ++i) accessory->sendInputReport({0, 1, i});
    EXPECT_EQ(receive(link.read, 2, 0), (Bytes{3, 4}));
    accessory->sendInputReport({0, 1, 5});
    ASSERT_TRUE(backend().flushInput(link.read));
    std::uint32_t got = 0;
    EXPECT_EQ(read(link.read, 0, &got), hid::ReadStatus::TimedOut);
}

TEST_F(IoTest, CancelWakesABlockedReadOrTheNextOneOnce) {
    auto pending = blockedRead(link.read);
    backend().cancelRead(link.read);
    EXPECT_EQ(pending.get(), hid::ReadStatus::Cancelled);

    backend().cancelRead(link.read);
    std::uint32_t got = 0;
    EXPECT_EQ(read(link.read, kAnswerWaitMs, &got), hid::ReadStatus::Cancelled);
    EXPECT_EQ(read(link.read, 0, &got), hid::ReadStatus::TimedOut);
}

TEST_F(IoTest, UnplugFailsBlockedReadsAndLaterWrites) {
    auto pending = blockedRead(link.read);
    world().unplug(accessory);
    EXPECT_EQ(pending.get(), hid::ReadStatus::Failed);
    EXPECT_FALSE(send(link.write, command(0x01)));
    std::uint8_t feature[9] = {};
    EXPECT_FALSE(backend().getFeature(link.write, feature, sizeof feature));
    EXPECT_FALSE(backend().flushInput(link.read));
}

TEST_F(IoTest, CloseFailsABlockedRead) {
    auto pending = blockedRead(link.read);
    backend().close(link.read);
    EXPECT_EQ(pending.get(), hid::ReadStatus::Failed);
}

TEST_F(IoTest, DriverRejectsMalformedWrites) {
    Bytes report(kReportLength, 0);
    report[1] = 1;
    report[2] = 0x01;
    std::uint32_t written = 0;
    EXPECT_FALSE(backend().writeReport(link.write, report.data(), kReportLength - 1, &written));
    report[0] = 2;  // no such report ID
    EXPECT_FALSE(backend().writeReport(link.write, report.data(), kReportLength, &written));
    report[0] = 0;
    EXPECT_FALSE(backend().writeReport(link.read, report.data(), kReportLength, &written));
    EXPECT_TRUE(accessory->log().empty());
    EXPECT_TRUE(backend().writeReport(link.write, report.data(), kReportLength, &written));
    EXPECT_EQ(written, kReportLength);
}

TEST_F(IoTest, FeatureReportCarriesTheLastIrCode) {
    std::uint8_t feature[9];
    std::fill(std::begin(feature), std::end(feature), 0);
    ASSERT_TRUE(backend().getFeature(link.write, feature, sizeof feature));
    EXPECT_EQ(feature[3], 0xFF);
    accessory->setLastIrCode(0x79);
    ASSERT_TRUE(backend().getFeature(link.write, feature, sizeof feature));
    EXPECT_EQ(feature[0], 0);
    EXPECT_EQ(feature[3], 0x79);
    EXPECT_FALSE(backend().getFeature(link.write, feature, 8));

    accessory->injectFault({Fault::FailFeatureRead});
    EXPECT_FALSE(backend().getFeature(link.write, feature, sizeof feature));
    EXPECT_TRUE(backend().getFeature(link.write, feature, sizeof feature));
    const auto log = accessory->log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2].kind, LogEntry::Kind::FeatureRead);
    EXPECT_EQ(log[1].bytes[3], 0x79);
}

TEST_F(IoTest, ReportDelayKeepsAnswersInOrder) {
    world().setReportDelay(std::chrono::milliseconds(1));
    ASSERT_TRUE(send(link.write, command(0x05)));
    ASSERT_TRUE(send(link.write, command(0x01)));
    EXPECT_EQ(receive(link.read, 8), bytesOf("1.001.19"));
}

TEST_F(IoTest, ConcurrentReaderWriterAndPlugging) {
    constexpr int kRequests = 50;
    // Room for every answer, as the library asks for, so none is dropped.
    ASSERT_TRUE(backend().setNumInputBuffers(link.read, 128));
    auto reader = std::async(std::launch::async, [this] { return receive(link.read, 4 * kRequests); });
    auto plugger = std::async(std::launch::async, [this] {
        for (int i = 0; i < kRequests; ++i) world().unplug(plug());
    });
    for (int i = 0; i < kRequests; ++i) ASSERT_TRUE(send(link.write, command(0x01)));
    plugger.get();
    const Bytes answers = reader.get();
    ASSERT_EQ(answers.size(), 4u * kRequests);
    for (int i = 0; i < kRequests; ++i) {
        EXPECT_EQ(Bytes(answers.begin() + 4 * i, answers.begin() + 4 * i + 4), bytesOf("1.19"));
    }
    EXPECT_EQ(world().accessories().size(), 1u);
}

}  // namespace
}  // namespace zelo::sim::test
