#include "bench_process.h"

#include <cstdio>
#include <cstdlib>

#if defined(_WIN32)
#  include <windows.h>
#  include <malloc.h>
#  include <psapi.h>
#else
#  include <malloc.h>
#  include <sys/prctl.h>
#  include <sys/resource.h>
#  include <unistd.h>
#endif

namespace zelo::bench {

namespace {

constexpr double kBytesPerKiB = 1024.0;

#if defined(_WIN32)
constexpr double kFileTimeTicksPerSecond = 1e7;

double seconds(const FILETIME &time) {
    ULARGE_INTEGER ticks;
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    return static_cast<double>(ticks.QuadPart) / kFileTimeTicksPerSecond;
}
#else
constexpr double kMicrosecondsPerSecond = 1e6;

double seconds(const timeval &time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / kMicrosecondsPerSecond;
}
#endif

}  // namespace

#if defined(_WIN32)

double processCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    return seconds(kernel) + seconds(user);
}

std::optional<double> residentKiB() {
    _heapmin();
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return std::nullopt;
    return static_cast<double>(counters.WorkingSetSize) / kBytesPerKiB;
}

bool preciseTimers() { return false; }

std::optional<std::array<double, 3>> loadAverages() { return std::nullopt; }

#else

double processCpuSeconds() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::optional<double> residentKiB() {
    malloc_trim(0);
    std::FILE *statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return std::nullopt;
    long size = 0;
    long resident = 0;
    const bool read = std::fscanf(statm, "%ld %ld", &size, &resident) == 2;
    std::fclose(statm);
    if (!read) return std::nullopt;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / kBytesPerKiB;
}

bool preciseTimers() {
    constexpr unsigned long kSlackNs = 1;
    return prctl(PR_SET_TIMERSLACK, kSlackNs, 0UL, 0UL, 0UL) == 0;
}

std::optional<std::array<double, 3>> loadAverages() {
    std::array<double, 3> load{};
    if (getloadavg(load.data(), static_cast<int>(load.size())) != static_cast<int>(load.size())) return std::nullopt;
    return load;
}

#endif

}  // namespace zelo::bench
