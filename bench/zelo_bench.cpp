// The cost of every operation against the simulated accessory, answering
// at once and at 1 ms per report (a full-speed USB link), each beside its
// floor: the reports it moves at one report time each plus the pauses the
// accessory and its module require. Prints a table and writes it as JSON
// (the first argument, build/bench.json by default).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_operations.h"
#include "bench_process.h"
#include "bench_report.h"
#include "zelo.h"
#include "zelo_sim/sim.h"

namespace {

using zelo::bench::Delay;

constexpr Delay kLinkReportTime = std::chrono::milliseconds(1);
constexpr const char *kDefaultJsonPath = "build/bench.json";

void selectSimulator() {
#if defined(_WIN32)
    _putenv_s("ZELO_SIMULATOR", "none");
#else
    setenv("ZELO_SIMULATOR", "none", 1);
#endif
}

zelo::bench::Series runSeries(Delay perReport) {
    // Goals hold at the link's real report time only.
    const bool judged = perReport == kLinkReportTime;
    zelo::bench::Series series;
    series.reportDelayMs = std::chrono::duration_cast<std::chrono::milliseconds>(perReport).count();
    for (const auto &part : {zelo::bench::transferResults, zelo::bench::deviceResults, zelo::bench::moduleResults,
                             zelo::bench::idleResults}) {
        for (zelo::bench::Result &result : part(perReport, judged)) series.results.push_back(std::move(result));
    }
    return series;
}

void printLoad(const zelo::bench::LoadAverages &load, const char *when) {
    if (load) std::printf("load average %s: %.2f %.2f %.2f\n", when, (*load)[0], (*load)[1], (*load)[2]);
}

}  // namespace

int main(int argc, char **argv) {
    const std::string jsonPath = argc > 1 ? argv[1] : kDefaultJsonPath;
    selectSimulator();
    // Before any reader thread exists, so they all inherit it.
    const bool preciseTimers = zelo::bench::preciseTimers();
    if (!preciseTimers) std::printf("timers keep the system's slack\n");
    const zelo::bench::LoadAverages loadBefore = zelo::bench::loadAverages();
    printLoad(loadBefore, "before");
    std::vector<zelo::bench::Series> series;
    series.push_back(runSeries(Delay::zero()));
    series.push_back(runSeries(kLinkReportTime));
    zelo::sim::World::instance().reset();
    const zelo::bench::LoadAverages loadAfter = zelo::bench::loadAverages();
    printLoad(loadAfter, "after");
    zelo::bench::printTable(series);
    if (!zelo::bench::writeJson(jsonPath, series, loadAfter, preciseTimers)) {
        std::fprintf(stderr, "zelo-bench: %s could not be written\n", jsonPath.c_str());
        return EXIT_FAILURE;
    }
    std::printf("written: %s\n", jsonPath.c_str());
    return EXIT_SUCCESS;
}
