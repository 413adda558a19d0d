#include "matrix_sampling.h"

#include <algorithm>
#include <functional>
#include <random>
#include <set>

namespace zelo::faults {

std::vector<int> positionsToTry(int count, int samples, const std::vector<int> &always, unsigned seed,
                                const std::string &cell) {
    std::set<int> chosen;
    if (count <= samples) {
        for (int k = 0; k < count; ++k) chosen.insert(k);
        return {chosen.begin(), chosen.end()};
    }
    for (int k : always) {
        if (k >= 0 && k < count) chosen.insert(k);
    }
    // Each cell draws its own positions from the one seed.
    std::mt19937 random(seed ^ static_cast<unsigned>(std::hash<std::string>{}(cell)));
    std::uniform_int_distribution<int> any(0, count - 1);
    while (static_cast<int>(chosen.size()) < samples) chosen.insert(any(random));
    return {chosen.begin(), chosen.end()};
}

}  // namespace zelo::faults
