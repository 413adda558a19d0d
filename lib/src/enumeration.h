// Finding accessories among the machine's HID interfaces.
#pragma once

#include <cstdint>

#include "device.h"

namespace zelo {

// Accessories that can be opened for reading and writing right now; one
// this process holds open is not among them.
std::int32_t countAccessories();

// Opens the number-th accessory (0-based, enumeration order) into device:
// channels, path and report lengths. False when there is no such accessory.
bool openAccessory(Device &device, std::int32_t number);

}  // namespace zelo
