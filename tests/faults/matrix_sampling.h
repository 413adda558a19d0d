// Which positions of a cell a run of the matrix tries: those that must
// always be tried, and the rest drawn from a seed that `make test` changes
// on every run (printed with the table, so a failure can be repeated).
#pragma once

#include <string>
#include <vector>

namespace zelo::faults {

// Every position when there are at most samples; otherwise the positions in
// always (those below count) and, beside them, random others up to samples
// in all, drawn from seed and the cell's name. Sorted.
std::vector<int> positionsToTry(int count, int samples, const std::vector<int> &always, unsigned seed,
                                const std::string &cell);

}  // namespace zelo::faults
