#include "notifier.h"

#if defined(_WIN32)
#include <windows.h>
#include <dbt.h>

#include <cstddef>
#include <vector>
#endif

namespace zelo::sim {

#if defined(_WIN32)

namespace {

// The HID device interface class {4d1e55b2-f16f-11cf-88cb-001111000030}.
const GUID kHidClass = {0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
// A hung window must not stall the thread that plugs or unplugs.
constexpr UINT kSendTimeoutMs = 5000;

std::vector<unsigned char> broadcastRecord(const std::string &path) {
    const std::wstring name(path.begin(), path.end());  // device paths are ASCII
    const std::size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (name.size() + 1) * sizeof(wchar_t);
    std::vector<unsigned char> record(size, 0);
    auto *header = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(record.data());
    header->dbcc_size = static_cast<DWORD>(size);
    header->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    header->dbcc_classguid = kHidClass;
    wchar_t *text = header->dbcc_name;
    for (std::size_t i = 0; i < name.size(); ++i) text[i] = name[i];
    return record;
}

}  // namespace

void notifyWindows(const std::vector<void *> &windows, const std::string &path, DeviceEvent event) {
    if (windows.empty()) return;
    std::vector<unsigned char> record = broadcastRecord(path);
    const WPARAM kind = event == DeviceEvent::Arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
    for (void *window : windows) {
        SendMessageTimeoutW(static_cast<HWND>(window), WM_DEVICECHANGE, kind,
                            reinterpret_cast<LPARAM>(record.data()), SMTO_ABORTIFHUNG, kSendTimeoutMs, nullptr);
    }
}

#else

void notifyWindows(const std::vector<void *> &, const std::string &, DeviceEvent) {}

#endif

}  // namespace zelo::sim
