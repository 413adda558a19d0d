#include "zelo_linux/access_diagnosis.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>

#include "hidraw_nodes.h"

namespace zelo::access {

namespace {

constexpr const char *kHidrawClass = "/sys/class/hidraw";
constexpr const char *kDevDirectory = "/dev";
constexpr const char *kRulesFile = "70-zelo.rules";
constexpr const char *kRulesSource = "packaging/linux/70-zelo.rules";
constexpr const char *kRulesDirectory = "/etc/udev/rules.d/";

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

std::string message(const std::vector<std::string> &nodes, int firstError) {
    std::ostringstream text;
    text << "A ZE\xC2\xB7LO accessory is plugged in, but this user may not open it (" << reasonOf(firstError)
         << "): ";
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        text << (i > 0 ? ", " : "") << nodes[i];
    }
    text << ".\n"
         << "To allow it, install the udev rule " << kRulesFile << " that comes with the ZE\xC2\xB7LO sources:\n"
         << "  sudo cp " << kRulesSource << ' ' << kRulesDirectory << '\n'
         << "  sudo udevadm control --reload-rules\n"
         << "  sudo udevadm trigger\n"
         << "then unplug the accessory and plug it in again.\n";
    return text.str();
}

}  // namespace

AccessProbe systemProbe() {
    return {[] { return accessoryNodesIn(kHidrawClass, kDevDirectory); }, systemOpenError};
}

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
    return message(denied, firstError);
}

}  // namespace zelo::access
