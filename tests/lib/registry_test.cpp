// The registry keeps the objects of opened accessories only: a program
// that survives thousands of failed opens does not grow.
#include "lib_fixture.h"
#include "registry.h"

namespace zelo::test {
namespace {

constexpr int kFailedOpens = 10000;

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

    // A closed object stays, so its handle keeps not resolving.
    ASSERT_EQ(ZELO_OK, ZELO_CloseDevice(held));
    opened_.clear();
    EXPECT_EQ(before, registeredDeviceCount());
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_CloseDevice(held));
    ZELO_HANDLE again = open();
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(before + 1, registeredDeviceCount());
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_GetFirmwareVersion(held));
}

// Plug events come and go for weeks: what a closed accessory keeps must be
// a small fraction of an open one.
TEST_F(Registry, ClosedAccessoriesKeepAlmostNothing) {
    constexpr int kCycles = 100;
    ZELO_HANDLE first = plugAndOpen();
    ASSERT_NE(nullptr, first);
    const std::size_t openBytes = registeredDeviceBytes();
    ASSERT_EQ(ZELO_OK, ZELO_CloseDevice(first));
    opened_.clear();
    const std::size_t before = registeredDeviceBytes();
    for (int i = 0; i < kCycles; ++i) {
        ZELO_HANDLE handle = open();
        ASSERT_NE(nullptr, handle) << "cycle " << i;
        ASSERT_EQ(ZELO_OK, ZELO_CloseDevice(handle));
        opened_.clear();
    }
    const std::size_t perCycle = (registeredDeviceBytes() - before) / kCycles;
    EXPECT_LT(perCycle * 16, openBytes) << perCycle << " bytes kept per closed accessory";
}

}  // namespace
}  // namespace zelo::test
