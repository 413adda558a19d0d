// The Linux backend's logic on made-up hidraw nodes: enumeration and the
// sharing rules that keep a held accessory from being counted, whole
// reports with the ID byte first whatever hidraw delivers, time-outs,
// cancels, nodes that vanish, and feature reads that fail.
#include <gtest/gtest.h>

#include <future>
#include <string>

#include "fake_hid_api.h"
#include "linux_backend.h"

namespace zelo::test {
namespace {

using hid::Channel;
using hid::ReadStatus;
using hid::linux_backend::LinuxBackend;

constexpr std::chrono::seconds kDeadline{10};
constexpr std::uint32_t kLongWaitMs = 60000;
constexpr std::uint32_t kShortWaitMs = 30;
constexpr std::uint32_t kReportsPerRead = 8;
// The library's opens: the probe of counting, the write and read channels.
constexpr hid::OpenMode kProbe{true, true, true, true, false};
constexpr hid::OpenMode kWriteChannel{false, true, true, false, false};
constexpr hid::OpenMode kReadChannel{true, false, false, true, true};

class LinuxBackendTest : public testing::Test {
protected:
    std::string pathAt(int index) {
        char path[64] = "untouched";
        bool detailOk = false;
        if (!backend_.interfacePath(index, path, sizeof path, &detailOk)) {
            return "-";
        }
        return detailOk ? path : "?";
    }

    // Reads with a buffer for the library's usual eight reports.
    ReadStatus read(Channel channel, Bytes &out, std::uint32_t timeoutMs = kShortWaitMs) {
        out.assign(kAccessoryReportLength * kReportsPerRead, 0xEE);
        std::uint32_t transferred = 0;
        const ReadStatus status = backend_.readReports(channel, out.data(), static_cast<std::uint32_t>(out.size()),
                                                       timeoutMs, &transferred);
        out.resize(transferred);
        return status;
    }

    std::future<ReadStatus> readLater(Channel channel, Bytes &out) {
        return std::async(std::launch::async, [this, channel, &out] { return read(channel, out, kLongWaitMs); });
    }

    // Waits until a read is blocked inside the fake.
    bool readIsWaiting() {
        const auto deadline = std::chrono::steady_clock::now() + kDeadline;
        while (api_.readsWaiting() == 0) {
            if (std::chrono::steady_clock::now() >= deadline) return false;
            std::this_thread::yield();
        }
        return true;
    }

    FakeHidApi api_;
    LinuxBackend backend_{api_, nullptr};
};

TEST_F(LinuxBackendTest, EnumerationListsTheAccessorysNodesInOrder) {
    api_.add("/dev/hidraw2");
    api_.add("/dev/hidraw0", hid::kVendorId, 0x0006);
    api_.add("/dev/hidraw5");
    EXPECT_EQ("/dev/hidraw2", pathAt(0));
    EXPECT_EQ("/dev/hidraw5", pathAt(1));
    EXPECT_EQ("-", pathAt(2));
    EXPECT_EQ(std::make_pair(hid::kVendorId, hid::kProductId), api_.lastFilter());
    // A scan sees the list as it was at its index 0.
    EXPECT_EQ("/dev/hidraw2", pathAt(0));
    api_.add("/dev/hidraw1");
    EXPECT_EQ("/dev/hidraw5", pathAt(1));
    EXPECT_EQ("-", pathAt(2));
}

TEST_F(LinuxBackendTest, ANodeListedOncePerCollectionIsOneInterface) {
    api_.add("/dev/hidraw2").descriptor = twoCollectionDescriptor();
    api_.add("/dev/hidraw4");
    ASSERT_EQ(3u, api_.enumerate(hid::kVendorId, hid::kProductId).size()) << "hidapi's view: two entries for hidraw2";
    EXPECT_EQ("/dev/hidraw2", pathAt(0));
    EXPECT_EQ("/dev/hidraw4", pathAt(1));
    EXPECT_EQ("-", pathAt(2)) << "an accessory counted twice";
}

TEST_F(LinuxBackendTest, AHeldAccessoryRefusesTheCountingProbe) {
    FakeNode &node = api_.add("/dev/hidraw3");
    Channel probe = backend_.open("/dev/hidraw3", kProbe);
    ASSERT_NE(nullptr, probe);
    backend_.close(probe);

    const Channel writer = backend_.open("/dev/hidraw3", kWriteChannel);
    const Channel reader = backend_.open("/dev/hidraw3", kReadChannel);
    ASSERT_NE(nullptr, writer);
    ASSERT_NE(nullptr, reader);
    EXPECT_EQ(nullptr, backend_.open("/dev/hidraw3", kProbe));
    EXPECT_EQ(nullptr, backend_.open("/dev/hidraw3", kWriteChannel)) << "a second program-side writer";
    backend_.close(writer);
    backend_.close(reader);
    EXPECT_NE(nullptr, probe = backend_.open("/dev/hidraw3", kProbe));
    backend_.close(probe);
    EXPECT_EQ(node.opens, node.closes) << "every node opened is closed once";
    EXPECT_EQ(3, node.claims) << "the probes, and the two channels under one claim";
    EXPECT_EQ(node.claims, node.releases);
}

TEST_F(LinuxBackendTest, AnotherProgramsClaimIsRespected) {
    FakeNode &node = api_.add("/dev/hidraw3");
    node.foreignClaim = ForeignClaim::Exclusive;  // it holds the accessory
    EXPECT_EQ(nullptr, backend_.open("/dev/hidraw3", kProbe));
    EXPECT_EQ(nullptr, backend_.open("/dev/hidraw3", kWriteChannel));
    node.foreignClaim = ForeignClaim::Shared;  // it is counting
    const Channel probe = backend_.open("/dev/hidraw3", kProbe);
    EXPECT_NE(nullptr, probe) << "two programs may count at once";
    backend_.close(probe);
    EXPECT_EQ(nullptr, backend_.open("/dev/hidraw3", kWriteChannel));
    EXPECT_EQ(1, node.opens) << "only the probe opened the node: nothing opens without the claim";
    EXPECT_EQ(node.claims, node.releases);
}

TEST_F(LinuxBackendTest, RefusedOpensAndForeignNodes) {
    api_.add("/dev/hidraw1").refuseOpen = true;
    api_.add("/dev/hidraw4", 0x1234, hid::kProductId);
    EXPECT_EQ(nullptr, backend_.open("/dev/hidraw1", kProbe));
    EXPECT_EQ(nullptr, backend_.open("", kProbe));
    EXPECT_EQ(nullptr, backend_.open(nullptr, kProbe));

    const Channel other = backend_.open("/dev/hidraw4", kProbe);
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    ASSERT_TRUE(backend_.attributes(other, &vendor, &product));
    EXPECT_EQ(0x1234, vendor);
    EXPECT_EQ(hid::kProductId, product);
    backend_.close(other);
    EXPECT_FALSE(backend_.attributes(other, &vendor, &product)) << "a closed channel is unknown";
}

TEST_F(LinuxBackendTest, UnnumberedReportsGetTheirIdByteAndShortOnesAreFilledUp) {
    FakeNode &node = api_.add("/dev/hidraw0");
    const Channel reader = backend_.open("/dev/hidraw0", kReadChannel);
    hid::ReportLengths lengths;
    ASSERT_TRUE(backend_.reportLengths(reader, &lengths));
    EXPECT_EQ(kAccessoryReportLength, lengths.input);
    EXPECT_EQ(kAccessoryReportLength, lengths.output);
    EXPECT_EQ(kAccessoryFeatureLength, lengths.feature);

    Bytes full(kAccessoryReportLength - 1, 0x5A);
    full[0] = 3;  // the count byte first: hidraw leaves the ID byte out
    api_.deliver(node, full);
    api_.deliver(node, {2, 'h', 'i'});  // a short report
    Bytes got;
    ASSERT_EQ(ReadStatus::Completed, read(reader, got));
    ASSERT_EQ(2 * kAccessoryReportLength, got.size()) << "queued reports come in one read, whole";
    EXPECT_EQ(0, got[0]);
    EXPECT_EQ(3, got[1]);
    EXPECT_EQ(0x5A, got[kAccessoryReportLength - 1]);
    Bytes expected(kAccessoryReportLength, 0);
    expected[1] = 2;
    expected[2] = 'h';
    expected[3] = 'i';
    EXPECT_EQ(expected, Bytes(got.begin() + kAccessoryReportLength, got.end()));
    backend_.close(reader);
}

TEST_F(LinuxBackendTest, NumberedReportsKeepTheirIdAndAReadStopsAtItsCapacity) {
    FakeNode &node = api_.add("/dev/hidraw0");
    // Report 1: 8 bytes in, report 2: 3 bytes in, both numbered.
    node.descriptor = Bytes{0x85, 0x01, 0x75, 0x08, 0x95, 0x08, 0x81, 0x02,
                            0x85, 0x02, 0x95, 0x03, 0x81, 0x02};
    const Channel reader = backend_.open("/dev/hidraw0", kReadChannel);
    hid::ReportLengths lengths;
    ASSERT_TRUE(backend_.reportLengths(reader, &lengths));
    ASSERT_EQ(9u, lengths.input);
    for (int i = 0; i < 10; ++i) {
        api_.deliver(node, {2, static_cast<std::uint8_t>(i), 0x77, 0x66});
    }
    Bytes got(lengths.input * kReportsPerRead);
    std::uint32_t transferred = 0;
    ASSERT_EQ(ReadStatus::Completed, backend_.readReports(reader, got.data(), 3 * lengths.input + 4, kShortWaitMs,
                                                          &transferred));
    ASSERT_EQ(3 * lengths.input, transferred) << "only whole reports, only as many as fit";
    EXPECT_EQ((Bytes{2, 0, 0x77, 0x66, 0, 0, 0, 0, 0}), Bytes(got.begin(), got.begin() + lengths.input));
    EXPECT_EQ(2, got[2 * lengths.input + 1]);
    ASSERT_EQ(ReadStatus::Completed, backend_.readReports(reader, got.data(), static_cast<std::uint32_t>(got.size()),
                                                          kShortWaitMs, &transferred));
    EXPECT_EQ(7 * lengths.input, transferred) << "the rest waited in the queue";
    EXPECT_EQ(3, got[1]);
    backend_.close(reader);
}

TEST_F(LinuxBackendTest, UnknownLayoutMeansNoLengthsAndNoReads) {
    FakeNode &broken = api_.add("/dev/hidraw0");
    broken.descriptor = Bytes{0x75, 0x08, 0x96, 0x3F};  // cut off inside an item
    api_.add("/dev/hidraw1").descriptor = std::nullopt;
    for (const char *path : {"/dev/hidraw0", "/dev/hidraw1"}) {
        SCOPED_TRACE(path);
        const Channel reader = backend_.open(path, kReadChannel);
        ASSERT_NE(nullptr, reader) << "the node itself opens";
        hid::ReportLengths lengths;
        EXPECT_FALSE(backend_.reportLengths(reader, &lengths));
        Bytes got;
        EXPECT_EQ(ReadStatus::Failed, read(reader, got));
        backend_.close(reader);
    }
}

TEST_F(LinuxBackendTest, NothingArrivingTimesOut) {
    api_.add("/dev/hidraw0");
    const Channel reader = backend_.open("/dev/hidraw0", kReadChannel);
    Bytes got;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadStatus::TimedOut, read(reader, got, hid::linux_backend::kReadSliceMs * 3));
    EXPECT_GE(std::chrono::steady_clock::now() - started,
              std::chrono::milliseconds(hid::linux_backend::kReadSliceMs * 3));
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(ReadStatus::TimedOut, read(reader, got, 0));
    backend_.close(reader);
}

TEST_F(LinuxBackendTest, ACancelEndsAWaitingReadOrTheNextOne) {
    FakeNode &node = api_.add("/dev/hidraw0");
    const Channel reader = backend_.open("/dev/hidraw0", kReadChannel);
    Bytes got;
    auto waiting = readLater(reader, got);
    ASSERT_TRUE(readIsWaiting());
    backend_.cancelRead(reader);
    ASSERT_EQ(std::future_status::ready, waiting.wait_for(kDeadline)) << "a cancel must end a long wait";
    EXPECT_EQ(ReadStatus::Cancelled, waiting.get());

    backend_.cancelRead(reader);
    EXPECT_EQ(ReadStatus::Cancelled, read(reader, got, kLongWaitMs)) << "a cancel before the read ends it";
    api_.deliver(node, {1, 'x'});
    EXPECT_EQ(ReadStatus::Completed, read(reader, got)) << "one cancel ends one read";
    backend_.close(reader);
}

TEST_F(LinuxBackendTest, ANodeVanishingMidReadFailsTheReadAndItsWrites) {
    FakeNode &node = api_.add("/dev/hidraw0");
    const Channel writer = backend_.open("/dev/hidraw0", kWriteChannel);
    const Channel reader = backend_.open("/dev/hidraw0", kReadChannel);
    Bytes got;
    auto waiting = readLater(reader, got);
    ASSERT_TRUE(readIsWaiting());
    api_.vanish(node);
    ASSERT_EQ(std::future_status::ready, waiting.wait_for(kDeadline));
    EXPECT_EQ(ReadStatus::Failed, waiting.get());
    EXPECT_TRUE(got.empty());
    const Bytes report(kAccessoryReportLength, 0);
    std::uint32_t transferred = 99;
    EXPECT_FALSE(backend_.writeReport(writer, report.data(), kAccessoryReportLength, &transferred));
    EXPECT_EQ(0u, transferred);
    backend_.close(writer);
    backend_.close(reader);
    EXPECT_EQ(2, node.closes);
}

TEST_F(LinuxBackendTest, ClosingEndsAReadThatWaits) {
    FakeNode &node = api_.add("/dev/hidraw0");
    const Channel reader = backend_.open("/dev/hidraw0", kReadChannel);
    Bytes got;
    auto waiting = readLater(reader, got);
    ASSERT_TRUE(readIsWaiting());
    backend_.close(reader);
    ASSERT_EQ(std::future_status::ready, waiting.wait_for(kDeadline));
    EXPECT_NE(ReadStatus::Completed, waiting.get());
    EXPECT_EQ(1, node.closes);
    EXPECT_EQ(ReadStatus::Failed, read(reader, got)) << "a closed channel reads nothing";
}

TEST_F(LinuxBackendTest, OutputReportsGoOutWholeWithTheirIdByte) {
    FakeNode &node = api_.add("/dev/hidraw0");
    const Channel writer = backend_.open("/dev/hidraw0", kWriteChannel);
    Bytes report(kAccessoryReportLength, 0);
    report[1] = 1;
    report[2] = 0x57;
    std::uint32_t transferred = 0;
    ASSERT_TRUE(backend_.writeReport(writer, report.data(), kAccessoryReportLength, &transferred));
    EXPECT_EQ(kAccessoryReportLength, transferred);
    EXPECT_EQ(std::vector<Bytes>{report}, api_.written(node));
    node.writeResult = 10;
    EXPECT_FALSE(backend_.writeReport(writer, report.data(), kAccessoryReportLength, &transferred))
        << "a report cut short is a failed write";
    backend_.close(writer);
}

TEST_F(LinuxBackendTest, FeatureReportsAndTheirFailures) {
    FakeNode &node = api_.add("/dev/hidraw0");
    node.feature = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const Channel writer = backend_.open("/dev/hidraw0", kWriteChannel);
    Bytes buffer(kAccessoryFeatureLength, 0);
    ASSERT_TRUE(backend_.getFeature(writer, buffer.data(), kAccessoryFeatureLength));
    EXPECT_EQ((Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}), buffer);
    node.featureResult = -1;
    EXPECT_FALSE(backend_.getFeature(writer, buffer.data(), kAccessoryFeatureLength));
    node.featureResult = 0;
    api_.vanish(node);
    EXPECT_FALSE(backend_.getFeature(writer, buffer.data(), kAccessoryFeatureLength));
    backend_.close(writer);
    EXPECT_FALSE(backend_.getFeature(writer, buffer.data(), kAccessoryFeatureLength));
}

TEST_F(LinuxBackendTest, HardwareIdOfANodeAsWindowsSpellsIt) {
    api_.add("/dev/hidraw3");
    api_.add("/dev/hidraw4", 0x0abc, 0x0001);
    char id[32] = "untouched";
    ASSERT_TRUE(backend_.hardwareId("/dev/hidraw3", id, sizeof id));
    EXPECT_STREQ("HID\\VID_3A71&PID_0009", id);
    ASSERT_TRUE(backend_.hardwareId("/dev/hidraw4", id, 12));
    EXPECT_STREQ("HID\\VID_0AB", id) << "cut to the caller's size";
    EXPECT_FALSE(backend_.hardwareId("/dev/hidraw7", id, sizeof id));
    EXPECT_STREQ("", id);
}

}  // namespace
}  // namespace zelo::test
