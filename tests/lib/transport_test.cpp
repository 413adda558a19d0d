// Reports, the reader thread and the data FIFO, seen through the exports.
#include <algorithm>
#include <numeric>

#include "lib_fixture.h"

namespace zelo::test {
namespace {

constexpr std::uint8_t kTransmit = 0x55;  // serial transmit: code, count, bytes
constexpr std::int32_t kFifoCapacity = 10239;
constexpr std::uint8_t kDataPerReport = 62;

class Transport : public LibraryTest {
protected:
    // Sends count bytes counting up from next as input reports, in
    // batches the driver queue can hold, waiting for the reader to store
    // each batch (as far as the FIFO has room).
    void deliver(std::int32_t count, std::uint8_t &next) {
        constexpr int kBatch = 10;
        const std::int32_t base = ZELO_BytesInFifo(handle_);
        std::int32_t sent = 0;
        while (sent < count) {
            for (int r = 0; r < kBatch && sent < count; ++r) {
                const auto n = static_cast<std::uint8_t>(std::min<std::int32_t>(count - sent, kDataPerReport));
                std::vector<std::uint8_t> report{0x00, n};
                for (int i = 0; i < n; ++i) {
                    report.push_back(next++);
                }
                accessory_->sendInputReport(report);
                sent += n;
            }
            ASSERT_TRUE(waitForFifo(handle_, std::min(base + sent, kFifoCapacity)));
        }
    }

    std::vector<std::uint8_t> readAll(std::int32_t n) {
        std::vector<std::uint8_t> out(static_cast<std::size_t>(n));
        std::uint32_t got = 0;
        EXPECT_EQ(ZELO_OK, ZELO_Read(handle_, out.data(), static_cast<std::uint32_t>(n), &got));
        EXPECT_EQ(static_cast<std::uint32_t>(n), got);
        return out;
    }

    ZELO_HANDLE handle_ = nullptr;
};

TEST_F(Transport, MessageIsCutIntoZeroPaddedReports) {
    handle_ = plugAndOpen();
    std::vector<std::uint8_t> message(130);
    message[0] = kTransmit;
    message[1] = 128;
    std::iota(message.begin() + 2, message.end(), 1);
    std::uint32_t written = 0;
    ASSERT_EQ(ZELO_OK, ZELO_Write(handle_, message.data(), 130, &written));
    EXPECT_EQ(130u, written);

    const auto reports = outputReports();
    ASSERT_EQ(3u, reports.size());
    const std::uint8_t counts[] = {62, 62, 6};
    std::size_t offset = 0;
    for (std::size_t r = 0; r < reports.size(); ++r) {
        ASSERT_EQ(64u, reports[r].size());
        EXPECT_EQ(0, reports[r][0]);
        EXPECT_EQ(counts[r], reports[r][1]);
        for (std::size_t i = 0; i < counts[r]; ++i) {
            EXPECT_EQ(message[offset + i], reports[r][2 + i]);
        }
        offset += counts[r];
    }
    for (std::size_t i = 2 + 6; i < 64; ++i) {
        EXPECT_EQ(0, reports[2][i]) << "padding byte " << i;
    }
    ASSERT_EQ(1u, commands().size());
    EXPECT_EQ(message, commands()[0]);
}

TEST_F(Transport, ShortOutputReportsCarryLessAndEmptyMessagesNothing) {
    sim::AccessoryConfig config;
    config.outputReportLength = 16;
    handle_ = plugAndOpen(config);
    std::vector<std::uint8_t> message(30, 0);
    message[0] = kTransmit;
    message[1] = 28;
    std::uint32_t written = 99;
    ASSERT_EQ(ZELO_OK, ZELO_Write(handle_, message.data(), 30, &written));
    const auto reports = outputReports();
    ASSERT_EQ(3u, reports.size());
    EXPECT_EQ(14, reports[0][1]);
    EXPECT_EQ(14, reports[1][1]);
    EXPECT_EQ(2, reports[2][1]);

    accessory_->clearLog();
    written = 99;
    EXPECT_EQ(ZELO_OK, ZELO_Write(handle_, nullptr, 0, &written));
    EXPECT_EQ(0u, written);
    EXPECT_TRUE(outputReports().empty());
}

TEST_F(Transport, InputReportDataEntersTheFifo) {
    handle_ = plugAndOpen();
    accessory_->sendInputReport({0x00, 0x03, 0x41, 0x42, 0x43, 0x44});
    accessory_->sendInputReport({0x00, 0x00, 0x45});
    accessory_->sendInputReport({0x00, 0x01, 0x46});
    ASSERT_TRUE(waitForFifo(handle_, 4));
    EXPECT_EQ(bytesOf("ABCF"), readAll(4));
    EXPECT_EQ(0, world().reportIdErrors());
}

TEST_F(Transport, OverlongCountIsClippedToTheReport) {
    handle_ = plugAndOpen();
    std::vector<std::uint8_t> report(64, 0x77);
    report[0] = 0x00;
    report[1] = 0xFF;
    accessory_->sendInputReport(report);
    accessory_->sendInputReport({0x00, 0x01, 0x99});
    ASSERT_TRUE(waitForFifo(handle_, 63));
    const auto bytes = readAll(63);
    EXPECT_EQ(std::vector<std::uint8_t>(62, 0x77), std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1));
    EXPECT_EQ(0x99, bytes.back());
}

TEST_F(Transport, ReportIdOtherThanZeroIsReportedAndUsed) {
    handle_ = plugAndOpen();
    accessory_->sendInputReport({0x07, 0x02, 0x31, 0x32});
    ASSERT_TRUE(waitForFifo(handle_, 2));
    EXPECT_EQ(1, world().reportIdErrors());
    EXPECT_EQ(bytesOf("12"), readAll(2));
}

TEST_F(Transport, FifoWrapsAroundInOrder) {
    handle_ = plugAndOpen();
    std::uint8_t next = 0;
    deliver(8000, next);
    readAll(8000);
    const std::uint8_t first = next;
    deliver(5000, next);  // crosses the end of the ring
    const auto bytes = readAll(5000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        ASSERT_EQ(static_cast<std::uint8_t>(first + i), bytes[i]) << "byte " << i;
    }
}

TEST_F(Transport, FullFifoDropsNewBytesAndKeepsUnreadOnes) {
    handle_ = plugAndOpen();
    std::uint8_t next = 0;
    deliver(kFifoCapacity + 300, next);
    // Whatever the reader still holds must not land while we read.
    EXPECT_NE(0, ZELO_StopHID(handle_));
    const auto bytes = readAll(kFifoCapacity);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        ASSERT_EQ(static_cast<std::uint8_t>(i), bytes[i]) << "byte " << i;
    }
    EXPECT_EQ(0, ZELO_BytesInFifo(handle_));
}

TEST_F(Transport, ReadTimesOutAndLeavesTheFifo) {
    handle_ = plugAndOpen();
    accessory_->sendInputReport({0x00, 0x04, 1, 2, 3, 4});
    ASSERT_TRUE(waitForFifo(handle_, 4));
    std::uint8_t buffer[5] = {};
    std::uint32_t got = 77;
    EXPECT_EQ(ZELO_TRANSFER_FAILED, ZELO_Read(handle_, buffer, 5, &got));
    EXPECT_EQ(77u, got);
    EXPECT_EQ(4, ZELO_BytesInFifo(handle_));

    // More than the ring can ever hold never succeeds.
    std::vector<std::uint8_t> big(kFifoCapacity + 1);
    EXPECT_EQ(ZELO_TRANSFER_FAILED, ZELO_Read(handle_, big.data(), kFifoCapacity + 1, &got));

    EXPECT_EQ(ZELO_OK, ZELO_Read(handle_, buffer, 0, &got));
    EXPECT_EQ(0u, got);
    EXPECT_EQ(ZELO_OK, ZELO_EmptyFifo(handle_));
    EXPECT_EQ(0, ZELO_BytesInFifo(handle_));
}

TEST_F(Transport, StoppedReaderDeliversNothingUntilStarted) {
    handle_ = plugAndOpen();
    accessory_->sendInputReport({0x00, 0x02, 0x10, 0x11});
    ASSERT_TRUE(waitForFifo(handle_, 2));

    EXPECT_NE(0, ZELO_StopHID(handle_));
    accessory_->sendInputReport({0x00, 0x03, 0x20, 0x21, 0x22});
    std::uint8_t buffer[3] = {};
    std::uint32_t got = 0;
    EXPECT_EQ(ZELO_OK, ZELO_Read(handle_, buffer, 2, &got));  // already there
    EXPECT_EQ(ZELO_TRANSFER_FAILED, ZELO_Read(handle_, buffer, 3, &got));
    EXPECT_EQ(0, ZELO_BytesInFifo(handle_));

    ASSERT_EQ(ZELO_OK, ZELO_StartHID(handle_));
    EXPECT_EQ(ZELO_OK, ZELO_StartHID(handle_));  // a second start keeps the one reader
    ASSERT_TRUE(waitForFifo(handle_, 3));
    EXPECT_EQ(ZELO_OK, ZELO_Read(handle_, buffer, 3, &got));
    EXPECT_EQ(0x22, buffer[2]);

    // Stopping twice is harmless; closing a stopped device works.
    EXPECT_NE(0, ZELO_StopHID(handle_));
    EXPECT_NE(0, ZELO_StopHID(handle_));
    EXPECT_EQ(ZELO_OK, ZELO_CloseDevice(handle_));
}

TEST_F(Transport, ReaderWithoutInputReportLengthStillStops) {
    sim::AccessoryConfig config;
    config.inputReportLength = 0;
    handle_ = plugAndOpen(config);
    ASSERT_NE(nullptr, handle_);
    EXPECT_EQ(0, ZELO_GetFirmwareVersion(handle_));  // the version answer could not be read
    EXPECT_NE(0, ZELO_StopHID(handle_));
    EXPECT_EQ(ZELO_OK, ZELO_StartHID(handle_));
    EXPECT_EQ(ZELO_OK, ZELO_CloseDevice(handle_));
}

TEST_F(Transport, UnpluggedAccessoryFailsWrites) {
    handle_ = plugAndOpen();
    world().unplug(accessory_);
    const std::uint8_t message[] = {0x01};
    std::uint32_t written = 5;
    EXPECT_EQ(ZELO_TRANSFER_FAILED, ZELO_Write(handle_, message, 1, &written));
    EXPECT_EQ(5u, written);
    EXPECT_EQ(ZELO_OK, ZELO_CloseDevice(handle_));
}

}  // namespace
}  // namespace zelo::test
