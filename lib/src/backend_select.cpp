#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "backends.h"

namespace zelo::hid {

namespace {

constexpr const char *kSimulatorVariable = ZELO_SIMULATOR_VARIABLE;

Backend *platformBackend() {
#if defined(_WIN32) && defined(ZELO_HAVE_WINDOWS_BACKEND)
    return windowsBackend();
#elif defined(ZELO_HAVE_LINUX_BACKEND)
    return linuxBackend();
#elif defined(ZELO_HAVE_WEBHID_BACKEND)
    return webHidBackend();
#else
    return emptyBackend();
#endif
}

Backend *chooseBackend() {
    if (std::getenv(kSimulatorVariable) == nullptr) {
        return platformBackend();
    }
    std::string error;
    if (Backend *simulator = loadSimulatorBackend(&error)) {
        return simulator;
    }
    // Asked for simulated accessories: never fall back to real hardware.
    std::fprintf(stderr, "ZELO_SIMULATOR is set but the simulator module zelo-sim could not be loaded: %s\n",
                 error.c_str());
    return emptyBackend();
}

std::atomic<Backend *> testBackend{nullptr};

}  // namespace

void useBackendForTesting(Backend *backend) { testBackend.store(backend); }

Backend &backend() {
    if (Backend *replaced = testBackend.load(std::memory_order_acquire)) {
        return *replaced;
    }
    // Thread-safe, once.
    static Backend *const chosen = chooseBackend();
    return *chosen;
}

}  // namespace zelo::hid
