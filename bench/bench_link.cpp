#include "bench_link.h"

#include <algorithm>
#include <thread>

namespace zelo::bench {

namespace {

constexpr double kMsPerSecond = 1000.0;
constexpr int kRunsPerBatch = 50;

double toMs(Clock::duration elapsed) { return std::chrono::duration<double, std::milli>(elapsed).count(); }

double msPerReport(Delay perReport) { return std::chrono::duration<double, std::milli>(perReport).count(); }

// Reports the accessory sent or received since its log was last cleared.
long reportsMoved(const sim::Accessory &accessory) {
    const std::vector<sim::LogEntry> log = accessory.log();
    return static_cast<long>(std::count_if(log.begin(), log.end(), [](const sim::LogEntry &entry) {
        return entry.kind == sim::LogEntry::Kind::OutputReport || entry.kind == sim::LogEntry::Kind::InputReport;
    }));
}

std::optional<double> ratioOf(double elapsedMs, double floorMs) {
    if (floorMs <= 0) return std::nullopt;
    return elapsedMs / floorMs;
}

}  // namespace

void CountingWaits::sleepMs(unsigned ms) {
    totalMs_ += ms;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

double Cost::floorMs(Delay perReport) const { return static_cast<double>(reports) * msPerReport(perReport) + waitsMs; }

std::shared_ptr<sim::Accessory> plugFresh(const sim::AccessoryConfig &config, Delay perReport) {
    sim::World &world = sim::World::instance();
    world.reset();
    world.setReportDelay(perReport);
    return world.plug(config);
}

Cost measure(sim::Accessory &accessory, CountingWaits &waits, const std::function<bool()> &step) {
    accessory.clearLog();
    waits.reset();
    Cost cost;
    const Clock::time_point start = Clock::now();
    cost.ok = step();
    cost.elapsedMs = toMs(Clock::now() - start);
    cost.reports = reportsMoved(accessory);
    cost.waitsMs = waits.totalMs();
    return cost;
}

Cost measureFor(sim::Accessory &accessory, std::chrono::milliseconds runTime, const std::function<bool()> &step,
                long *count) {
    accessory.clearLog();
    Cost cost;
    cost.ok = true;
    long runs = 0;
    Clock::duration elapsed{};
    // In batches, counting and forgetting the log between them off the
    // clock, so the log never grows large.
    while (cost.ok && elapsed < runTime) {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < kRunsPerBatch && cost.ok; ++i) {
            cost.ok = step();
            runs += cost.ok ? 1 : 0;
        }
        elapsed += Clock::now() - start;
        cost.reports += reportsMoved(accessory);
        accessory.clearLog();
    }
    cost.elapsedMs = toMs(elapsed);
    *count = runs;
    return cost;
}

Result durationResult(std::string operation, std::vector<Cost> costs, Delay perReport, std::optional<double> goal) {
    Result result(std::move(operation));
    result.goal = goal;
    const bool allOk = !costs.empty() && std::all_of(costs.begin(), costs.end(), [](const Cost &c) { return c.ok; });
    if (!allOk) return result;
    std::sort(costs.begin(), costs.end(), [](const Cost &a, const Cost &b) { return a.elapsedMs < b.elapsedMs; });
    const Cost &median = costs[costs.size() / 2];
    const double floorMs = median.floorMs(perReport);
    result.measured = median.elapsedMs;
    if (floorMs > 0) result.floor = floorMs;
    result.ratio = ratioOf(median.elapsedMs, floorMs);
    result.reports = median.reports;
    result.fixedWaitsMs = median.waitsMs;
    return result;
}

Result rateResult(std::string operation, Unit unit, double unitsPerRun, long count, const Cost &cost,
                  Delay perReport, std::optional<double> goal) {
    Result result(std::move(operation), unit);
    result.goal = goal;
    if (!cost.ok || count == 0 || cost.elapsedMs <= 0) return result;
    const double units = unitsPerRun * static_cast<double>(count);
    const double floorMs = cost.floorMs(perReport);
    result.measured = units * kMsPerSecond / cost.elapsedMs;
    if (floorMs > 0) result.floor = units * kMsPerSecond / floorMs;
    result.ratio = ratioOf(cost.elapsedMs, floorMs);
    result.reports = cost.reports;
    return result;
}

}  // namespace zelo::bench
