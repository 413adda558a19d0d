#include "notifier.h"

#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#include <dbt.h>

#include <cstddef>
#include <cstring>
#include <vector>
#else
#include "zelo_notify.h"
#endif

namespace zelo::sim {

#if defined(_WIN32)

namespace {

// The HID device interface class {4d1e55b2-f16f-11cf-88cb-001111000030}.
const GUID kHidClass = {0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
// A hung window must not stall the thread that plugs or unplugs.
constexpr UINT kSendTimeoutMs = 5000;

// The record in the layout of DEV_BROADCAST_DEVICEINTERFACE_A (Char = char)
// or _W (Char = wchar_t); both put the name after the same header.
template <typename Record, typename Char>
std::vector<unsigned char> broadcastRecord(const std::string &path) {
    const std::size_t nameOffset = offsetof(Record, dbcc_name);
    const std::size_t size = nameOffset + (path.size() + 1) * sizeof(Char);
    std::vector<unsigned char> record(size, 0);
    Record header{};
    header.dbcc_size = static_cast<DWORD>(size);
    header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    header.dbcc_classguid = kHidClass;
    std::memcpy(record.data(), &header, nameOffset);
    for (std::size_t i = 0; i < path.size(); ++i) {
        const Char c = static_cast<Char>(static_cast<unsigned char>(path[i]));  // device paths are ASCII
        std::memcpy(record.data() + nameOffset + i * sizeof(Char), &c, sizeof c);
    }
    return record;
}

}  // namespace

// The system hands each window the record of its own character set.
void notifyWindows(const std::vector<void *> &windows, const std::string &path, DeviceEvent event) {
    if (windows.empty()) return;
    std::vector<unsigned char> ansi = broadcastRecord<DEV_BROADCAST_DEVICEINTERFACE_A, char>(path);
    std::vector<unsigned char> wide = broadcastRecord<DEV_BROADCAST_DEVICEINTERFACE_W, wchar_t>(path);
    const WPARAM kind = event == DeviceEvent::Arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
    for (void *target : windows) {
        const HWND window = static_cast<HWND>(target);
        if (IsWindowUnicode(window)) {
            SendMessageTimeoutW(window, WM_DEVICECHANGE, kind, reinterpret_cast<LPARAM>(wide.data()),
                                SMTO_ABORTIFHUNG, kSendTimeoutMs, nullptr);
        } else {
            SendMessageTimeoutA(window, WM_DEVICECHANGE, kind, reinterpret_cast<LPARAM>(ansi.data()),
                                SMTO_ABORTIFHUNG, kSendTimeoutMs, nullptr);
        }
    }
}

#else

// Without windows, what was registered is a ZELO_NOTIFY_TARGET; its
// callback runs on the thread that plugs or unplugs.
void notifyWindows(const std::vector<void *> &windows, const std::string &path, DeviceEvent event) {
    const std::int32_t arrived = event == DeviceEvent::Arrival ? 1 : 0;
    for (void *registered : windows) {
        const auto *target = static_cast<const ZELO_NOTIFY_TARGET *>(registered);
        if (target != nullptr && target->callback != nullptr) target->callback(target->context, arrived, path.c_str());
    }
}

#endif

}  // namespace zelo::sim
