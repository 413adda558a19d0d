// The accessory's hidraw nodes as sysfs lists them; readable by anyone,
// whatever the permissions of the nodes themselves.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zelo::access {

// Nodes under devDirectory for the entries of hidrawClass (normally
// /sys/class/hidraw) whose HID device has the accessory's vendor and
// product ID, in node-number order.
std::vector<std::string> accessoryNodesIn(const std::filesystem::path &hidrawClass,
                                          const std::filesystem::path &devDirectory);

}  // namespace zelo::access
