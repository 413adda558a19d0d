// Linux: the accessory's hidraw nodes from sysfs, or the simulator's
// accessories when ZELO_SIMULATOR is set; each claim looked up in
// /proc/locks.
#include <dlfcn.h>

#include <cerrno>
#include <cstdlib>

#include "hardware_id.h"
#include "presence.h"
#include "zelo.h"
#include "zelo_backend/hid_backend.h"
#include "zelo_linux/access_diagnosis.h"
#include "zelo_linux/node_claims.h"

namespace zelo::cli {

namespace {

using State = PresentAccessory::State;

constexpr std::size_t kPathCapacity = 512;
constexpr int kMostInterfaces = 256;

// What another process's claim on claimFile means for the accessory.
void lookAtClaim(PresentAccessory &accessory, const std::string &claimFile) {
    if (!access::claimTaken(claimFile)) return;
    accessory.state = State::InUse;
    accessory.holders = access::claimHolders(claimFile);
}

std::vector<PresentAccessory> hidrawNodes() {
    const access::AccessProbe probe = access::systemProbe();
    std::vector<PresentAccessory> found;
    for (const std::string &node : probe.accessoryNodes()) {
        PresentAccessory accessory{node, State::Free, {}};
        const int error = probe.openError(node);
        if (error == EACCES || error == EPERM) {
            accessory.state = State::Denied;
        } else {
            lookAtClaim(accessory, node);
        }
        found.push_back(std::move(accessory));
    }
    return found;
}

// The simulator module the library loads (globally) for ZELO_SIMULATOR on
// its first call.
std::optional<std::vector<PresentAccessory>> simulatedAccessories() {
    std::int32_t count = 0;
    ZELO_GetNumDevices(&count);
    const auto backendOf = reinterpret_cast<ZeloSimBackendFn>(dlsym(RTLD_DEFAULT, ZELO_SIM_BACKEND_SYMBOL));
    const auto claimFileOf = reinterpret_cast<ZeloSimClaimFileFn>(dlsym(RTLD_DEFAULT, ZELO_SIM_CLAIM_FILE_SYMBOL));
    hid::Backend *backend = backendOf != nullptr ? backendOf() : nullptr;
    if (backend == nullptr || claimFileOf == nullptr) return std::nullopt;
    std::vector<PresentAccessory> found;
    char path[kPathCapacity];
    char id[kPathCapacity];
    bool detailOk = false;
    for (int index = 0; index < kMostInterfaces && backend->interfacePath(index, path, sizeof path, &detailOk); ++index) {
        if (!detailOk || !backend->hardwareId(path, id, sizeof id) || !isAccessoryHardwareId(id)) continue;
        PresentAccessory accessory{path, State::Free, {}};
        char claimFile[kPathCapacity];
        if (claimFileOf(path, claimFile, sizeof claimFile) != 0) lookAtClaim(accessory, claimFile);
        found.push_back(std::move(accessory));
    }
    return found;
}

}  // namespace

std::optional<std::vector<PresentAccessory>> presentAccessories() {
    if (std::getenv(ZELO_SIMULATOR_VARIABLE) != nullptr) return simulatedAccessories();
    return hidrawNodes();
}

}  // namespace zelo::cli
