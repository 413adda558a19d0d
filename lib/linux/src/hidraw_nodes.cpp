#include "hidraw_nodes.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "accessory_watch.h"

namespace zelo::access {

namespace {

constexpr const char *kUeventFile = "device/uevent";
constexpr std::string_view kHidIdKey = "HID_ID=";
constexpr std::string_view kNodePrefix = "hidraw";

// HID_ID of the HID device behind one hidraw entry, or empty.
std::string hidIdOf(const std::filesystem::path &entry) {
    std::ifstream uevent(entry / kUeventFile);
    std::string line;
    while (std::getline(uevent, line)) {
        if (line.compare(0, kHidIdKey.size(), kHidIdKey) == 0) {
            return line.substr(kHidIdKey.size());
        }
    }
    return {};
}

// hidraw2 before hidraw10.
bool byNumber(const std::string &a, const std::string &b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace

std::vector<std::string> accessoryNodesIn(const std::filesystem::path &hidrawClass,
                                          const std::filesystem::path &devDirectory) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(hidrawClass, error)) {
        const std::string name = entry.path().filename().string();
        if (name.compare(0, kNodePrefix.size(), kNodePrefix) == 0 &&
            hid::linux_backend::isAccessoryHidId(hidIdOf(entry.path()))) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(), byNumber);
    std::vector<std::string> nodes;
    for (const std::string &name : names) {
        nodes.push_back((devDirectory / name).string());
    }
    return nodes;
}

}  // namespace zelo::access
