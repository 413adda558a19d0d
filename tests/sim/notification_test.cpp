// Windows registered for notifications hear of arrivals and removals.
#include "sim_test_support.h"

#if defined(_WIN32)
#include <windows.h>
#include <dbt.h>

namespace zelo::sim::test {
namespace {

struct Heard {
    WPARAM event;
    std::string name;
};

std::vector<Heard> heard;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_DEVICECHANGE || lParam == 0) return DefWindowProcW(window, message, wParam, lParam);
    const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(lParam);
    if (header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
        const auto *record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W *>(lParam);
        std::string name;
        for (const wchar_t *c = record->dbcc_name; *c != 0; ++c) name.push_back(static_cast<char>(*c));
        heard.push_back({wParam, name});
    }
    return TRUE;
}

class NotificationTest : public SimTest {};

TEST_F(NotificationTest, RegisteredWindowHearsArrivalAndRemoval) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = recordingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ZeloSimNotificationTest";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    heard.clear();
    backend().requestNotification(window);
    auto accessory = plug();
    world().unplug(accessory);
    DestroyWindow(window);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].event, static_cast<WPARAM>(DBT_DEVICEARRIVAL));
    EXPECT_EQ(heard[1].event, static_cast<WPARAM>(DBT_DEVICEREMOVECOMPLETE));
    EXPECT_EQ(heard[0].name, accessory->path());
    EXPECT_EQ(heard[1].name, accessory->path());
}

}  // namespace
}  // namespace zelo::sim::test
#endif
