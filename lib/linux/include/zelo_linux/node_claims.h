// Claims other processes hold on an accessory's node. Programs using this
// library claim a node with an advisory flock while they hold the
// accessory (shared while counting, exclusive while connected); Linux
// lists those locks in /proc/locks with the holder's process ID, which
// names the program that has the accessory.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zelo::access {

// Whether a connection's (exclusive) claim on file is held by another
// process now. A count's shared claim is not: it ends in a moment.
bool claimTaken(const std::string &file);

// "zelo-tool (process 1234)" for each other process holding a claim on
// file, from procRoot's locks list and each holder's command name; empty
// when the system does not say.
std::vector<std::string> claimHolders(const std::string &file, const std::filesystem::path &procRoot = "/proc");

}  // namespace zelo::access
