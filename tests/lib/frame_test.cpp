// Counting, opening and closing accessories; handles that do not resolve.
#include <cstring>
#include <string>

#include "lib_fixture.h"

namespace zelo::test {
namespace {

class Frame : public LibraryTest {
protected:
    static std::int32_t count() {
        std::int32_t n = -1;
        EXPECT_EQ(ZELO_OK, ZELO_GetNumDevices(&n));
        return n;
    }
};

// Every export that takes a handle, called with one that does not resolve.
void expectNotFound(ZELO_HANDLE handle) {
    std::uint8_t buffer[16] = {};
    std::uint8_t status[ZELO_IR_STATUS_SIZE] = {};
    std::uint32_t out = 0;
    char name[32] = {};
    std::uint8_t record[64] = {};
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_CloseDevice(handle));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_GetDeviceInfo(handle, record, name, sizeof name));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_StartHID(handle));
    EXPECT_EQ(0, ZELO_StopHID(handle));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_Write(handle, buffer, 1, &out));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_Read(handle, buffer, 1, &out));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_BytesInFifo(handle));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_EmptyFifo(handle));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_UART_Enable(handle, 38400, &out, 1, 0, 8, 0, 0, 0));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_UART_Disable(handle));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_UART_SetRST(handle, 1));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_UART_Write(handle, buffer, 1, &out));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_UART_Read(handle, buffer, 1, &out));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_UART_BytesInFifo(handle));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_UART_EmptyFifo(handle));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_GetIRStatus(handle, status));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_SetLEDState(handle, 1, 2, 3, 4, 5, 6));
    EXPECT_EQ(ZELO_HANDLE_NOT_FOUND, ZELO_GetFirmwareVersion(handle));
    EXPECT_EQ(nullptr, cFlashUpgrade::Designate(handle));
}

TEST_F(Frame, VersionAndNotificationNeedNoDevice) {
    EXPECT_EQ(1000, ZELO_GetSDKVersion());
    int window = 0;
    EXPECT_EQ(ZELO_OK, ZELO_RequestNotification(&window));
}

TEST_F(Frame, NoAccessoryMeansNothingToOpen) {
    EXPECT_EQ(0, count());
    ZELO_HANDLE handle = reinterpret_cast<ZELO_HANDLE>(0x1234);
    EXPECT_EQ(ZELO_NO_SUCH_DEVICE, ZELO_OpenDeviceFromNum(0, &handle, nullptr));
    EXPECT_EQ(reinterpret_cast<ZELO_HANDLE>(0x1234), handle);
}

TEST_F(Frame, AccessoriesAreNumberedInEnumerationOrder) {
    sim::AccessoryConfig first;
    first.firmware = "1.20";
    sim::AccessoryConfig other;
    other.productId = 0x0006;
    sim::AccessoryConfig second;
    second.firmware = "2.04";
    const auto a = plug(first);
    plug(other);
    const auto b = plug(second);
    EXPECT_EQ(2, count());

    char path[ZELO_DEVICE_PATH_SIZE + 1] = {};
    ZELO_HANDLE h2 = reinterpret_cast<ZELO_HANDLE>(0x77);
    EXPECT_EQ(ZELO_NO_SUCH_DEVICE, ZELO_OpenDeviceFromNum(2, &h2, nullptr));
    EXPECT_EQ(reinterpret_cast<ZELO_HANDLE>(0x77), h2);

    ZELO_HANDLE h1 = nullptr;
    ASSERT_EQ(ZELO_OK, ZELO_OpenDeviceFromNum(1, &h1, path));
    opened_.push_back(h1);
    EXPECT_EQ(b->path(), std::string(path));
    EXPECT_EQ(2040, ZELO_GetFirmwareVersion(h1));
    EXPECT_EQ(1, count()) << "the open one is held by us";

    // A held accessory takes no number: the first one is number 0 still,
    // and there is no number 1 any more.
    ZELO_HANDLE h0 = nullptr;
    EXPECT_EQ(ZELO_NO_SUCH_DEVICE, ZELO_OpenDeviceFromNum(1, &h0, nullptr));
    ASSERT_EQ(ZELO_OK, ZELO_OpenDeviceFromNum(0, &h0, path));
    opened_.push_back(h0);
    EXPECT_EQ(a->path(), std::string(path));
    EXPECT_EQ(1200, ZELO_GetFirmwareVersion(h0));
    EXPECT_NE(h0, h1);
    EXPECT_EQ(0, count());

    ASSERT_EQ(ZELO_OK, ZELO_CloseDevice(h1));
    EXPECT_EQ(1, count());
}

TEST_F(Frame, OtherProductsAndVendorsAreIgnored) {
    sim::AccessoryConfig otherProduct;
    otherProduct.productId = 0x0006;
    sim::AccessoryConfig otherVendor;
    otherVendor.vendorId = 0x1234;
    plug(otherProduct);
    plug(otherVendor);
    EXPECT_EQ(0, count());
    ZELO_HANDLE handle = nullptr;
    EXPECT_EQ(ZELO_NO_SUCH_DEVICE, ZELO_OpenDeviceFromNum(0, &handle, nullptr));
    EXPECT_EQ(nullptr, handle);
}

TEST_F(Frame, PathOutReceivesExactly255Bytes) {
    ZELO_HANDLE handle = nullptr;
    accessory_ = plug();
    char path[ZELO_DEVICE_PATH_SIZE + 8];
    std::memset(path, '#', sizeof path);
    ASSERT_EQ(ZELO_OK, ZELO_OpenDeviceFromNum(0, &handle, path));
    opened_.push_back(handle);
    const std::string expected = accessory_->path();
    ASSERT_LT(expected.size(), static_cast<std::size_t>(ZELO_DEVICE_PATH_SIZE));
    EXPECT_EQ(expected, std::string(path, expected.size()));
    for (std::size_t i = expected.size(); i < ZELO_DEVICE_PATH_SIZE; ++i) {
        ASSERT_EQ('\0', path[i]) << "byte " << i;
    }
    EXPECT_EQ('#', path[ZELO_DEVICE_PATH_SIZE]);  // nothing beyond the 255 bytes
}

TEST_F(Frame, ClosedAndNullHandlesNeverResolve) {
    ZELO_HANDLE handle = plugAndOpen();
    ASSERT_NE(nullptr, handle);
    // A failed open in between changes nothing.
    ZELO_HANDLE unused = nullptr;
    EXPECT_EQ(ZELO_NO_SUCH_DEVICE, ZELO_OpenDeviceFromNum(5, &unused, nullptr));
    expectNotFound(nullptr);

    EXPECT_EQ(ZELO_OK, ZELO_CloseDevice(handle));
    expectNotFound(handle);
    EXPECT_TRUE(accessory_->commands().empty()) << "nothing reached the accessory";

    // The accessory can be opened again afterwards.
    ZELO_HANDLE again = open();
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(1190, ZELO_GetFirmwareVersion(again));
}

TEST_F(Frame, DeviceInfoRecognisesTheAccessory) {
    ZELO_HANDLE handle = plugAndOpen();
    const std::string accessoryPath = accessory_->path();
    sim::AccessoryConfig otherConfig;
    otherConfig.productId = 0x0006;
    const std::string otherPath = plug(otherConfig)->path();

    // size, device type, reserved, class identifier, name.
    auto record = [](std::uint32_t type, const std::string &name) {
        std::vector<std::uint8_t> bytes(28 + name.size() + 1, 0);
        const auto size = static_cast<std::uint32_t>(bytes.size());
        std::memcpy(bytes.data(), &size, 4);
        std::memcpy(bytes.data() + 4, &type, 4);
        std::memcpy(bytes.data() + 28, name.c_str(), name.size() + 1);
        return bytes;
    };
    char name[512] = {};
    EXPECT_EQ(1, ZELO_GetDeviceInfo(handle, record(5, accessoryPath).data(), name, sizeof name));
    EXPECT_EQ(accessoryPath, std::string(name));

    char small[8];
    EXPECT_EQ(1, ZELO_GetDeviceInfo(handle, record(5, accessoryPath).data(), small, sizeof small));
    EXPECT_EQ(accessoryPath.substr(0, 7), std::string(small));

    EXPECT_EQ(0, ZELO_GetDeviceInfo(handle, record(3, accessoryPath).data(), name, sizeof name));
    EXPECT_EQ(0, ZELO_GetDeviceInfo(handle, record(5, otherPath).data(), name, sizeof name));
    EXPECT_EQ(0, ZELO_GetDeviceInfo(handle, record(5, "\\\\?\\nothing").data(), name, sizeof name));
    EXPECT_EQ(0, ZELO_GetDeviceInfo(handle, nullptr, name, sizeof name));
}

}  // namespace
}  // namespace zelo::test
