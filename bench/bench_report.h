// The benchmark's results as a table on stdout and as JSON for comparing runs.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "bench_results.h"

namespace zelo::bench {

using LoadAverages = std::optional<std::array<double, 3>>;

void printTable(const std::vector<Series> &series);

// False when the file cannot be written.
bool writeJson(const std::string &path, const std::vector<Series> &series, const LoadAverages &load,
               bool preciseTimers);

}  // namespace zelo::bench
