// Enumeration, opening with sharing rules, attributes and hardware IDs.
#include "sim_test_support.h"

namespace zelo::sim::test {
namespace {

class EnumerationTest : public SimTest {
protected:
    std::vector<std::string> paths() {
        std::vector<std::string> found;
        char path[256];
        bool detail = false;
        for (int i = 0; backend().interfacePath(i, path, sizeof path, &detail); ++i) found.push_back(path);
        return found;
    }
};

hid::OpenMode mode(bool read, bool write, bool shareRead, bool shareWrite) {
    hid::OpenMode m;
    m.read = read;
    m.write = write;
    m.shareRead = shareRead;
    m.shareWrite = shareWrite;
    return m;
}

TEST_F(EnumerationTest, PluggedAccessoriesAreListedInPlugOrder) {
    auto first = plug();
    auto second = plug();
    EXPECT_EQ(paths(), (std::vector<std::string>{first->path(), second->path()}));
    EXPECT_NE(first->path().find("vid_3a71&pid_0009"), std::string::npos);
    world().unplug(first);
    EXPECT_EQ(paths(), std::vector<std::string>{second->path()});
    EXPECT_FALSE(first->plugged());
    EXPECT_EQ(backend().open(first->path().c_str(), mode(true, true, true, true)), nullptr);
}

TEST_F(EnumerationTest, PathIsCutToTheCallersBuffer) {
    auto accessory = plug();
    char path[8];
    bool detail = false;
    ASSERT_TRUE(backend().interfacePath(0, path, sizeof path, &detail));
    EXPECT_TRUE(detail);
    EXPECT_EQ(std::string(path), accessory->path().substr(0, 7));
}

TEST_F(EnumerationTest, TheLibrarysChannelsBlockTheCountingProbe) {
    auto accessory = plug();
    const Link link = openLink(*accessory);
    ASSERT_NE(link.write, nullptr);
    ASSERT_NE(link.read, nullptr);
    EXPECT_EQ(openChannel(accessory->path(), mode(true, true, true, true)), nullptr);
    // A second library-style write channel conflicts with the read channel's share mode.
    EXPECT_EQ(openChannel(accessory->path(), mode(false, true, true, false)), nullptr);
    backend().close(link.write);
    backend().close(link.read);
    EXPECT_NE(openChannel(accessory->path(), mode(true, true, true, true)), nullptr);
}

TEST_F(EnumerationTest, ExclusiveOpenRefusesEveryOther) {
    auto accessory = plug();
    ASSERT_NE(openChannel(accessory->path(), mode(true, true, false, false)), nullptr);
    EXPECT_EQ(openChannel(accessory->path(), mode(true, false, true, true)), nullptr);
    // An open without access does not conflict with anything.
    EXPECT_NE(openChannel(accessory->path(), mode(false, false, true, true)), nullptr);
}

TEST_F(EnumerationTest, AttributesLengthsAndHardwareId) {
    AccessoryConfig config;
    config.productId = 0x0006;
    config.inputReportLength = 32;
    auto accessory = plug(config);
    hid::Channel channel = openChannel(accessory->path(), mode(true, true, true, true));
    std::uint16_t vendor = 0, product = 0;
    ASSERT_TRUE(backend().attributes(channel, &vendor, &product));
    EXPECT_EQ(vendor, hid::kVendorId);
    EXPECT_EQ(product, 0x0006);
    hid::ReportLengths lengths;
    ASSERT_TRUE(backend().reportLengths(channel, &lengths));
    EXPECT_EQ(lengths.input, 32u);
    EXPECT_EQ(lengths.output, 64u);
    EXPECT_EQ(lengths.feature, 9u);

    char id[64];
    std::string upper = accessory->path();
    for (char &c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    ASSERT_TRUE(backend().hardwareId(upper.c_str(), id, sizeof id));
    EXPECT_STREQ(id, "HID\\VID_3A71&PID_0006&REV_0100");
    // Gone with the device, as Wine removes its node before notifying.
    world().unplug(accessory);
    EXPECT_FALSE(backend().hardwareId(accessory->path().c_str(), id, sizeof id));
    EXPECT_FALSE(backend().hardwareId("\\\\?\\hid#vid_1234&pid_0001#other", id, sizeof id));
    EXPECT_FALSE(backend().attributes(channel, &vendor, &product));
}

// Only plugged accessories have a hardware ID, however many came and
// went, and only under the exact paths the simulator gave out.
TEST_F(EnumerationTest, HardwareIdsOfPluggedAccessoriesOnlyForTheirExactPaths) {
    auto first = plug();
    const std::string firstPath = first->path();
    constexpr int kLaterPlugs = 50;
    for (int i = 0; i < kLaterPlugs; ++i) world().unplug(plug());
    char id[64];
    EXPECT_TRUE(backend().hardwareId(firstPath.c_str(), id, sizeof id));
    EXPECT_STREQ(id, "HID\\VID_3A71&PID_0009&REV_0100");
    world().unplug(first);
    EXPECT_FALSE(backend().hardwareId(firstPath.c_str(), id, sizeof id)) << "removed";

    auto last = plug();
    std::string next = last->path();
    const std::size_t serial = next.find("#sim&") + std::string("#sim&").size();
    next.replace(serial, next.find('#', serial) - serial, "999999");
    EXPECT_FALSE(backend().hardwareId(next.c_str(), id, sizeof id)) << "never plugged";
    std::string padded = last->path();
    padded.insert(serial, "0");
    EXPECT_FALSE(backend().hardwareId(padded.c_str(), id, sizeof id)) << "not the text the simulator wrote";
    EXPECT_FALSE(backend().hardwareId((last->path() + "x").c_str(), id, sizeof id));
}

TEST_F(EnumerationTest, NotificationWindowsAreRemembered) {
    int windowA = 0, windowB = 0;
    backend().requestNotification(&windowA);
    backend().requestNotification(&windowB);
    EXPECT_EQ(world().notificationWindows(), (std::vector<void *>{&windowA, &windowB}));
    world().reset();
    EXPECT_TRUE(world().notificationWindows().empty());
}

}  // namespace
}  // namespace zelo::sim::test
