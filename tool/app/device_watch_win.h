// The platform side of following the accessory: registering the main window
// for device-interface notifications of the HID class, and telling from a
// notification whether it names the accessory. With ZELO_SIMULATOR set the
// simulator module answers both, as it answers the library, so simulated
// plug-ins reach the very handlers that hardware reaches.
#ifndef ZELO_APP_DEVICE_WATCH_WIN_H
#define ZELO_APP_DEVICE_WATCH_WIN_H

#include <windows.h>

#include <dbt.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zelo::app {

// The registration filter: a DEV_BROADCAST_DEVICEINTERFACE_W of this size.
inline constexpr DWORD kInterfaceFilterSize = 32;
// Leading characters of the first hardware ID that identify the accessory.
inline constexpr std::size_t kIdentityLength = 21;
// Bytes read of the hardware-ID property.
inline constexpr DWORD kHardwareIdBufferSize = 510;

// Registers window for arrival and removal of HID device interfaces. The
// registration lasts as long as the window.
void watchHidInterfaces(HWND window);

// "HID\Vid_XXXX&Pid_0009" with the accessory's vendor ID.
std::wstring accessoryIdentityText();

// Whether the first kIdentityLength characters of a hardware ID equal the
// identity text, regardless of case.
bool isAccessoryHardwareId(std::wstring_view hardwareId);

// The first hardware ID of the device interface named interfaceName; empty
// when the interface or its property cannot be read.
std::wstring firstHardwareId(const std::wstring &interfaceName);

// The interface name a device-change broadcast carries, read no further
// than the broadcast's own size; nullopt unless it is a device interface.
std::optional<std::wstring> broadcastInterfaceName(const DEV_BROADCAST_HDR *broadcast);

// The identity test of a notification: the interface name when the
// broadcast is a device interface of the accessory; nullopt otherwise.
std::optional<std::wstring> accessoryInterfaceName(const DEV_BROADCAST_HDR *broadcast);

}  // namespace zelo::app

#endif
