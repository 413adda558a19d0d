#include "device_watch_win.h"

#include <setupapi.h>

extern "C" {
#include <hidsdi.h>
}

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "zelo_backend/hid_backend.h"
#include "zelo_backend/interface_path.h"

namespace zelo::app {

namespace {

constexpr const char *kSimulatorVariable = ZELO_SIMULATOR_VARIABLE;
constexpr const char *kSimulatorModule = "zelo-sim.dll";
// Simulated hardware IDs are plain ASCII; more than enough room for one.
constexpr std::size_t kSimulatedIdSize = 256;
constexpr wchar_t kHighestAscii = 0x7F;
constexpr std::size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);

static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == kInterfaceFilterSize);
static_assert(kHardwareIdBufferSize % sizeof(wchar_t) == 0);

// Where notifications and hardware IDs come from, chosen once per process
// the way the library chooses its backend: asked for simulated accessories,
// the program never falls back to real hardware.
struct Source {
    bool simulated = false;
    hid::Backend *simulator = nullptr;  // null: simulated, but the module is missing
};

hid::Backend *loadSimulator() {
    // The module stays loaded for the life of the process.
    HMODULE module = LoadLibraryA(kSimulatorModule);
    FARPROC entry = module != nullptr ? GetProcAddress(module, ZELO_SIM_BACKEND_SYMBOL) : nullptr;
    if (entry == nullptr) {
        std::fprintf(stderr, "ZELO_SIMULATOR is set but %s could not be loaded; no device notifications\n",
                     kSimulatorModule);
        return nullptr;
    }
    return reinterpret_cast<ZeloSimBackendFn>(reinterpret_cast<void *>(entry))();
}

const Source &source() {
    static const Source chosen = [] {
        Source found;
        found.simulated = std::getenv(kSimulatorVariable) != nullptr;
        if (found.simulated) found.simulator = loadSimulator();
        return found;
    }();
    return chosen;
}

void registerWithSystem(HWND window) {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = kInterfaceFilterSize;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_reserved = 0;
    HidD_GetHidGuid(&filter.dbcc_classguid);
    // The handle is neither kept nor unregistered: the registration ends
    // with the window.
    RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

// The device that offers the interface; the detail record is read only
// because SetupAPI hands the device out with it.
bool interfaceDevice(HDEVINFO set, SP_DEVICE_INTERFACE_DATA &interfaceData, SP_DEVINFO_DATA &device) {
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return false;
    std::vector<std::byte> storage(required);
    auto *detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W *>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    return SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, detail, required, nullptr, &device) != FALSE;
}

std::wstring systemHardwareId(const std::wstring &interfaceName) {
    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    if (set == INVALID_HANDLE_VALUE) return {};
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof interfaceData;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    // A list of zero-terminated IDs; the first is the one compared. The
    // buffer's last character stays 0 so the text always ends inside it.
    std::array<wchar_t, kHardwareIdBufferSize / sizeof(wchar_t) + 1> ids{};
    std::wstring first;
    if (SetupDiOpenDeviceInterfaceW(set, interfaceName.c_str(), 0, &interfaceData) &&
        interfaceDevice(set, interfaceData, device) &&
        SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_HARDWAREID, nullptr, reinterpret_cast<PBYTE>(ids.data()),
                                          kHardwareIdBufferSize, nullptr)) {
        first = ids.data();
    }
    SetupDiDestroyDeviceInfoList(set);
    return first;
}

std::wstring simulatedHardwareId(hid::Backend &simulator, const std::wstring &interfaceName) {
    std::string narrow;
    narrow.reserve(interfaceName.size());
    for (wchar_t c : interfaceName) {
        if (c > kHighestAscii) return {};  // no simulated path has such a character
        narrow.push_back(static_cast<char>(c));
    }
    std::array<char, kSimulatedIdSize> id{};
    if (!simulator.hardwareId(narrow.c_str(), id.data(), id.size())) return {};
    id.back() = '\0';
    const std::string text(id.data());
    return std::wstring(text.begin(), text.end());
}

}  // namespace

void watchHidInterfaces(HWND window) {
    const Source &from = source();
    if (!from.simulated) {
        registerWithSystem(window);
    } else if (from.simulator != nullptr) {
        from.simulator->requestNotification(window);
    }
}

std::wstring accessoryIdentityText() {
    std::array<wchar_t, kIdentityLength + 1> text{};
    std::swprintf(text.data(), text.size(), L"HID\\Vid_%04X&Pid_%04X", static_cast<unsigned>(hid::kVendorId),
                  static_cast<unsigned>(hid::kProductId));
    return text.data();
}

bool isAccessoryHardwareId(std::wstring_view hardwareId) {
    const std::wstring identity = accessoryIdentityText();
    if (hardwareId.size() < identity.size()) return false;
    for (std::size_t i = 0; i < identity.size(); ++i) {
        if (std::towlower(hardwareId[i]) != std::towlower(identity[i])) return false;
    }
    return true;
}

std::wstring firstHardwareId(const std::wstring &interfaceName) {
    const Source &from = source();
    if (!from.simulated) return systemHardwareId(interfaceName);
    return from.simulator != nullptr ? simulatedHardwareId(*from.simulator, interfaceName) : std::wstring();
}

std::optional<std::wstring> broadcastInterfaceName(const DEV_BROADCAST_HDR *broadcast) {
    if (broadcast == nullptr || broadcast->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return std::nullopt;
    if (broadcast->dbch_size <= kNameOffset) return std::wstring();
    const auto *record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W *>(broadcast);
    const std::size_t room = (broadcast->dbch_size - kNameOffset) / sizeof(wchar_t);
    return std::wstring(record->dbcc_name, wcsnlen(record->dbcc_name, room));
}

// By the device's hardware ID, or where that cannot be read any more (a
// removed device under Wine) by the instance ID in the interface path.
std::optional<std::wstring> accessoryInterfaceName(const DEV_BROADCAST_HDR *broadcast) {
    std::optional<std::wstring> name = broadcastInterfaceName(broadcast);
    if (!name || name->empty()) return std::nullopt;
    std::wstring hardwareId = firstHardwareId(*name);
    if (hardwareId.empty()) hardwareId = hid::instanceIdOfInterfacePath(std::wstring_view(*name));
    if (!isAccessoryHardwareId(hardwareId)) return std::nullopt;
    return name;
}

}  // namespace zelo::app
