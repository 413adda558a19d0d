// The library's exports with the real Linux backend on a machine without
// the accessory and without the simulator, and the udev watch starting
// and stopping.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "hid_api.h"
#include "udev_notifier.h"
#include "zelo.h"
#include "zelo_notify.h"

namespace zelo::test {
namespace {

constexpr const char *kSimulatorVariable = "ZELO_SIMULATOR";
constexpr char kUntouched = 'x';

class NoAccessory : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(nullptr, std::getenv(kSimulatorVariable)) << "these tests need the real HID backend";
    }
};

TEST_F(NoAccessory, NothingIsCountedOrOpened) {
    std::int32_t count = -1;
    EXPECT_EQ(ZELO_OK, ZELO_GetNumDevices(&count));
    EXPECT_EQ(0, count);
    for (std::int32_t number : {0, 1, -1}) {
        SCOPED_TRACE(number);
        int marker = 0;
        ZELO_HANDLE handle = &marker;
        std::array<char, ZELO_DEVICE_PATH_SIZE> path;
        path.fill(kUntouched);
        EXPECT_EQ(ZELO_NO_SUCH_DEVICE, ZELO_OpenDeviceFromNum(number, &handle, path.data()));
        EXPECT_EQ(&marker, handle);
        EXPECT_EQ(kUntouched, path[0]);
    }
}

TEST_F(NoAccessory, NotificationRequestsReportSuccess) {
    ZELO_NOTIFY_TARGET target{[](void *, std::int32_t, const char *) {}, nullptr};
    EXPECT_EQ(ZELO_OK, ZELO_RequestNotification(&target));
    EXPECT_EQ(ZELO_OK, ZELO_RequestNotification(&target));
    EXPECT_EQ(ZELO_OK, ZELO_RequestNotification(nullptr));
    ZELO_NOTIFY_TARGET withoutCallback{nullptr, nullptr};
    EXPECT_EQ(ZELO_OK, ZELO_RequestNotification(&withoutCallback));
}

TEST(UdevNotifier, StartsOnlyForACallableTargetAndStopsWhenDestroyed) {
    ZELO_NOTIFY_TARGET target{[](void *, std::int32_t, const char *) {}, nullptr};
    ZELO_NOTIFY_TARGET withoutCallback{nullptr, nullptr};
    hid::linux_backend::UdevNotifier notifier;
    notifier.request(nullptr);
    notifier.request(&withoutCallback);
    EXPECT_FALSE(notifier.watching());
    notifier.request(&target);
    // Whether udev's netlink events can be had depends on the machine; the
    // destructor must stop the thread either way (a hang fails by time-out).
    if (!notifier.watching()) {
        GTEST_LOG_(INFO) << "udev monitor unavailable here; nothing to stop";
    }
}

// The claims that keep two programs from taking the same accessory, on a
// plain file (flock works the same on any node).
TEST(NodeClaims, ExclusiveKeepsEveryoneOutSharedOnlyTheExclusive) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("zelo-claim-" + std::to_string(::getpid()));
    std::ofstream(file).put('x');
    hid::linux_backend::HidApi &api = hid::linux_backend::systemHidApi();
    void *held = api.lockNode(file.string(), true);
    ASSERT_NE(nullptr, held);
    EXPECT_EQ(nullptr, api.lockNode(file.string(), true));
    EXPECT_EQ(nullptr, api.lockNode(file.string(), false));
    api.unlockNode(held);
    void *first = api.lockNode(file.string(), false);
    void *second = api.lockNode(file.string(), false);
    EXPECT_NE(nullptr, first);
    EXPECT_NE(nullptr, second);
    EXPECT_EQ(nullptr, api.lockNode(file.string(), true));
    api.unlockNode(first);
    api.unlockNode(second);
    EXPECT_EQ(nullptr, api.lockNode((file.string() + "-missing"), false));
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace zelo::test
