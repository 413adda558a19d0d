// The claim other processes see on an accessory that outlives the process
// (state=FILE), as the Linux backend claims a hidraw node: an advisory
// lock on FILE.lock (the state file itself is replaced by renames), shared
// while counting, exclusive while connected, taken by this process's first
// channel and released with its last. So a second process finds the
// accessory held, as a second program finds a real one.
#pragma once

#include <string>

namespace zelo::sim {

class ProcessClaim {
public:
    ProcessClaim() = default;
    ~ProcessClaim() { release(); }
    ProcessClaim(const ProcessClaim &) = delete;
    ProcessClaim &operator=(const ProcessClaim &) = delete;

    static std::string fileFor(const std::string &stateFile) { return stateFile + ".lock"; }

    // False when another process holds a claim that conflicts.
    bool take(const std::string &stateFile, bool exclusive);
    void release();

private:
#if defined(_WIN32)
    void *handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

}  // namespace zelo::sim
