// Recognises the accessory by the hardware ID of a device interface.
#pragma once

#include <string>
#include <string_view>

namespace zelo {

// "HID\Vid_XXXX&Pid_0009" with the accessory's vendor and product IDs.
std::string accessoryHardwareIdPrefix();

// Compares the first characters of id (as many as the prefix has) with the
// prefix, ignoring case; a shorter id never matches.
bool isAccessoryHardwareId(std::string_view id);

}  // namespace zelo
