// The library's exports on a Windows machine without an accessory and
// without the simulator: the real HID backend answers.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <cstdlib>

#include "zelo.h"

namespace {

constexpr const char *kSimulatorVariable = "ZELO_SIMULATOR";
constexpr std::int32_t kSdkVersion = 1000;
constexpr char kUntouched = 'x';

// A top-level window that is never shown, as a program would register.
class HiddenWindow {
public:
    HiddenWindow() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, kClassName, "", WS_OVERLAPPED, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    ~HiddenWindow() {
        if (window_ != nullptr) {
            DestroyWindow(window_);
        }
    }
    HiddenWindow(const HiddenWindow &) = delete;
    HiddenWindow &operator=(const HiddenWindow &) = delete;

    HWND get() const { return window_; }

private:
    static constexpr const char *kClassName = "ZeloNotificationTestWindow";
    HWND window_ = nullptr;
};

class NoAccessory : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(nullptr, std::getenv(kSimulatorVariable)) << "these tests need the real HID backend";
    }
};

TEST_F(NoAccessory, NothingIsCounted) {
    std::int32_t count = -1;
    EXPECT_EQ(ZELO_OK, ZELO_GetNumDevices(&count));
    EXPECT_EQ(0, count);
}

TEST_F(NoAccessory, NoNumberOpensAndOutputsStayUntouched) {
    for (std::int32_t number : {0, 1, -1}) {
        SCOPED_TRACE(number);
        int marker = 0;
        ZELO_HANDLE handle = &marker;
        std::array<char, ZELO_DEVICE_PATH_SIZE> path;
        path.fill(kUntouched);
        EXPECT_EQ(ZELO_NO_SUCH_DEVICE, ZELO_OpenDeviceFromNum(number, &handle, path.data()));
        EXPECT_EQ(&marker, handle);
        for (char c : path) {
            ASSERT_EQ(kUntouched, c);
        }
        EXPECT_EQ(ZELO_NO_SUCH_DEVICE, ZELO_OpenDeviceFromNum(number, &handle, nullptr));
        EXPECT_EQ(&marker, handle);
    }
}

TEST_F(NoAccessory, NotificationRequestsReportSuccess) {
    HiddenWindow window;
    ASSERT_NE(nullptr, window.get());
    EXPECT_EQ(ZELO_OK, ZELO_RequestNotification(window.get()));
    // The registration result is not reported, also when it fails.
    EXPECT_EQ(ZELO_OK, ZELO_RequestNotification(nullptr));
}

TEST_F(NoAccessory, SdkVersionNeedsNoDevice) {
    EXPECT_EQ(kSdkVersion, ZELO_GetSDKVersion());
}

}  // namespace
