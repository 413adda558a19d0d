// One line of the benchmark table: what was measured, the floor the link
// sets for it, and the goal it is judged against.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelo::bench {

enum class Unit { Milliseconds, PerSecond, BytesPerSecond, PercentOfCore, KibiBytes };

struct Result {
    explicit Result(std::string name, Unit resultUnit = Unit::Milliseconds)
        : operation(std::move(name)), unit(resultUnit) {}

    std::string operation;
    Unit unit = Unit::Milliseconds;
    std::optional<double> measured;  // none when the operation failed
    std::optional<double> floor;     // none where the link sets no bound
    // Time taken over the floor's time: 1.00 is on the floor.
    std::optional<double> ratio;
    long reports = 0;         // reports moved on the link
    double fixedWaitsMs = 0;  // required pauses the program asked for
    // The highest acceptable ratio; for idle CPU and memory the highest
    // acceptable measured value. Only judged at the link's real report time.
    std::optional<double> goal;
};

struct Series {
    long long reportDelayMs = 0;
    std::vector<Result> results;
};

// Whether result meets its goal; true when it has none.
bool goalMet(const Result &result);

}  // namespace zelo::bench
