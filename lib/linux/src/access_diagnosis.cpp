#include "zelo_linux/access_diagnosis.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <sstream>

#include "hidraw_nodes.h"

namespace zelo::access {

namespace {

constexpr const char *kHidrawClass = "/sys/class/hidraw";
constexpr const char *kDevDirectory = "/dev";
constexpr const char *kRulesFile = ZELO_UDEV_RULES_FILE;
constexpr const char *kFallbackGroup = "plugdev";

bool isPermissionError(int error) { return error == EACCES || error == EPERM; }

const char *reasonOf(int error) { return error == EPERM ? "operation not permitted" : "permission denied"; }

int systemOpenError(const std::string &node) {
    const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return errno;
    }
    ::close(fd);
    return 0;
}

std::string message(const std::vector<std::string> &nodes, int firstError, bool installed) {
    std::ostringstream text;
    text << "A ZE\xC2\xB7LO accessory is plugged in, but this user may not open it (" << reasonOf(firstError)
         << "): ";
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        text << (i > 0 ? ", " : "") << nodes[i];
    }
    text << ".\n";
    if (installed) {
        text << "The udev rule " << kRulesFile << " is installed: it gives the user logged in at this machine access,\n"
             << "and on systems without systemd-logind the members of the group " << kFallbackGroup << ":\n"
             << "  sudo usermod -aG " << kFallbackGroup << " $USER\n"
             << "then log in again, unplug the accessory and plug it in again.\n";
        return text.str();
    }
    text << "To allow it, install the udev rule " << kRulesFile << " (the zelo package and\n"
         << "'cmake --install' install it), then:\n"
         << "  sudo udevadm control --reload-rules\n"
         << "  sudo udevadm trigger\n"
         << "then unplug the accessory and plug it in again.\n";
    return text.str();
}

}  // namespace

AccessProbe systemProbe() {
    return {[] { return accessoryNodesIn(kHidrawClass, kDevDirectory); }, systemOpenError,
            [] {
                std::error_code error;
                return std::filesystem::exists(kRulesFile, error);
            }};
}

const char *installedRulesFile() { return kRulesFile; }

std::optional<std::string> deniedAccessMessage(const AccessProbe &probe) {
    if (!probe.accessoryNodes || !probe.openError) {
        return std::nullopt;
    }
    std::vector<std::string> denied;
    int firstError = 0;
    for (const std::string &node : probe.accessoryNodes()) {
        const int error = probe.openError(node);
        if (isPermissionError(error)) {
            firstError = denied.empty() ? error : firstError;
            denied.push_back(node);
        }
    }
    if (denied.empty()) {
        return std::nullopt;
    }
    return message(denied, firstError, probe.ruleInstalled && probe.ruleInstalled());
}

}  // namespace zelo::access
