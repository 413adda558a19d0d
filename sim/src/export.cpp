// The C entry points: the library finds the simulator's backend by name,
// and programs that explain a held accessory its claim file.
#include <algorithm>
#include <cstring>
#include <string>

#include "device_path.h"
#include "process_claim.h"
#include "zelo_backend/hid_backend.h"
#include "zelo_sim/sim.h"

extern "C" ZELO_SIM_API zelo::hid::Backend *zelo_sim_backend() { return &zelo::sim::World::instance().backend(); }

extern "C" ZELO_SIM_API int zelo_sim_claim_file(const char *path, char *file, std::size_t size) {
    if (path == nullptr || file == nullptr || size == 0) return 0;
    for (const auto &accessory : zelo::sim::World::instance().accessories()) {
        const std::string stateFile = accessory->config().stateFile;
        if (zelo::sim::foldCase(accessory->path()) != zelo::sim::foldCase(path) || stateFile.empty()) continue;
        const std::string claim = zelo::sim::ProcessClaim::fileFor(stateFile);
        const std::size_t length = std::min(claim.size(), size - 1);
        std::memcpy(file, claim.data(), length);
        file[length] = '\0';
        return 1;
    }
    return 0;
}
