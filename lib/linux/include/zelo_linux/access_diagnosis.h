// Why an accessory that is plugged in cannot be opened on Linux.
//
// The usual reason is permission: the accessory's hidraw node belongs to
// root until the udev rule 70-zelo.rules is installed (the package and
// `cmake --install` put it in installedRulesFile()). A program that finds
// no accessory it can open calls deniedAccessMessage(); when a node of the
// accessory exists but this user may not open it for reading and writing,
// the result says so, names the node(s) and the rule's installed path, and
// what to do: install it, or, when it is there, plug in again or join the
// group. Otherwise it is empty and the program reports "no accessory".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zelo::access {

// What the diagnosis asks the system; tests give their own.
struct AccessProbe {
    // The accessory's hidraw nodes (/dev/hidrawN), by its vendor and product ID.
    std::function<std::vector<std::string>()> accessoryNodes;
    // 0 when node opens for reading and writing, otherwise the errno.
    std::function<int(const std::string &node)> openError;
    // Whether the rule is in installedRulesFile(); unset counts as no.
    std::function<bool()> ruleInstalled;
};

// Where the package and `cmake --install` put the udev rule.
const char *installedRulesFile();

// The real thing: sysfs for the nodes, open(2) for the access.
AccessProbe systemProbe();

// The message to show, or nullopt when no accessory node is refused for
// lack of permission (EACCES or EPERM). Several lines, ending in a newline.
std::optional<std::string> deniedAccessMessage(const AccessProbe &probe = systemProbe());

}  // namespace zelo::access
