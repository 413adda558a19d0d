// The process's own CPU time and resident memory.
#pragma once

#include <array>
#include <optional>

namespace zelo::bench {

// CPU seconds used by every thread of the process so far.
double processCpuSeconds();

// Resident memory in KiB; none where it cannot be read.
std::optional<double> residentKiB();

// The system's load averages (1, 5, 15 minutes) where the system keeps them.
std::optional<std::array<double, 3>> loadAverages();

}  // namespace zelo::bench
