// What a long-running process must not accumulate: resident memory,
// threads and open file descriptors, read from /proc/self.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zelo::soak {

struct ProcessFigures {
    std::optional<double> residentKiB;  // none where it cannot be read
    std::size_t threads = 0;
    std::size_t descriptors = 0;
};

ProcessFigures processFigures();

// Reads the figures until threads and descriptors are back at reference's
// or a short deadline passes: a thread already joined can stay listed for a
// moment while the system finishes it, one still running stays for good.
ProcessFigures settledFigures(const ProcessFigures &reference);

// One line per figure that grew from first to last; memory only when
// judgeMemory, and then only beyond toleranceKiB.
std::vector<std::string> growth(const ProcessFigures &first, const ProcessFigures &last, bool judgeMemory,
                                double toleranceKiB);

std::string describe(const ProcessFigures &figures);

}  // namespace zelo::soak
