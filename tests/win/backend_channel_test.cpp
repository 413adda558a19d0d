// Channels of the Windows HID backend, exercised on named pipes: opening,
// synchronous and overlapped writes, and overlapped reads with their
// time-out, cancel and close paths.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "backends.h"
#include "test_pipe.h"
#include "win/overlapped_io.h"

namespace zelo::hid {
namespace {

using test::TestPipe;

// Long enough never to pass in a working run; a broken wake-up fails the
// test after this instead of hanging it.
constexpr std::uint32_t kLongWaitMs = 30000;
// A wait that is meant to pass: nothing is sent.
constexpr std::uint32_t kShortWaitMs = 20;
constexpr std::size_t kReadCapacity = 64;
constexpr std::uint8_t kSentinel = 0xEE;
constexpr std::uint32_t kInputBuffers = 128;
constexpr std::size_t kFeatureLength = 9;

constexpr OpenMode kReadWrite{.read = true, .write = true};
constexpr OpenMode kOverlapped{.read = true, .write = true, .overlapped = true};

struct ReadResult {
    ReadStatus status = ReadStatus::Failed;
    std::uint32_t count = 0;
    std::array<std::uint8_t, kReadCapacity> bytes{};
};

ReadResult readOnce(Backend &backend, Channel channel, std::uint32_t timeoutMs) {
    ReadResult result;
    result.bytes.fill(kSentinel);
    result.status = backend.readReports(channel, result.bytes.data(), kReadCapacity, timeoutMs, &result.count);
    return result;
}

class WindowsBackendChannel : public testing::Test {
protected:
    void openPipe(const OpenMode &mode) {
        ASSERT_TRUE(pipe_.valid());
        channel_ = backend_.open(pipe_.path(), mode);
        ASSERT_NE(nullptr, channel_);
    }
    void TearDown() override { backend_.close(channel_); }

    Backend &backend_ = *windowsBackend();
    TestPipe pipe_;
    Channel channel_ = nullptr;
};

TEST_F(WindowsBackendChannel, OpeningAMissingPathFails) {
    EXPECT_EQ(nullptr, backend_.open("\\\\.\\pipe\\zelo-no-such-pipe", kReadWrite));
    EXPECT_EQ(nullptr, backend_.open(nullptr, kReadWrite));
}

TEST_F(WindowsBackendChannel, HidRequestsAndReadsFailOnASynchronousPipe) {
    openPipe(kReadWrite);
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    ReportLengths lengths;
    std::array<std::uint8_t, kFeatureLength> feature{};
    EXPECT_FALSE(backend_.attributes(channel_, &vendorId, &productId));
    EXPECT_FALSE(backend_.reportLengths(channel_, &lengths));
    EXPECT_FALSE(backend_.getFeature(channel_, feature.data(), feature.size()));
    EXPECT_FALSE(backend_.flushInput(channel_));
    EXPECT_FALSE(backend_.setNumInputBuffers(channel_, kInputBuffers));
    // Reads need an overlapped channel.
    ASSERT_TRUE(pipe_.send({1, 2, 3}));
    EXPECT_EQ(ReadStatus::Failed, readOnce(backend_, channel_, kShortWaitMs).status);
}

TEST_F(WindowsBackendChannel, ChannelsItDidNotOpenAreRefused) {
    openPipe(kOverlapped);
    backend_.close(channel_);
    const std::vector<std::uint8_t> report{0, 1, 2};
    std::uint32_t count = 0;
    EXPECT_FALSE(backend_.writeReport(channel_, report.data(), report.size(), &count));
    EXPECT_EQ(ReadStatus::Failed, readOnce(backend_, channel_, kShortWaitMs).status);
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    EXPECT_FALSE(backend_.attributes(channel_, &vendorId, &productId));
    backend_.cancelRead(channel_);
    backend_.close(channel_);  // a second close does nothing
    channel_ = nullptr;
}

TEST_F(WindowsBackendChannel, WritesWholeReportsOnBothKindsOfChannel) {
    for (const OpenMode &mode : {kReadWrite, kOverlapped}) {
        SCOPED_TRACE(mode.overlapped);
        TestPipe pipe;
        Channel channel = backend_.open(pipe.path(), mode);
        ASSERT_NE(nullptr, channel);
        const std::vector<std::uint8_t> report{0x00, 0x03, 0x41, 0x42, 0x43, 0x00};
        std::uint32_t count = 0;
        EXPECT_TRUE(backend_.writeReport(channel, report.data(), report.size(), &count));
        EXPECT_EQ(report.size(), count);
        EXPECT_EQ(report, pipe.receive(report.size()));
        backend_.close(channel);
    }
}

TEST_F(WindowsBackendChannel, ReadDeliversWaitingBytes) {
    openPipe(kOverlapped);
    ASSERT_TRUE(pipe_.send({0x00, 0x02, 0x10, 0x20}));
    const ReadResult result = readOnce(backend_, channel_, kLongWaitMs);
    ASSERT_EQ(ReadStatus::Completed, result.status);
    ASSERT_EQ(4u, result.count);
    EXPECT_EQ(0x20, result.bytes[3]);
    EXPECT_EQ(kSentinel, result.bytes[4]);
}

TEST_F(WindowsBackendChannel, TimedOutReadNeverWritesItsBufferLater) {
    openPipe(kOverlapped);
    const ReadResult timedOut = readOnce(backend_, channel_, kShortWaitMs);
    EXPECT_EQ(ReadStatus::TimedOut, timedOut.status);
    EXPECT_EQ(0u, timedOut.count);
    ASSERT_TRUE(pipe_.send({7, 8, 9}));
    // The bytes go to the next read, not to the abandoned request.
    const ReadResult next = readOnce(backend_, channel_, kLongWaitMs);
    ASSERT_EQ(ReadStatus::Completed, next.status);
    EXPECT_EQ(3u, next.count);
    EXPECT_EQ(7, next.bytes[0]);
    for (std::uint8_t byte : timedOut.bytes) {
        ASSERT_EQ(kSentinel, byte);
    }
}

TEST_F(WindowsBackendChannel, CancelWithoutAReadEndsTheNextReadOnce) {
    openPipe(kOverlapped);
    backend_.cancelRead(channel_);
    EXPECT_EQ(ReadStatus::Cancelled, readOnce(backend_, channel_, kLongWaitMs).status);
    EXPECT_EQ(ReadStatus::TimedOut, readOnce(backend_, channel_, kShortWaitMs).status);
}

TEST_F(WindowsBackendChannel, CancelFromAnotherThreadEndsAWaitingRead) {
    openPipe(kOverlapped);
    ReadResult result;
    std::thread reader([&] { result = readOnce(backend_, channel_, kLongWaitMs); });
    backend_.cancelRead(channel_);
    reader.join();
    EXPECT_EQ(ReadStatus::Cancelled, result.status);
    EXPECT_EQ(0u, result.count);
    // Nothing was lost: bytes sent now still arrive.
    ASSERT_TRUE(pipe_.send({5}));
    EXPECT_EQ(ReadStatus::Completed, readOnce(backend_, channel_, kLongWaitMs).status);
}

TEST_F(WindowsBackendChannel, BytesArrivingDuringTheWaitCompleteIt) {
    openPipe(kOverlapped);
    ReadResult result;
    std::thread reader([&] { result = readOnce(backend_, channel_, kLongWaitMs); });
    ASSERT_TRUE(pipe_.send({0x00, 0x01, 0x55}));
    reader.join();
    ASSERT_EQ(ReadStatus::Completed, result.status);
    // A byte pipe may hand the bytes over in pieces; the first one is there.
    EXPECT_GE(result.count, 1u);
    EXPECT_EQ(0x00, result.bytes[0]);
}

TEST_F(WindowsBackendChannel, CloseEndsAWaitingRead) {
    openPipe(kOverlapped);
    ReadResult result;
    result.status = ReadStatus::Completed;
    std::thread reader([&] { result = readOnce(backend_, channel_, kLongWaitMs); });
    backend_.close(channel_);
    reader.join();
    EXPECT_NE(ReadStatus::Completed, result.status);
    EXPECT_NE(ReadStatus::TimedOut, result.status);
    EXPECT_EQ(ReadStatus::Failed, readOnce(backend_, channel_, kShortWaitMs).status);
    channel_ = nullptr;
}

// An endpoint that takes nothing: the pipe's reader never reads, so a write
// larger than its buffer stays pending. The write is given up at the write
// limit instead of blocking its caller, and the channel still works.
TEST_F(WindowsBackendChannel, AWriteThatNeverFinishesFailsAtItsLimit) {
    constexpr std::size_t kBeyondAnyPipeBuffer = 4 * 1024 * 1024;
    openPipe(kOverlapped);
    // Detached with what it uses, so a write that hangs fails the test
    // instead of hanging it.
    auto report = std::make_shared<std::vector<std::uint8_t>>(kBeyondAnyPipeBuffer, 0x5A);
    std::packaged_task<bool()> write([this, report, channel = channel_] {
        std::uint32_t count = 0;
        return backend_.writeReport(channel, report->data(), static_cast<std::uint32_t>(report->size()), &count);
    });
    std::future<bool> written = write.get_future();
    const auto start = std::chrono::steady_clock::now();
    std::thread(std::move(write)).detach();
    ASSERT_EQ(std::future_status::ready, written.wait_for(std::chrono::milliseconds(kLongWaitMs)));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(written.get());
    EXPECT_GE(took, std::chrono::milliseconds(Timing{}.writeLimitMs));
    EXPECT_LT(took, std::chrono::milliseconds(kLongWaitMs));
}

// A driver that ignores cancels: the request stays pending until bytes come.
BOOL WINAPI ignoreCancel(HANDLE, LPOVERLAPPED) { return TRUE; }

// A read whose request not even its cancel ends, be its wait ended by the
// time-out (the reader thread) or by the cancel event (a close or unplug),
// gives the channel back within the cancel limit; the bytes that end the
// request later go to its own memory, never to the caller's buffer, and
// the channel's next read gets a request of its own.
TEST(WindowsReadRequest, AReadItsCancelCannotEndIsGivenUpInBoundedTime) {
    for (const bool byCancelEvent : {false, true}) {
        SCOPED_TRACE(byCancelEvent);
        TestPipe pipe;
        ASSERT_TRUE(pipe.valid());
        HANDLE handle = CreateFileA(pipe.path(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OVERLAPPED, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, handle);
        std::shared_ptr<win::ChannelState> channel = win::ChannelState::create(handle, true);
        ASSERT_NE(nullptr, channel);
        // The request the read will use, kept to watch it end: once given
        // up it is never freed.
        win::ReadRequest *abandoned = channel->readRequest(kReadCapacity);
        ASSERT_NE(nullptr, abandoned);

        // The reading thread stays until the end: a thread's exit cancels
        // the requests it made. Detached with what it uses, so a read that
        // hangs fails the test instead of hanging it.
        auto result = std::make_shared<ReadResult>();
        result->bytes.fill(kSentinel);
        auto release = std::make_shared<std::promise<void>>();
        const std::uint32_t waitMs = byCancelEvent ? kLongWaitMs : kShortWaitMs;
        std::packaged_task<ReadStatus()> read([channel, result, waitMs] {
            std::lock_guard io(channel->io);
            return win::readOverlapped(*channel, result->bytes.data(), kReadCapacity, waitMs, &result->count,
                                       ignoreCancel);
        });
        std::future<ReadStatus> status = read.get_future();
        std::thread([read = std::move(read), released = release->get_future()]() mutable {
            read();
            released.wait_for(std::chrono::milliseconds(kLongWaitMs));
        }).detach();
        if (byCancelEvent) {
            SetEvent(channel->cancelEvent.get());
        }
        ASSERT_EQ(std::future_status::ready, status.wait_for(std::chrono::milliseconds(kLongWaitMs)));
        EXPECT_EQ(ReadStatus::Failed, status.get());

        ASSERT_TRUE(pipe.send({1, 2, 3}));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(abandoned->done.get(), kLongWaitMs));
        EXPECT_EQ(1, abandoned->bytes[0]);
        EXPECT_EQ(0u, result->count);
        for (std::uint8_t byte : result->bytes) {
            ASSERT_EQ(kSentinel, byte);
        }
        ASSERT_TRUE(pipe.send({4}));
        std::array<std::uint8_t, kReadCapacity> next{};
        std::uint32_t count = 0;
        {
            std::lock_guard io(channel->io);
            ASSERT_EQ(ReadStatus::Completed,
                      win::readOverlapped(*channel, next.data(), kReadCapacity, kLongWaitMs, &count));
        }
        EXPECT_EQ(1u, count);
        EXPECT_EQ(4, next[0]);
        release->set_value();
        CloseHandle(handle);
    }
}

}  // namespace
}  // namespace zelo::hid
