#include "zelo_linux/node_claims.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace zelo::access {

namespace {

constexpr const char *kLocksFile = "locks";
constexpr const char *kCommandFile = "comm";
constexpr const char *kFlockType = "FLOCK";
constexpr const char *kBlockedMarker = "->";

// "08:01:1234", as /proc/locks names a file: major and minor in hex, then
// the inode.
std::string lockKeyOf(const struct stat &info) {
    char text[64];
    std::snprintf(text, sizeof text, "%02x:%02x:%llu", major(info.st_dev), minor(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    return text;
}

std::string commandOf(const std::filesystem::path &procRoot, const std::string &pid) {
    std::ifstream file(procRoot / pid / kCommandFile);
    std::string name;
    std::getline(file, name);
    return name.empty() ? "another program" : name;
}

}  // namespace

bool claimTaken(const std::string &file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    // A shared probe is refused only by an exclusive claim.
    const bool taken = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);  // ends the probe's own claim
    return taken;
}

std::vector<std::string> claimHolders(const std::string &file, const std::filesystem::path &procRoot) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return {};
    const std::string key = lockKeyOf(info);
    const std::string self = std::to_string(::getpid());
    std::vector<std::string> holders;
    std::ifstream locks(procRoot / kLocksFile);
    for (std::string line; std::getline(locks, line);) {
        // "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"; waiters carry "->".
        std::istringstream fields(line);
        std::string number, type, kind, access, pid, where;
        fields >> number >> type;
        if (type == kBlockedMarker || type != kFlockType) continue;
        fields >> kind >> access >> pid >> where;
        if (where != key || pid == self) continue;
        const std::string holder = commandOf(procRoot, pid) + " (process " + pid + ")";
        if (std::find(holders.begin(), holders.end(), holder) == holders.end()) holders.push_back(holder);
    }
    return holders;
}

}  // namespace zelo::access
