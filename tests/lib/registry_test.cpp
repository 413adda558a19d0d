// The registry keeps the objects of open accessories only: a program that
// survives thousands of failed opens or plug events does not grow, and a
// call still under way when another thread closes its device finishes on
// memory that is still there.
#include <future>

#include "lib_fixture.h"
#include "registry.h"

namespace zelo::test {
namespace {

constexpr int kFailedOpens = 10000;
constexpr int kCycles = 100;
// Registry, the caller's own look-up and the call in flight.
constexpr long kReferencesWithCallInFlight = 3;

class Registry : public LibraryTest {};

TEST_F(Registry, FailedOpensLeaveNothingBehind) {
    ZELO_HANDLE held = plugAndOpen();
    ASSERT_NE(nullptr, held);
    sim::AccessoryConfig otherProduct;
    otherProduct.productId = 0x0006;
    plug(otherProduct);

    const std::size_t before = registeredDeviceCount();
    for (int i = 0; i < kFailedOpens; ++i) {
        ZELO_HANDLE handle = nullptr;
        ASSERT_EQ(ZELO_NO_SUCH_DEVICE, ZELO_OpenDeviceFromNum(0, &handle, nullptr)) << "attempt " << i;
    }
    EXPECT_EQ(before, registeredDeviceCount());
    EXPECT_EQ(1190, ZELO_GetFirmwareVersion(held)) << "the open accessory is untouched";

    // A closed object leaves, and its handle never resolves again.
    ASSERT_EQ(ZELO_OK, ZELO_CloseDevice(held));
    opened_.clear();
    EXPECT_EQ(before - 1, registeredDeviceCount());
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_CloseDevice(held));
    ZELO_HANDLE again = open();
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(before, registeredDeviceCount());
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_GetFirmwareVersion(held));
}

// Plug events come and go for weeks: after any number of them the registry
// holds what the open accessories need, nothing more.
TEST_F(Registry, ClosedAccessoriesLeaveTheRegistry) {
    ZELO_HANDLE held = plugAndOpen();
    ASSERT_NE(nullptr, held);
    plug();  // the one opened and closed; the held one is not counted
    const std::size_t openCount = registeredDeviceCount();
    const std::size_t openBytes = registeredDeviceBytes();
    for (int i = 0; i < kCycles; ++i) {
        ZELO_HANDLE handle = nullptr;
        ASSERT_EQ(ZELO_OK, ZELO_OpenDeviceFromNum(0, &handle, nullptr)) << "cycle " << i;
        ASSERT_EQ(ZELO_OK, ZELO_CloseDevice(handle));
    }
    EXPECT_EQ(openCount, registeredDeviceCount());
    EXPECT_EQ(openBytes, registeredDeviceBytes());
    EXPECT_EQ(1190, ZELO_GetFirmwareVersion(held));
}

// A read waits for bytes that never come while another thread closes the
// device: the close ends the wait, and the read finishes on its object,
// which is freed only as it returns.
TEST_F(Registry, ReadWaitingWhileAnotherThreadClosesFinishesSafely) {
    hid::Timing timing;
    timing.uartReadLimitMs = kShortLimitMs;
    timing.readWaitMs = kShortReadWaitMs;
    timing.receiveLimitMs = static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(kConditionDeadline * 3).count());
    world().setTiming(timing);
    ZELO_HANDLE handle = plugAndOpen();
    ASSERT_NE(nullptr, handle);
    const std::size_t openCount = registeredDeviceCount();

    auto read = std::async(std::launch::async, [handle] {
        std::uint8_t byte = 0;
        std::uint32_t got = 0;
        return ZELO_Read(handle, &byte, 1, &got);
    });
    ASSERT_TRUE(waitUntil([handle] {
        const DeviceRef device = findDevice(handle);
        return device != nullptr && device.use_count() >= kReferencesWithCallInFlight;
    })) << "the read never held its device";
    ASSERT_EQ(ZELO_OK, ZELO_CloseDevice(handle));
    opened_.clear();
    EXPECT_EQ(openCount - 1, registeredDeviceCount());

    ASSERT_EQ(std::future_status::ready, read.wait_for(kConditionDeadline)) << "the close did not end the wait";
    EXPECT_EQ(ZELO_TRANSFER_FAILED, read.get());
    EXPECT_EQ(ZELO_TRANSFER_FAILED, ZELO_Read(handle, nullptr, 0, nullptr));
}

}  // namespace
}  // namespace zelo::test
