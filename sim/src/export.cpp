// The one C entry point: the library finds the simulator's backend by name.
#include "zelo_backend/hid_backend.h"
#include "zelo_sim/sim.h"

extern "C" ZELO_SIM_API zelo::hid::Backend *zelo_sim_backend() { return &zelo::sim::World::instance().backend(); }
