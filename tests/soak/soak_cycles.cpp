#include "soak_cycles.h"

#include "connect_sequence.h"
#include "device_link.h"
#include "firmware_gate.h"
#include "progress.h"
#include "waits.h"
#include "worker_tasks.h"
#include "zelo.h"
#include "zelo_sim/sim.h"

namespace zelo::soak {

namespace {

sim::World &world() { return sim::World::instance(); }

// The firmware version the library reports for an up-to-date standard
// accessory ("1.19" as a number times 1000).
constexpr int kStandardFirmwareNumber = 1190;

}  // namespace

OpenCloseCycles::OpenCloseCycles() {
    world().reset();
    world().plug(sim::AccessoryConfig{});
}

std::string OpenCloseCycles::run(int) {
    ZELO_HANDLE handle = nullptr;
    if (ZELO_OpenDeviceFromNum(0, &handle, nullptr) != ZELO_OK) return "the open failed";
    const int version = ZELO_GetFirmwareVersion(handle);
    if (ZELO_CloseDevice(handle) != ZELO_OK) return "the close failed";
    // The simulated accessory logs every report; its memory is not the library's.
    world().accessories().front()->clearLog();
    if (version != kStandardFirmwareNumber) return "the firmware version read " + std::to_string(version);
    return {};
}

PlugCycles::PlugCycles() { world().reset(); }

std::string PlugCycles::run(int cycle) {
    const auto accessory = world().plug(sim::AccessoryConfig{});
    device::CDeviceLink link;
    app::FixedAnswerGateUi ui(false);
    device::NoProgress progress;
    device::NoWaits waits;
    const int result = app::connectAccessory(link, 0, ui, progress, waits);
    const bool pullWhileConnected = cycle % 2 == 0;
    if (pullWhileConnected) world().unplug(accessory);
    link.close();
    if (!pullWhileConnected) world().unplug(accessory);
    if (result != app::CONNECT_OK) return "the connect answered " + std::to_string(result);
    return {};
}

}  // namespace zelo::soak
