// The library's exports on the Linux backend over made-up hidraw nodes:
// which accessories are counted and opened, messages cut into reports and
// answers gathered from reports as hidraw delivers them, the IR status
// feature report, and an accessory unplugged while open.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "backends.h"
#include "fake_hid_api.h"
#include "linux_backend.h"
#include "zelo.h"

namespace zelo::test {
namespace {

constexpr std::chrono::seconds kDeadline{10};
constexpr std::uint32_t kShortLimitMs = 200;
constexpr std::uint32_t kShortReadWaitMs = 50;
constexpr std::uint8_t kMaxData = 62;

hid::Timing shortTiming() {
    hid::Timing timing;
    timing.receiveLimitMs = kShortLimitMs;
    timing.uartReadLimitMs = kShortLimitMs;
    timing.readWaitMs = kShortReadWaitMs;
    return timing;
}

class LinuxLibrary : public testing::Test {
protected:
    void SetUp() override { hid::useBackendForTesting(&backend_); }
    void TearDown() override {
        for (ZELO_HANDLE handle : opened_) {
            ZELO_CloseDevice(handle);
        }
        hid::useBackendForTesting(nullptr);
    }

    std::int32_t count() {
        std::int32_t n = -1;
        EXPECT_EQ(ZELO_OK, ZELO_GetNumDevices(&n));
        return n;
    }

    ZELO_HANDLE open(std::int32_t number, char *path = nullptr) {
        ZELO_HANDLE handle = nullptr;
        if (ZELO_OpenDeviceFromNum(number, &handle, path) != ZELO_OK) {
            return nullptr;
        }
        opened_.push_back(handle);
        return handle;
    }

    FakeHidApi api_;
    hid::linux_backend::LinuxBackend backend_{api_, nullptr, shortTiming()};
    std::vector<ZELO_HANDLE> opened_;
};

TEST_F(LinuxLibrary, CountsAndOpensTheAccessoriesItMayOpen) {
    api_.add("/dev/hidraw0");
    api_.add("/dev/hidraw1", hid::kVendorId, 0x0006);
    api_.add("/dev/hidraw2").refuseOpen = true;  // no permission
    api_.add("/dev/hidraw3");
    api_.add("/dev/hidraw4").foreignClaim = ForeignClaim::Exclusive;  // another program's
    EXPECT_EQ(2, count());

    char path[ZELO_DEVICE_PATH_SIZE] = {};
    ASSERT_NE(nullptr, open(1, path));
    EXPECT_STREQ("/dev/hidraw3", path) << "the node is the interface path";
    EXPECT_EQ(1, count()) << "an accessory held open is not counted";
    EXPECT_EQ(nullptr, open(1));
    ASSERT_EQ(ZELO_OK, ZELO_CloseDevice(opened_.back()));
    opened_.clear();
    EXPECT_EQ(2, count());
}

TEST_F(LinuxLibrary, MessagesTravelInWholeReports) {
    FakeNode &node = api_.add("/dev/hidraw0");
    ZELO_HANDLE handle = open(0);
    ASSERT_NE(nullptr, handle);
    const std::size_t openTraffic = api_.written(node).size();

    Bytes message(130);
    for (std::size_t i = 0; i < message.size(); ++i) message[i] = static_cast<std::uint8_t>(i);
    std::uint32_t written = 0;
    ASSERT_EQ(ZELO_OK, ZELO_Write(handle, message.data(), static_cast<std::uint32_t>(message.size()), &written));
    const std::vector<Bytes> reports = api_.written(node);
    ASSERT_EQ(openTraffic + 3, reports.size());
    const std::uint8_t counts[] = {kMaxData, kMaxData, 6};
    for (std::size_t i = 0; i < 3; ++i) {
        const Bytes &report = reports[openTraffic + i];
        ASSERT_EQ(kAccessoryReportLength, report.size());
        EXPECT_EQ(0, report[0]) << "report ID first";
        EXPECT_EQ(counts[i], report[1]);
    }

    // The accessory's answers, as hidraw hands them over: no ID byte.
    api_.deliver(node, {3, 'A', 'B', 'C'});
    api_.deliver(node, {2, 'D', 'E'});
    std::uint8_t answer[5] = {};
    std::uint32_t read = 0;
    ASSERT_EQ(ZELO_OK, ZELO_Read(handle, answer, sizeof answer, &read));
    EXPECT_EQ(Bytes({'A', 'B', 'C', 'D', 'E'}), Bytes(answer, answer + sizeof answer));
}

TEST_F(LinuxLibrary, IrStatusComesFromTheFeatureReport) {
    FakeNode &node = api_.add("/dev/hidraw0");
    node.feature = {9, 8, 7, 6, 5, 4, 3, 2, 1};
    ZELO_HANDLE handle = open(0);
    ASSERT_NE(nullptr, handle);
    std::uint8_t status[9] = {};
    ASSERT_EQ(1, ZELO_GetIRStatus(handle, status));
    EXPECT_EQ(Bytes({0, 9, 8, 7, 6, 5, 4, 3, 2}), Bytes(status, status + sizeof status));
    api_.change([&] { node.featureResult = -1; });
    EXPECT_EQ(0, ZELO_GetIRStatus(handle, status));
    EXPECT_EQ(Bytes(9, 0), Bytes(status, status + sizeof status)) << "a failed read returns no stale status";
}

TEST_F(LinuxLibrary, AnAccessoryUnpluggedWhileOpen) {
    FakeNode &node = api_.add("/dev/hidraw0");
    ZELO_HANDLE handle = open(0);
    ASSERT_NE(nullptr, handle);
    api_.vanish(node);
    std::uint8_t byte = 0;
    std::uint32_t read = 0;
    EXPECT_EQ(ZELO_TRANSFER_FAILED, ZELO_Read(handle, &byte, 1, &read));
    std::uint32_t written = 0;
    EXPECT_EQ(ZELO_TRANSFER_FAILED, ZELO_Write(handle, &byte, 1, &written));
    EXPECT_EQ(0, count());
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(ZELO_OK, ZELO_CloseDevice(handle));
    opened_.clear();
    EXPECT_LT(std::chrono::steady_clock::now() - started, kDeadline) << "the close does not hang";
    EXPECT_EQ(node.opens, node.closes);
}

}  // namespace
}  // namespace zelo::test
