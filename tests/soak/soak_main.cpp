// zelo-soak [OPEN_CLOSE_CYCLES [PLUG_CYCLES]]: repeats open/close cycles
// and plug/unplug cycles with a connect between, and fails when resident
// memory, threads or open descriptors at the end exceed their figures
// after the first hundred cycles. Under a sanitizer the memory figure is
// the sanitizer's and is shown but not judged.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "process_figures.h"
#include "soak_cycles.h"

namespace {

using namespace zelo::soak;

constexpr int kDefaultOpenCloseCycles = 10000;
constexpr int kDefaultPlugCycles = 1000;
// Figures after this many cycles are the reference: by then every pool,
// cache and thread stack the cycles use is in place.
constexpr int kReferenceCycles = 100;
constexpr long kMaxCycles = 10'000'000;
constexpr int kProgressSteps = 10;
// The allocator's free lists and cached thread stacks move resident memory
// by a few pages between readings; 64 KiB is that noise several times over,
// and a leak of 8 bytes per cycle exceeds it within 10 000 cycles.
constexpr double kMemoryToleranceKiB = 64.0;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kJudgeMemory = false;
#else
constexpr bool kJudgeMemory = true;
#endif

struct Options {
    int openCloseCycles = kDefaultOpenCloseCycles;
    int plugCycles = kDefaultPlugCycles;
};

bool parseCount(const char *text, int *count) {
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value <= kReferenceCycles || value > kMaxCycles) return false;
    *count = static_cast<int>(value);
    return true;
}

template <typename Cycles>
bool soak(const char *name, int cycles) {
    Cycles cycle;
    // Reading and printing the figures once pages in the code that does
    // it, which would otherwise count as growth after the reference.
    std::printf("%s: %d cycles; at the start: %s\n", name, cycles, describe(processFigures()).c_str());
    ProcessFigures reference;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < cycles; ++i) {
        const std::string failure = cycle.run(i);
        if (!failure.empty()) {
            std::printf("%s: cycle %d: %s\n", name, i, failure.c_str());
            return false;
        }
        if (i + 1 == kReferenceCycles) {
            reference = processFigures();
            std::printf("%s: after %d: %s\n", name, kReferenceCycles, describe(reference).c_str());
        }
        if ((i + 1) % (cycles / kProgressSteps) == 0)
            std::printf("%s: %d of %d: %s\n", name, i + 1, cycles, describe(processFigures()).c_str());
        std::fflush(stdout);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const ProcessFigures last = settledFigures(reference);
    std::printf("%s: after %d: %s (%.1f s)\n", name, cycles, describe(last).c_str(), seconds);
    const std::vector<std::string> grown = growth(reference, last, kJudgeMemory, kMemoryToleranceKiB);
    for (const std::string &line : grown) std::printf("%s: FAILED: %s\n", name, line.c_str());
    return grown.empty();
}

}  // namespace

int main(int argc, char **argv) {
    Options options;
    if (argc > 3 || (argc > 1 && !parseCount(argv[1], &options.openCloseCycles)) ||
        (argc > 2 && !parseCount(argv[2], &options.plugCycles))) {
        std::fprintf(stderr, "usage: zelo-soak [OPEN_CLOSE_CYCLES [PLUG_CYCLES]], each above %d\n", kReferenceCycles);
        return 2;
    }
    if (!kJudgeMemory) std::printf("memory: shown, not judged (sanitizer build)\n");
    const bool openClose = soak<OpenCloseCycles>("open/close", options.openCloseCycles);
    const bool plug = soak<PlugCycles>("plug/unplug", options.plugCycles);
    std::printf("soak: %s\n", openClose && plug ? "passed" : "FAILED");
    return openClose && plug ? 0 : 1;
}
