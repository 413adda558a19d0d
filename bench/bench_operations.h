// The operations the benchmark times, each against a freshly plugged
// simulated accessory at the series' report delay.
#pragma once

#include <optional>
#include <vector>

#include "bench_link.h"
#include "bench_results.h"

namespace zelo::bench {

// Goals, judged at the link's real report time (1 ms).
inline constexpr double kOperationGoal = 1.10;   // at most this much over the floor
inline constexpr double kRoundTripGoal = 500.0 / 450.0;  // 450 of the 500 round trips/s the link allows
inline constexpr double kPageReadGoal = 1.0 / 0.95;      // 95 % of the link's bytes/s
inline constexpr double kIdleCpuGoalPercent = 0.5;
// "Flat": what 1 000 open/close cycles may add to the resident memory.
inline constexpr double kMemoryGoalKiB = 256.0;

inline std::optional<double> goalIf(bool judged, double goal) {
    return judged ? std::optional(goal) : std::nullopt;
}

// 0x57 round trips and 0x59 page reads through ZELO_Write/ZELO_Read.
std::vector<Result> transferResults(Delay perReport, bool judged);

// Connects, configuration read and Save, a firmware update.
std::vector<Result> deviceResults(Delay perReport, bool judged);

// Module install, restore and erase.
std::vector<Result> moduleResults(Delay perReport, bool judged);

// CPU per second while connected, IR page shown and hidden; resident
// memory added by open/close cycles.
std::vector<Result> idleResults(Delay perReport, bool judged);

}  // namespace zelo::bench
