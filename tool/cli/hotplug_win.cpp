#include <windows.h>
#include <dbt.h>

#include <algorithm>

#include "hotplug.h"
#include "zelo.h"

namespace zelo::cli {

namespace {

constexpr wchar_t kWindowClass[] = L"ZeloCommandLineHotplug";

LRESULT CALLBACK hotplugProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE && wParam == DBT_DEVICEARRIVAL) {
        if (auto *arrived = reinterpret_cast<bool *>(GetWindowLongPtrW(window, GWLP_USERDATA))) *arrived = true;
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

struct HotplugWatch::Impl {
    HWND window = nullptr;
    bool arrived = false;
};

HotplugWatch::HotplugWatch() : impl_(std::make_unique<Impl>()) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = hotplugProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    impl_->window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    windowClass.hInstance, nullptr);
    if (impl_->window == nullptr) return;
    SetWindowLongPtrW(impl_->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&impl_->arrived));
    ZELO_RequestNotification(impl_->window);
}

HotplugWatch::~HotplugWatch() {
    if (impl_->window != nullptr) DestroyWindow(impl_->window);
}

bool HotplugWatch::waitForArrival(std::chrono::steady_clock::time_point deadline, const std::atomic<bool> &stop) {
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    impl_->arrived = false;
    while (!impl_->arrived) {
        const auto now = std::chrono::steady_clock::now();
        if (stop.load() || now >= deadline) return false;
        const auto slice = std::min(duration_cast<milliseconds>(deadline - now), kStopCheckInterval);
        // Notifications are sent messages: they are delivered while this
        // thread waits here or peeks.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(slice.count()) + 1, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return true;
}

}  // namespace zelo::cli
