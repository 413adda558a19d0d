// Running one operation against a simulated accessory and counting what it
// cost: the time, the reports it moved on the link and the fixed pauses the
// program asked for on the way. The floor of an operation is those reports
// at one report time each plus those pauses.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench_results.h"
#include "waits.h"
#include "zelo_sim/sim.h"

namespace zelo::bench {

using Clock = std::chrono::steady_clock;
using Delay = std::chrono::microseconds;

// Sleeps as the program does and adds up what was asked for.
class CountingWaits final : public device::Waits {
public:
    void sleepMs(unsigned ms) override;
    void reset() { totalMs_ = 0; }
    double totalMs() const { return totalMs_; }

private:
    double totalMs_ = 0;
};

struct Cost {
    bool ok = false;
    double elapsedMs = 0;
    long reports = 0;
    double waitsMs = 0;

    double floorMs(Delay perReport) const;
};

// A world holding only a new accessory of config, at the series' delay.
std::shared_ptr<sim::Accessory> plugFresh(const sim::AccessoryConfig &config, Delay perReport);

// Runs step once and measures it; step answers whether it succeeded.
Cost measure(sim::Accessory &accessory, CountingWaits &waits, const std::function<bool()> &step);

// Repeats step for about runTime; ok only when every run succeeded.
// count receives the number of runs.
Cost measureFor(sim::Accessory &accessory, std::chrono::milliseconds runTime, const std::function<bool()> &step,
                long *count);

// The median run of costs as a line in milliseconds.
Result durationResult(std::string operation, std::vector<Cost> costs, Delay perReport,
                      std::optional<double> goal);

// A rate: count runs of unitsPerRun each (round trips, bytes) in cost.
Result rateResult(std::string operation, Unit unit, double unitsPerRun, long count, const Cost &cost,
                  Delay perReport, std::optional<double> goal);

}  // namespace zelo::bench
