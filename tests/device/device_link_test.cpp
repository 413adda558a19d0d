// The device link: the frames it hands the library, its lock, its state
// around open and close, and the numbers it derives from version texts.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "fake_library.h"
#include "sim_fixture.h"

namespace zelo::device::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class LinkWithFakeLibrary : public ::testing::Test {
protected:
    // Calls after the open that every test starts with.
    std::vector<FakeLibrary::Call> calls() const {
        auto all = library.calls();
        return {all.begin() + 1, all.end()};
    }

    FakeLibrary library;
    CDeviceLink link{library};
};

TEST_F(LinkWithFakeLibrary, FramesAndReplies) {
    ASSERT_EQ(ZELO_OK, link.open(0));
    const std::uint8_t payload[] = {0x27, 0x10};
    std::uint8_t reply[4]{};
    EXPECT_EQ(ZELO_OK, link.linkTransact(0x14, payload, sizeof payload, nullptr, 0));
    EXPECT_EQ(ZELO_OK, link.linkTransact(0x01, nullptr, 0, reply, sizeof reply));
    EXPECT_EQ(ZELO_OK, link.linkTransact(0x05, payload, 0, reply, 0));   // no payload, no reply
    EXPECT_EQ(ZELO_OK, link.linkTransact(0x16, nullptr, 7, nullptr, 2));  // null payload, null reply
    library.writeResult = ZELO_TRANSFER_FAILED;
    EXPECT_EQ(ZELO_TRANSFER_FAILED, link.linkTransact(0x57, nullptr, 0, reply, sizeof reply));
    library.writeResult = ZELO_OK;
    library.readResult = ZELO_TRANSFER_FAILED;
    EXPECT_EQ(ZELO_TRANSFER_FAILED, link.linkTransact(0x59, nullptr, 0, reply, sizeof reply));

    // Each exchange first asks for bytes waiting; with none, reads nothing.
    std::vector<FakeLibrary::Call> seen;
    std::vector<std::string> names;
    for (const auto &call : calls()) {
        if (call.name == "bytesInFifo") continue;
        seen.push_back(call);
        names.push_back(call.name);
    }
    ASSERT_EQ((std::vector<std::string>{"write", "write", "read", "write", "write", "write", "write", "read"}), names);
    EXPECT_EQ((Bytes{0x14, 0x27, 0x10}), seen[0].bytes);
    EXPECT_EQ((Bytes{0x01}), seen[1].bytes);
    EXPECT_EQ(4u, seen[2].length);
    EXPECT_EQ(Bytes(4, library.replyByte), Bytes(reply, reply + 4));
    EXPECT_EQ((Bytes{0x05}), seen[3].bytes);
    EXPECT_EQ((Bytes{0x16}), seen[4].bytes);
    for (const auto &call : seen) EXPECT_EQ(library.openedHandle, call.handle);
}

// Bytes waiting before a command goes out are a late answer of an earlier
// exchange: read away before the command, never taken as its answer.
TEST_F(LinkWithFakeLibrary, BytesWaitingBeforeAnExchangeAreReadAwayFirst) {
    ASSERT_EQ(ZELO_OK, link.open(0));
    library.fifoBytes = 3;
    std::uint8_t reply[2]{};
    EXPECT_EQ(ZELO_OK, link.linkTransact(0x57, nullptr, 0, reply, sizeof reply));
    std::vector<std::string> names;
    for (const auto &call : calls()) names.push_back(call.name);
    ASSERT_EQ((std::vector<std::string>{"bytesInFifo", "read", "write", "read"}), names);
    EXPECT_EQ(3u, calls()[1].length);
    EXPECT_EQ(2u, calls()[3].length);
}

TEST_F(LinkWithFakeLibrary, OpenAndClose) {
    link.close();  // never opened: no library call, still not connected
    EXPECT_TRUE(library.calls().empty());
    EXPECT_FALSE(link.isConnected());

    library.openResult = ZELO_NO_SUCH_DEVICE;
    EXPECT_EQ(ZELO_NO_SUCH_DEVICE, link.open(0x105));
    EXPECT_FALSE(link.isConnected());
    EXPECT_EQ(5u, library.calls().back().length) << "the device number goes over as its low byte";

    library.openResult = ZELO_OK;
    ASSERT_EQ(ZELO_OK, link.open(0));
    EXPECT_TRUE(link.isConnected());
    link.setLdVersion("1.00");
    link.selectDefaults();
    link.record.workingCopy()[kDeviceCodeOffset] ^= 1;
    EXPECT_TRUE(link.record.hasUnsavedChanges());
    link.close();
    EXPECT_FALSE(link.isConnected());
    EXPECT_FALSE(link.record.hasUnsavedChanges()) << "nothing left to save to";
    EXPECT_EQ("close", library.calls().back().name);
    EXPECT_EQ(library.openedHandle, link.handle) << "the handle keeps its old value";

    {
        CDeviceLink scoped(library);
        ASSERT_EQ(ZELO_OK, scoped.open(0));
    }
    EXPECT_EQ("close", library.calls().back().name) << "a link destroyed while open closes the accessory";
}

TEST_F(LinkWithFakeLibrary, SerialPortSettings) {
    ASSERT_EQ(ZELO_OK, link.uartEnable());
    EXPECT_EQ(38400u, library.calls().back().length);
    EXPECT_EQ((Bytes{1, 0, 8}), library.calls().back().bytes) << "one stop bit, no parity, 8 data bits";
}

TEST_F(LinkWithFakeLibrary, LockIsReleasedWhenAnExceptionPasses) {
    library.throwOnWrite = true;
    EXPECT_THROW(link.linkTransact(0x01, nullptr, 0, nullptr, 0), std::runtime_error);
    EXPECT_TRUE(finishesInTime([this] {
        std::uint8_t reply[4];
        link.linkTransact(0x01, nullptr, 0, reply, sizeof reply);
        link.uartWrite(reply, sizeof reply);
    }));
}

TEST_F(LinkWithFakeLibrary, FramesAndTheirRepliesNeverInterleave) {
    constexpr int kThreads = 4;
    constexpr int kFramesEach = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            std::uint8_t reply[2];
            for (int i = 0; i < kFramesEach; ++i) link.linkTransact(static_cast<std::uint8_t>(t), nullptr, 0, reply, 2);
        });
    }
    for (std::thread &thread : threads) thread.join();
    EXPECT_EQ(0, library.overlaps.load());
    EXPECT_EQ(static_cast<std::size_t>(3 * kThreads * kFramesEach), library.calls().size()) << "count, write, read";
}

TEST(VersionTexts, LoaderVersionDecidesTheVariant) {
    EXPECT_EQ(DeviceVariant::Standard, variantOf("1.00"));
    EXPECT_EQ(DeviceVariant::X, variantOf("1.01"));
    EXPECT_EQ(DeviceVariant::X, variantOf("1.010")) << "only four characters count";
    for (const char *other : {"0.99", "1.02", "2.00", "abcd", "", "9e99"}) {
        EXPECT_EQ(DeviceVariant::Other, variantOf(other)) << other;
    }
}

TEST(VersionTexts, FirmwareNumberIsVersionTimesThousandWithoutRoundingError) {
    EXPECT_EQ(1190u, firmwareNumberOf("1.19"));
    EXPECT_EQ(2060u, firmwareNumberOf("2.06"));
    EXPECT_EQ(1240u, firmwareNumberOf("1.24"));
    EXPECT_EQ(1190u, firmwareNumberOf("1.19junk"));
    EXPECT_EQ(0u, firmwareNumberOf("x.yz"));
    EXPECT_EQ(0u, firmwareNumberOf("-1.0"));

    FakeLibrary library;
    CDeviceLink link(library);
    link.setFirmwareVersion("1.24");
    EXPECT_STREQ("1.24", link.firmwareVersion);
    EXPECT_EQ(L"1.24", link.firmwareText());
    link.firmwareNumber = 1190;
    EXPECT_EQ(L"1.19", link.firmwareText());
    for (std::uint8_t byte : link.firmwareImage) ASSERT_EQ(0xFF, byte) << "a fresh link's image reads as erased";
}

class LinkWithSimulator : public SimulatedAccessoryTest {};

TEST_F(LinkWithSimulator, WideDevicePathMatchesTheAccessory) {
    CDeviceLink &link = connect();
    const std::string path = accessory_->path();
    EXPECT_STREQ(path.c_str(), link.devicePath);
    EXPECT_EQ(std::wstring(path.begin(), path.end()), link.wideDevicePath());
}

TEST_F(LinkWithSimulator, FailedWriteToAnUnpluggedAccessoryReturnsItsCode) {
    CDeviceLink &link = connect();
    world().unplug(accessory_);
    std::uint8_t reply[4]{};
    EXPECT_NE(ZELO_OK, link.linkTransact(command::kFirmwareVersion, nullptr, 0, reply, sizeof reply));
    EXPECT_TRUE(accessory_->commands().empty());
}

}  // namespace
}  // namespace zelo::device::test
