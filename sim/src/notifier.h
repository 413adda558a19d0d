// Device-interface notifications to the windows that asked for them.
#pragma once

#include <string>
#include <vector>

namespace zelo::sim {

enum class DeviceEvent { Arrival, Removal };

// On Windows each window gets WM_DEVICECHANGE naming the interface path in
// the record its character set calls for (8-bit or UTF-16);
// elsewhere each registered ZELO_NOTIFY_TARGET's callback is called.
void notifyWindows(const std::vector<void *> &windows, const std::string &path, DeviceEvent event);

}  // namespace zelo::sim
