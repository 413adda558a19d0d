// The faults of the matrix: where each can act in an operation (counted
// in what it acts on), which of those positions every run of the matrix
// tries, and how the accessory comes back after it.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "matrix_profile.h"
#include "zelo_sim/sim.h"

namespace zelo::faults {

// Time limits during an operation, short so the suite stays fast; a late
// answer comes this much after the receive limit.
inline constexpr std::uint32_t kReceiveLimitMs = 100;
inline constexpr std::uint32_t kWriteLimitMs = 20;
inline constexpr std::chrono::milliseconds kLateBy{50};

enum class Recovery {
    Replug,    // unplugged and plugged in again, flash and module memory kept
    NewStart,  // the program started again on the accessory as it is
    SameLink,  // the operation done again on the link it failed on
};

// How many positions a cell samples beyond those it always tries.
enum class Sampling {
    Many,  // cheap runs
    Few,   // each run waits out a time limit
};

struct FaultKind {
    const char *name;
    int (*positions)(const Profile &);
    // Positions always tried. eachCodeOnly: of runs of messages, only the
    // first and last of each command (module programming sends hundreds
    // alike; the emulator and ThreadSanitizer runs ask for it everywhere).
    std::vector<int> (*always)(const Profile &, bool eachCodeOnly);
    sim::FaultSpec (*spec)(const Profile &, int position);
    Sampling sampling = Sampling::Many;
    bool late = false;  // answers still arrive after the operation gave up
    Recovery recovery = Recovery::Replug;
};

const std::vector<FaultKind> &faultKinds();

}  // namespace zelo::faults
