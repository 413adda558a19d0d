// The process's own CPU time and resident memory.
#pragma once

#include <array>
#include <optional>

namespace zelo::bench {

// CPU seconds used by every thread of the process so far.
double processCpuSeconds();

// Resident memory in KiB, after handing free heap pages back to the system
// so that memory freed earlier does not hide what is still held; none where
// it cannot be read.
std::optional<double> residentKiB();

// Lets the timers of this thread and of the threads it starts afterwards
// fire on time: the simulated link's report times are timers, and Linux's
// default slack of 50 us would make a 1 ms report up to 5 % late, an error
// of the model and not of the library (whose waits end by notification).
// False where the system offers no such setting.
bool preciseTimers();

// The system's load averages (1, 5, 15 minutes) where the system keeps them.
std::optional<std::array<double, 3>> loadAverages();

}  // namespace zelo::bench
